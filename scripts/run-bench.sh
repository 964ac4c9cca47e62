#!/usr/bin/env bash
# Runs every benchmark found in the given folder and prints its medians.
set -euo pipefail
bin="$1"
status=0
for bench in "$bin"/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" \
        --benchmark_repetitions=9 --benchmark_report_aggregates_only=true \
        --benchmark_display_aggregates_only=true 2>&1 | grep -E "median|^Run on|^---|^Benchmark" || status=1
done
exit $status
