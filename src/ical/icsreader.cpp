#include "icsreader.h"

#include "icaldate.h"

#include <libical/ical.h>

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace taskloom {

namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

const QByteArray ByteOrderMark("\xEF\xBB\xBF");

// Events whose rules cannot be read are named up to this many; past it, how
// many more.
constexpr qsizetype MaxRuleWarnings = 5;

// One line of text: a summary's line breaks would split a daysoff.txt line.
QString textOf(const char* text)
{
    return QString::fromUtf8(text).simplified();
}

// Text of the file as a warning quotes it: without control characters, cut
// short, since the command line prints it.
QString quoted(const QString& text)
{
    constexpr qsizetype MaxQuoted = 100;
    QString shown;
    for (const char32_t c : text.toUcs4()) {
        if (QChar::isPrint(c))
            shown += QString::fromUcs4(&c, 1);
    }
    return shown.size() > MaxQuoted ? shown.left(MaxQuoted) + QStringLiteral("…") : shown;
}

// A moved occurrence of a recurring event: its UID and the date it replaces.
using Occurrence = std::pair<QString, QDate>;

// The days an occurrence covers within the years read, as Julian days, and
// the index of its label.
struct Span {
    qint64 first;
    qint64 last;
    qsizetype label;
};

struct Expansion {
    QDate from;
    QDate to;
    const QSet<Occurrence>* moved = nullptr;
    QString uid;
    qsizetype label = 0;
    qint64 dayCount = 1;
    std::vector<Span>* spans = nullptr;
};

// One occurrence from its first day, cut to the years read: a span, not its
// days, so a long event repeated often costs no more than a short one.
void addOccurrence(const Expansion& expansion, QDate first)
{
    if (expansion.moved->contains({expansion.uid, first}))
        return;
    const QDate start = std::max(first, expansion.from);
    const QDate end = std::min(first.addDays(expansion.dayCount - 1), expansion.to);
    if (start <= end)
        expansion.spans->push_back({start.toJulianDay(), end.toJulianDay(), expansion.label});
}

// Called by libical for each occurrence: its span starts at midnight UTC of
// the occurrence's first day.
void takeOccurrence(icalcomponent* /*event*/, icaltime_span* span, void* data)
{
    addOccurrence(*static_cast<const Expansion*>(data),
                  QDateTime::fromSecsSinceEpoch(span->start, QTimeZone::utc()).date());
}

// Easter Sunday of a year of the Gregorian calendar (the anonymous computus).
QDate easterSunday(int year)
{
    const int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451, n = h + l - 7 * m + 114;
    return {year, n / 31, n % 31 + 1};
}

// A yearly rule by Easter, which holiday calendars use for Good Friday
// ("FREQ=YEARLY;BYEASTER=-2") and libical cannot read: the days from Easter
// Sunday, and the rule's other parts as libical reads them. None for a rule
// with any other part beside BYEASTER than a yearly rule's UNTIL, COUNT,
// INTERVAL and WKST.
struct EasterRule {
    int days = 0;
    icalrecurrencetype recurrence;
};

std::optional<EasterRule> easterRuleOf(const QString& rule)
{
    QStringList parts = rule.split(u';');
    const auto isEaster = [](const QString& part) {
        return part.startsWith(QStringLiteral("BYEASTER="), Qt::CaseInsensitive);
    };
    const auto easter = std::find_if(parts.begin(), parts.end(), isEaster);
    if (easter == parts.end() || std::count_if(parts.begin(), parts.end(), isEaster) != 1)
        return std::nullopt;
    bool isNumber = false;
    const int days = easter->mid(9).toInt(&isNumber);
    parts.erase(easter);
    const icalrecurrencetype r =
        icalrecurrencetype_from_string(parts.join(u';').toUtf8().constData());
    const short* const lists[] = {r.by_second,  r.by_minute,    r.by_hour,
                                  r.by_day,     r.by_month_day, r.by_year_day,
                                  r.by_week_no, r.by_month,     r.by_set_pos};
    const bool onlyYearly = r.freq == ICAL_YEARLY_RECURRENCE &&
                            std::all_of(std::begin(lists), std::end(lists), [](const short* list) {
                                return list[0] == ICAL_RECURRENCE_ARRAY_MAX;
                            });
    if (!isNumber || std::abs(days) > 366 || !onlyYearly)
        return std::nullopt;
    return EasterRule{days, r};
}

// The occurrences of an Easter rule after DTSTART, which libical's own
// expansion gives (and counts as the first): the day of every INTERVAL-th
// year from DTSTART's, up to UNTIL or COUNT, an EXDATE left out.
void expandEaster(icalcomponent* event, const EasterRule& rule, QDate start,
                  const Expansion& expansion)
{
    const icalrecurrencetype& r = rule.recurrence;
    const QDate until = icaltime_is_null_time(r.until)
                            ? expansion.to
                            : std::min(expansion.to, IcalDate::dateOf(r.until));
    QSet<QDate> excepted;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY))
        excepted.insert(IcalDate::dateOf(icalproperty_get_exdate(p)));
    int count = 1;
    for (int year = start.year();; year += std::max<int>(1, r.interval)) {
        const QDate date = easterSunday(year).addDays(rule.days);
        if (date > until || (r.count > 0 && date > start && ++count > r.count))
            return;
        if (date > start && !excepted.contains(date))
            addOccurrence(expansion, date);
    }
}

