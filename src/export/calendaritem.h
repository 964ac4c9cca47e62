#pragma once

#include <QByteArray>
#include <QString>

namespace taskloom {

// One event of the plan as it is published: its own calendar file (one
// VCALENDAR holding its VEVENT), its UID, and its subject for messages.
struct CalendarItem {
    QString uid;
    QString subject;
    QByteArray ics;
};

} // namespace taskloom
