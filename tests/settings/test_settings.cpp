#include "settings/settingsstore.h"

#include <QDir>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace taskloom;
using namespace Qt::StringLiterals;
using Store = SettingsStore;

namespace {

void weekRow(const char* name, const QByteArray& content, const QList<int>& days,
             const char* damaged = "")
{
    QTest::newRow(name) << content << days << QString(damaged);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadWorkingWeek_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("days"); // empty: no flags
        QTest::addColumn<QString>("damaged"); // what the problem says of them; empty: no problem
        const QList<int> monToFri{1, 1, 1, 1, 1, 0, 0};
        weekRow("CR LF", "1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n", monToFri);
        weekRow("LF, no final break", "1\n1\n1\n1\n1\n0\n0", monToFri);
        weekRow("CR", "1\r1\r1\r1\r1\r0\r0\r", monToFri);
        weekRow("8 lines", "1\n1\n1\n1\n1\n0\n0\nx\n", monToFri);
        weekRow("3 lines", "1\r\n1\r\n1\r\n", {1, 1, 1, 0, 0, 0, 0},
                "(lines 4, 5, 6 and 7). Those days count as days off.");
        weekRow("x", "1\n1\nx\n1\n1\n0\n0\n", {1, 1, 0, 1, 1, 0, 0},
                "(line 3). That day counts as a day off.");
        weekRow("70000, empty line", "70000\n1\n1\n1\n\n0\n0\n", {0, 1, 1, 1, 0, 0, 0},
                "(lines 1 and 5). Those days count as days off.");
        weekRow("NUL", "1\n1\n1\0junk\n1\n1\n1\0\n0\n"_ba, {1, 1, 0, 1, 1, 0, 0},
                "(lines 3 and 6). Those days count as days off.");
        weekRow("missing", QByteArray(), {}, "file not found.");
    }

