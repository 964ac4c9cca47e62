// How long the iCalendar text of a large schedule takes to build.
#include "engine/schedulebuilder.h"
#include "export/calendarics.h"

#include <benchmark/benchmark.h>

using namespace taskloom;

namespace {

// As many tasks as events wanted, 1 to 9 days each over Monday to Friday,
// every tenth with a comma so the escaping is in the figure; the events past
// the count are dropped.
Schedule scheduleOf(int eventCount)
{
    QString text;
    for (int i = 0; i < eventCount; ++i) {
        text += (i % 10 == 0 ? QStringLiteral("Order tiles, grout %1 +%2\n")
                             : QStringLiteral("Task %1 +%2\n"))
                    .arg(i)
                    .arg(1 + i % 9);
    }
    BuildInputs in;
    in.taskText = text;
    in.projectName = QStringLiteral("Benchmark");
    in.today = QDate(2026, 12, 7);
    in.weekFlags = WorkingWeek::mondayToFriday();
    in.startsAt = QStringLiteral("9:00 AM");
    in.endsAt = QStringLiteral("6:00 PM");
    Schedule schedule = ScheduleBuilder::build(in).schedule();
    schedule.events.resize(eventCount);
    return schedule;
}

void BM_IcsText(benchmark::State& state)
{
    const Schedule schedule = scheduleOf(static_cast<int>(state.range(0)));
    const CalendarIcs ics(QStringLiteral("Benchmark"), QStringLiteral("Benchmark"),
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
