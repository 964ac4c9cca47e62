#pragma once

#include "engine/dayoff.h"
#include "engine/problem.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace taskloom {

// A file of dates off that the user names: a holiday calendar (a name ending
// in .ics, or a file that starts as a calendar does) or dates written as
// daysoff.txt holds them. The command line's --days-off and the Working Week
// dialog's import read through here.
class DaysOffFile {
public:
    // The years a holiday calendar's recurring days are expanded over: from
    // the year before `from` (a task of negative length reaches back) to
    // thirty years after it.
    struct Years {
        int first = 0;
        int last = 0;
    };
    static Years calendarYears(QDate from);

    struct Read {
        QList<DayOff> daysOff; // sorted, each date once
        // The system's reason when the file could not be read at all.
        std::optional<QString> unreadable;
        // A calendar file that is no calendar, worded for the user.
        std::optional<QString> error;
        // Lines of a dates file that hold no date: skipped, the rest still count.
        QList<Problem> problems;
        // Days a calendar could not give in full; the rest still count.
        QStringList warnings;
        Years years;
    };
    // from: the date the calendar's years count from (today for the dialog,
    // the plan's start for the command line).
    static Read read(const QString& path, QDate from);
};

} // namespace taskloom
