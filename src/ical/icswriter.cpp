#include "icswriter.h"

#include "icaldate.h"

#include <libical/ical.h>

#include <algorithm>
#include <memory>

namespace taskloom {

namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

Component newComponent(icalcomponent_kind kind)
{
    return {icalcomponent_new(kind), &icalcomponent_free};
}

bool isControl(char16_t u)
{
    return u < 0x20 || u == 0x7f;
}

// Text as iCalendar can carry it. libical escapes commas, semicolons,
// backslashes and line feeds, but drops a lone CR and passes other control
// characters through, which no TEXT value may hold: every line break becomes
// a line feed and the other controls but the tab go.
QByteArray textValue(const QString& text)
{
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return isControl(c.unicode()); }))
        return text.toUtf8();
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u == u'\r') {
            clean += u'\n';
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (!isControl(u) || u == u'\n' || u == u'\t') {
            clean += QChar(u);
        }
    }
    return clean.toUtf8();
}

// No zone: "9:00 AM" wherever the reader is.
icaltimetype floatingValue(QDate date, QTime time)
{
    icaltimetype value = icaltime_null_time();
    value.year = date.year();
    value.month = date.month();
    value.day = date.day();
    value.hour = time.hour();
    value.minute = time.minute();
    value.second = time.second();
    return value;
}

icaltimetype utcValue(const QDateTime& time)
{
    return icaltime_from_timet_with_zone(static_cast<time_t>(time.toSecsSinceEpoch()), 0,
                                         icaltimezone_get_utc_timezone());
}

void addText(icalcomponent* component, icalproperty* (*make)(const char*), const QString& text)
{
    icalcomponent_add_property(component, make(textValue(text).constData()));
}

Component makeCalendar(const QByteArray& productId)
{
    Component calendar = newComponent(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(productId.constData()));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    return calendar;
}

Component makeEvent(const IcsEvent& event, const icaltimetype& stamp)
{
    Component vevent = newComponent(ICAL_VEVENT_COMPONENT);
    icalcomponent* c = vevent.get();
    addText(c, icalproperty_new_uid, event.uid);
    icalcomponent_add_property(c, icalproperty_new_dtstamp(stamp));
    if (event.isTimed()) {
        // The day's hours, repeated on each day of the run: a calendar shows
        // 9 to 6 on every day, not one block running through the nights.
        icalcomponent_add_property(
            c, icalproperty_new_dtstart(floatingValue(event.firstDay, event.from)));
        icalcomponent_add_property(c,
                                   icalproperty_new_dtend(floatingValue(event.firstDay, event.to)));
        if (event.dayCount >= 2) {
            icalrecurrencetype rule;
            icalrecurrencetype_clear(&rule);
            rule.freq = ICAL_DAILY_RECURRENCE;
            rule.count = event.dayCount;
            icalcomponent_add_property(c, icalproperty_new_rrule(rule));
        }
    } else {
        // The end date is the day after the last one: DTEND is exclusive.
        icalcomponent_add_property(c, icalproperty_new_dtstart(IcalDate::value(event.firstDay)));
        icalcomponent_add_property(
            c, icalproperty_new_dtend(IcalDate::value(event.firstDay.addDays(event.dayCount))));
    }
    addText(c, icalproperty_new_summary, event.summary);
    if (!event.description.isEmpty())
        addText(c, icalproperty_new_description, event.description);
    if (!event.location.isEmpty())
        addText(c, icalproperty_new_location, event.location);
    if (event.isPrivate)
        icalcomponent_add_property(c, icalproperty_new_class(ICAL_CLASS_PRIVATE));
    return vevent;
}

// Appends the component's text. libical 3.0 folds a property together with
// its CR LF: when the last piece of a long value has nowhere to break (no
// blank, ';' or ':'), it cuts between CR and LF ("\r" "\r\n " "\n") or leaves
// a continuation line holding only its blank. Both are put right here; they
// cannot arise otherwise, as values hold no CR.
void appendSerialised(QByteArray& out, icalcomponent* component)
{
    const std::unique_ptr<char, decltype(&icalmemory_free_buffer)> buffer(
        icalcomponent_as_ical_string_r(component), &icalmemory_free_buffer);
    const QByteArrayView text(buffer.get());
    bool slipped = false;
    for (qsizetype i = text.indexOf('\r'); i > 0 && !slipped; i = text.indexOf('\r', i + 1))
        slipped = text[i - 1] == '\r' || (i > 1 && text[i - 1] == ' ' && text[i - 2] == '\n');
    if (!slipped) {
        out += text;
        return;
    }
    QByteArray mended = text.toByteArray();
    mended.replace("\r\r\n \n", "\r\n");
    mended.replace("\r\n \r\n", "\r\n");
    out += mended;
}

} // namespace

IcsWriter::IcsWriter(const QString& productId, QDateTime stamp)
    : m_productId(textValue(productId)), m_stamp(std::move(stamp))
{
}

QByteArray IcsWriter::calendar(const QString& name, const QList<IcsEvent>& events) const
{
    Component calendar = makeCalendar(m_productId);
    icalproperty* calendarName = icalproperty_new_x(textValue(name).constData());
    icalproperty_set_x_name(calendarName, "X-WR-CALNAME");
    icalcomponent_add_property(calendar.get(), calendarName);
    QByteArray text;
    appendSerialised(text, calendar.get());
    return withEvents(text, events);
}

QByteArray IcsWriter::singleEventCalendar(const IcsEvent& event) const
{
    QByteArray text;
    appendSerialised(text, makeCalendar(m_productId).get());
    return withEvents(text, {event});
}

QByteArray IcsWriter::withEvents(const QByteArray& calendar, const QList<IcsEvent>& events) const
{
    // Each event is built, serialised and freed on its own, then put before
    // the calendar's end: the same text as one tree serialised whole, in a
    // third of the time, without holding every event's tree at once.
    static constexpr QByteArrayView End("END:VCALENDAR\r\n");
    Q_ASSERT(calendar.endsWith(End));
    QByteArray text = calendar.first(calendar.size() - End.size());
    text.reserve(calendar.size() + events.size() * 320);
    const icaltimetype stamp = utcValue(m_stamp);
    for (const IcsEvent& event : events)
        appendSerialised(text, makeEvent(event, stamp).get());
    text += End;
    return text;
}

} // namespace taskloom
