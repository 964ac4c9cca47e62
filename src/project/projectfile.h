#pragma once

#include "project.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

namespace taskloom {

// The project file: small UTF-8 JSON with the extension .taskloom.
//   {"format": "taskloom-project", "version": 1, "id": "<uuid>",
//    "project": "Kitchen", "tasks": ["Clear the room + 2 days", "//Order tiles + 2"],
//    "start": "right-away" or "YYYY-MM-DD", "adjustToWorkingWeek": true}
// and, for a project followed through time, optionally
//    "done": [{"task": "Clear the room", "occurrence": 1,
//              "start": "YYYY-MM-DD", "end": "YYYY-MM-DD"}],
//    "replannedOn": "YYYY-MM-DD"
// Reading is strict: anything it cannot take whole is refused with what is
// wrong, so a damaged file never half-fills a window. A plain .txt task list
// opens too, as its task lines and its name.
class ProjectFile {
public:
    static constexpr const char* Suffix = "taskloom";
    static constexpr const char* Format = "taskloom-project";
    static constexpr int Version = 1;
    // Far beyond any plan a person types: a larger file is not a project.
    static constexpr qint64 MaxBytes = qint64(64) * 1024 * 1024;

    struct Load {
        std::optional<Project> project;
        // What is wrong, in a sentence, when project is unset.
        QString problem;
        // A .txt task list: only the name and the tasks come from the file; the
        // start and the working-week choice stay as they are.
        bool tasksOnly = false;
    };

    // A .txt file (by its extension) as a task list, any other as a project file.
    static Load read(const QString& path);
    static bool isTaskList(const QString& path);
    static bool hasProjectSuffix(const QString& path);
    // Either kind, as the window and the command line accept them.
    static bool isOpenable(const QString& path);

    static Load fromJson(const QByteArray& bytes);
    static QByteArray toJson(const Project& project);

    // Writes atomically; on failure returns the system's reason and the old
    // file stays whole.
    static std::optional<QString> write(const QString& path, const Project& project);

    // A date written exactly as YYYY-MM-DD.
    static std::optional<QDate> parseIsoDate(const QString& text);
};

} // namespace taskloom
