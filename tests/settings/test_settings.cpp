#include "settings/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace taskloom;

namespace {

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QList<int> daysOf(const WeekFlags& flags)
{
    return QList<int>(flags.begin() + 1, flags.end());
}

QString missing(const char* fileName)
{
    return SettingsStore::missingFileProblem(QString::fromLatin1(fileName)).text;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip();
    void loadWorkingWeek_data();
    void loadWorkingWeek();
    void loadHours_data();
    void loadHours();
    void failedWriteKeepsOldFiles_data();
    void failedWriteKeepsOldFiles();
    void readOnlyFolder();
};

void TestSettings::roundTrip()
{
    QTemporaryDir dir;
    const SettingsStore store(dir.path());
    const WeekFlags week{0, 1, 0, 1, 1, 2, 0, 1};
    QVERIFY(!store.saveWorkingWeek(week));
    QVERIFY(!store.saveWorkingHours(QStringLiteral("8:30 AM"), QStringLiteral("5:00 PM")));
    put(store.pathOf(SettingsStore::HoursFile), "8:30 AM\r\n5:00 PM\r\n");

    QCOMPARE(bytesOf(store.pathOf(SettingsStore::WorkingWeekFile)),
             QByteArray("1\r\n0\r\n1\r\n1\r\n2\r\n0\r\n1\r\n"));
    QCOMPARE(bytesOf(store.pathOf(SettingsStore::StartsAtFile)), QByteArray("8:30 AM"));
    const SettingsStore::WeekLoad weekLoad = store.loadWorkingWeek();
    QVERIFY(weekLoad.problems.isEmpty());
    QCOMPARE(daysOf(*weekLoad.flags), daysOf(week));
    const SettingsStore::HoursLoad hours = store.loadWorkingHours();
    QCOMPARE(hours.startsAt, QStringLiteral("8:30 AM"));
    QCOMPARE(hours.endsAt, QStringLiteral("5:00 PM"));
    const SettingsStore::HourListsLoad lists = store.loadHourLists();
    QCOMPARE(lists.hours, QStringList({QStringLiteral("8:30 AM"), QStringLiteral("5:00 PM")}));
    QVERIFY(lists.problems.isEmpty());
}

void TestSettings::loadWorkingWeek_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<int>>("days");
    QTest::addColumn<QString>("damagedLines"); // empty: no problem

    const QList<int> monToFri{1, 1, 1, 1, 1, 0, 0};
    QTest::newRow("CR LF") << QByteArray("1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n") << monToFri << "";
    QTest::newRow("LF, no final break") << QByteArray("1\n1\n1\n1\n1\n0\n0") << monToFri << "";
    QTest::newRow("CR") << QByteArray("1\r1\r1\r1\r1\r0\r0\r") << monToFri << "";
    QTest::newRow("eighth line ignored")
        << QByteArray("1\n1\n1\n1\n1\n0\n0\nx\n") << monToFri << "";
    QTest::newRow("blanks, 2 and -1 are numbers")
        << QByteArray(" 1 \n2\n-1\n0\n1\n1\n0\n") << QList<int>{1, 2, -1, 0, 1, 1, 0} << "";
    QTest::newRow("3 lines") << QByteArray("1\r\n1\r\n1\r\n") << QList<int>{1, 1, 1, 0, 0, 0, 0}
                             << "lines 4, 5, 6 and 7";
    QTest::newRow("x") << QByteArray("1\n1\nx\n1\n1\n0\n0\n") << QList<int>{1, 1, 0, 1, 1, 0, 0}
                       << "line 3";
    QTest::newRow("70000 and empty line") << QByteArray("70000\n1\n1\n1\n\n0\n0\n")
                                          << QList<int>{0, 1, 1, 1, 0, 0, 0} << "lines 1 and 5";
    QTest::newRow("empty file") << QByteArray() << QList<int>(7, 0)
                                << "lines 1, 2, 3, 4, 5, 6 and 7";
}

void TestSettings::loadWorkingWeek()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<int>, days);
    QFETCH(QString, damagedLines);
    QTemporaryDir dir;
    const SettingsStore store(dir.path());
    put(store.pathOf(SettingsStore::WorkingWeekFile), content);

    const SettingsStore::WeekLoad load = store.loadWorkingWeek();
    QVERIFY(load.flags);
    QCOMPARE(daysOf(*load.flags), days);
    if (damagedLines.isEmpty()) {
        QVERIFY(load.problems.isEmpty());
        return;
    }
    QCOMPARE(load.problems.size(), 1);
    QCOMPARE(load.problems.first().title, QStringLiteral("Error"));
    QCOMPARE(load.problems.first().text,
             QStringLiteral("Error: workingweek.txt is damaged (%1). Those days count as days off. "
                            "Please open Settings and save your working week again.")
                 .arg(damagedLines));
}

