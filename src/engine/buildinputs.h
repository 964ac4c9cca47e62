#pragma once

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

    WorkingWeek workingWeek() const { return WorkingWeek(weekFlags, weekApplies, datesOff); }
};

} // namespace taskloom
