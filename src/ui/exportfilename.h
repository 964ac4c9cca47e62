#pragma once

#include <QString>

namespace taskloom {

// The file name a save dialog suggests for an export of the project.
class ExportFileName {
public:
    // The project's name without the characters a file name cannot hold,
    // then the extension (".ics"); "project" when no name is left.
    static QString forProject(const QString& projectName, const QString& extension);
};

} // namespace taskloom
