#include "engine/schedulebuilder.h"
#include "export/calendarcsv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace taskloom;

namespace {

CalendarEvent makeEvent(const QString& project, const QString& task, QDate start, QDate end,
                        const QString& startsAt = QStringLiteral("9:00 AM"),
                        const QString& endsAt = QStringLiteral("6:00 PM"))
{
    CalendarEvent e;
    e.subject = project + QStringLiteral(": ") + task;
    e.startDate = start;
    e.startTime = startsAt;
    e.endDate = end;
    e.endTime = endsAt;
    e.description = task;
    return e;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Two tasks over a Monday-to-Friday week from a Thursday: the first one
// crosses the weekend and so becomes two events.
QList<CalendarEvent> builtKitchen()
{
    BuildInputs in;
    in.taskText = QStringLiteral("Tile the floor + 7\nGrout + 2");
    in.projectName = QStringLiteral("Kitchen");
    in.today = QDate(2026, 12, 10);
    in.weekFlags = WorkingWeek::mondayToFriday();
    in.startsAt = QStringLiteral("9:00 AM");
    in.endsAt = QStringLiteral("6:00 PM");
    const BuildResult result = ScheduleBuilder::build(in);
    return result.isRefusal() ? QList<CalendarEvent>{} : result.schedule().events;
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void golden_data();
    void golden();
    void formatDate_data();
    void formatDate();
    void field_data();
    void field();
    void writeCreatesFolderAndReplacesWholeFile();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
};

void TestExport::golden_data()
{
    QTest::addColumn<QList<CalendarEvent>>("events");
    QTest::addColumn<QString>("golden");

    QTest::newRow("empty table: header alone") << QList<CalendarEvent>{} << "header_only.csv";
    QTest::newRow("commas and quotes")
        << QList<CalendarEvent>{makeEvent(QStringLiteral("Shop, Inc."),
                                          QStringLiteral("Buy paint, brushes"), QDate(2026, 12, 7),
                                          QDate(2026, 12, 8)),
                                makeEvent(QStringLiteral("Shop, Inc."),
                                          QStringLiteral("Call \"Bob\""), QDate(2027, 1, 4),
                                          QDate(2027, 1, 4))}
        << "commas_quotes.csv";
    QTest::newRow("non-ASCII") << QList<CalendarEvent>{makeEvent(
                                      QStringLiteral("Café"), QStringLiteral("Café ü 漢字"),
                                      QDate(2026, 3, 5), QDate(2026, 3, 6),
                                      QStringLiteral("10:00 AM"), QStringLiteral("4:30 PM"))}
                               << "non_ascii.csv";
    QTest::newRow("multi-event tasks") << builtKitchen() << "multi_event.csv";
}

void TestExport::golden()
{
    QFETCH(QList<CalendarEvent>, events);
    QFETCH(QString, golden);
    const QByteArray expected = bytesOf(QStringLiteral(GOLDEN_DIR "/") + golden);
    QCOMPARE(CalendarCsv::toText(events).toUtf8(), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("project.csv"));
    QCOMPARE(CalendarCsv::WriteCalendarCsv(path, events), std::nullopt);
    QCOMPARE(bytesOf(path), expected);
}

void TestExport::formatDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("import's example") << QDate(2020, 5, 30) << "05/30/2020";
    QTest::newRow("one-digit day and month") << QDate(2026, 2, 7) << "02/07/2026";
    QTest::newRow("December") << QDate(2026, 12, 31) << "12/31/2026";
    QTest::newRow("three-digit year") << QDate(999, 1, 1) << "01/01/0999";
}

void TestExport::formatDate()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(CalendarCsv::formatDate(date), text);
}

void TestExport::field_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "Paint the hall"
                           << "Paint the hall";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("comma") << "a,b"
                           << "\"a,b\"";
    QTest::newRow("quotes") << "say \"hi\""
                            << "\"say \"\"hi\"\"\"";
    QTest::newRow("CR") << "a\rb"
                        << "\"a\rb\"";
    QTest::newRow("LF") << "a\nb"
                        << "\"a\nb\"";
}

void TestExport::field()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(CalendarCsv::field(text), field);
}

void TestExport::writeCreatesFolderAndReplacesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("output/nested/project.csv"));
    QCOMPARE(CalendarCsv::WriteCalendarCsv(path, builtKitchen()), std::nullopt);
    QCOMPARE(bytesOf(path), bytesOf(QStringLiteral(GOLDEN_DIR "/multi_event.csv")));
    // A shorter export leaves nothing of the longer one behind.
    QCOMPARE(CalendarCsv::WriteCalendarCsv(path, {}), std::nullopt);
    QCOMPARE(bytesOf(path), bytesOf(QStringLiteral(GOLDEN_DIR "/header_only.csv")));
}

void TestExport::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("path"); // below the temporary folder
    QTest::addColumn<bool>("chmod");
    QTest::newRow("folder in the way") << "project.csv" << false;
    QTest::newRow("folder below a plain file") << "old.csv/output/project.csv" << false;
    QTest::newRow("read-only folder") << "old.csv" << true;
}

void TestExport::failedWriteKeepsOldFile()
{
    QFETCH(QString, path);
    QFETCH(bool, chmod);
    if (chmod && geteuid() == 0)
        QSKIP("root writes into read-only folders; the other rows cover failures");
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.csv"));
    QFile file(old);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("previous export\r\n");
    file.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("project.csv")));
    if (chmod)
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));

    const std::optional<QString> reason =
        CalendarCsv::WriteCalendarCsv(dir.filePath(path), builtKitchen());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(reason);
    QVERIFY(!reason->isEmpty());
    QCOMPARE(bytesOf(old), QByteArray("previous export\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.csv")});
}

QTEST_APPLESS_MAIN(TestExport)
#include "test_export.moc"
