#pragma once

#include "engine/schedule.h"
#include "ical/icsevent.h"
#include "ical/icswriter.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
#include <optional>

namespace taskloom {

// The schedule's calendar events as an iCalendar file, which desktop, phone
// and web calendars all read. Every event carries a UID that stays the same
// across exports, so a calendar that imports the file again updates its
// events instead of adding them twice.
class CalendarIcs {
public:
    // name: the calendar's name (the project name). key: the UIDs' first
    // part, the project file's id, else the project name. stamp: the time of
    // the export in UTC; the exporter never reads the clock.
    CalendarIcs(QString name, QString key, const QDateTime& stamp);

    // One event a calendar event of the schedule, in the schedule's order.
    QList<IcsEvent> events(const Schedule& schedule) const;
    // The whole file.
    QByteArray text(const Schedule& schedule) const;
    // One VCALENDAR holding one event, its VEVENT the same text as in the
    // whole file: what publishing puts on a calendar server under its UID.
    QByteArray eventText(const IcsEvent& event) const;

    // Writes the whole file to the path atomically. On failure returns the
    // system's reason; the old file stays whole.
    std::optional<QString> write(const QString& path, const Schedule& schedule) const;

    static QString productId();
    // A name-based UUID of the four parts, so that re-exporting, editing
    // other lines or changing the task's duration keeps it. occurrence: which
    // row of that same task text it is (1, 2, ...); piece: which run of days.
    static QString uid(const QString& key, const QString& description, int occurrence, int piece);
    // An hour text as a time of day: "9:00 AM" or "17:30"; otherwise invalid.
    static QTime readHour(const QString& text);

private:
    QString m_name;
    QString m_key;
    IcsWriter m_writer;
};

} // namespace taskloom
