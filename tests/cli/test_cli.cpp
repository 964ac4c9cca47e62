// Runs the built taskloom-cli as a process, the way a script would.
#include "radicaleserver.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const QByteArray Csv = "Subject,Start Date,Start Time,End Date,End Time,All Day "
                       "Event,Description,Location,Private\r\n";
const QByteArray Table = "Task\tStart Date\tEnd Date\tTask Duration\n";
const QByteArray Tasks = "Paint + 3 days\r\nTile, grout + 2\n//Call \"Bob\" + 2.5\n";
const QByteArray OldCsv = "previous export\r\n"; // no run may change it
// Christmas every year since 2000, and Christmas Eve 2026 alone.
const QByteArray HolidayCalendar =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//T//EN\r\nBEGIN:VEVENT\r\nUID:x\r\n"
    "DTSTART;VALUE=DATE:20001225\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Christmas Day\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:e\r\nDTSTART;VALUE=DATE:20261224\r\nSUMMARY:Christmas Eve\r\n"
    "END:VEVENT\r\nEND:VCALENDAR\r\n";
const QByteArray Ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Taskloom//Taskloom 1.4//EN\r\n"
                       "CALSCALE:GREGORIAN\r\nX-WR-CALNAME:X\r\nBEGIN:VEVENT\r\n";
const QByteArray IcsEnd = "LOCATION:Home\r\nCLASS:PRIVATE\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
// Starts on a Friday; the working week applies. everyday.taskloom: the same, every day counts.
const QByteArray Kitchen = "{\"format\": \"taskloom-project\", \"version\": 1, \"project\": "
                           "\"Kitchen\", \"id\": \"3f2b8c1e-0d4a-4c3e-9a57-1b2c3d4e5f60\", "
                           "\"tasks\": [\"Clear + 2\", \"//Order + 1\", \"Lay +4\"], \"start\": "
                           "\"2026-12-11\", \"adjustToWorkingWeek\": true, \"more\": [1]}";

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "";
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir; // a task file, an old export and a damaged week
    taskloom::test::RadicaleServer m_server;
    int m_calendars = 0;

    // `args` may start with NAME=VALUE for the environment. `out`: standard output, then the
    // files --csv and --ics name. `err`: part of each line of standard error, one line a part
    // (a usage error adds the line that points to --help). $DIR: the temporary folder.
    void row(const char* name, int exitCode, const char* args, const QByteArray& in,
             const QByteArray& out, const char* err = "")
    {
        QTest::newRow(name) << QString(args).replace("$DIR", m_dir.path()) << in << exitCode << out
                            << QString(err).replace("$DIR", m_dir.path());
    }

