// How long the calendar CSV text of a large schedule takes to build.
#include "export/calendarcsv.h"

#include <benchmark/benchmark.h>

using namespace taskloom;

namespace {

QList<CalendarEvent> manyEvents(int count)
{
    QList<CalendarEvent> events;
    events.reserve(count);
    const QDate first(2026, 12, 7);
    for (int i = 0; i < count; ++i) {
        CalendarEvent e;
        // Every tenth task has a comma, so the quoting path is in the figure too.
        e.description = i % 10 == 0 ? QStringLiteral("Order tiles, grout %1 ").arg(i)
                                    : QStringLiteral("Task %1 ").arg(i);
        e.subject = QStringLiteral("Benchmark: ") + e.description;
        e.startDate = first.addDays(i / 3);
        e.endDate = e.startDate.addDays(2);
        e.startTime = QStringLiteral("9:00 AM");
        e.endTime = QStringLiteral("6:00 PM");
        e.location = QStringLiteral("Home");
        events.append(e);
    }
    return events;
}

void BM_CsvText100000Events(benchmark::State& state)
{
    const QList<CalendarEvent> events = manyEvents(100000);
    for (auto _ : state) {
        QString text = CalendarCsv::toText(events);
        benchmark::DoNotOptimize(text);
    }
    state.SetLabel("100,000 calendar events into CSV text");
}
BENCHMARK(BM_CsvText100000Events)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
