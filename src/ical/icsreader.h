#pragma once

#include "engine/dayoff.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace taskloom {

// Reads the dates off out of an iCalendar file of holidays, such as the
// public-holiday calendars that calendar services and governments publish:
// every day of every all-day event is a date off labelled with the event's
// summary (a three-day closure gives three dates). Timed and cancelled events
// are left out.
class IcsReader {
public:
    struct DaysOffRead {
        QList<DayOff> daysOff; // sorted, each date once
        QString error;         // worded for the user; empty when the file was read
        // Worded for the user, each naming an event and its rule: events that
        // repeat by a rule that cannot be read, so that only their own dates
        // count. The dates were read all the same.
        QStringList warnings;
    };

    // The dates from 1 January of firstYear to 31 December of lastYear;
    // recurring events are expanded over those years, their exceptions
    // (EXDATE) left out and their extra dates (RDATE) and moved occurrences
    // taken in. A yearly rule by Easter (BYEASTER=-2 for Good Friday), which
    // libical drops, is expanded here. A date covered by several events is
    // labelled with their summaries, each once, in the order they first come
    // in the file. fileName names the file in the error and the warnings.
    static DaysOffRead readDaysOff(const QByteArray& bytes, const QString& fileName, int firstYear,
                                   int lastYear);

    // True when the bytes start as a calendar file does, with BEGIN:VCALENDAR
    // (after a byte-order mark or blank lines), whatever the file is called.
    static bool looksLikeCalendar(const QByteArray& bytes);
};

} // namespace taskloom
