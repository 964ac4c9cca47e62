#pragma once

#include "buildinputs.h"
#include "buildresult.h"
#include "tasktext.h"
#include "workingweek.h"

#include <QDate>
#include <QHash>
#include <optional>

namespace taskloom {

// Lays the task lines end to end over working days and cuts each task into
// calendar events. One builder serves one build; use build() from outside.
class ScheduleBuilder {
public:
    // A duration beyond this many days either way is refused rather than laid
    // out: nobody plans that far, and it would only ever be a typing slip.
    static constexpr int MaxDurationDays = 10000;
    // Past this many calendar events a build is refused: far beyond any real
    // project, and it keeps a pasted slip from eating all memory.
    static constexpr qsizetype MaxEvents = 200000;

    static BuildResult build(const BuildInputs& inputs);

    // The project's first working day: today, or the picked date when the
    // second option is chosen, moved on to a working day. No date when the
    // picked date is in the past (unless it is the project's kept start) or
    // the working week has no working day.
    static std::optional<QDate> projectStart(StartOption option, QDate pickedStartDate, QDate today,
                                             const WorkingWeek& week, QDate keptStart = {});

    // The name a task is known by for its progress (see DoneTask): the task
    // text of its line without "//" and the blanks around it.
    static QString progressName(const QString& taskText);

    // Halves go to the even neighbour: 2.5 -> 2, 3.5 -> 4, -0.5 -> 0.
    static double roundHalfEven(double value);

    static Problem pastDateRefusal();
    static Problem noWorkingDayRefusal();
    static Problem durationRefusal(qsizetype lineNumber, const QString& line);
    static Problem tooManyEventsRefusal(qsizetype lineNumber);
    // A line whose dates would leave the years 1 to 9999, which no calendar
    // file can hold.
    static Problem pastLastDateRefusal(qsizetype lineNumber, const QString& line);
    static Problem beforeFirstDateRefusal(qsizetype lineNumber, const QString& line);

private:
    // Where one event of a task ends and where the task goes on after it.
    struct Placement {
        QDate start;
        QDate end;
        int placedDays = 0;
        QDate nextWorkingDate;
    };

    ScheduleBuilder(const BuildInputs& inputs, WorkingWeek week, QDate projectStart);

    // Lays out one line; a refusal when its dates leave the calendar or the
    // project grows past MaxEvents.
    std::optional<Problem> addTaskRow(qsizetype lineNumber, QStringView line, const TaskLine& task);
    // False once the project holds MaxEvents events; the build is then refused.
    // A done task's events end by its recorded end (lastDay).
    bool addTaskCalendarEvents(QDate startDate, double dayCount, const QString& taskText,
                               QDate lastDay = {});
    Placement placeNextCalendarEvent(QDate fromDate, int daysLeft) const;

    const BuildInputs& m_inputs;
    WorkingWeek m_week;
    Schedule m_schedule;
    QDate m_previousTaskStart;
    QDate m_nextTaskStart;
    // No task that is not done starts before this day (unset: no such day).
    QDate m_earliestStart;
    QHash<QString, int> m_namesSeen;
    QHash<std::pair<QString, int>, DoneTask> m_done;
};

} // namespace taskloom
