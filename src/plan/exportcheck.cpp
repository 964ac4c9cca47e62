#include "exportcheck.h"

#include "engine/schedule.h"

namespace taskloom {

std::optional<Problem> ExportCheck::of(const Schedule& schedule, const QString& projectName)
{
    if (schedule.rows.isEmpty())
        return noTasks();
    if (projectName.isEmpty())
        return noName();
    return std::nullopt;
}

Problem ExportCheck::noTasks()
{
    return {QStringLiteral("Missing Info"),
            QStringLiteral("Please add some tasks to your project.")};
}

Problem ExportCheck::noName()
{
    return {QStringLiteral("Missing Info"), QStringLiteral("Please enter a project name.")};
}

} // namespace taskloom