void TestSettings::loadHours_data()
{
    QTest::addColumn<QByteArray>("startsAt"); // "-": no file
    QTest::addColumn<QByteArray>("endsAt");
    QTest::addColumn<QString>("loadedStart"); // "-": left unset
    QTest::addColumn<QString>("loadedEnd");
    QTest::addColumn<QString>("problem");

    QTest::newRow("CR LF, none") << QByteArray("9:00 AM\r\n") << QByteArray("6:00 PM") << "9:00 AM"
                                 << "6:00 PM"
                                 << "";
    QTest::newRow("LF, CR") << QByteArray("9:00 AM\n") << QByteArray("6:00 PM\r") << "9:00 AM"
                            << "6:00 PM"
                            << "";
    QTest::newRow("start missing stops the read") << QByteArray("-") << QByteArray("6:00 PM") << "-"
                                                  << "-" << missing(SettingsStore::StartsAtFile);
    QTest::newRow("end missing") << QByteArray("9:00 AM") << QByteArray("-") << "9:00 AM"
                                 << "-" << missing(SettingsStore::EndsAtFile);
}

void TestSettings::loadHours()
{
    QFETCH(QByteArray, startsAt);
    QFETCH(QByteArray, endsAt);
    QFETCH(QString, loadedStart);
    QFETCH(QString, loadedEnd);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const SettingsStore store(dir.path());
    if (startsAt != "-")
        put(store.pathOf(SettingsStore::StartsAtFile), startsAt);
    if (endsAt != "-")
        put(store.pathOf(SettingsStore::EndsAtFile), endsAt);

    const SettingsStore::HoursLoad load = store.loadWorkingHours();
    QCOMPARE(load.startsAt.value_or(QStringLiteral("-")), loadedStart);
    QCOMPARE(load.endsAt.value_or(QStringLiteral("-")), loadedEnd);
    QCOMPARE(load.problems.size(), problem.isEmpty() ? 0 : 1);
    if (!problem.isEmpty())
        QCOMPARE(load.problems.first(), (SettingsProblem{QStringLiteral("Error"), problem}));

    // The dialog's read keeps the stored line breaks and stops at the first
    // missing file; hours.txt is absent here, so a complete read ends with it.
    const SettingsStore::HourListsLoad lists = store.loadHourLists();
    QCOMPARE(lists.problems.size(), 1);
    QCOMPARE(lists.problems.first().text,
             problem.isEmpty() ? missing(SettingsStore::HoursFile) : problem);
    if (startsAt != "-")
        QCOMPARE(lists.storedStartsAt, QString::fromUtf8(startsAt));
    QVERIFY(!lists.hours);
}

void TestSettings::failedWriteKeepsOldFiles_data()
{
    QTest::addColumn<QString>("blocked"); // a folder is made at this name
    QTest::newRow("folder in place of the end-hour file") << SettingsStore::EndsAtFile;
    QTest::newRow("folder in place of workingweek.txt") << SettingsStore::WorkingWeekFile;
}

void TestSettings::failedWriteKeepsOldFiles()
{
    QFETCH(QString, blocked);
    QTemporaryDir dir;
    const SettingsStore store(dir.path());
    put(store.pathOf(SettingsStore::StartsAtFile), "9:00 AM");
    QVERIFY(QDir(dir.path()).mkdir(blocked));

    const std::optional<WriteFailure> failure =
        blocked == SettingsStore::WorkingWeekFile
            ? store.saveWorkingWeek(WeekFlags{0, 1, 1, 1, 1, 1, 0, 0})
            : store.saveWorkingHours(QStringLiteral("7:00 AM"), QStringLiteral("3:00 PM"));
    QVERIFY(failure);
    QCOMPARE(failure->path, store.pathOf(blocked));
    QVERIFY(!failure->reason.isEmpty());
    // Neither hour file changes when only the second could not be written.
    QCOMPARE(bytesOf(store.pathOf(SettingsStore::StartsAtFile)), QByteArray("9:00 AM"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{SettingsStore::StartsAtFile});
}

void TestSettings::readOnlyFolder()
{
    QTemporaryDir dir;
    // A folder below a regular file cannot be written even by root.
    put(dir.filePath(QStringLiteral("plain")), "x");
    const SettingsStore unreachable(dir.filePath(QStringLiteral("plain/settings")));
    QVERIFY(unreachable.saveWorkingWeek(WorkingWeek::mondayToFriday()));
    QVERIFY(unreachable.saveWorkingHours(QStringLiteral("9:00 AM"), QStringLiteral("6:00 PM")));

    if (geteuid() == 0)
        QSKIP("root writes into read-only folders; the case above covers it");
    const SettingsStore store(dir.path());
    QVERIFY(!store.saveWorkingWeek(WorkingWeek::mondayToFriday()));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const std::optional<WriteFailure> failure = store.saveWorkingWeek(WeekFlags{});
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(failure);
    QCOMPARE(bytesOf(store.pathOf(SettingsStore::WorkingWeekFile)),
             QByteArray("1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"));
}

QTEST_APPLESS_MAIN(TestSettings)
#include "test_settings.moc"
