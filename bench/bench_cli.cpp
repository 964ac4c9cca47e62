// How long taskloom-cli takes, start to exit, on a large task file written
// out as the calendar CSV or drawn as a picture: what a script that calls it
// waits for.
#include "largeproject.h"
#include "processruns.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

bool writeTaskFile(const QString& path)
{
    QFile file(path);
    const QByteArray bytes = largeProject(10000).taskText.toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void timeCli(benchmark::State& state, const QStringList& options)
{
    QTemporaryDir dir;
    const QString tasks = dir.filePath(QStringLiteral("tasks.txt"));
    if (!writeTaskFile(tasks)) {
        state.SkipWithError("cannot write the task file");
        return;
    }
    QStringList arguments{QStringLiteral("--project"), QStringLiteral("Benchmark")};
    for (const QString& option : options)
        arguments << (option.startsWith(u'-') ? option : dir.filePath(option));
    arguments << tasks;
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/taskloom-cli");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TASKLOOM_TODAY"), QStringLiteral("2026-12-07"));
    timeProcessRuns(state, program, arguments, env);
}

void BM_Cli10000Lines(benchmark::State& state)
{
    timeCli(state, {QStringLiteral("--csv"), QStringLiteral("p.csv")});
    state.SetLabel("taskloom-cli, 10,000 task lines to project.csv");
}
BENCHMARK(BM_Cli10000Lines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole plan as an SVG picture: a GUI application offscreen, the build,
// every bar and name, and the file.
void BM_CliChartSvg10000Lines(benchmark::State& state)
{
    timeCli(state, {QStringLiteral("--chart"), QStringLiteral("plan.svg")});
    state.SetLabel("taskloom-cli --chart plan.svg, 10,000 task lines");
}
BENCHMARK(BM_CliChartSvg10000Lines)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
