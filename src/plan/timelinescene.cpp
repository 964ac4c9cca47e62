#include "timelinescene.h"

namespace taskloom {

TimelineScene::TimelineScene(Schedule schedule, WorkingWeek week, QDate today, QString projectName)
    : m_schedule(std::move(schedule)), m_week(week), m_today(today),
      m_projectName(std::move(projectName))
{
    const QList<ScheduleRow>& rows = m_schedule.rows;
    const QList<CalendarEvent>& events = m_schedule.events;
    m_firstEvent.reserve(rows.size() + 1);
    qsizetype event = 0;
    QDate first;
    QDate last;
    for (int row = 0; row < rows.size(); ++row) {
        m_firstEvent.append(event);
        while (event < events.size() && events.at(event).row == row)
            ++event;
    }
    m_firstEvent.append(event);
    for (int row = 0; row < rows.size(); ++row) {
        const QDate start = rows.at(row).start;
        const QDate end = lastDrawnDay(row);
        if (!first.isValid() || start < first)
            first = start;
        if (!last.isValid() || end > last)
            last = end;
    }
    if (first.isValid()) {
        m_firstDay = first.addDays(-1);
        m_dayCount = static_cast<int>(m_firstDay.daysTo(last)) + 2;
    }
}

QDate TimelineScene::lastDrawnDay(int row) const
{
    const ScheduleRow& r = m_schedule.rows.at(row);
    const bool hasEvents = m_firstEvent.at(row + 1) > m_firstEvent.at(row);
    return hasEvents ? std::max(r.start, r.end) : r.start;
}

std::span<const CalendarEvent> TimelineScene::eventsOf(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const qsizetype from = m_firstEvent.at(row);
    const qsizetype to = m_firstEvent.at(row + 1);
    return {m_schedule.events.constData() + from, static_cast<std::size_t>(to - from)};
}

QString TimelineScene::taskName(int row) const
{
    const QString& task = m_schedule.rows.at(row).task;
    const QString prefix = m_projectName + QStringLiteral(": ");
    // The blank typed before "+ 3 days" is no part of the name on screen.
    return (task.startsWith(prefix) ? task.mid(prefix.size()) : task).trimmed();
}

} // namespace taskloom
