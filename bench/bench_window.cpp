// How fast the window follows the task box and opens a project, and how soon
// the program is on screen. Run offscreen (scripts/run-bench.sh sets QT_QPA_PLATFORM).
#include "largeproject.h"
#include "processruns.h"
#include "engine/tasktext.h"
#include "project/projectfile.h"
#include "ui/filechooser.h"
#include "ui/mainwindow.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

using namespace taskloom;

namespace {

// The open dialog, answered at once with the one file.
class ChosenFile : public FileChooser {
public:
    explicit ChosenFile(QString path) : m_path(std::move(path)) {}
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return m_path;
    }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&, QString*) override
    {
        return {};
    }

private:
    QString m_path;
};

// Starts the window and waits until it is on screen; false when it never is.
bool startAndShow(MainWindow& window)
{
    window.startUp();
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) &&
           waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return window.windowHandle()->isExposed();
}

// From Enter released in the task box to the table holding the new rows,
// including the event-loop pass that lays out and paints the reset table.
void BM_EnterReleased(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    MainWindow window(AppFolders::beside(QCoreApplication::applicationDirPath()),
                      [] { return QDate(2026, 12, 7); });
    if (!startAndShow(window)) {
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

// A saved plan coming back: a project file opened and built, from the file
// chosen to the filled table.
void BM_OpenProject(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    QTemporaryDir folder;
    Project project;
    project.id = QStringLiteral("3f2b8c1e-0d4a-4c3e-9a57-1b2c3d4e5f60");
    project.name = QStringLiteral("Big");
    project.tasks = TaskText::taskLineTexts(largeProject(lines).taskText);
    const QString path = folder.filePath(QStringLiteral("big.taskloom"));
    if (ProjectFile::write(path, project)) {
        state.SkipWithError("project file not written");
        return;
    }

    // The program's own settings files; the recent files go to the temporary folder.
    AppFolders folders = AppFolders::beside(QCoreApplication::applicationDirPath());
    for (const QFileInfo& data : QDir(folders.settings).entryInfoList({QStringLiteral("*.txt")}))
        QFile::copy(data.filePath(), folder.filePath(data.fileName()));
    folders.settings = folder.path();
    MainWindow window(folders, [] { return QDate(2026, 12, 7); });
    window.setFileChooser(std::make_unique<ChosenFile>(path));
    if (!startAndShow(window)) {
        state.SkipWithError("window not shown");
        return;
    }
    auto* open = window.findChild<QAction*>(QStringLiteral("actionOpen"));
    const QAbstractItemModel* table =
        window.findChild<QTableView*>(QStringLiteral("ListView1"))->model();
    for (auto _ : state) {
        open->trigger();
        QCoreApplication::processEvents(); // lays out and paints the new rows
        if (table->rowCount() != lines || window.isWindowModified()) {
            state.SkipWithError("the table does not hold the project's rows");
            break;
        }
    }
    state.SetLabel(QStringLiteral("%1-line project file").arg(lines).toStdString());
}
BENCHMARK(BM_OpenProject)->Arg(10000)->Unit(benchmark::kMillisecond);

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
