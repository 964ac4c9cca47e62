// Texts written, then read back with libical's parser; holiday calendars read into
// dates off; and calendar texts compared.
#include "ical/icscontent.h"
#include "ical/icsreader.h"
#include "ical/icswriter.h"

#include <libical/ical.h>

#include <QTest>

#include <memory>

using namespace taskloom;
using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

namespace {

const QDateTime Stamp = QDateTime::fromSecsSinceEpoch(1796601600, Qt::UTC);

// The calendar as libical reads it; none when a line breaks the rules (CR LF after
// each, at most 75 octets, no continuation of a blank alone, no character cut in two
// by a fold) or libical marked an error or a broken rule.
Component parse(const QByteArray& text)
{
    Component calendar(icalparser_parse_string(text.constData()), &icalcomponent_free);
    bool linesHold = !text.startsWith("\xEF\xBB\xBF") && text.endsWith("\r\n");
    for (const QByteArray& line : text.chopped(1).split('\n')) {
        if (!line.endsWith('\r') || line.chopped(1).contains('\r') || line.size() > 76 ||
            line == " \r" || QString::fromUtf8(line).toUtf8() != line)
            linesHold = false;
    }
    if (calendar && (!linesHold || icalcomponent_count_errors(calendar.get()) != 0 ||
                     !icalrestriction_check(calendar.get())))
        calendar.reset();
    return calendar;
}

// A holiday calendar as services publish it, around the given events.
QByteArray holidays(const QByteArray& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Holidays//EN\r\n" + events +
           "END:VCALENDAR\r\n";
}

// One event: UID, DTSTART (a date, or a time with "T"), further lines, SUMMARY.
QByteArray vevent(const char* uid, const char* start, const char* more, const char* summary)
{
    const QByteArray value = QByteArray(start).contains('T') ? ":" : ";VALUE=DATE:";
    return QByteArray("BEGIN:VEVENT\r\nUID:") + uid + "\r\nDTSTART" + value + start + "\r\n" +
           more + "SUMMARY:" + summary + "\r\nEND:VEVENT\r\n";
}

} // namespace

