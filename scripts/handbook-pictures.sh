#!/usr/bin/env bash
# Makes the handbook's pictures (docs/handbook/pictures/) from the current
# build: the real window under Xvfb with a small project, its timeline and two
# of its dialogs, and the picture taskloom-cli draws of the same project.
# Usage: scripts/handbook-pictures.sh [BUILD_FOLDER]   (default: build)
# It installs what it needs (Debian's xvfb, xdotool, x11-utils and imagemagick)
# when missing, with sudo when not run as root. The window shows today's dates.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
pictures=$root/docs/handbook/pictures

missing=()
for need in Xvfb:xvfb xdotool:xdotool xdpyinfo:x11-utils import:imagemagick; do
    command -v "${need%%:*}" >/dev/null || missing+=("${need##*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A portable copy with the shipped settings and a fresh home: no one's own
# week, days off or recent projects show.
work=$(mktemp -d "${TMPDIR:-/tmp}/Taskloom.XXXX")
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap finish EXIT
mkdir -p "$work/bin" "$work/home"
cp "$build/bin/taskloom" "$build/bin/taskloom-cli" "$work/bin/"
cp "$root"/data/*.txt "$work/bin/"
export HOME=$work/home TZ=UTC LC_ALL=C.UTF-8
unset TASKLOOM_TODAY SOURCE_DATE_EPOCH XDG_CONFIG_HOME

# A company day off a week from today shows how days off look.
date -d '+7 days' '+%Y-%m-%d Company day off' > "$work/bin/daysoff.txt"
cat > "$work/Kitchen.taskloom" <<'PROJECT'
{"format": "taskloom-project", "version": 1, "project": "Kitchen",
 "tasks": ["Clear the room + 2 days", "Paint the hall + 3 days", "//Order tiles + 2",
           "Lay the tiles + 4", "Grout + 1", "Clean up"],
 "start": "right-away", "adjustToWorkingWeek": true}
PROJECT

# The timeline as taskloom-cli draws it, the same on every machine.
"$work/bin/taskloom-cli" --chart "$pictures/timeline-picture.png" --chart-width 900 \
    "$work/Kitchen.taskloom"

# A project followed through time, on fixed days: started on Monday 30
# November, three tasks marked done on Friday 4 December, seen on the 7th.
printf '%s\n' "Clear the room + 2 days" "Paint the hall + 3 days" "//Order tiles + 2" \
    "Lay the tiles + 4" "Grout + 2" "Clean up" > "$work/progress.txt"
cli() { "$work/bin/taskloom-cli" --no-days-off "$@" >/dev/null; }
TASKLOOM_TODAY=2026-11-26 cli --project Kitchen --start 2026-11-30 \
    --save-project "$work/Progress.taskloom" "$work/progress.txt"
TASKLOOM_TODAY=2026-12-04 cli --done 1,2,3 --save-project "$work/Progress.taskloom" \
    "$work/Progress.taskloom"
TASKLOOM_TODAY=2026-12-07 cli --chart "$pictures/timeline-progress.png" --chart-width 900 \
    "$work/Progress.taskloom"

export DISPLAY=:97
Xvfb "$DISPLAY" -screen 0 1400x1000x24 -nolisten tcp 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done

"$work/bin/taskloom" "$work/Kitchen.taskloom" 2>/dev/null &
pids+=($!)
found() { # title: the window shown with that title, or a failure within 20 s
    timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1 ||
        { echo "handbook-pictures: no window \"$1\" showed" >&2; return 1; }
}
shoot() { # window file: once the screen has settled
    sleep 1
    import -window "$1" "$pictures/$2"
}
# Without a window manager there is no keyboard focus: the mouse does it all,
# at the places the window puts its controls (it stands at 0,0).
click() { # x y [window]: relative to the window, or to the screen
    xdotool mousemove ${3:+--window "$3"} "$1" "$2" click 1 2>/dev/null
}
window=$(found '^Taskloom v.*Kitchen')
shoot "$window" window.png
click 535 114 # Timeline
shoot "$window" timeline.png
click 440 114 # Schedule
click 318 602 # Settings, beside the tick
dialog=$(found '^Working Week$')
shoot "$dialog" working-week.png
click 405 404 "$dialog" # Cancel
click 18 8    # File
click 120 162 # Publish to Calendar Server…
dialog=$(found '^Publish to Calendar Server$')
shoot "$dialog" publish-dialog.png
echo "Pictures written to $pictures"
