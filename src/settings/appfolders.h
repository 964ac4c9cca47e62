#pragma once

#include "engine/problem.h"

#include <QList>
#include <QString>

#include <functional>

namespace taskloom {

// Where the program keeps its files: the settings files (the working week,
// the hours, the recent-files list) and the folder that exports write into.
// Decided once at start-up and handed to whatever needs a folder; nothing
// else looks a folder up.
struct AppFolders {
    QString settings;
    QString output;
    // An installed copy's shipped settings, which fill in what the user's
    // settings folder lacks; empty for a copy that keeps everything beside
    // the program.
    QString defaults;

    // A copy run where it was built or unpacked: everything beside the
    // program, exports in its output/ folder.
    static AppFolders beside(const QString& applicationFolder);

    // Whether the program may write into a folder. Tests pass their own:
    // they run as root, for whom a read-only folder is still writable.
    using WritableCheck = std::function<bool(const QString& folder)>;
    static bool isWritable(const QString& folder);

    // Beside the program when its folder holds workingweek.txt and may be
    // written; otherwise installed: the settings in the user's configuration
    // folder (~/.config/taskloom), exports in Documents/Taskloom/output, the
    // defaults in ../share/taskloom beside the program's folder or else in
    // the system's data folders.
    static AppFolders decide(const QString& applicationFolder,
                             const WritableCheck& writable = &AppFolders::isWritable);

    bool installed() const { return !defaults.isEmpty(); }

    // The handbook's first page: in handbook/ beside the program (a build or
    // an unpacked copy), else in ../share/taskloom/handbook beside the
    // program's folder (the prefix it was installed into), else in the
    // system's data folders; empty when none holds it.
    static QString handbook(const QString& applicationFolder);

    // Copies each settings file the settings folder lacks out of the
    // defaults. A default that is missing itself is left to the readers,
    // which ask for a reinstall; a copy that fails is a problem, and the
    // readers use the default meanwhile.
    QList<Problem> seedSettings() const;
};

} // namespace taskloom
