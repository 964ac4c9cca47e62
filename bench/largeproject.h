#pragma once

#include "engine/buildinputs.h"
#include "engine/workingweek.h"

// A large project: lines of 1 to 20 days, one in five "//", Monday to Friday
// from Monday 7 December 2026.
inline taskloom::BuildInputs largeProject(int lines)
{
    using namespace taskloom;
    BuildInputs inputs;
    QString text;
    for (int i = 0; i < lines; ++i) {
        if (i % 5 == 4)
            text += QStringLiteral("//");
        text += QStringLiteral("Task %1 + %2 days\n").arg(i).arg(i % 20 + 1);
    }
    inputs.taskText = text;
    inputs.projectName = QStringLiteral("Benchmark");
    inputs.today = QDate(2026, 12, 7);
    inputs.weekFlags = WorkingWeek::mondayToFriday();
    inputs.startsAt = QStringLiteral("9:00 AM");
    inputs.endsAt = QStringLiteral("6:00 PM");
    inputs.location = QStringLiteral("Home");
    return inputs;
}
