#pragma once

#include "engine/problem.h"

#include <QString>

#include <optional>

namespace taskloom {

struct Schedule;

// What every export and publish needs before it writes anything: tasks, then
// a project name (a name of blanks passes). One wording for the window, the
// command line and the pictures.
class ExportCheck {
public:
    static std::optional<Problem> of(const Schedule& schedule, const QString& projectName);

    static Problem noTasks();
    static Problem noName();
};

} // namespace taskloom
