// How long one build of a large task list takes.
#include "engine/schedulebuilder.h"
#include "largeproject.h"

#include <benchmark/benchmark.h>

using namespace taskloom;

namespace {

void BM_Build10000Lines(benchmark::State& state)
{
    const BuildInputs inputs = largeProject(10000);
    for (auto _ : state) {
        BuildResult result = ScheduleBuilder::build(inputs);
        benchmark::DoNotOptimize(result);
    }
    state.SetLabel("10,000 task lines into a Schedule");
}
BENCHMARK(BM_Build10000Lines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
