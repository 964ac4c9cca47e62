// How long one build of a large task list takes.
#include "engine/schedulebuilder.h"

#include <benchmark/benchmark.h>

using namespace taskloom;

namespace {

BuildInputs largeProject(int lines)
{
    BuildInputs inputs;
    QString text;
    for (int i = 0; i < lines; ++i) {
        if (i % 5 == 4)
            text += QStringLiteral("//");
        text += QStringLiteral("Task %1 + %2 days\n").arg(i).arg(i % 20 + 1);
    }
    inputs.taskText = text;
    inputs.projectName = QStringLiteral("Benchmark");
    inputs.today = QDate(2026, 12, 7);
    inputs.weekFlags = WorkingWeek::mondayToFriday();
    inputs.startsAt = QStringLiteral("9:00 AM");
    inputs.endsAt = QStringLiteral("6:00 PM");
    return inputs;
}

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
