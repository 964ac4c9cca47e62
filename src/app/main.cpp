// The planner's window. Its folders are decided once, here: beside the
// program for a copy run where it was built or unpacked, the user's own
// folders for an installed one.
#include "settings/appfolders.h"
#include "taskloomversion.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QByteArrayView>
#include <QCommandLineParser>
#include <QDate>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include <cstdio>

namespace {

// The desktop entry, the metainfo and the icon are all named after it.
const QString AppId = QStringLiteral("org.taskloom.Taskloom");

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Lays a task list over your working week and exports it to a calendar."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A project file (.taskloom) or task list (.txt) "
                                                "to open."),
                                 QStringLiteral("[FILE]"));
}

// --help and --version answer in a terminal without a display, so they are
// looked for before the window's QApplication, which needs one, exists.
bool answersInTerminal(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView argument(argv[i]);
        if (argument == "--")
            return false;
        if (argument == "-h" || argument == "--help" || argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

void nameTheProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("taskloom"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(taskloom::Version));
}

int answerInTerminal(int argc, char* argv[])
{
    const QCoreApplication app(argc, argv);
    nameTheProgram();
    QCommandLineParser parser;
    describe(parser);
    // The window's own options (-platform, -style) are not known here; only
    // the question asked matters.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    parser.showHelp(0);
}

} // namespace

int main(int argc, char* argv[])
{
    if (answersInTerminal(argc, argv))
        return answerInTerminal(argc, argv);

    QApplication app(argc, argv);
    nameTheProgram();
    QGuiApplication::setDesktopFileName(AppId);
    QApplication::setWindowIcon(
        QIcon::fromTheme(AppId, QIcon(QStringLiteral(":/icons/%1.svg").arg(AppId))));

    QCommandLineParser parser;
    describe(parser);
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("taskloom: give at most one project file.\n", stderr);
        return 2;
    }

    taskloom::MainWindow window(
        taskloom::AppFolders::decide(QCoreApplication::applicationDirPath()), &QDate::currentDate);
    window.startUp();
    window.show();
    // A file manager's "Open With" and a terminal's taskloom FILE: opened once
    // the window is up, so its messages have a window to stand on.
    if (!files.isEmpty()) {
        const QString file = QFileInfo(files.first()).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, file] { window.openProject(file); });
    }
    // Start-up timing for the benchmark only: quit once the first shown
    // window has been processed by the event loop.
    if (qEnvironmentVariableIsSet("TASKLOOM_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
