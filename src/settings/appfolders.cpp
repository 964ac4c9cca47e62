#include "appfolders.h"

#include <QDir>

namespace taskloom {

AppFolders AppFolders::beside(const QString& applicationFolder)
{
    return {applicationFolder, QDir(applicationFolder).filePath(QStringLiteral("output"))};
}

} // namespace taskloom
