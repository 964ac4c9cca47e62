#include "engine/schedulebuilder.h"
#include "export/calendarcsv.h"

#include <QFile>
#include <QLocale>
#include <QTest>

using namespace taskloom;
using Events = QList<CalendarEvent>;

namespace {

// Planned from Thursday 31 December 2026 over a Monday-to-Friday week.
Events eventsOf(const char* project, const char* tasks)
{
    const BuildResult result = ScheduleBuilder::build(
        {tasks, project, StartOption::RightAway, QDate(), QDate(2026, 12, 31),
         WorkingWeek::mondayToFriday(), true, "9:00 AM", "6:00 PM"});
    return result.isRefusal() ? Events{} : result.schedule().events;
}

} // namespace

// Writing the file, and failing to, is tested through taskloom-cli --csv.
class TestExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Day before month here: the file must not follow the desktop's date format.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void golden_data()
    {
        QTest::addColumn<Events>("events");
        QTest::addColumn<QString>("golden");
        QTest::newRow("empty table: header alone") << Events{} << "header_only.csv";
        QTest::newRow("commas, quotes, line breaks")
            << eventsOf("Shop, Inc.", "Buy paint, brushes + 2\nCall \"Bob\" + 1") +
                   eventsOf("Hall\rA", "Sand + 1") + eventsOf("Hall\nB", "Paint + 1")
            << "commas_quotes.csv";
        QTest::newRow("non-ASCII") << eventsOf("Café", "Café ü 漢字 + 2") << "non_ascii.csv";
        QTest::newRow("multi-event tasks")
            << eventsOf("Kitchen", "Tile the floor + 7\nGrout + 2") << "multi_event.csv";
    }

    void golden()
    {
        QFETCH(Events, events);
        QFETCH(QString, golden);
        QFile file(QStringLiteral(GOLDEN_DIR "/") + golden);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(CalendarCsv::toText(events).toUtf8(), file.readAll());
    }
};

QTEST_APPLESS_MAIN(TestExport)
#include "test_export.moc"
