#include "appfolders.h"

#include "files/atomicfile.h"
#include "settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace taskloom {

namespace {

const QString Taskloom = QStringLiteral("taskloom");

} // namespace

AppFolders AppFolders::beside(const QString& applicationFolder)
{
    return {applicationFolder, QDir(applicationFolder).filePath(QStringLiteral("output")), {}};
}

bool AppFolders::isWritable(const QString& folder)
{
    return QFileInfo(folder).isWritable();
}

AppFolders AppFolders::decide(const QString& applicationFolder, const WritableCheck& writable)
{
    if (QFileInfo::exists(QDir(applicationFolder).filePath(SettingsStore::WorkingWeekFile)) &&
        writable(applicationFolder))
        return beside(applicationFolder);

    AppFolders folders;
    folders.settings =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + Taskloom;
    folders.output = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                     QStringLiteral("/Taskloom/output");
    // The prefix the program was installed into comes first, so a copy
    // installed into /opt or a home folder finds its own defaults.
    const QString besidePrefix =
        QDir::cleanPath(applicationFolder + QStringLiteral("/../share/") + Taskloom);
    const QString located = QStandardPaths::locate(QStandardPaths::GenericDataLocation, Taskloom,
                                                   QStandardPaths::LocateDirectory);
    folders.defaults =
        QFileInfo(besidePrefix).isDir() || located.isEmpty() ? besidePrefix : located;
    return folders;
}

QString AppFolders::handbook(const QString& applicationFolder)
{
    const QString index = QStringLiteral("handbook/index.html");
    for (const QString& page : {QDir(applicationFolder).filePath(index),
                                QDir::cleanPath(applicationFolder + QStringLiteral("/../share/") +
                                                Taskloom + u'/' + index)}) {
        if (QFileInfo(page).isFile())
            return page;
    }
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, Taskloom + u'/' + index);
}

QList<Problem> AppFolders::seedSettings() const
{
    QList<Problem> problems;
    if (!installed())
        return problems;
    for (const char* name : {SettingsStore::WorkingWeekFile, SettingsStore::StartsAtFile,
                             SettingsStore::EndsAtFile, SettingsStore::HoursFile}) {
        const QString fileName = QString::fromLatin1(name);
        const QString target = QDir(settings).filePath(fileName);
        QFile source(QDir(defaults).filePath(fileName));
        if (QFileInfo::exists(target) || !source.exists())
            continue;
        const std::optional<QString> reason = source.open(QIODevice::ReadOnly)
                                                  ? AtomicFile::write(target, source.readAll())
                                                  : std::optional<QString>(source.errorString());
        if (reason)
            problems.append(
                {QStringLiteral("Error"),
                 QStringLiteral("Error: %1 could not be copied from %2 to %3 (%4). Taskloom "
                                "reads the installed one meanwhile.")
                     .arg(fileName, QDir::toNativeSeparators(defaults),
                          QDir::toNativeSeparators(settings), *reason)});
    }
    return problems;
}

} // namespace taskloom