    void loadWorkingWeek()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, days);
        QFETCH(QString, damaged);
        QTemporaryDir dir;
        QFile file(dir.filePath(Store::WorkingWeekFile));
        QVERIFY(content.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(content) > 0 && file.flush()));
        const Store::WeekLoad load = Store(dir.path()).loadWorkingWeek();
        QCOMPARE(load.flags ? QList<int>(load.flags->begin() + 1, load.flags->end()) : QList<int>(),
                 days);
        const QString text = content.isNull()
                                 ? "Error: workingweek.txt %1 Please reinstall the software."
                                 : "Error: workingweek.txt is damaged %1 "
                                   "Please open Settings and save your working week again.";
        QCOMPARE(load.problems,
                 (damaged.isEmpty() ? QList<SettingsProblem>()
                                    : QList<SettingsProblem>{{"Error", text.arg(damaged)}}));
    }

    void loadHourText_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("hour"); // null: not used, told as damaged
        QTest::newRow("label") << "9:00 AM\r\n"_ba
                               << "9:00 AM";
        QTest::newRow("200 characters, line breaks aside")
            << QByteArray(100, 'x') + "\r\n" + QByteArray(100, 'y') + "\n"
            << QString(100, 'x') + QString(100, 'y');
        QTest::newRow("201 characters") << QByteArray(201, '9') << QString();
        QTest::newRow("4097 bytes, a short label")
            << "9:00 AM"_ba + QByteArray(4090, '\n') << QString();
    }

    void loadHourText()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, hour);
        QTemporaryDir dir;
        QFile file(dir.filePath(Store::EndsAtFile));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) > 0 && file.flush());
        const Store::HourLoad load = Store(dir.path()).loadHourText(Store::EndsAtFile);
        QCOMPARE(load.text, hour.isNull() ? std::nullopt : std::optional(hour));
        const QString damaged =
            "Error: workingday_ends_at.txt is damaged (more than 200 "
            "characters). Please open Settings and save your working week again.";
        QCOMPARE(load.problems, (hour.isNull() ? QList<SettingsProblem>{{"Error", damaged}}
                                               : QList<SettingsProblem>()));
    }

    void loadDaysOff_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file; "<pipe>": a named pipe
        QTest::addColumn<QString>("daysOff");    // date and label, "|" between days
        QTest::addColumn<QString>("problem");
        const QString damaged = "Error: daysoff.txt %1 (YYYY-MM-DD). %2 skipped.";
        QTest::newRow("no file") << QByteArray() << ""
                                 << "";
        QTest::newRow("format, sorted")
            << QByteArray("# Holidays\r\n2026-12-25 Christmas Day\r\n\r\n  2027-01-01\tNew Year's "
                          "Day  \r\n   \r\n2026-12-24\n")
            << "2026-12-24 |2026-12-25 Christmas Day|2027-01-01 New Year's Day"
            << "";
        QTest::newRow("one damaged line")
            << QByteArray("2026-12-24\n2026-12-25\n2026-12-26\n26.12.2026\n")
            << "2026-12-24 |2026-12-25 |2026-12-26 "
            << damaged.arg("line 4 is not a date", "That line is");
        QTest::newRow("no such day, glued label, date last")
            << QByteArray("2027-02-29 Leap\n2026-12-25Christmas\n#2026-13-01\nDay 2026-12-24\n"
                          "2026-12-31 Eve")
            << "2026-12-31 Eve" << damaged.arg("lines 1, 2 and 4 are not dates", "Those lines are");
        QTest::newRow("a date twice")
            << QByteArray("2026-12-25 Christmas Day\n2026-12-25 Office closed\n2026-12-25\n"
                          "2026-12-25 Christmas Day\n")
            << "2026-12-25 Christmas Day, Office closed"
            << "";
        QTest::newRow("a named pipe, never opened")
            << QByteArray("<pipe>") << ""
            << "Error: daysoff.txt cannot be read (it is not a plain file). No days off are "
               "counted until it can be.";
    }

    void loadDaysOff()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const Store store(dir.path());
        QFile file(store.pathOf(Store::DaysOffFile));
        if (content == "<pipe>")
            QVERIFY(mkfifo(qPrintable(file.fileName()), 0600) == 0);
        else if (!content.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) > 0 && file.flush());
        const Store::DaysOffLoad load = store.loadDaysOff();
        QStringList days;
        for (const DayOff& day : load.daysOff)
            days << day.date.toString(Qt::ISODate) + ' ' + day.label;
        QTEST(days.join('|'), "daysOff");
        QStringList problems;
        for (const SettingsProblem& problem : load.problems)
            problems << problem.title + ": " + problem.text;
        QFETCH(QString, problem);
        QCOMPARE(problems, problem.isEmpty() ? QStringList() : QStringList{"Error: " + problem});
    }

    // Which files start-up and the Working Week dialog read when some are missing: each
    // stops at the first missing hour file and tells it alone.
    void missingFiles_data()
    {
        QTest::addColumn<QStringList>("missing");
        QTest::addColumn<QString>("startUp"); // start|end|files told; "-": not set
        QTest::addColumn<QString>("dialog");  // start|end|hours on offer|files told
        const QString s = Store::StartsAtFile, e = Store::EndsAtFile, h = Store::HoursFile;
        // clang-format off
        QTest::newRow("none") << QStringList() << "8:00 AM|5:00 PM|" << "8:00 AM|5:00 PM\r\n|8:00 AM,5:00 PM|";
        QTest::newRow("start hour") << QStringList{s} << "-|-|" + s << "-|-|-|" + s;
        QTest::newRow("end hour") << QStringList{e} << "8:00 AM|-|" + e << "8:00 AM|-|-|" + e;
        QTest::newRow("hours.txt") << QStringList{h} << "8:00 AM|5:00 PM|" << "8:00 AM|5:00 PM\r\n|-|" + h;
        QTest::newRow("all three") << QStringList{s, e, h} << "-|-|" + s << "-|-|-|" + s;
        // clang-format on
    }

    void missingFiles()
    {
        QFETCH(QStringList, missing);
        QTemporaryDir dir;
        const QList<std::pair<const char*, QByteArray>> files{
            {Store::StartsAtFile, "8:00 AM"},
            {Store::EndsAtFile, "5:00 PM\r\n"},
            {Store::HoursFile, "8:00 AM\r\n5:00 PM\r\n"}};
        for (const auto& [name, bytes] : files) {
            QFile file(dir.filePath(name));
            QVERIFY(missing.contains(name) ||
                    (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
        }
        // The files the problems tell missing; any other problem as it reads.
        const auto told = [](const QList<SettingsProblem>& problems) {
            QStringList names;
            for (const SettingsProblem& problem : problems) {
                const QString name = problem.text.section(' ', 1, 1);
                const QString missing =
                    "Error: " + name + " file not found. Please reinstall the software.";
                names << (problem.title == "Error" && problem.text == missing ? name
                                                                              : problem.text);
            }
            return names.join(',');
        };
        const Store store(dir.path());
        const Store::HoursLoad hours = store.loadWorkingHours();
        QTEST(QStringList(
                  {hours.startsAt.value_or("-"), hours.endsAt.value_or("-"), told(hours.problems)})
                  .join('|'),
              "startUp");
        const Store::HourListsLoad lists = store.loadHourLists();
        QTEST(QStringList({lists.storedStartsAt.value_or("-"), lists.storedEndsAt.value_or("-"),
                           lists.hours ? lists.hours->join(',') : "-", told(lists.problems)})
                  .join('|'),
              "dialog");
    }

    // A rename that fails after others were done: the files already replaced get their old
    // text back, and those that were not there before are gone again.
    void rollBack_data()
    {
        QTest::addColumn<int>("failing"); // the rename that fails: start, end hour, week, days off
        QTest::addColumn<bool>("hoursThere");
        QTest::newRow("week file, after both hour files") << 3 << true;
        QTest::newRow("end hour, after the start hour") << 2 << true;
        QTest::newRow("week file, hour files new") << 3 << false;
        QTest::newRow("days off, after the other three") << 4 << true;
    }

    void rollBack()
    {
        QFETCH(int, failing);
        QFETCH(bool, hoursThere);
        QTemporaryDir dir;
        int renames = 0;
        const Store store(dir.path(), {}, [&](QSaveFile& file) {
            if (++renames != failing)
                return file.commit();
            file.cancelWriting(); // the temporary file goes, as after a refused rename
            return false;
        });
        const Store plain(dir.path());
        const WeekFlags week{0, 0, 1, 1, 1, 1, 1, 0};
        QVERIFY(
            !plain.saveWorkingWeek(week, "7:00 AM", "3:00 PM", {{QDate(2026, 12, 25), "Xmas"}}));
        if (!hoursThere)
            QVERIFY(QFile::remove(dir.filePath(Store::StartsAtFile)) &&
                    QFile::remove(dir.filePath(Store::EndsAtFile)));

        const std::optional<WriteFailure> failure =
            store.saveWorkingWeek(WorkingWeek::mondayToFriday(), "9:00 AM", "6:00 PM", {});
        QCOMPARE(renames, failing);
        const char* names[] = {Store::StartsAtFile, Store::EndsAtFile, Store::WorkingWeekFile,
                               Store::DaysOffFile};
        QCOMPARE(failure ? failure->path + ": " + failure->reason : "",
                 dir.filePath(names[failing - 1]) + ": Writing canceled by application");
        QStringList texts;
        for (const char* name : names) {
            QFile file(dir.filePath(name));
            texts << (file.open(QIODevice::ReadOnly) ? QString(file.readAll()) : "<none>");
        }
        const QString hour = hoursThere ? "7:00 AM|3:00 PM" : "<none>|<none>";
        QCOMPARE(texts.join('|'), hour +
                                      "|0\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n|# Days off: one date a "
                                      "line as YYYY-MM-DD, then a blank and a label.\r\n"
                                      "2026-12-25 Xmas\r\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), hoursThere ? 4 : 2);
    }

    void writeThenRead()
    {
        QTemporaryDir dir;
        const Store store(dir.path());
        const WeekFlags week{0, 1, 0, 1, 1, 2, 0, 1};
        const QList<DayOff> daysOff{{QDate(2027, 1, 1), "New Year"}, {QDate(2026, 12, 24), ""}};
        QVERIFY(!store.saveWorkingWeek(week, "8:30 AM", "5:00 PM", daysOff));
        QFile file(store.pathOf(Store::WorkingWeekFile));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "1\r\n0\r\n1\r\n1\r\n2\r\n0\r\n1\r\n");
        QFile dates(store.pathOf(Store::DaysOffFile));
        QVERIFY(dates.open(QIODevice::ReadOnly));
        QCOMPARE(dates.readAll(), "# Days off: one date a line as YYYY-MM-DD, then a blank and a "
                                  "label.\r\n2026-12-24\r\n2027-01-01 New Year\r\n");
        QCOMPARE(store.loadWorkingWeek().flags, week);
        QCOMPARE(store.loadDaysOff().daysOff, QList<DayOff>({daysOff[1], daysOff[0]}));
        const Store::HoursLoad hours = store.loadWorkingHours();
        QCOMPARE(hours.startsAt.value_or("") + '|' + hours.endsAt.value_or(""), "8:30 AM|5:00 PM");

        // A folder where the end hour goes: the other three files are not changed either.
        QVERIFY(QFile::remove(store.pathOf(Store::EndsAtFile)) &&
                QDir(dir.path()).mkdir(Store::EndsAtFile));
        const std::optional<WriteFailure> blocked =
            store.saveWorkingWeek({}, "7:00 AM", "3:00 PM", {});
        QVERIFY(blocked && blocked->path == store.pathOf(Store::EndsAtFile) &&
                !blocked->reason.isEmpty());
        QCOMPARE(store.loadWorkingHours().startsAt.value_or(""), "8:30 AM");
        QCOMPARE(store.loadWorkingWeek().flags, week);
        QCOMPARE(store.loadDaysOff().daysOff.size(), 2);
        // A named pipe there: never replaced, never opened (that would block), nothing changed.
        const QString pipe = store.pathOf(Store::EndsAtFile);
        QVERIFY(QDir(dir.path()).rmdir(Store::EndsAtFile) && mkfifo(qPrintable(pipe), 0600) == 0);
        const std::optional<WriteFailure> piped =
            store.saveWorkingWeek({}, "7:00 AM", "3:00 PM", {});
        QCOMPARE(piped ? piped->path + ": " + piped->reason : "",
                 pipe + ": It is a named pipe, not a file; please move it away");
        QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
        QCOMPARE(store.loadHourText(Store::StartsAtFile).text.value_or(""), "8:30 AM");
        QCOMPARE(store.loadWorkingWeek().flags, week);
        QVERIFY(QFile::remove(pipe));

        // A full disk, which root cannot bypass either: no file may grow past 8 bytes.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{8, RLIM_INFINITY};
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        const std::optional<WriteFailure> full =
            store.saveWorkingWeek({}, "7:00 AM", "3:00 PM", {});
        limit.rlim_cur = RLIM_INFINITY;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QVERIFY(full && full->path == file.fileName());
        QCOMPARE(store.loadWorkingWeek().flags, week);
    }
};

QTEST_APPLESS_MAIN(TestSettings)
#include "test_settings.moc"
