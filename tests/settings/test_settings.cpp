#include "files/boundedread.h"
#include "settings/settingsstore.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace taskloom;
using taskloom::test::bytesOf;
using taskloom::test::put;
using namespace Qt::StringLiterals;
using Store = SettingsStore;

namespace {

// What the file's reader makes of it: the week's flags, the hour ("-": none) or the days
// off ("date label", "|" between), then each problem (its title when not "Error").
QStringList readBack(const Store& store, const QString& file)
{
    QStringList read;
    QList<Problem> problems;
    if (file == Store::WorkingWeekFile) {
        const Store::WeekLoad load = store.loadWorkingWeek();
        QString flags = load.flags ? "" : "-";
        for (std::size_t day = 1; day <= 7 && load.flags; ++day)
            flags += QString::number((*load.flags)[day]);
        read << flags;
        problems = load.problems;
    } else if (file == Store::DaysOffFile) {
        const Store::DaysOffLoad load = store.loadDaysOff();
        QStringList days;
        for (const DayOff& day : load.daysOff)
            days << day.date.toString(Qt::ISODate) + ' ' + day.label;
        read << days.join('|');
        problems = load.problems;
    } else {
        const Store::HourLoad load = store.loadHourText(file);
        read << load.text.value_or("-");
        problems = load.problems;
    }
    for (const Problem& problem : problems)
        read << (problem.title == "Error" ? "" : problem.title + ": ") + problem.text;
    return read;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each file as its reader takes it: line breaks of any kind, damaged lines, limits.
    void read_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QStringList>("read");   // as readBack gives it
        const QString w = Store::WorkingWeekFile, e = Store::EndsAtFile, d = Store::DaysOffFile;
        const QString week = "Error: workingweek.txt is damaged (%1). %2 Please open Settings "
                             "and save your working week again.",
                      those = "Those days count as days off.",
                      hour = "Error: workingday_ends_at.txt is damaged (more than 200 characters). "
                             "Please open Settings and save your working week again.",
                      dates = "Error: daysoff.txt %1 (YYYY-MM-DD). %2 skipped.";
        // clang-format off
        QTest::newRow("week, CR") << w << "1\r1\r1\r1\r1\r0\r0\r"_ba << QStringList{"1111100"};
        QTest::newRow("week, 8 lines") << w << "1\n1\n1\n1\n1\n0\n0\nx\n"_ba << QStringList{"1111100"};
        QTest::newRow("week, 3 lines") << w << "1\r\n1\r\n1\r\n"_ba << QStringList{"1110000", week.arg("lines 4, 5, 6 and 7", those)};
        QTest::newRow("week, x") << w << "1\n1\nx\n1\n1\n0\n-1\n"_ba << QStringList{"110110-1", week.arg("line 3", "That day counts as a day off.")};
        QTest::newRow("week, 70000, empty line") << w << "70000\n1\n1\n1\n\n2\n0\n"_ba << QStringList{"0111020", week.arg("lines 1 and 5", those)};
        QTest::newRow("week, NUL") << w << "1\n1\n1\0junk\n1\n1\n1\0\n0\n"_ba << QStringList{"1101100", week.arg("lines 3 and 6", those)};
        QTest::newRow("week missing") << w << QByteArray() << QStringList{"-", "Error: workingweek.txt file not found. Please reinstall the software."};
        QTest::newRow("hour, 200 characters, line breaks aside") << e << QByteArray(100, 'x') + "\r\n" + QByteArray(100, 'y') + "\n" + QByteArray(100, '\r')
            << QStringList{QString(100, 'x') + QString(100, 'y')};
        QTest::newRow("hour, 201 characters") << e << QByteArray(201, '9') << QStringList{"-", hour};
        QTest::newRow("hour, 4097 bytes, a short label") << e << "9:00 AM"_ba + QByteArray(4090, '\n') << QStringList{"-", hour};
        QTest::newRow("no days off") << d << QByteArray() << QStringList{""};
        QTest::newRow("days off, format, sorted, one damaged line") << d << "# Holidays\r\n2026-12-25 Christmas Day\r\n\r\n  2027-01-01\tNew Year's Day  \r\n   \r\n2026-12-24\n26.12.2026\n"_ba
            << QStringList{"2026-12-24 |2026-12-25 Christmas Day|2027-01-01 New Year's Day",
                           dates.arg("line 7 is not a date", "That line is")};
        QTest::newRow("days off, no such day, glued label, date last") << d << "2027-02-29 Leap\n2026-12-25Christmas\n#2026-13-01\nDay 2026-12-24\n2026-12-31 Eve"_ba
            << QStringList{"2026-12-31 Eve", dates.arg("lines 1, 2 and 4 are not dates", "Those lines are")};
        QTest::newRow("days off, a date again and again") << d << "2026-12-25\n2026-12-25 Christmas Day\n2026-12-25 Office closed\n2026-12-25\n2026-12-25 Christmas Day\n"_ba
            << QStringList{"2026-12-25 Christmas Day, Office closed"};
        QTest::newRow("days off, 1,239 damaged lines") << d << "x\n"_ba.repeated(1239) << QStringList{"", dates.arg("lines 1, 2, 3, 4, 5 and 1,234 more are not dates", "Those lines are")};
        QTest::newRow("days off, 64 MiB") << d << "2026-12-25 Christmas Day"_ba.leftJustified(64 * 1024 * 1024, ' ') << QStringList{"2026-12-25 Christmas Day"};
        QTest::newRow("days off, past 64 MiB") << d << QByteArray(64 * 1024 * 1024 + 1, 'x')
            << QStringList{"", "Error: daysoff.txt cannot be read (it is larger than 64 MiB). No days off are counted until it can be."};
        // clang-format on
    }
    void read()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(content.isNull() || put(dir.filePath(file), content));
        QTEST(readBack(Store(dir.path()), file), "read");
    }

    // A named pipe, as a command line's "<(…)" gives, read up to the limit and the time
    // limit. Its writer, started first, is a shell command writing into "$0".
    void boundedRead_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<int>("timeLimit"); // milliseconds
        QTest::addColumn<QString>("read");  // "read: " and the bytes, or the reason
        // clang-format off
        QTest::newRow("written, then closed") << "printf 'a\nb'" << 10000 << "read: a\nb";
        QTest::newRow("just the limit") << "printf %01024d 0" << 10000 << "read: " + QString(1024, '0');
        QTest::newRow("fed without end") << "exec yes" << 10000 << "too large: it is larger than 1 KiB";
        QTest::newRow("kept open, silent") << "exec sleep 60" << 300 << "failed: it did not end within 0.3 s";
        // clang-format on
    }
    void boundedRead()
    {
        QFETCH(QString, writer);
        QFETCH(int, timeLimit);
        QTemporaryDir dir;
        const QString path = dir.filePath("in");
        QVERIFY(mkfifo(qPrintable(path), 0600) == 0);
        QProcess feeder;
        feeder.start("sh", {"-c", writer + " > \"$0\"", path});
        QVERIFY(feeder.waitForStarted(5000));
        const BoundedRead read =
            BoundedRead::read(path, 1024, std::chrono::milliseconds(timeLimit));
        feeder.kill();
        QVERIFY(feeder.waitForFinished(5000));
        const char* outcomes[] = {"read: ", "missing: ", "too large: ", "failed: "};
        QTEST(outcomes[int(read.outcome)] + QString(read.bytes) + read.reason, "read");
    }

    // Start-up and the Working Week dialog stop at the first missing hour file and tell it
    // alone: start-up's two hours, the dialog's two and its list ("-": not read), the files told.
    void missingFiles_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("read");
        const QString s = Store::StartsAtFile, e = Store::EndsAtFile, h = Store::HoursFile;
        // clang-format off
        QTest::newRow("none") << "" << "8:00 AM|5:00 PM|8:00 AM|5:00 PM\r\n|8:00 AM,5:00 PM|";
        QTest::newRow("start hour") << s << "-|-|-|-|-|" + s + ',' + s;
        QTest::newRow("end hour") << e << "8:00 AM|-|8:00 AM|-|-|" + e + ',' + e;
        QTest::newRow("hours.txt") << h << "8:00 AM|5:00 PM|8:00 AM|5:00 PM\r\n|-|" + h;
        // clang-format on
    }
    void missingFiles()
    {
        QFETCH(QString, missing);
        QTemporaryDir dir;
        for (const auto& [name, bytes] : {std::pair{Store::StartsAtFile, "8:00 AM"},
                                          {Store::EndsAtFile, "5:00 PM\r\n"},
                                          {Store::HoursFile, "8:00 AM\r\n5:00 PM\r\n"}})
            QVERIFY(name == missing || put(dir.filePath(name), bytes));
        const Store store(dir.path());
        const Store::HoursLoad hours = store.loadWorkingHours();
        const Store::HourListsLoad lists = store.loadHourLists();
        QStringList told;
        for (const Problem& problem : hours.problems + lists.problems)
            told << QString(problem.text).remove(QRegularExpression("^Error: | file not found.*"));
        QTEST(QStringList({hours.startsAt.value_or("-"), hours.endsAt.value_or("-"),
                           lists.storedStartsAt.value_or("-"), lists.storedEndsAt.value_or("-"),
                           lists.hours ? lists.hours->join(',') : "-", told.join(',')})
                  .join('|'),
              "read");
    }

    // Something in the way of a Save: a folder or a named pipe where a file goes, a full
    // disk, or a rename that fails after others were done (the files already replaced get
    // their old text back, those that were not there before are gone again). No file is
    // changed, the failure names the file and says why, and its reader tells the problem.
    void fileProblems_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("obstacle"); // "rename, new": the hour files were not there
        QTest::addColumn<QString>("reason");   // Save's
        QTest::addColumn<QStringList>("read"); // as readBack gives it; empty: not read
        const QString e = Store::EndsAtFile, w = Store::WorkingWeekFile, d = Store::DaysOffFile,
                      canceled = "Writing canceled by application",
                      pipe = "It is a named pipe, not a file; please move it away";
        // clang-format off
        QTest::newRow("end hour: a folder") << e << "folder" << "It is a folder, not a file; please move it away"
            << QStringList{"-", "Error: workingday_ends_at.txt cannot be read (a folder stands in its place). Please reinstall the software."};
        QTest::newRow("week file: a named pipe") << w << "pipe" << pipe << QStringList{"-", "Error: workingweek.txt cannot be read (it is not a plain file). Please reinstall the software."};
        QTest::newRow("days off: a named pipe") << d << "pipe" << pipe << QStringList{"", "Error: daysoff.txt cannot be read (it is not a plain file). No days off are counted until it can be."};
        QTest::newRow("week file: the disk full") << w << "full disk" << "File too large" << QStringList();
        QTest::newRow("end hour's rename, after the start hour's") << e << "rename" << canceled << QStringList();
        QTest::newRow("week file's rename, hour files new") << w << "rename, new" << canceled << QStringList();
        QTest::newRow("days off's rename, after the other three") << d << "rename" << canceled << QStringList();
        // clang-format on
    }
    void fileProblems()
    {
        QFETCH(QString, file);
        QFETCH(QString, obstacle);
        QFETCH(QString, reason);
        QFETCH(QStringList, read);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        const QStringList names{Store::StartsAtFile, Store::EndsAtFile, Store::WorkingWeekFile,
                                Store::DaysOffFile};
        // What was saved before: every line ends in CR LF, the dates off come sorted.
        QVERIFY(
            !Store(dir.path())
                 .saveWorkingWeek({0, 1, 0, 1, 1, 2, 0, 1}, "8:30 AM", "5:00 PM",
                                  {{QDate(2027, 1, 1), "New Year"}, {QDate(2026, 12, 24), ""}}));
        QStringList before{"8:30 AM", "5:00 PM", "1\r\n0\r\n1\r\n1\r\n2\r\n0\r\n1\r\n",
                           "# Days off: one date a line as YYYY-MM-DD, then a blank and a "
                           "label.\r\n2026-12-24\r\n2027-01-01 New Year\r\n"};
        if (obstacle == "rename, new") {
            QVERIFY(QFile::remove(dir.filePath(names[0])) && QFile::remove(dir.filePath(names[1])));
            before[0] = before[1] = "";
        } else if (obstacle == "folder" || obstacle == "pipe") {
            QVERIFY(QFile::remove(path));
            QVERIFY(obstacle == "folder" ? QDir(dir.path()).mkdir(file)
                                         : mkfifo(qPrintable(path), 0600) == 0);
            before[names.indexOf(file)] = ""; // no plain file: nothing read, nothing waited for
        }
        // No permission stops a rename or a write for root: the store is handed a rename
        // that fails, and the disk is made full by a limit of 8 bytes a file.
        int renames = 0;
        const int failing = obstacle.startsWith("rename") ? int(names.indexOf(file)) + 1 : 0;
        const Store store(dir.path(), {}, [&](QSaveFile& saved) {
            if (++renames != failing)
                return saved.commit();
            saved.cancelWriting(); // the temporary file goes, as after a refused rename
            return false;
        });
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{obstacle == "full disk" ? 8 : RLIM_INFINITY, RLIM_INFINITY};
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        const std::optional<WriteFailure> failure =
            store.saveWorkingWeek(WorkingWeek::mondayToFriday(), "9:00 AM", "6:00 PM", {});
        limit.rlim_cur = RLIM_INFINITY;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);

        QVERIFY(failure);
        QCOMPARE(failure->path + ": " + failure->reason, path + ": " + reason);
        QStringList texts;
        for (const QString& name : names)
            texts << bytesOf(dir.filePath(name));
        QCOMPARE(texts, before);
        // Nothing more or less in the folder: no file left aside, the pipe or folder still there.
        const auto flags = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(dir.path()).entryList(flags).size(), obstacle == "rename, new" ? 2 : 4);
        if (!read.isEmpty())
            QCOMPARE(readBack(store, file), read);
    }
};

QTEST_APPLESS_MAIN(TestSettings)
#include "test_settings.moc"
