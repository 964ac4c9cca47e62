// taskloom-cli: the planner for task lists kept in text files.
#include "commandlineplanner.h"
#include "taskloomversion.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace {

// Qt looks for a Wayland socket while it starts any platform, the named
// offscreen one too, and warns when XDG_RUNTIME_DIR is unset; that says
// nothing about the picture and must not reach a script's standard error.
void dropRuntimeFolderWarning(QtMsgType type, const QMessageLogContext& context,
                              const QString& text)
{
    if (text.startsWith(QLatin1StringView("QStandardPaths: ")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[])
{
    if (!taskloom::CommandLinePlanner::drawsChart(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    // Pictures need fonts and painting, which only a GUI application has. The
    // offscreen platform gives them with or without a display, so a picture
    // never depends on a screen's resolution and a display that cannot be
    // reached cannot stop the run.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QtMessageHandler previous = qInstallMessageHandler(dropRuntimeFolderWarning);
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return app;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("taskloom-cli"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(taskloom::Version));

    taskloom::CommandLinePlanner planner(
        taskloom::AppFolders::decide(QCoreApplication::applicationDirPath()));
    return planner.run(QCoreApplication::arguments(), qEnvironmentVariable("TASKLOOM_TODAY"));
}
