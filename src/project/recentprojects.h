#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

namespace taskloom {

// The files a user opened or saved lately, newest first, and the project the
// window had when it was last left, so that the next start fills it in again.
// Kept in taskloom.conf (INI) in the settings folder.
class RecentProjects {
public:
    static constexpr int MaxFiles = 8;

    explicit RecentProjects(const QString& settingsFolder);

    QStringList files() const;
    // To the top of the list, once; the ninth and older drop off.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

    // Empty when the window had no project file.
    QString lastProject() const;
    void setLastProject(const QString& path);

private:
    mutable QSettings m_settings;
};

} // namespace taskloom
