#include "icsreader.h"

#include "icaldate.h"

#include <libical/ical.h>

#include <QDateTime>
#include <QSet>
#include <QTimeZone>

#include <algorithm>
#include <memory>
#include <utility>

namespace taskloom {

namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

const QByteArray ByteOrderMark("\xEF\xBB\xBF");

// One line of text: a summary's line breaks would split a daysoff.txt line.
QString textOf(const char* text)
{
    return QString::fromUtf8(text).simplified();
}

// A moved occurrence of a recurring event: its UID and the date it replaces.
using Occurrence = std::pair<QString, QDate>;

struct Expansion {
    QDate from;
    QDate to;
    const QSet<Occurrence>* moved = nullptr;
    QString uid;
    QString label;
    qint64 dayCount = 1;
    QList<DayOff>* daysOff = nullptr;
};

// Called by libical for each occurrence: its span starts at midnight UTC of
// the occurrence's first day.
void takeOccurrence(icalcomponent* /*event*/, icaltime_span* span, void* data)
{
    auto* expansion = static_cast<Expansion*>(data);
    const QDate first = QDateTime::fromSecsSinceEpoch(span->start, QTimeZone::utc()).date();
    if (expansion->moved->contains({expansion->uid, first}))
        return;
    const QDate last = std::min(first.addDays(expansion->dayCount - 1), expansion->to);
    for (QDate date = std::max(first, expansion->from); date <= last; date = date.addDays(1))
        expansion->daysOff->append({date, expansion->label});
}

// An event that recurs more often than daily is no holiday, and its
// expansion over decades would take very long: it is left out.
bool recursWithinADay(icalcomponent* event)
{
    icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    if (rule == nullptr)
        return false;
    const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
    return recurrence.freq == ICAL_SECONDLY_RECURRENCE ||
           recurrence.freq == ICAL_MINUTELY_RECURRENCE || recurrence.freq == ICAL_HOURLY_RECURRENCE;
}

// The calendars of the file: one, or several one after another.
QList<icalcomponent*> calendarsIn(icalcomponent* root)
{
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT)
        return {root};
    QList<icalcomponent*> calendars;
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
         c != nullptr; c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
        calendars.append(c);
    return calendars;
}

QList<icalcomponent*> eventsIn(const QList<icalcomponent*>& calendars)
{
    QList<icalcomponent*> events;
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
             e != nullptr; e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
            events.append(e);
    }
    return events;
}

} // namespace

bool IcsReader::looksLikeCalendar(const QByteArray& bytes)
{
    QByteArray start = bytes.left(256);
    if (start.startsWith(ByteOrderMark))
        start.remove(0, ByteOrderMark.size());
    return start.trimmed().toUpper().startsWith("BEGIN:VCALENDAR");
}

IcsReader::DaysOffRead IcsReader::readDaysOff(const QByteArray& bytes, const QString& fileName,
                                              int firstYear, int lastYear)
{
    DaysOffRead read;
    QByteArray text = bytes;
    if (text.startsWith(ByteOrderMark))
        text.remove(0, ByteOrderMark.size());
    // The parser gives nothing for text that is no calendar, or one cut off
    // before its END:VCALENDAR.
    const Component root(text.contains('\0') ? nullptr : icalparser_parse_string(text.constData()),
                         &icalcomponent_free);
    const QList<icalcomponent*> calendars =
        root ? calendarsIn(root.get()) : QList<icalcomponent*>();
    if (calendars.isEmpty()) {
        read.error = QStringLiteral("Error: %1 is not an iCalendar file: it must hold a whole "
                                    "calendar, from BEGIN:VCALENDAR to END:VCALENDAR.")
                         .arg(fileName);
        return read;
    }

    const QList<icalcomponent*> events = eventsIn(calendars);
    // Occurrences moved to another day come as events of their own, with the
    // date they replace in RECURRENCE-ID.
    QSet<Occurrence> moved;
    for (icalcomponent* event : events) {
        const icaltimetype replaced = icalcomponent_get_recurrenceid(event);
        if (!icaltime_is_null_time(replaced))
            moved.insert({textOf(icalcomponent_get_uid(event)), IcalDate::dateOf(replaced)});
    }

    const QDate from(firstYear, 1, 1);
    const QDate to(lastYear, 12, 31);
    for (icalcomponent* event : events) {
        const icaltimetype start = icalcomponent_get_dtstart(event);
        if (icaltime_is_null_time(start) || !start.is_date ||
            icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED || recursWithinADay(event))
            continue;
        // DTEND is the day after the last; without it (or DURATION) one day.
        const icaltimetype end = icalcomponent_get_dtend(event);
        const qint64 dayCount =
            icaltime_is_null_time(end)
                ? 1
                : std::max<qint64>(1, IcalDate::dateOf(start).daysTo(IcalDate::dateOf(end)));
        Expansion expansion{from,
                            to,
                            &moved,
                            textOf(icalcomponent_get_uid(event)),
                            textOf(icalcomponent_get_summary(event)),
                            dayCount,
                            &read.daysOff};
        // An override stands for itself, not for the date it replaces.
        if (!icaltime_is_null_time(icalcomponent_get_recurrenceid(event)))
            expansion.uid.clear();
        // From far enough back that a run begun before the first year still
        // counts; a closure of more than a year is no holiday calendar's.
        const QDate reach = from.addDays(-std::min<qint64>(dayCount, 366));
        icalcomponent_foreach_recurrence(event, IcalDate::value(reach),
                                         IcalDate::value(to.addDays(1)), &takeOccurrence,
                                         &expansion);
    }
    read.daysOff = DayOff::merged(std::move(read.daysOff));
    return read;
}

} // namespace taskloom
