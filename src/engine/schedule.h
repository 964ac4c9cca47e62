#pragma once

#include "calendarevent.h"
#include "schedulerow.h"

#include <QDate>
#include <QList>

namespace taskloom {

// Everything one build produces; every build replaces the whole value.
struct Schedule {
    QDate projectStart;
    QList<ScheduleRow> rows;
    QList<CalendarEvent> events;
};

} // namespace taskloom
