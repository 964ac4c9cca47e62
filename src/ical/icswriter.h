#pragma once

#include "icsevent.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace taskloom {

// Writes iCalendar (RFC 5545) text with libical, which escapes, folds lines
// at 75 octets and ends them with CR LF. The text is UTF-8 without a
// byte-order mark. The writer never reads the clock: the stamp comes in.
class IcsWriter {
public:
    // productId goes into PRODID; stamp, in UTC, into every event's DTSTAMP.
    IcsWriter(const QString& productId, QDateTime stamp);

    // A whole calendar named name (X-WR-CALNAME), one VEVENT an event.
    QByteArray calendar(const QString& name, const QList<IcsEvent>& events) const;

    // One VCALENDAR around one event, as a calendar server keeps each event
    // as a resource of its own; the VEVENT is the same text as in calendar().
    QByteArray singleEventCalendar(const IcsEvent& event) const;

private:
    // The calendar's text with the events' put in before its end.
    QByteArray withEvents(const QByteArray& calendar, const QList<IcsEvent>& events) const;

    QByteArray m_productId;
    QDateTime m_stamp;
};

} // namespace taskloom
