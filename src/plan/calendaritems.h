#pragma once

#include "export/calendaritem.h"

#include <QList>

namespace taskloom {

class CalendarIcs;
struct Schedule;

// The plan's events as calendar resources: each one the iCalendar export's
// event, alone in its own VCALENDAR, under the export's UID.
class CalendarItems {
public:
    static QList<CalendarItem> of(const Schedule& schedule, const CalendarIcs& ics);
};

} // namespace taskloom
