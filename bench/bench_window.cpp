// How fast the window follows the task box, and how soon the program is on
// screen. Run offscreen (scripts/run-bench.sh sets QT_QPA_PLATFORM).
#include "largeproject.h"
#include "processruns.h"
#include "ui/mainwindow.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTableView>
#include <QWindow>

#include <benchmark/benchmark.h>

using namespace taskloom;

namespace {

// From Enter released in the task box to the table holding the new rows,
// including the event-loop pass that lays out and paints the reset table.
void BM_EnterReleased(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    MainWindow window(AppFolders::beside(QCoreApplication::applicationDirPath()),
                      [] { return QDate(2026, 12, 7); });
    window.startUp();
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) &&
           waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!window.windowHandle()->isExposed()) {
        state.SkipWithError("window not shown");
        return;
    }
    auto* todo = window.findChild<QPlainTextEdit*>(QStringLiteral("txtTodo"));
    const QAbstractItemModel* table =
        window.findChild<QTableView*>(QStringLiteral("ListView1"))->model();
    todo->setPlainText(largeProject(lines).taskText);
    todo->moveCursor(QTextCursor::End);
    for (auto _ : state) {
        // The box builds on the release of a press it received; the press
        // itself (a line break at the end, no task) is not measured.
        state.PauseTiming();
        QKeyEvent pressed(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(todo, &pressed);
        state.ResumeTiming();
        QKeyEvent released(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier,
                           QStringLiteral("\r"));
        QCoreApplication::sendEvent(todo, &released);
        QCoreApplication::processEvents();
        if (table->rowCount() != lines) {
            state.SkipWithError("the table does not hold the rows");
            break;
        }
    }
    state.SetLabel(QStringLiteral("%1 task lines").arg(lines).toStdString());
}
BENCHMARK(BM_EnterReleased)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// From process start to the window shown: taskloom quits right after its
// first shown frame when TASKLOOM_QUIT_WHEN_SHOWN is set.
void BM_ProcessStartToShown(benchmark::State& state)
{
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath("taskloom");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TASKLOOM_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    timeProcessRuns(state, program, {}, environment);
    state.SetLabel("bin/taskloom, offscreen");
}
BENCHMARK(BM_ProcessStartToShown)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
