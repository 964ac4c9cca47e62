// How long taskloom-cli takes, start to exit, on a large task file written
// out as the calendar CSV: what a script that calls it waits for.
#include "processruns.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_Cli10000Lines(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString tasks = dir.filePath(QStringLiteral("tasks.txt"));
    {
        QFile file(tasks);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the task file");
            return;
        }
        for (int i = 0; i < 10000; ++i)
            file.write(QStringLiteral("%1Task %2 + %3 days\n")
                           .arg(i % 5 == 4 ? QStringLiteral("//") : QString())
                           .arg(i)
                           .arg(i % 20 + 1)
                           .toUtf8());
    }
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/taskloom-cli");
    const QStringList arguments{QStringLiteral("--project"), QStringLiteral("Benchmark"),
                                QStringLiteral("--csv"), dir.filePath(QStringLiteral("p.csv")),
                                tasks};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TASKLOOM_TODAY"), QStringLiteral("2026-12-07"));

    timeProcessRuns(state, program, arguments, env);
    state.SetLabel("taskloom-cli, 10,000 task lines to project.csv");
}
BENCHMARK(BM_Cli10000Lines)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