class TestIcal : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What libical would pass through or drop, made a text a calendar can hold.
    void text_data()
    {
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("readBack");
        // clang-format off
        QTest::newRow("CR LF, lone CR") << "a\r\nb\rc" << "a\nb\nc";
        QTest::newRow("controls go, the tab stays") << QString("a\x01\tb\x7f") << "a\tb";
        QTest::newRow("escapes") << "a,b;c\\d\\n\"e\"" << "a,b;c\\d\\n\"e\"";
        // libical folds these right at the line end.
        QTest::newRow("73 octets unbroken") << QString(73, 'x') << QString(73, 'x');
        QTest::newRow("74 octets unbroken") << QString(74, 'x') << QString(74, 'x');
        // clang-format on
    }

    void text()
    {
        QFETCH(QString, summary);
        IcsEvent event;
        event.uid = "u";
        event.summary = summary;
        event.firstDay = QDate(2026, 12, 31);
        const Component calendar = parse(IcsWriter("-//T//T//EN", Stamp).calendar("c", {event}));
        QVERIFY(calendar);
        QTEST(QString::fromUtf8(icalcomponent_get_summary(
                  icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT))),
              "readBack");
    }

    // Holiday calendars into dates off, over the years 2026 to 2028.
    void readDaysOff_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("daysOff"); // "date label", "|" between days
        QTest::addColumn<QString>("told");    // the error or the warnings, a line each
        const QByteArray christmas = vevent("xmas", "20201225",
                                            "DTEND;VALUE=DATE:20201226\r\nRRULE:FREQ=YEARLY\r\n"
                                            "EXDATE;VALUE=DATE:20271225\r\n",
                                            "Christmas Day");
        const QString notCalendar = "Error: h.ics is not an iCalendar file: it must hold a whole "
                                    "calendar, from BEGIN:VCALENDAR to END:VCALENDAR.";
        // clang-format off
        QTest::newRow("yearly from 2020, 2027 excepted") << holidays(christmas) << "2026-12-25 Christmas Day|2028-12-25 Christmas Day" << "";
        QTest::newRow("three days, overlapping; one without DTEND; a timed event left out") << holidays( vevent("shut", "20261228", "DTEND;VALUE=DATE:20261231\r\n", "Closure") +
            vevent("more", "20261230", "DTEND;VALUE=DATE:20270101\r\n", "Closure") +
            vevent("eve", "20261231", "", "Eve") + vevent("may", "20270501", "", "Labour Day") +
            vevent("meet", "20270104T090000Z", "DTEND:20270104T100000Z\r\n", "Meeting"))
            << "2026-12-28 Closure|2026-12-29 Closure|2026-12-30 Closure|2026-12-31 Closure, Eve|"
               "2027-05-01 Labour Day" << "";
        // The long one repeats daily, each time until 9999: only the years read count.
        QTest::newRow("runs begun the year before, or going on after; beyond the years; cancelled") << holidays( vevent("break", "20251231", "DURATION:P3D\r\n", "Winter break") +
            vevent("long", "20281230", "DTEND;VALUE=DATE:99991231\r\nRRULE:FREQ=DAILY\r\n", "Long") +
            vevent("far", "20290101", "", "Too late") +
            vevent("off", "20260601", "STATUS:CANCELLED\r\n", "Called off"))
            << "2026-01-01 Winter break|2026-01-02 Winter break|2028-12-30 Long|2028-12-31 Long" << "";
        // The sixth and last closure runs from 30 December 2025 into the years read.
        QTest::newRow("a yearly closure, its last begun the year before") << holidays(vevent("shut", "20201230",
            "DTEND;VALUE=DATE:20210103\r\nRRULE:FREQ=YEARLY;COUNT=6\r\n", "Closure")) << "2026-01-01 Closure|2026-01-02 Closure" << "";
        // The same without an end: the run begun on 30 December 2025 still reaches into the years read.
        QTest::newRow("a yearly closure without end") << holidays(vevent("shut", "20201230", "DTEND;VALUE=DATE:20210103\r\nRRULE:FREQ=YEARLY\r\n",
            "Closure")) << "2026-01-01 Closure|2026-01-02 Closure|2026-12-30 Closure|2026-12-31 Closure|2027-01-01 Closure|2027-01-02 Closure|"
            "2027-12-30 Closure|2027-12-31 Closure|2028-01-01 Closure|2028-01-02 Closure|2028-12-30 Closure|2028-12-31 Closure" << "";
        // Easter Sunday: 2024-03-31, 2026-04-05, 2027-03-28, 2028-04-16.
        QTest::newRow("by Easter: INTERVAL, UNTIL, COUNT, EXDATE") << holidays( vevent("fri", "20200410", "RRULE:FREQ=YEARLY;BYEASTER=-2\r\nEXDATE;VALUE=DATE:20270326\r\n", "Good Friday") +
            vevent("sun", "20240331", "RRULE:FREQ=YEARLY;INTERVAL=2;BYEASTER=0;UNTIL=20280416\r\n",
                   "Easter Sunday") +
            vevent("mon", "20260406", "RRULE:FREQ=YEARLY;BYEASTER=1;COUNT=2\r\n", "Easter Monday"))
            << "2026-04-03 Good Friday|2026-04-05 Easter Sunday|2026-04-06 Easter Monday|"
               "2027-03-29 Easter Monday|2028-04-14 Good Friday|2028-04-16 Easter Sunday" << "";
        QTest::newRow("a moved occurrence, an extra date, two on one day") << holidays( vevent("bank", "20240504", "RRULE:FREQ=YEARLY;BYMONTH=5;BYDAY=1MO\r\n"
                                      "RDATE;VALUE=DATE:20281227\r\n", "Bank holiday") +
            vevent("bank", "20270509", "RECURRENCE-ID;VALUE=DATE:20270503\r\n", "Bank holiday") +
            vevent("eve", "20281227", "", "Office closed"))
            << "2026-05-04 Bank holiday|2027-05-09 Bank holiday|2028-05-01 Bank holiday|"
               "2028-12-27 Bank holiday, Office closed" << "";
        QTest::newRow("byte-order mark, no events") << "\xEF\xBB\xBF" + holidays("") << "" << "";
        QTest::newRow("cut off before its end") << holidays(christmas).chopped(15) << "" << notCalendar;
        // clang-format on
        // Six or seven events repeat by a rule libical drops and no Easter rule reads; a
        // summary holds an escape character. The first five are named.
        for (const int fairs : {6, 7}) {
            QByteArray file;
            QStringList told;
            for (int fair = 1; fair <= fairs; ++fair) {
                file += vevent(
                    "fair", "20250101", "RRULE:FREQ=YEARLY;BYEASTER=1;BYMONTH=4\r\n",
                    ((fair == 1 ? "Fair\x1b " : "Fair ") + QByteArray::number(fair)).constData());
                told << QString("Warning: in h.ics, \"Fair %1\" repeats by a rule that cannot be "
                                "read (RRULE:FREQ=YEARLY;BYEASTER=1;BYMONTH=4). Its repeats are "
                                "not counted as days off.")
                            .arg(fair);
            }
            told = told.first(5) << QString("Warning: in h.ics, %1 that cannot be read. Their "
                                            "repeats are not counted as days off either.")
                                        .arg(fairs == 6 ? "1 more event repeats by a rule"
                                                        : "2 more events repeat by rules");
            QTest::addRow("%d rules that cannot be read", fairs)
                << holidays(file) << "" << told.join('\n');
        }
    }

    void readDaysOff()
    {
        QFETCH(QByteArray, file);
        const IcsReader::DaysOffRead read = IcsReader::readDaysOff(file, "h.ics", 2026, 2028);
        QStringList days;
        for (const DayOff& day : read.daysOff)
            days << day.date.toString(Qt::ISODate) + ' ' + day.label;
        QTEST(days.join('|'), "daysOff");
        QTEST((read.error.isEmpty() ? read.warnings : QStringList(read.error)).join('\n'), "told");
    }

    // The comparison that leaves a published event alone when the calendar server holds the
    // same content, however the server wrote it back.
    void same_data()
    {
        QTest::addColumn<QByteArray>("from"); // in the plan's text
        QTest::addColumn<QByteArray>("to");   // in the server's
        QTest::addColumn<bool>("same");
        // clang-format off
        QTest::newRow("written back: order, folding, LF, DTSTAMP, rule parts") << QByteArray("*")
            << QByteArray("BEGIN:VCALENDAR\nPRODID:-//T//EN\nVERSION:2.0\nBEGIN:VEVENT\nSUMMARY:Kitchen: Paint the\n  hall\nRRULE:COUNT=2;FREQ=DAILY\nDESCRIPTION;X-A=1;LANGUAGE=en:Paint\nDTSTAMP:20270101T000000Z\nDTSTART:20261207T090000\nUID:1@t\nEND:VEVENT\nCALSCALE:GREGORIAN\nEND:VCALENDAR\n") << true;
        QTest::newRow("a value") << QByteArray("Paint the hall") << QByteArray("Paint the hall!") << false;
        QTest::newRow("a parameter") << QByteArray("DTSTART:") << QByteArray("DTSTART;TZID=Europe/Paris:") << false;
        QTest::newRow("a property moved out of the event") << QByteArray("DESCRIPTION;LANGUAGE=en;X-A=1:Paint\r\nEND:VEVENT\r\n") << QByteArray("END:VEVENT\r\nDESCRIPTION;LANGUAGE=en;X-A=1:Paint\r\n") << false;
        QTest::newRow("an alarm added") << QByteArray("END:VEVENT") << QByteArray("BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\nEND:VEVENT") << false;
        QTest::newRow("no calendar") << QByteArray("*") << QByteArray("<html/>") << false;
        // clang-format on
    }

    void same()
    {
        const QByteArray plan =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//EN\r\nCALSCALE:GREGORIAN\r\n"
            "BEGIN:VEVENT\r\nUID:1@t\r\nDTSTAMP:20261207T080000Z\r\nDTSTART:20261207T090000\r\n"
            "RRULE:FREQ=DAILY;COUNT=2\r\nSUMMARY:Kitchen: Paint the hall\r\n"
            "DESCRIPTION;LANGUAGE=en;X-A=1:Paint\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        const QByteArray stored = from == "*" ? to : QByteArray(plan).replace(from, to);
        QVERIFY(stored != plan);
        QTEST(IcsContent::same(plan, stored), "same");
        // What cannot be read is not even the same as itself.
        QCOMPARE(IcsContent::same(stored, stored), stored.startsWith("BEGIN:VCALENDAR"));
    }
};

QTEST_APPLESS_MAIN(TestIcal)
#include "test_ical.moc"