// The rule of an RRULE that libical removed as unreadable, from the error it
// put in its place; a null string for any other error.
QString removedRule(const char* error)
{
    static const QRegularExpression removed(QStringLiteral(
        "^Can't parse as RECUR value in RRULE property\\. Removing entire property: (.*)$"));
    const QRegularExpressionMatch match = removed.match(QString::fromUtf8(error));
    return match.hasMatch() ? match.captured(1) : QString();
}

// The dates the spans cover, each once, labelled with the labels of the
// spans covering it in the order of their indexes: sorted, then swept once,
// so the work follows the spans and the dates, not spans times their days.
QList<DayOff> daysCovered(std::vector<Span> spans, const QStringList& labels)
{
    // One label's spans are joined first where they overlap or touch, so that
    // a date counts each label once.
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
        return std::tie(a.label, a.first) < std::tie(b.label, b.first);
    });
    // Where a label starts to cover the dates (label + 1), and the day after
    // it stops (-(label + 1)).
    std::vector<std::pair<qint64, qsizetype>> edges;
    for (std::size_t i = 0; i < spans.size();) {
        Span joined = spans[i];
        for (++i; i < spans.size() && spans[i].label == joined.label &&
                  spans[i].first <= joined.last + 1;
             ++i)
            joined.last = std::max(joined.last, spans[i].last);
        edges.push_back({joined.first, joined.label + 1});
        edges.push_back({joined.last + 1, -(joined.label + 1)});
    }
    std::sort(edges.begin(), edges.end());

    QList<DayOff> days;
    std::set<qsizetype> covering;
    for (std::size_t i = 0; i < edges.size();) {
        const qint64 day = edges[i].first;
        for (; i < edges.size() && edges[i].first == day; ++i) {
            if (edges[i].second > 0)
                covering.insert(edges[i].second - 1);
            else
                covering.erase(-edges[i].second - 1);
        }
        if (covering.empty())
            continue;
        QStringList names;
        for (const qsizetype label : covering)
            names.append(labels.at(label));
        const QString label = DayOff::joinedLabels(names);
        for (qint64 d = day; d < edges[i].first; ++d) // an edge closes every span
            days.append({QDate::fromJulianDay(d), label});
    }
    return days;
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
    std::vector<Span> spans;
    QStringList labels; // in the order they first appear
    QHash<QString, qsizetype> labelIndex;
    qsizetype unreadRules = 0;
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
        const QString summary = textOf(icalcomponent_get_summary(event));
        const qsizetype label = labelIndex.value(summary, labels.size());
        if (label == labels.size()) {
            labelIndex.insert(summary, label);
            labels.append(summary);
        }
        Expansion expansion{from,  to,       &moved, textOf(icalcomponent_get_uid(event)),
                            label, dayCount, &spans};
        // An override stands for itself, not for the date it replaces.
        if (!icaltime_is_null_time(icalcomponent_get_recurrenceid(event)))
            expansion.uid.clear();
        // From far enough back that a run begun before the first year still
        // counts; a closure of more than a year is no holiday calendar's.
        const QDate reach = from.addDays(-std::min<qint64>(dayCount, 366));
        icalcomponent_foreach_recurrence(event, IcalDate::value(reach),
                                         IcalDate::value(to.addDays(1)), &takeOccurrence,
                                         &expansion);

        // A rule libical could not read it removed, leaving an error in its
        // place: one by Easter is expanded here, any other is told.
        for (icalproperty* error = icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY);
             error != nullptr;
             error = icalcomponent_get_next_property(event, ICAL_XLICERROR_PROPERTY)) {
            const char* text = icalproperty_get_xlicerror(error);
            const QString rule = removedRule(text);
            if (rule.isNull())
                continue;
            // libical cuts its error at 1,023 bytes: a rule as long may be cut short.
            if (const std::optional<EasterRule> easter =
                    qstrlen(text) < 1023 ? easterRuleOf(rule) : std::nullopt) {
                expandEaster(event, *easter, IcalDate::dateOf(start), expansion);
            } else if (++unreadRules <= MaxRuleWarnings) {
                read.warnings.append(
                    QStringLiteral("Warning: in %1, \"%2\" repeats by a rule that cannot be read "
                                   "(RRULE:%3). Its repeats are not counted as days off.")
                        .arg(fileName, quoted(summary), quoted(rule)));
            }
        }
    }
    if (const qsizetype more = unreadRules - MaxRuleWarnings; more > 0) {
        const QString count = more == 1 ? QStringLiteral("1 more event repeats by a rule")
                                        : QStringLiteral("%1 more events repeat by rules")
                                              .arg(QLocale(QLocale::English).toString(more));
        read.warnings.append(
            QStringLiteral("Warning: in %1, %2 that cannot be read. Their repeats are not "
                           "counted as days off either.")
                .arg(fileName, count));
    }
    read.daysOff = daysCovered(std::move(spans), labels);
    return read;
}

} // namespace taskloom
