// How long `taskloom-cli --publish` takes, start to exit, to bring a local
// Radicale calendar in step with a 500-event plan: first into an empty
// calendar (500 new resources), then again (500 replaced).
#include "radicaleserver.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using taskloom::test::RadicaleServer;

struct Setup {
    RadicaleServer server;
    QTemporaryDir dir;
    QString tasks;
    QString problem;
    int calendars = 0;

    Setup()
    {
        problem = server.start();
        tasks = dir.filePath(QStringLiteral("tasks.txt"));
        QFile file(tasks);
        if (!file.open(QIODevice::WriteOnly))
            problem = QStringLiteral("cannot write the task file");
        // One working day a task, every day working: one event a task.
        for (int i = 1; i <= 500; ++i)
            file.write(QStringLiteral("Task %1 + 1\n").arg(i).toUtf8());
    }

    QString newCalendar()
    {
        const QString path = QStringLiteral("ann/bench%1/").arg(++calendars);
        const QString refused = server.makeCalendar(path);
        return refused.isEmpty() ? path : QString();
    }

    // One whole run of the command; false when it failed or took over 30 s.
    bool publish(const QString& calendar)
    {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TASKLOOM_TODAY"), QStringLiteral("2026-12-07"));
        env.insert(QStringLiteral("TASKLOOM_CALDAV_PASSWORD"),
                   QString::fromLatin1(RadicaleServer::Password));
        cli.setProcessEnvironment(env);
        cli.start(QCoreApplication::applicationDirPath() + QStringLiteral("/taskloom-cli"),
                  {QStringLiteral("--project"), QStringLiteral("Benchmark"),
                   QStringLiteral("--every-day"), QStringLiteral("--publish"),
                   server.url(calendar).toString(), QStringLiteral("--user"),
                   QString::fromLatin1(RadicaleServer::User), tasks});
        return cli.waitForFinished(30000) && cli.exitStatus() == QProcess::NormalExit &&
               cli.exitCode() == 0;
    }
};

// Made in main(), inside the application's life.
Setup* shared = nullptr;

Setup& setup()
{
    return *shared;
}

void BM_Publish500New(benchmark::State& state)
{
    Setup& s = setup();
    for (auto _ : state) {
        state.PauseTiming();
        const QString calendar = s.newCalendar();
        state.ResumeTiming();
        if (!s.problem.isEmpty() || calendar.isEmpty() || !s.publish(calendar)) {
            state.SkipWithError("the publish failed or took over 30 s");
            return;
        }
    }
    state.SetLabel("taskloom-cli --publish, 500 events into an empty calendar");
}
BENCHMARK(BM_Publish500New)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_Publish500Again(benchmark::State& state)
{
    Setup& s = setup();
    const QString calendar = s.newCalendar();
    if (!s.problem.isEmpty() || calendar.isEmpty() || !s.publish(calendar)) {
        state.SkipWithError("the first publish failed");
        return;
    }
    for (auto _ : state) {
        if (!s.publish(calendar)) {
            state.SkipWithError("the publish failed or took over 30 s");
            return;
        }
    }
    state.SetLabel("taskloom-cli --publish, the same 500 events replaced");
}
BENCHMARK(BM_Publish500Again)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Setup setup;
    shared = &setup;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
