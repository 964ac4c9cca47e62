// The planner's window, started from the folder that holds the executable,
// the settings files and output/.
#include "ui/mainwindow.h"

#include <QApplication>
#include <QDate>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    taskloom::MainWindow window(
        taskloom::AppFolders::beside(QCoreApplication::applicationDirPath()), &QDate::currentDate);
    window.startUp();
    window.show();
    // Start-up timing for the benchmark only: quit once the first shown
    // window has been processed by the event loop.
    if (qEnvironmentVariableIsSet("TASKLOOM_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
