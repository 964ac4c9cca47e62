#include "schedulebuilder.h"

#include "tasktext.h"

#include <QLocale>
#include <QStringBuilder>

#include <algorithm>
#include <cmath>

namespace taskloom {

namespace {

// True when the duration can be laid out: a finite number whose whole days
// stay within the limit.
bool durationInRange(double duration)
{
    if (!std::isfinite(duration))
        return false;
    const double days = ScheduleBuilder::roundHalfEven(duration);
    return days <= ScheduleBuilder::MaxDurationDays && days >= -ScheduleBuilder::MaxDurationDays;
}

// The calendar files write four-digit years: nothing may fall outside them.
const QDate FirstDate(1, 1, 1);
const QDate LastDate(9999, 12, 31);

} // namespace

BuildResult ScheduleBuilder::build(const BuildInputs& inputs)
{
    if (inputs.startOption == StartOption::OnPickedDate && inputs.pickedStartDate < inputs.today &&
        inputs.pickedStartDate != inputs.keptStart)
        return pastDateRefusal();
    const WorkingWeek week = inputs.workingWeek();
    if (!week.hasWorkingDay())
        return noWorkingDayRefusal();
    const std::optional<QDate> start = projectStart(inputs.startOption, inputs.pickedStartDate,
                                                    inputs.today, week, inputs.keptStart);
    if (!start)
        return pastDateRefusal();

    const QList<QStringView> lines = TaskText::taskLines(inputs.taskText);
    ScheduleBuilder builder(inputs, week, *start);
    builder.m_schedule.rows.reserve(lines.size());
    builder.m_schedule.events.reserve(lines.size() * 2);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TaskLine task = TaskText::parseTaskLine(lines.at(i));
        // Refused before anything of it is laid out; the half-built value is dropped.
        if (!durationInRange(task.duration))
            return durationRefusal(i + 1, lines.at(i).toString());
        if (std::optional<Problem> refusal = builder.addTaskRow(i + 1, lines.at(i), task))
            return std::move(*refusal);
    }
    return std::move(builder.m_schedule);
}

std::optional<QDate> ScheduleBuilder::projectStart(StartOption option, QDate pickedStartDate,
                                                   QDate today, const WorkingWeek& week,
                                                   QDate keptStart)
{
    QDate base = today;
    if (option == StartOption::OnPickedDate) {
        if (!pickedStartDate.isValid() || (pickedStartDate < today && pickedStartDate != keptStart))
            return std::nullopt;
        base = pickedStartDate;
    }
    if (!week.hasWorkingDay())
        return std::nullopt;
    return week.firstWorkingDayFrom(base);
}

QString ScheduleBuilder::progressName(const QString& taskText)
{
    return TaskText::taskName(taskText).trimmed();
}

double ScheduleBuilder::roundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

Problem ScheduleBuilder::pastDateRefusal()
{
    return {QStringLiteral("Ooops!"),
            QStringLiteral("Your project is set to start on a past date. Please fix this.")};
}

Problem ScheduleBuilder::noWorkingDayRefusal()
{
    return {QStringLiteral("Ooops!"),
            QStringLiteral("Your working week has no working days. Please choose at least one "
                           "working day in Settings.")};
}

Problem ScheduleBuilder::durationRefusal(qsizetype lineNumber, const QString& line)
{
    // One multi-argument call: a "%1" typed in the line stays as typed.
    return {QStringLiteral("Ooops!"),
            QStringLiteral("Line %1 (\"%2\") has a duration that cannot be scheduled. Please give "
                           "a number of days between -%3 and %3.")
                .arg(QString::number(lineNumber), line, QString::number(MaxDurationDays))};
}

Problem ScheduleBuilder::tooManyEventsRefusal(qsizetype lineNumber)
{
    return {QStringLiteral("Ooops!"),
            QStringLiteral("At line %1 this project grows past %2 calendar events. Please split it "
                           "into smaller projects or shorten its tasks.")
                .arg(QString::number(lineNumber), QLocale(QLocale::English).toString(MaxEvents))};
}

Problem ScheduleBuilder::pastLastDateRefusal(qsizetype lineNumber, const QString& line)
{
    return {QStringLiteral("Ooops!"),
            QStringLiteral("Line %1 (\"%2\") would run the plan past 31 December 9999. Please "
                           "shorten the tasks or start earlier.")
                .arg(QString::number(lineNumber), line)};
}

Problem ScheduleBuilder::beforeFirstDateRefusal(qsizetype lineNumber, const QString& line)
{
    return {QStringLiteral("Ooops!"),
            QStringLiteral("Line %1 (\"%2\") would run the plan back before 1 January 1. Please "
                           "shorten the tasks that go back or start later.")
                .arg(QString::number(lineNumber), line)};
}

