// How long the dates off take to read from files made to hurt: a holiday
// calendar whose one daily event runs for years, and a daysoff.txt that gives
// one date on every line.
#include "ical/icsreader.h"
#include "settings/settingsstore.h"

#include <benchmark/benchmark.h>

using namespace taskloom;

namespace {

// A daily event from 1 January 2026, each occurrence lasting until the given
// end (DTEND 99991231: to the end of 9999), read over the years the command
// line reads for a plan that starts in 2026: the year before to 30 years after.
void BM_IcsLongDailyEvent(benchmark::State& state)
{
    const QByteArray file = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//B//B//EN\r\n"
                            "BEGIN:VEVENT\r\nUID:long\r\nDTSTART;VALUE=DATE:20260101\r\n"
                            "DTEND;VALUE=DATE:" +
                            QByteArray::number(state.range(0)) +
                            "\r\nRRULE:FREQ=DAILY\r\nSUMMARY:Long\r\nEND:VEVENT\r\n"
                            "END:VCALENDAR\r\n";
    for (auto _ : state) {
        IcsReader::DaysOffRead read =
            IcsReader::readDaysOff(file, QStringLiteral("long.ics"), 2025, 2056);
        if (read.daysOff.size() != 11323) // 2026-01-01 to 2056-12-31
            state.SkipWithError("the days off are not every day from 2026 to 2056");
        benchmark::DoNotOptimize(read);
    }
    state.SetLabel("a daily event lasting until " + std::to_string(state.range(0)) +
                   ", years 2025 to 2056");
}
BENCHMARK(BM_IcsLongDailyEvent)->Arg(20270101)->Arg(99991231)->Unit(benchmark::kMillisecond);

// One date on every line, each with a label of its own.
void BM_DaysOffOneDateOnEveryLine(benchmark::State& state)
{
    QString text;
    for (int line = 0; line < state.range(0); ++line)
        text += QStringLiteral("2026-12-25 Label %1\n").arg(line);
    for (auto _ : state) {
        SettingsStore::DaysOffLoad load =
            SettingsStore::readDaysOff(text, QStringLiteral("daysoff.txt"));
        if (load.daysOff.size() != 1)
            state.SkipWithError("the lines did not merge into one date");
        benchmark::DoNotOptimize(load);
    }
    state.SetLabel(std::to_string(state.range(0)) + " lines of one date in daysoff.txt");
}
BENCHMARK(BM_DaysOffOneDateOnEveryLine)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
