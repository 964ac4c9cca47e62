#pragma once

#include "engine/schedule.h"
#include "engine/workingweek.h"

#include <QDate>
#include <QList>
#include <QString>

#include <span>

namespace taskloom {

// What a timeline shows: one built schedule with the working week it was
// built over (so days off are the ones the builder skipped), today's date and
// the project's name. Made once per build; painting only reads it.
class TimelineScene {
public:
    TimelineScene() = default;
    TimelineScene(Schedule schedule, WorkingWeek week, QDate today, QString projectName);

    const Schedule& schedule() const { return m_schedule; }
    const WorkingWeek& week() const { return m_week; }
    QDate today() const { return m_today; }
    const QString& projectName() const { return m_projectName; }

    int rowCount() const { return static_cast<int>(m_schedule.rows.size()); }
    bool isEmpty() const { return m_schedule.rows.isEmpty(); }
    // The days the chart spans: one day either side of the plan, so no bar
    // touches an edge. No days for an empty schedule.
    QDate firstDay() const { return m_firstDay; }
    int dayCount() const { return m_dayCount; }

    // The last day a row's bars take: its end date, or its start date when it
    // has no events (its end is then nothing to show, or before the start).
    QDate lastDrawnDay(int row) const;
    // The calendar events of one row, in order.
    std::span<const CalendarEvent> eventsOf(int row) const;
    // The task name without the "<project>: " the table repeats on every row.
    QString taskName(int row) const;

private:
    Schedule m_schedule;
    WorkingWeek m_week;
    QDate m_today;
    QString m_projectName;
    QDate m_firstDay;
    int m_dayCount = 0;
    // Where each row's events begin in schedule.events (rowCount + 1 entries):
    // the builder appends them row by row.
    QList<qsizetype> m_firstEvent;
};

} // namespace taskloom
