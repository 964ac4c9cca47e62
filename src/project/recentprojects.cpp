#include "recentprojects.h"

#include <QDir>
#include <QFileInfo>

namespace taskloom {

namespace {

const QString FilesKey = QStringLiteral("recent/files");
const QString LastKey = QStringLiteral("recent/lastProject");

// One spelling per file, so the same file never shows twice.
QString absolute(const QString& path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

RecentProjects::RecentProjects(const QString& settingsFolder)
    : m_settings(QDir(settingsFolder).filePath(QStringLiteral("taskloom.conf")),
                 QSettings::IniFormat)
{
}

QStringList RecentProjects::files() const
{
    m_settings.sync(); // another window may have changed the list
    return m_settings.value(FilesKey).toStringList().mid(0, MaxFiles);
}

void RecentProjects::add(const QString& path)
{
    const QString file = absolute(path);
    QStringList list = files();
    list.removeAll(file);
    list.prepend(file);
    m_settings.setValue(FilesKey, list.mid(0, MaxFiles));
    m_settings.sync();
}

void RecentProjects::remove(const QString& path)
{
    QStringList list = files();
    list.removeAll(absolute(path));
    m_settings.setValue(FilesKey, list);
    m_settings.sync();
}

void RecentProjects::clear()
{
    m_settings.remove(FilesKey);
    m_settings.sync();
}

QString RecentProjects::lastProject() const
{
    m_settings.sync();
    return m_settings.value(LastKey).toString();
}

void RecentProjects::setLastProject(const QString& path)
{
    m_settings.setValue(LastKey, absolute(path));
    m_settings.sync();
}

} // namespace taskloom