private Q_SLOTS:
    // A named pipe and, where the tests may make device nodes (as root), a null and a full
    // device of their own: the machine's /dev is never written to. A task file one byte
    // past 64 MiB, sparse.
    void initTestCase()
    {
        QVERIFY(mkfifo(qPrintable(m_dir.filePath("pipe")), 0600) == 0);
        mknod(qPrintable(m_dir.filePath("null")), S_IFCHR | 0600, makedev(1, 3));
        mknod(qPrintable(m_dir.filePath("full")), S_IFCHR | 0600, makedev(1, 7));
        QFile huge(m_dir.filePath("huge.txt"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(64 * 1024 * 1024 + 1));
    }

    void init()
    {
        qputenv("TASKLOOM_TODAY", "2026-12-07");    // a Monday
        qputenv("SOURCE_DATE_EPOCH", "1796601600"); // 2026-12-07 00:00 UTC
        // The user's holidays over the year's end, and a closure list with a slip in it.
        const QByteArray holidays = "2026-12-24 Christmas Eve\n2026-12-25 Christmas Day\n"
                                    "2026-12-31 New Year's Eve\n2027-01-01 New Year's Day\n";
        for (const auto& [name, bytes] : QList<std::pair<const char*, QByteArray>>{
                 {"tasks.txt", Tasks},
                 {"old.csv", OldCsv},
                 {"workingweek.txt", "1\n0\n1\n"},
                 {"daysoff.txt", holidays},
                 {"closure.txt", "2026-12-28 Stocktake\nsoon\n"},
                 {"calendar.txt", HolidayCalendar},
                 {"broken.ics", HolidayCalendar.chopped(15)},
                 {"kitchen.taskloom", Kitchen},
                 {"everyday.taskloom", QByteArray(Kitchen).replace("true", "false")},
                 {"bad.taskloom", Tasks}}) {
            QFile file(m_dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
    }

    void run_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("err");
        const QByteArray table = Table + "My Project: Paint \t2026-12-07\t2026-12-09\t3\n"
                                         "My Project: Tile, grout \t2026-12-10\t2026-12-11\t2\n"
                                         "My Project: Call \"Bob\" \t2026-12-10\t2026-12-14\t2.5\n";
        row("task file, shipped week", 0, "$DIR/tasks.txt", "", table);
        row("standard input", 0, "", Tasks, table);
        row("CSV, \"-\", project, every day, start, hours", 0,
            "--csv - --project X --every-day --start 2026-12-12 --starts-at \"7 AM\" --ends-at 3 "
            "--settings $DIR/none -",
            "P + 2", Csv + "X: P ,12/12/2026,7 AM,12/13/2026,3,False,P ,Home,True\r\n");
        // Tuesday to Friday of the week file left aside: Saturday works, Sunday does not.
        row("--week, six days", 0, "--week 1111110", "P + 6\nQ",
            Table + "My Project: P \t2026-12-07\t2026-12-12\t6\n"
                    "My Project: Q\t2026-12-14\t2026-12-14\t1\n");
        // The table needs no hour files; the damaged week is told and its missing days are off.
        row("table, damaged week, no hour files", 0, "--settings $DIR", "P + 2",
            Table + "My Project: P \t2026-12-07\t2026-12-09\t2\n",
            "Error: workingweek.txt is damaged (lines 4, 5, 6 and 7).");
        row("SOURCE_DATE_EPOCH unread without --ics", 0, "SOURCE_DATE_EPOCH=soon --every-day", "P",
            Table + "My Project: P\t2026-12-07\t2026-12-07\t1\n");
        row("CSV file, damaged week: days off, told", 0,
            "--project X --csv $DIR/out/p.csv --settings $DIR --starts-at 8 --ends-at 4", "P + 2",
            Csv + "X: P ,12/07/2026,8,12/07/2026,4,False,P ,Home,True\r\n"
                  "X: P  (2),12/09/2026,8,12/09/2026,4,False,P ,Home,True\r\n",
            "Error: workingweek.txt is damaged (lines 4, 5, 6 and 7).");
        row("iCalendar, \"-\": timed", 0,
            "--ics - --project X --every-day --start 2026-12-12 --starts-at \"9:00 AM\" --ends-at "
            "\"6:00 PM\"",
            "P + 2",
            Ics +
                "UID:f3861873-aa8b-5dbe-b460-b1a75b6a9672@taskloom\r\nDTSTAMP:20261207T000000Z\r\n"
                "DTSTART:20261212T090000\r\nDTEND:20261212T180000\r\nRRULE:FREQ=DAILY;COUNT=2\r\n"
                "SUMMARY:X: P \r\nDESCRIPTION:P \r\n" +
                IcsEnd);
        row("CSV and iCalendar files: hours not times, all day", 0,
            "--project X --csv $DIR/out/p.csv --ics $DIR/out/p.ics --every-day --start 2026-12-12 "
            "--starts-at 8 --ends-at 4",
            "P",
            Csv + "X: P,12/12/2026,8,12/12/2026,4,False,P,Home,True\r\n" + Ics +
                "UID:206fec19-41b1-59c0-9e5d-5beed4b19df2@taskloom\r\nDTSTAMP:20261207T000000Z\r\n"
                "DTSTART;VALUE=DATE:20261212\r\nDTEND;VALUE=DATE:20261213\r\n"
                "SUMMARY:X: P\r\nDESCRIPTION:P\r\n" +
                IcsEnd);
        // Counted by hand: Prepare stops for Christmas, Install for the new year; Inspect
        // runs beside Install and Hand over follows Inspect.
        row("daysoff.txt of the settings folder, over the year's end", 0,
            "--settings $DIR --week 1111100 --start 2026-12-21",
            "Prepare +4\nInstall +5\n//Inspect +2\nHand over +2\n",
            Table + "My Project: Prepare \t2026-12-21\t2026-12-28\t4\n"
                    "My Project: Install \t2026-12-29\t2027-01-06\t5\n"
                    "My Project: Inspect \t2026-12-29\t2026-12-30\t2\n"
                    "My Project: Hand over \t2027-01-04\t2027-01-05\t2\n");
        row("--no-days-off", 0, "--no-days-off --settings $DIR --week 1111100 --start 2026-12-24",
            "A +2", Table + "My Project: A \t2026-12-24\t2026-12-25\t2\n");
        row("--days-off instead of daysoff.txt, a damaged line told", 0,
            "--days-off $DIR/closure.txt --settings $DIR --week 1111100 --start 2026-12-24", "A +3",
            Table + "My Project: A \t2026-12-24\t2026-12-29\t3\n",
            "Error: closure.txt line 2 is not a date (YYYY-MM-DD). That line is skipped.");
        // A: Wednesday 12/23, then Thursday and Friday off, then Monday and Tuesday. B: 104
        // whole weeks from a Wednesday end on Tuesday 12/26/2028, one day later for Christmas
        // on Monday 12/25/2028 (in 2027 it falls on a Saturday).
        row("--days-off an iCalendar file named .txt", 0,
            "--days-off $DIR/calendar.txt --week 1111100 --start 2026-12-23", "A +3\nB +520",
            Table + "My Project: A \t2026-12-23\t2026-12-29\t3\n"
                    "My Project: B \t2026-12-30\t2028-12-27\t520\n");
        row("--days-off a broken .ics", 1, "--days-off $DIR/broken.ics", "A", "",
            "Error: broken.ics is not an iCalendar file");
        row("--days-off missing", 1, "--days-off $DIR/none.txt", "A", "",
            "Cannot read $DIR/none.txt: ");
        row("--days-off, --no-days-off", 2, "--days-off $DIR/closure.txt --no-days-off", "A", "",
            "not both");
        row("past start", 1, "--start 2026-12-06", Tasks, "", "start on a past date");
        row("no working day", 1, "--week 0000000", Tasks, "", "no working days");
        row("settings missing", 1, "--settings $DIR/none", Tasks, "",
            "Error: workingweek.txt file not found. Please reinstall the software.\n"
            "Your working week has no working days.");
        row("duration out of range", 1, "", "Paint + 20000", "", "Line 1 (\"Paint + 20000\")");
        row("task file missing", 1, "$DIR/none.txt", "", "", "Cannot read $DIR/none.txt");
        row("task file past 64 MiB", 1, "$DIR/huge.txt", "", "",
            "Cannot read $DIR/huge.txt: it holds more than 64 MiB of task text.");
        row("line breaks only: no task", 0, "", "\n\r\n", Table);
        row("CSV of line breaks only", 1, "--csv - --starts-at 8 --ends-at 4", "\r\n\n", "",
            "Please add some tasks to your project.");
        row("15 significant digits", 0, "--every-day", "A +2.0000000000001",
            Table + "My Project: A \t2026-12-07\t2026-12-08\t2.0000000000001\n");
        // Written into as a stream, never replaced by a regular file.
        const QByteArray p = Csv + "My Project: P,12/07/2026,8,12/07/2026,4,False,P,Home,True\r\n";
        row("CSV into a named pipe", 0, "--csv $DIR/pipe --starts-at 8 --ends-at 4", "P", p);
        row("CSV into a null device", 0, "--csv $DIR/null --starts-at 8 --ends-at 4", "P", "");
        row("CSV into a full device", 1, "--csv $DIR/full --starts-at 8 --ends-at 4", "P", "",
            "Cannot write $DIR/full: No space left on device.");
        row("CSV hours missing", 1, "--csv - --settings $DIR", Tasks, "",
            "workingweek.txt is damaged\n"
            "Error: workingday_starts_at.txt file not found. Please reinstall the software.\n"
            "The calendar file needs the working day's hours: give --starts-at.\n"
            "Error: workingday_ends_at.txt file not found.\ngive --ends-at.");
        row("iCalendar hours missing", 1, "--ics - --settings $DIR --ends-at 4", Tasks, "",
            "workingweek.txt is damaged\nworkingday_starts_at.txt file not found.\n"
            "give --starts-at.");
        row("empty project name", 1, "--project= --csv - --starts-at 8 --ends-at 4", "P", "",
            "Please enter a project name.");
        row("CSV below the old export", 1, "--csv $DIR/old.csv/p.csv", Tasks, "",
            "Cannot write $DIR/old.csv/p.csv: ");
        row("CSV, full disk", 1, "--csv $DIR/old.csv", Tasks.repeated(9), OldCsv, "Cannot write");
        // A project file, and each option over it: the December days Clear starts and
        // ends (the "//" task Order lasts its first day), then Lay's.
        const auto kitchen = [](const char* name, int clear, int cleared, int lay, int laid) {
            const QString rows = "%1: Clear \t2026-12-%2\t2026-12-%3\t2\n"
                                 "%1: Order \t2026-12-%2\t2026-12-%2\t1\n"
                                 "%1: Lay \t2026-12-%4\t2026-12-%5\t4\n";
            const auto day = [](int d) { return QString::number(d).rightJustified(2, '0'); };
            return Table + rows.arg(name, day(clear), day(cleared), day(lay), day(laid)).toUtf8();
        };
        const char* file = "$DIR/kitchen.taskloom";
        row("project file", 0, file, "", kitchen("Kitchen", 11, 14, 14, 17));
        row("--project over it", 0, "--project X $DIR/kitchen.taskloom", "",
            kitchen("X", 11, 14, 14, 17));
        row("--start over it", 0, "--start 2026-12-08 $DIR/kitchen.taskloom", "",
            kitchen("Kitchen", 8, 9, 9, 14));
        row("--right-away over it", 0, "$DIR/kitchen.taskloom --right-away", "",
            kitchen("Kitchen", 7, 8, 8, 11));
        row("--every-day over it", 0, "--every-day $DIR/kitchen.taskloom", "",
            kitchen("Kitchen", 11, 12, 12, 15));
        row("every day in the file, no week read", 0, "--settings $DIR/none $DIR/everyday.taskloom",
            "", kitchen("Kitchen", 11, 12, 12, 15));
        row("--week turns the week on", 0, "--week 1111110 $DIR/everyday.taskloom", "",
            kitchen("Kitchen", 11, 12, 12, 16));
        row("damaged project file", 1, "$DIR/bad.taskloom", "", "",
            "Cannot read $DIR/bad.taskloom: The file is not a Taskloom project: it is not JSON");
        row("--start, --right-away", 2, "--start 2026-12-08 --right-away", Tasks, "", "not both");
        row("unknown option", 2, "--weeks 1111100", Tasks, "", "Unknown option 'weeks'");
        row("bad --start", 2, "--start 2026-13-01", Tasks, "", "--start takes a date");
        row("bad --week", 2, "--week 11111x0", Tasks, "", "--week takes seven characters");
        row("--week of eight", 2, "--week 11111000", Tasks, "", "--week takes seven characters");
        row("--week, --every-day", 2, "--week 1111100 --every-day", Tasks, "", "not both");
        row("two task files", 2, "a.txt b.txt", "", "", "at most one");
        row("CSV and iCalendar both \"-\"", 2, "--csv - --ics -", Tasks, "", "Only one of");
        row("SOURCE_DATE_EPOCH not a time", 2, "SOURCE_DATE_EPOCH=soon --ics -", Tasks, "",
            "SOURCE_DATE_EPOCH must be a whole number of seconds since 1970-01-01 UTC, not "
            "\"soon\".");
    }

    void run()
    {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        QStringList args = QProcess::splitCommand(arguments);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        while (!args.value(0).startsWith('-') && args.value(0).contains('=')) {
            const QString setting = args.takeFirst();
            environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
        }
        const QString csv = args.contains("--csv") ? args.at(args.indexOf("--csv") + 1) : "-";
        const bool special = csv != "-" && QFileInfo::exists(csv) && !QFileInfo(csv).isFile();
        if (csv.endsWith("null") || csv.endsWith("full")) {
            if (!special)
                QSKIP("Device nodes can only be made as root.");
        }
        // The pipe's reader comes first: opening a pipe to write waits for one.
        const int reader = csv.endsWith("pipe") ? open(qPrintable(csv), O_RDONLY | O_NONBLOCK) : -1;
        QProcess cli;
        cli.setProcessEnvironment(environment);
        cli.setChildProcessModifier([] { // files up to 1 KB: a full disk that root cannot bypass
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{1024, RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        cli.start(QCoreApplication::applicationDirPath() + "/taskloom-cli", args);
        cli.write(input);
        cli.closeWriteChannel();
        QVERIFY(cli.waitForFinished(10000));
        QCOMPARE(cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, exitCode);
        QByteArray written = cli.readAllStandardOutput();
        for (const char* option : {"--csv", "--ics"}) {
            const QString path = args.value(args.indexOf(option) + 1, "-");
            const bool file = args.contains(option) && path != "-" && !(special && path == csv);
            written += file ? bytesOf(path) : "";
        }
        if (reader >= 0) { // the process ended, so its end of the pipe is closed
            char piece[4096];
            for (ssize_t size = 0; (size = read(reader, piece, sizeof piece)) > 0;)
                written.append(piece, size);
            close(reader);
        }
        QCOMPARE(written, out);
        QVERIFY(!special || !QFileInfo(csv).isFile()); // still a pipe or a device
        QCOMPARE(bytesOf(m_dir.filePath("old.csv")), OldCsv);
        const QString errText = QString::fromUtf8(cli.readAllStandardError());
        QStringList parts = err.isEmpty() ? QStringList() : err.split('\n');
        if (exitCode == 2)
            parts << "Try 'taskloom-cli --help' for more information.";
        QStringList lines = errText.split('\n');
        bool told = lines.takeLast().isEmpty() && lines.size() == parts.size();
        for (qsizetype i = 0; told && i < lines.size(); ++i)
            told = lines[i].startsWith("taskloom-cli: ") && lines[i].contains(parts[i]);
        QVERIFY2(told, qPrintable(errText));
    }

    // Pictures, with no display and with one that cannot be reached: the program draws
    // offscreen either way. `holds`: the picture's first bytes, then a part of it.
    void chart_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("holds");
        QTest::addColumn<QString>("err");
        const auto row = [this](const char* name, bool display, int exitCode, const char* args,
                                const QByteArray& holds, const char* err = "",
                                const QByteArray& in = Tasks) {
            QTest::newRow(name) << QString(args).replace("$DIR", m_dir.path()) << in << display
                                << exitCode << holds << QString(err).replace("$DIR", m_dir.path());
        };
        // Three rows under a 44-pixel header, 22 each.
        const QByteArray svg = "<?xml\nviewBox=\"0 0 1600 110\"";
        const QByteArray png = "\x89PNG\n" + QByteArray::fromHex("49484452000003840000006e");
        const QByteArray a3 = "%PDF-\n/MediaBox [0 0 1191.000000 842.000000]";
        for (const bool display : {false, true}) {
            const QByteArray how = display ? ", unreachable display" : ", no display";
            row("SVG" + how, display, 0, "--chart $DIR/p.svg", svg);
            row("PNG 900 wide" + how, display, 0, "--chart $DIR/p.png --chart-width 900", png);
            row("PDF on A3" + how, display, 0, "--chart $DIR/p.pdf --chart-paper A3", a3);
        }
        row("CSV and SVG", false, 0,
            "--csv $DIR/p.csv --starts-at 8 --ends-at 4 --chart $DIR/p.svg", svg);
        // 800 rows: 44 + 800 x 22 pixels high.
        row("PNG too tall", false, 1, "--chart $DIR/p.png", "",
            "The picture would be 1,600 × 17,644 pixels", QByteArray("T\n").repeated(800));
        row("no project name", false, 1, "--project= --chart $DIR/p.svg", "",
            "Please enter a project name.");
        row("below the old export", false, 1, "--chart $DIR/old.csv/p.svg", "",
            "Cannot write $DIR/old.csv/p.svg: ");
        row("other extension", false, 2, "--chart $DIR/p.jpg", "", "ending in .svg, .png or .pdf");
        row("width for a PDF", false, 2, "--chart $DIR/p.pdf --chart-width 900", "",
            "--chart-width is for SVG and PNG");
        row("paper for an SVG", false, 2, "--chart $DIR/p.svg --chart-paper a3", "",
            "--chart-paper is for PDF");
        row("other paper", false, 2, "--chart $DIR/p.pdf --chart-paper a5", "", "a4 or a3");
        row("too narrow", false, 2, "--chart $DIR/p.png --chart-width 399", "",
            "pixels from 400, not \"399\"");
        row("width alone", false, 2, "--chart-width 900", "", "go with --chart");
    }
    void chart()
    {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, input);
        QFETCH(bool, display);
        QFETCH(QByteArray, holds);
        QFETCH(QString, err);
        for (const char* name : {"p.svg", "p.png", "p.pdf", "p.csv"})
            QFile::remove(m_dir.filePath(name));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
            env.remove(name);
        if (display) { // a platform asked for whose display is not there
            env.insert("DISPLAY", ":987");
            env.insert("QT_QPA_PLATFORM", "xcb");
        }
        QProcess cli;
        cli.setProcessEnvironment(env);
        const QStringList args = QProcess::splitCommand(arguments);
        cli.start(QCoreApplication::applicationDirPath() + "/taskloom-cli", args);
        cli.write(input);
        cli.closeWriteChannel();
        QVERIFY(cli.waitForFinished(10000));
        QTEST(cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, "exitCode");
        QCOMPARE(cli.readAllStandardOutput(), "");
        const QString errText = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(err.isEmpty() ? errText.isEmpty() : errText.contains(err), qPrintable(errText));
        const qsizetype chart = args.indexOf("--chart");
        const QByteArray picture = chart < 0 ? "" : bytesOf(args.at(chart + 1));
        const QList<QByteArray> parts = holds.split('\n');
        QVERIFY(holds.isEmpty() ? picture.isEmpty() : picture.startsWith(parts.first()));
        QVERIFY(picture.contains(parts.last()));
        if (arguments.contains("--csv"))
            QVERIFY(bytesOf(m_dir.filePath("p.csv")).startsWith(Csv + "My Project: Paint"));
        QCOMPARE(bytesOf(m_dir.filePath("old.csv")), OldCsv);
    }

    // --save-project writes the inputs given, then the run goes on as usual.
    void saveProject_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("saved"); // the id: kept from a file read, else a new one
        QTest::newRow("task list, every day")
            << "--save-project $DIR/s/p.taskloom --project Kü --start 2026-12-09 --every-day -"
            << QByteArray("A + 2\r\n//B\r\n")
            << QByteArray("{\"format\": \"taskloom-project\", \"version\": 1, \"project\": "
                          "\"Kü\", \"tasks\": [\"A + 2\", \"//B\"], \"start\": \"2026-12-09\", "
                          "\"adjustToWorkingWeek\": false}");
        QTest::newRow("project file, overridden")
            << "$DIR/kitchen.taskloom --right-away --project K2 --save-project $DIR/s/p.taskloom"
            << QByteArray()
            << QByteArray(Kitchen)
                   .replace("\"Kitchen\"", "\"K2\"")
                   .replace("\"2026-12-11\"", "\"right-away\"");
    }
    void saveProject()
    {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, saved);
        QProcess cli;
        cli.start(QCoreApplication::applicationDirPath() + "/taskloom-cli",
                  QProcess::splitCommand(arguments.replace("$DIR", m_dir.path())));
        cli.write(input);
        cli.closeWriteChannel();
        QVERIFY(cli.waitForFinished(10000));
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY(cli.readAllStandardOutput().startsWith(Table)); // and on as usual
        QJsonObject file =
            QJsonDocument::fromJson(bytesOf(m_dir.filePath("s/p.taskloom"))).object();
        QJsonObject expected = QJsonDocument::fromJson(saved).object();
        const QString id = file.take("id").toString(), kept = expected.take("id").toString();
        QCOMPARE(file, expected);
        QVERIFY(kept.isEmpty() ? !QUuid::fromString(id).isNull() : id == kept);
    }

    // The iCalendar events follow the project file's id: renamed, they stay the same events.
    void projectIdKeysEvents()
    {
        const auto uids = [this](const QString& options) {
            QProcess cli;
            cli.start(QCoreApplication::applicationDirPath() + "/taskloom-cli",
                      QProcess::splitCommand("--ics - --starts-at 8 --ends-at 4 " + options + ' ' +
                                             m_dir.filePath("kitchen.taskloom")));
            cli.waitForFinished(10000);
            QByteArrayList found;
            for (const QByteArray& line : cli.readAllStandardOutput().split('\n'))
                if (line.startsWith("UID:"))
                    found << line;
            return found;
        };
        const QByteArrayList kitchen = uids("");
        QCOMPARE(kitchen.size(), 4); // Clear in two runs (Friday, Monday), Order, Lay
        QCOMPARE(uids("--project Renamed"), kitchen);
    }

    void publish_data()
    {
        QTest::addColumn<QString>("arguments"); // one run each, "||" between; $URL: a new calendar
        QTest::addColumn<QString>("password");  // TASKLOOM_CALDAV_PASSWORD; "-": unset
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out"); // of the last run
        QTest::addColumn<QString>("err");    // its start
        const QString pass = taskloom::test::RadicaleServer::Password;
        const QString publish = "--project Kitchen --publish $URL --user ann";
        // clang-format off
        QTest::newRow("first publish") << publish << pass << 0 << QByteArray("2 events published, 0 updated, 0 removed.\n") << "";
        QTest::newRow("again: replaced") << publish + "||" + publish << pass << 0 << QByteArray("0 events published, 2 updated, 0 removed.\n") << "";
        QTest::newRow("saved, renamed, from the file: the same events") << publish + " --save-project $DIR/k.taskloom||--project Renamed --publish $URL --user ann $DIR/k.taskloom"
            << pass << 0 << QByteArray("0 events published, 2 updated, 0 removed.\n") << "";
        QTest::newRow("wrong password") << publish << "wrong" << 1 << QByteArray() << "taskloom-cli: The server did not accept the user name or password (HTTP 401).\n";
        QTest::newRow("no password, no keychain") << publish << "-" << 1 << QByteArray() << "taskloom-cli: No password for ann@127.0.0.1:";
        QTest::newRow("plain http elsewhere") << "--publish http://dav.example.com/ann/ --user ann" << pass << 1 << QByteArray() << "taskloom-cli: Taskloom sends your password only over an encrypted connection";
        QTest::newRow("no user") << "--publish $URL" << pass << 2 << QByteArray() << "taskloom-cli: --publish and --user go together.\n";
        QTest::newRow("summary and CSV to standard output") << publish + " --csv -" << pass << 2 << QByteArray() << "taskloom-cli: --publish prints its summary on standard output";
        // clang-format on
    }

    void publish()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, password);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        if (m_calendars == 0) {
            const QString problem = m_server.start();
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        const QString calendar = QStringLiteral("ann/cli%1/").arg(++m_calendars);
        QCOMPARE(m_server.makeCalendar(calendar), QString());
        const QString url = m_server.url(calendar).toString();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("TASKLOOM_CALDAV_PASSWORD");
        if (password != "-")
            environment.insert("TASKLOOM_CALDAV_PASSWORD", password);
        // No keychain to be found, whatever the desktop running the tests has.
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/taskloom-test");
        QProcess cli;
        for (const QString& run : arguments.split("||")) {
            cli.setProcessEnvironment(environment);
            cli.start(QCoreApplication::applicationDirPath() + "/taskloom-cli",
                      QProcess::splitCommand(
                          QString(run).replace("$URL", url).replace("$DIR", m_dir.path())));
            cli.write("Paint + 3\nTile + 2\n");
            cli.closeWriteChannel();
            QVERIFY(cli.waitForFinished(20000));
        }
        QCOMPARE(cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, exitCode);
        QCOMPARE(cli.readAllStandardOutput(), out);
        const QString errText = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(err.isEmpty() ? errText.isEmpty() : errText.startsWith(err), qPrintable(errText));
        QCOMPARE(m_server.storedFiles(calendar).size(), exitCode == 0 ? 2 : 0);
        if (arguments.contains("--save-project")) { // where the window will publish it next
            const QJsonObject saved =
                QJsonDocument::fromJson(bytesOf(m_dir.filePath("k.taskloom"))).object();
            QCOMPARE(saved.value("calendarUrl").toString(), url);
            QCOMPARE(saved.value("calendarUser").toString(), "ann");
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
