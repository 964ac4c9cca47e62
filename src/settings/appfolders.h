#pragma once

#include <QString>

namespace taskloom {

// Where the program keeps its files: the settings files (the working week,
// the hours, the recent-files list) and the folder that exports write into.
// Decided once at start-up and handed to whatever needs a folder; nothing
// else looks a folder up.
struct AppFolders {
    QString settings;
    QString output;

    // A copy run where it was built or unpacked: everything beside the
    // program, exports in its output/ folder.
    static AppFolders beside(const QString& applicationFolder);
};

} // namespace taskloom
