// How long the iCalendar text of a large schedule takes to build.
#include "engine/schedulebuilder.h"
#include "export/calendarics.h"
#include "largeproject.h"

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace taskloom;

namespace {

// The large project's first eventCount events (a line gives about three), in
// a project whose name every summary escapes.
Schedule scheduleOf(int eventCount)
{
    BuildInputs inputs = largeProject(eventCount / 2);
    inputs.projectName = QStringLiteral("Benchmark, Inc; Kitchen");
    Schedule schedule = ScheduleBuilder::build(inputs).schedule();
    schedule.events.resize(std::min<qsizetype>(schedule.events.size(), eventCount));
    return schedule;
}

void BM_IcsText(benchmark::State& state)
{
    const Schedule schedule = scheduleOf(static_cast<int>(state.range(0)));
    if (schedule.events.size() != state.range(0))
        state.SkipWithError("the project has too few events");
    const CalendarIcs ics(QStringLiteral("Benchmark, Inc; Kitchen"), QStringLiteral("Benchmark"),
                          QDateTime::fromSecsSinceEpoch(1796601600, Qt::UTC));
    for (auto _ : state) {
        QByteArray text = ics.text(schedule);
        benchmark::DoNotOptimize(text);
    }
    state.SetLabel(std::to_string(state.range(0)) + " calendar events into iCalendar text");
}
BENCHMARK(BM_IcsText)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
