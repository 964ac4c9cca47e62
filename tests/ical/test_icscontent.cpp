// The comparison that leaves a published event alone when the calendar server
// holds the same content, however the server wrote it back.
#include "ical/icscontent.h"

#include <QTest>

using namespace taskloom;

class TestIcsContent : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestIcsContent)
#include "test_icscontent.moc"
