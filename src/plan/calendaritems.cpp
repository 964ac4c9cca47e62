#include "calendaritems.h"

#include "export/calendarics.h"

namespace taskloom {

QList<CalendarItem> CalendarItems::of(const Schedule& schedule, const CalendarIcs& ics)
{
    QList<CalendarItem> items;
    const QList<IcsEvent> events = ics.events(schedule);
    items.reserve(events.size());
    for (const IcsEvent& event : events)
        items.append({event.uid, event.summary, ics.eventText(event)});
    return items;
}

} // namespace taskloom