ScheduleBuilder::ScheduleBuilder(const BuildInputs& inputs, WorkingWeek week, QDate projectStart)
    : m_inputs(inputs), m_week(std::move(week)), m_previousTaskStart(projectStart),
      m_nextTaskStart(projectStart)
{
    m_schedule.projectStart = projectStart;
    // Right away, nothing still to do starts before today, even after tasks
    // done early; after a re-plan, nothing starts before the re-plan date.
    if (inputs.startOption == StartOption::RightAway && !inputs.doneTasks.isEmpty())
        m_earliestStart = projectStart;
    if (inputs.replanDate.isValid())
        m_earliestStart = std::max(m_earliestStart, m_week.firstWorkingDayFrom(inputs.replanDate));
    for (const DoneTask& done : inputs.doneTasks)
        m_done.insert({done.name, done.occurrence}, done);
}

std::optional<Problem> ScheduleBuilder::addTaskRow(qsizetype lineNumber, QStringView line,
                                                   const TaskLine& task)
{
    const QString& taskText = task.text;
    const QString name = TaskText::taskName(taskText);
    double duration = task.duration;
    if (duration == 0)
        duration = 1;
    const int k = static_cast<int>(roundHalfEven(duration - 1));

    // A "//" line runs beside the row before it, on every build; on the first
    // row that is the project start, the same as an ordinary task.
    const bool parallel = TaskText::isParallel(taskText);
    // Only a plan with progress needs to know who each task is.
    auto done = m_done.cend();
    if (!m_done.isEmpty()) {
        const QString key = progressName(taskText);
        done = m_done.constFind({key, ++m_namesSeen[key]});
    }
    QDate start = parallel ? m_previousTaskStart : m_nextTaskStart;
    QDate end;
    if (done != m_done.cend()) {
        start = done->start;
        end = done->end;
    } else {
        start = std::max(start, m_earliestStart);
        end = m_week.addWorkingDays(start, k);
    }
    // Its events lie between these two dates, so they are the ones to check.
    if (std::max(start, end) > LastDate)
        return pastLastDateRefusal(lineNumber, line.toString());
    if (std::min(start, end) < FirstDate)
        return beforeFirstDateRefusal(lineNumber, line.toString());

    m_previousTaskStart = start;
    m_nextTaskStart = m_week.addWorkingDays(end, 1);

    const bool isDone = done != m_done.cend();
    m_schedule.rows.append({m_inputs.projectName + QStringLiteral(": ") + name, start, end,
                            duration, parallel, isDone});
    if (!addTaskCalendarEvents(start, duration, parallel ? name : taskText, isDone ? end : QDate()))
        return tooManyEventsRefusal(lineNumber);
    return std::nullopt;
}

bool ScheduleBuilder::addTaskCalendarEvents(QDate startDate, double dayCount,
                                            const QString& taskText, QDate lastDay)
{
    // Only whole days become events; a count below one (0.5, or negative)
    // gives none.
    int remaining = static_cast<int>(std::floor(dayCount));
    QDate next = startDate;
    // A done task's recorded start need not work under today's week.
    if (lastDay.isValid())
        next = m_week.firstWorkingDayFrom(startDate);
    int number = 0;
    const QString subject = m_inputs.projectName % u": " % taskText;
    while (remaining > 0 && !(lastDay.isValid() && next > lastDay)) {
        if (m_schedule.events.size() >= MaxEvents)
            return false;
        Placement placed = placeNextCalendarEvent(next, remaining);
        // A task done early ends on the day it was marked.
        if (lastDay.isValid() && placed.end > lastDay) {
            placed.end = lastDay;
            placed.placedDays = remaining;
        }
        // Every event starts on a working day (the task's start, or the next
        // working day after a run), so it places at least one day. Weekdays
        // off and dates off both answer through the one working-day test the
        // step uses too; a test that disagreed with the step would loop here.
        Q_ASSERT(placed.placedDays > 0);
        next = placed.nextWorkingDate;
        remaining -= placed.placedDays;
        ++number;
        CalendarEvent event;
        event.subject = number == 1 ? subject : subject % u" (" % QString::number(number) % u')';
        event.startDate = placed.start;
        event.startTime = m_inputs.startsAt;
        event.endDate = placed.end;
        event.endTime = m_inputs.endsAt;
        event.description = taskText;
        event.location = m_inputs.location;
        event.row = static_cast<int>(m_schedule.rows.size()) - 1;
        event.piece = number;
        m_schedule.events.append(std::move(event));
    }
    return true;
}

ScheduleBuilder::Placement ScheduleBuilder::placeNextCalendarEvent(QDate fromDate,
                                                                   int daysLeft) const
{
    Placement placed{fromDate, fromDate, 0, fromDate};
    placed.placedDays = m_week.workingRunLength(fromDate, daysLeft);
    if (placed.placedDays == 0)
        return placed;
    placed.end = fromDate.addDays(placed.placedDays - 1);
    // A day off cut the run short: the task goes on at the next working day.
    if (placed.placedDays < daysLeft)
        placed.nextWorkingDate = m_week.addWorkingDays(placed.end, 1);
    return placed;
}

} // namespace taskloom
