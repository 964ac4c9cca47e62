#include "engine/schedulebuilder.h"
#include "export/calendarcsv.h"
#include "export/calendarics.h"
#include "export/exportstamp.h"

#include <QFile>
#include <QLocale>
#include <QTest>

using namespace taskloom;

namespace {

// Planned from Thursday 31 December 2026 (today: Monday 7 December) over the week
// ("1111100", Monday first; empty: every day works) and hours given.
Schedule planOf(const QString& project, const QString& tasks,
                const QStringList& weekAndHours = {"1111100", "9:00 AM", "6:00 PM"})
{
    const QString& week = weekAndHours[0];
    WeekFlags flags{};
    for (int day = 1; day <= 7 && !week.isEmpty(); ++day)
        flags[day] = week.at(day - 1) == u'1';
    BuildInputs inputs{
        tasks, project,         StartOption::OnPickedDate, QDate(2026, 12, 31), QDate(2026, 12, 7),
        flags, !week.isEmpty(), weekAndHours[1],           weekAndHours[2]};
    inputs.location = "Home";
    return ScheduleBuilder::build(inputs).schedule();
}

} // namespace

// Writing the file, and failing to, is tested through taskloom-cli --csv.
class TestExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Day before month and no "AM" here: the files must not follow the desktop's
    // date format, and "9:00 AM" must still read as a time.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    // Plans against files worked out by hand. A CSV file takes the events of every
    // project given; the iCalendar files were checked line by line against RFC 5545
    // and the plan, their UIDs against an independent name-based UUID maker (Python's
    // uuid5 of "project\ntask text\nwhich of that task\nwhich piece"), so a UID that moved
    // with a line inserted, a task lengthened or a row without events fails here.
    void golden_data()
    {
        QTest::addColumn<QStringList>("projects"); // project, tasks, project, tasks...
        QTest::addColumn<QStringList>("weekAndHours");
        QTest::addColumn<QString>("golden");
        const QStringList weekdays{"1111100", "9:00 AM", "6:00 PM"};
        const QString project = QString("Rénovation — Küche & Bad, 台所の改装; ").repeated(7);
        const QString task = QString("Großputz: Fenster, Türen; 窓とドアの掃除 ").repeated(7);
        // clang-format off
        QTest::newRow("CSV of no event: header alone") << QStringList() << weekdays << "header_only.csv";
        QTest::newRow("CSV with commas, quotes, line breaks") << QStringList{"Shop, Inc.", "Buy paint, brushes + 2\nCall \"Bob\" + 1", "Hall\rA", "Sand + 1", "Hall\nB", "Paint + 1"}
            << weekdays << "commas_quotes.csv";
        QTest::newRow("timed runs, a one-day run, several runs a task") << QStringList{"Kitchen", "Tile the floor + 7\nGrout + 2\n//Order tiles + 1"} << weekdays << "timed_runs.ics";
        QTest::newRow("end before start: all day") << QStringList{"Hall", "Paint + 3\nDry + 2"} << QStringList{"1111100", "17:30", "9:00 AM"} << "all_day.ics";
        QTest::newRow("commas, semicolons, backslashes, line breaks") << QStringList{"Shop, Inc; \"Best\"\\Co\nStore 2", "Buy paint, brushes; rollers\\tape + 1"}
            << QStringList{"", "9:00 AM", "6:00 PM"} << "escaping.ics";
        // UIDs by task and which of that name it is, a row without events counted too.
        QTest::newRow("the same task thrice, the first too short for an event") << QStringList{"Hall", "Tile+0.5\nTile\nTile"} << weekdays << "same_name.ics";
        QTest::newRow("200 non-ASCII characters: folded") << QStringList{project.left(200), task.left(200) + " + 2"} << QStringList{"", "8:00", "16:30"} << "long_names.ics";
        // clang-format on
    }
    void golden()
    {
        QFETCH(QStringList, projects);
        QFETCH(QStringList, weekAndHours);
        QFETCH(QString, golden);
        Schedule plan;
        for (qsizetype i = 0; i + 1 < projects.size(); i += 2) {
            const Schedule one = planOf(projects[i], projects[i + 1], weekAndHours);
            plan.rows += one.rows;
            plan.events += one.events;
        }
        QFile file(QStringLiteral(GOLDEN_DIR "/") + golden);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(golden.endsWith(".csv")
                     ? CalendarCsv::toText(plan.events).toUtf8()
                     : CalendarIcs(projects.value(0), projects.value(0),
                                   QDateTime::fromSecsSinceEpoch(1796601600, Qt::UTC))
                           .text(plan),
                 file.readAll());
    }

    void stamp_data()
    {
        QTest::addColumn<QByteArray>("sourceDateEpoch");
        QTest::addColumn<QString>("stamp"); // ISO in UTC; empty: refused
        // clang-format off
        QTest::newRow("unset: the clock") << QByteArray() << "2027-03-01T10:20:30Z";
        QTest::newRow("set") << QByteArray("1796601600") << "2026-12-07T00:00:00Z";
        QTest::newRow("last second of 9999") << QByteArray("253402300799") << "9999-12-31T23:59:59Z";
        QTest::newRow("year 10000") << QByteArray("253402300800") << "";
        QTest::newRow("negative: a sign, not a digit") << QByteArray("-1") << "";
        QTest::newRow("not a number") << QByteArray("12x") << "";
        // clang-format on
    }

    void stamp()
    {
        QFETCH(QByteArray, sourceDateEpoch);
        const QDateTime clock(QDate(2027, 3, 1), QTime(11, 20, 30), Qt::OffsetFromUTC, 3600);
        const std::optional<QDateTime> stamp = ExportStamp::choose(sourceDateEpoch, clock);
        QTEST(stamp ? stamp->toString(Qt::ISODate) : QString(), "stamp");
    }
};

QTEST_APPLESS_MAIN(TestExport)
#include "test_export.moc"
