// taskloom-cli: the planner for task lists kept in text files.
#include "commandlineplanner.h"
#include "taskloomversion.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("taskloom-cli"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(taskloom::Version));

    taskloom::CommandLinePlanner planner(QCoreApplication::applicationDirPath());
    return planner.run(QCoreApplication::arguments(), qEnvironmentVariable("TASKLOOM_TODAY"));
}
