#include "calendarcsv.h"

#include "files/atomicfile.h"

namespace taskloom {

namespace {

bool needsQuotes(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u',' || u == u'"' || u == u'\r' || u == u'\n')
            return true;
    }
    return false;
}

// Appends the field as it must stand in the file: unchanged, or quoted with
// its quotes doubled when a comma, quote or line break would split the line.
void appendField(QString& out, QStringView text)
{
    if (!needsQuotes(text)) {
        out += text;
        return;
    }
    out += u'"';
    for (QChar c : text) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
}

// MM/DD/YYYY written digit by digit: the export runs over every event, and
// this is several times quicker than a formatted string.
void appendDate(QString& out, QDate date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (year < 0) {
        out += u'-';
        year = -year;
    }
    const char16_t digits[] = {
        char16_t(u'0' + month / 10),
        char16_t(u'0' + month % 10),
        u'/',
        char16_t(u'0' + day / 10),
        char16_t(u'0' + day % 10),
        u'/',
        char16_t(u'0' + year / 1000 % 10),
        char16_t(u'0' + year / 100 % 10),
        char16_t(u'0' + year / 10 % 10),
        char16_t(u'0' + year % 10),
    };
    if (year > 9999)
        out += QString::number(year / 10000);
    out += QStringView(digits, std::size(digits));
}

const QLatin1StringView Comma(",");
const QLatin1StringView True("True");
const QLatin1StringView False("False");
const QLatin1StringView LineEnd("\r\n");

} // namespace

QString CalendarCsv::header()
{
    return QStringLiteral("Subject,Start Date,Start Time,End Date,End Time,All Day Event,"
                          "Description,Location,Private");
}

QString CalendarCsv::toText(const QList<CalendarEvent>& events)
{
    const QString head = header();
    qsizetype size = head.size() + 2;
    for (const CalendarEvent& e : events) {
        // Two dates, eight commas, two words, the line end and room for a few quotes.
        size += e.subject.size() + e.startTime.size() + e.endTime.size() + e.description.size() +
                e.location.size() + 46;
    }
    QString out;
    out.reserve(size);
    out += head;
    out += LineEnd;
    for (const CalendarEvent& e : events) {
        appendField(out, e.subject);
        out += Comma;
        appendDate(out, e.startDate);
        out += Comma;
        appendField(out, e.startTime);
        out += Comma;
        appendDate(out, e.endDate);
        out += Comma;
        appendField(out, e.endTime);
        out += Comma;
        out += e.allDay ? True : False;
        out += Comma;
        appendField(out, e.description);
        out += Comma;
        appendField(out, e.location);
        out += Comma;
        out += e.isPrivate ? True : False;
        out += LineEnd;
    }
    return out;
}

std::optional<QString> CalendarCsv::write(const QString& path, const QList<CalendarEvent>& events)
{
    return AtomicFile::write(path, toText(events).toUtf8());
}

} // namespace taskloom
