#include "calendarics.h"

#include "files/atomicfile.h"
#include "taskloomversion.h"

#include <QHash>
#include <QUuid>

#include <optional>
#include <utility>

namespace taskloom {

namespace {

// Every Taskloom UID is a name-based UUID in this namespace.
const QUuid UidNamespace(QStringLiteral("6e0a8588-11da-4422-b7e5-005aa96105da"));

// The events of a schedule share their hour texts: read each text once.
class HourReader {
public:
    QTime read(const QString& text)
    {
        if (!m_last || text != m_last->first)
            m_last = {text, CalendarIcs::readHour(text)};
        return m_last->second;
    }

private:
    std::optional<std::pair<QString, QTime>> m_last;
};

} // namespace

CalendarIcs::CalendarIcs(QString name, QString key, const QDateTime& stamp)
    : m_name(std::move(name)), m_key(std::move(key)), m_writer(productId(), stamp)
{
}

QList<IcsEvent> CalendarIcs::events(const Schedule& schedule) const
{
    // Rows with the same task text are counted in their order. Every row of
    // a schedule starts with the same project name, so the row's text tells
    // the tasks apart; a row too short for an event still keeps its number.
    QHash<QString, int> seen;
    QList<int> occurrence;
    occurrence.reserve(schedule.rows.size());
    for (const ScheduleRow& row : schedule.rows)
        occurrence.append(++seen[row.task]);

    HourReader starts;
    HourReader ends;
    QList<IcsEvent> events;
    events.reserve(schedule.events.size());
    for (const CalendarEvent& e : schedule.events) {
        IcsEvent event;
        event.uid = uid(m_key, e.description, occurrence.value(e.row, 1), e.piece);
        event.summary = e.subject;
        event.description = e.description;
        event.location = e.location;
        event.isPrivate = e.isPrivate;
        event.firstDay = e.startDate;
        event.dayCount = static_cast<int>(e.startDate.daysTo(e.endDate)) + 1;
        event.from = starts.read(e.startTime);
        event.to = ends.read(e.endTime);
        events.append(std::move(event));
    }
    return events;
}

QByteArray CalendarIcs::text(const Schedule& schedule) const
{
    return m_writer.calendar(m_name, events(schedule));
}

QByteArray CalendarIcs::eventText(const IcsEvent& event) const
{
    return m_writer.singleEventCalendar(event);
}

std::optional<QString> CalendarIcs::write(const QString& path, const Schedule& schedule) const
{
    return AtomicFile::write(path, text(schedule));
}

QString CalendarIcs::productId()
{
    return QStringLiteral("-//Taskloom//Taskloom %1//EN").arg(QLatin1StringView(Version));
}

QString CalendarIcs::uid(const QString& key, const QString& description, int occurrence, int piece)
{
    const QString name = key + u'\n' + description + u'\n' + QString::number(occurrence) + u'\n' +
                         QString::number(piece);
    return QUuid::createUuidV5(UidNamespace, name.toUtf8()).toString(QUuid::WithoutBraces) +
           QStringLiteral("@taskloom");
}

QTime CalendarIcs::readHour(const QString& text)
{
    // The shipped hours read "9:00 AM"; a typed "17:30" counts too. The
    // format reads AM and PM whatever the locale.
    const QTime time = QTime::fromString(text, QStringLiteral("h:mm AP"));
    return time.isValid() ? time : QTime::fromString(text, QStringLiteral("H:mm"));
}

} // namespace taskloom
