#include "settings/settingsstore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace taskloom;
using Store = SettingsStore;

namespace {

void weekRow(const char* name, const char* content, const QList<int>& days,
             const char* damaged = "")
{
    QTest::newRow(name) << QByteArray(content) << days << QString(damaged);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadWorkingWeek_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("days");
        QTest::addColumn<QString>("damaged"); // the lines the problem names; empty: no problem
        const QList<int> monToFri{1, 1, 1, 1, 1, 0, 0};
        weekRow("CR LF", "1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n", monToFri);
        weekRow("LF, no final break", "1\n1\n1\n1\n1\n0\n0", monToFri);
        weekRow("CR", "1\r1\r1\r1\r1\r0\r0\r", monToFri);
        weekRow("8 lines", "1\n1\n1\n1\n1\n0\n0\nx\n", monToFri);
        weekRow("3 lines", "1\r\n1\r\n1\r\n", {1, 1, 1, 0, 0, 0, 0}, "lines 4, 5, 6 and 7");
        weekRow("x", "1\n1\nx\n1\n1\n0\n0\n", {1, 1, 0, 1, 1, 0, 0}, "line 3");
        weekRow("70000, empty line", "70000\n1\n1\n1\n\n0\n0\n", {0, 1, 1, 1, 0, 0, 0},
                "lines 1 and 5");
    }

    void loadWorkingWeek()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, days);
        QFETCH(QString, damaged);
        QTemporaryDir dir;
        QFile file(dir.filePath(Store::WorkingWeekFile));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) > 0 && file.flush());
        const Store::WeekLoad load = Store(dir.path()).loadWorkingWeek();
        QVERIFY(load.flags);
        QCOMPARE(QList<int>(load.flags->begin() + 1, load.flags->end()), days);
        const QString text =
            "Error: workingweek.txt is damaged (%1). Those days count as days off. "
            "Please open Settings and save your working week again.";
        QCOMPARE(load.problems,
                 (damaged.isEmpty() ? QList<SettingsProblem>()
                                    : QList<SettingsProblem>{{"Error", text.arg(damaged)}}));
    }

    void writeThenRead()
    {
        QTemporaryDir dir;
        const Store store(dir.path());
        const WeekFlags week{0, 1, 0, 1, 1, 2, 0, 1};
        QVERIFY(!store.saveWorkingWeek(week, "8:30 AM", "5:00 PM"));
        QFile file(store.pathOf(Store::WorkingWeekFile));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "1\r\n0\r\n1\r\n1\r\n2\r\n0\r\n1\r\n");
        QCOMPARE(store.loadWorkingWeek().flags, week);
        const Store::HoursLoad hours = store.loadWorkingHours();
        QCOMPARE(hours.startsAt.value_or("") + '|' + hours.endsAt.value_or(""), "8:30 AM|5:00 PM");

        // A folder where the end hour goes: the other two files are not changed either.
        QVERIFY(QFile::remove(store.pathOf(Store::EndsAtFile)) &&
                QDir(dir.path()).mkdir(Store::EndsAtFile));
        const std::optional<WriteFailure> blocked = store.saveWorkingWeek({}, "7:00 AM", "3:00 PM");
        QVERIFY(blocked && blocked->path == store.pathOf(Store::EndsAtFile) &&
                !blocked->reason.isEmpty());
        QCOMPARE(store.loadWorkingHours().startsAt.value_or(""), "8:30 AM");
        QCOMPARE(store.loadWorkingWeek().flags, week);

        // A full disk, which root cannot bypass either: no file may grow past 8 bytes.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{8, RLIM_INFINITY};
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QVERIFY(QDir(dir.path()).rmdir(Store::EndsAtFile));
        const std::optional<WriteFailure> full = store.saveWorkingWeek({}, "7:00 AM", "3:00 PM");
        limit.rlim_cur = RLIM_INFINITY;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QVERIFY(full && full->path == file.fileName());
        QCOMPARE(store.loadWorkingWeek().flags, week);
    }
};

QTEST_APPLESS_MAIN(TestSettings)
#include "test_settings.moc"
