// How long `taskloom-cli --publish` takes, start to exit, to bring a local
// Radicale calendar in step with a 500-event plan: first into an empty
// calendar (500 new resources), then again unchanged (nothing written), then
// again with the last task lengthened (its one event rewritten).
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
    QString lengthened; // the same with the last task a day longer
    QString problem;
    int calendars = 0;

    Setup()
    {
        problem = server.start();
        tasks = dir.filePath(QStringLiteral("tasks.txt"));
        lengthened = dir.filePath(QStringLiteral("lengthened.txt"));
        // One working day a task, every day working: one event a task.
        QByteArray text;
        for (int i = 1; i <= 500; ++i)
            text += QStringLiteral("Task %1 + 1\n").arg(i).toUtf8();
        QFile file(tasks);
        QFile longer(lengthened);
        if (!file.open(QIODevice::WriteOnly) || !longer.open(QIODevice::WriteOnly) ||
            file.write(text) != text.size() ||
            longer.write(QByteArray(text).replace("Task 500 + 1", "Task 500 + 2")) != text.size())
            problem = QStringLiteral("cannot write the task files");
    }

    QString newCalendar()
    {
        const QString path = QStringLiteral("ann/bench%1/").arg(++calendars);
        const QString refused = server.makeCalendar(path);
        return refused.isEmpty() ? path : QString();
    }

    // One whole run of the command; false when it failed, took over 30 s or, when a summary
    // is given, printed another.
    bool publish(const QString& calendar, const QString& taskFile, const QByteArray& summary = {})
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
                   QString::fromLatin1(RadicaleServer::User), taskFile});
        return cli.waitForFinished(30000) && cli.exitStatus() == QProcess::NormalExit &&
               cli.exitCode() == 0 && (summary.isEmpty() || cli.readAllStandardOutput() == summary);
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
        if (!s.problem.isEmpty() || calendar.isEmpty() || !s.publish(calendar, s.tasks)) {
            state.SkipWithError("the publish failed or took over 30 s");
            return;
        }
    }
    state.SetLabel("taskloom-cli --publish, 500 events into an empty calendar");
}
BENCHMARK(BM_Publish500New)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// The calendar holds the 500 events, then the plan as taskFile has it is published again:
// only what the summary says is written.
void republish(benchmark::State& state, const QString& taskFile, const QByteArray& summary)
{
    Setup& s = setup();
    const QString calendar = s.newCalendar();
    if (!s.problem.isEmpty() || calendar.isEmpty() || !s.publish(calendar, s.tasks)) {
        state.SkipWithError("the first publish failed");
        return;
    }
    for (auto _ : state) {
        if (!s.publish(calendar, taskFile, summary)) {
            state.SkipWithError("the publish failed, took over 30 s or wrote other events");
            return;
        }
    }
}

void BM_Publish500Unchanged(benchmark::State& state)
{
    republish(state, setup().tasks, "0 events published, 0 updated, 0 removed, 500 unchanged.\n");
    state.SetLabel("taskloom-cli --publish, the same 500 events again: none written");
}
BENCHMARK(BM_Publish500Unchanged)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_Publish500OneTaskChanged(benchmark::State& state)
{
    republish(state, setup().lengthened,
              "0 events published, 1 updated, 0 removed, 499 unchanged.\n");
    state.SetLabel("taskloom-cli --publish, the last of 500 tasks a day longer: one written");
}
BENCHMARK(BM_Publish500OneTaskChanged)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

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
