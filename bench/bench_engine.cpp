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

void BM_Build10000LinesWith500DaysOff(benchmark::State& state)
{
    // The plan covers about 320 years; one date off every 229 days spreads
    // the 500 over all of it and over every weekday.
    BuildInputs inputs = largeProject(10000);
    for (int i = 0; i < 500; ++i)
        inputs.datesOff.append(inputs.today.addDays(3 + i * 229));
    for (auto _ : state) {
        BuildResult result = ScheduleBuilder::build(inputs);
        benchmark::DoNotOptimize(result);
    }
    state.SetLabel("the same with 500 dates off");
}
BENCHMARK(BM_Build10000LinesWith500DaysOff)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
