#pragma once

#include "donetask.h"
#include "workingweek.h"

#include <QDate>
#include <QList>
#include <QString>

namespace taskloom {

enum class StartOption {
    RightAway = 0,    // "I want to start running this project right away."
    OnPickedDate = 1, // "Start this project on "
};

// Everything a build reads. Today's date comes in too: the engine never looks
// at the clock.
struct BuildInputs {
    QString taskText;
    QString projectName;
    StartOption startOption = StartOption::RightAway;
    QDate pickedStartDate;
    QDate today;
    WeekFlags weekFlags{};
    bool weekApplies = true;
    QString startsAt;
    QString endsAt;
    // Last, so that lists of the fields above still fill a BuildInputs.
    QList<QDate> datesOff{}; // any order; they count only while the week applies
    QString location{};      // where every calendar event takes place
    // Progress: the tasks marked done keep their recorded dates; every other
    // task starts no earlier than the re-plan date (when set).
    QList<DoneTask> doneTasks{};
    QDate replanDate{};
    // The project's own start, kept in its file: a picked date before today
    // that is this one builds, so a started project opens as it was.
    QDate keptStart{};

    WorkingWeek workingWeek() const { return WorkingWeek(weekFlags, weekApplies, datesOff); }
};

} // namespace taskloom
