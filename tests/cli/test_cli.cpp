// Runs the built taskloom-cli as a process, the way a script would.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Header = "Subject,Start Date,Start Time,End Date,End Time,All Day "
                          "Event,Description,Location,Private\r\n";
const QByteArray TableHeader = "Task\tStart Date\tEnd Date\tTask Duration\n";
const QByteArray Tasks =
    "Paint the hall + 3 days\r\nOrder tiles, grout + 2\n//Call \"Bob\" + 2.5\n";
const QByteArray TasksTable = TableHeader +
                              "My Project: Paint the hall \t2026-12-07\t2026-12-09\t3\n"
                              "My Project: Order tiles, grout \t2026-12-10\t2026-12-11\t2\n"
                              "My Project: Call \"Bob\" \t2026-12-10\t2026-12-14\t2.5\n";

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void run_data();
    void run();
    void csvFileMatchesStandardOutput();

private:
    Run cli(QStringList arguments, const QByteArray& input);

    QTemporaryDir m_dir;
};

void TestCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    put(m_dir.filePath(QStringLiteral("tasks.txt")), Tasks);
    QDir(m_dir.path()).mkpath(QStringLiteral("settings"));
    QDir(m_dir.path()).mkpath(QStringLiteral("damaged"));
    put(m_dir.filePath(QStringLiteral("settings/workingweek.txt")),
        "1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n");
    put(m_dir.filePath(QStringLiteral("settings/workingday_starts_at.txt")), "8:00 AM");
    put(m_dir.filePath(QStringLiteral("settings/workingday_ends_at.txt")), "4:00 PM\r\n");
    put(m_dir.filePath(QStringLiteral("damaged/workingweek.txt")), "1\n0\n1\n");
}

// "$DIR" in an argument stands for the test's temporary folder.
Run TestCli::cli(QStringList arguments, const QByteArray& input)
{
    arguments.replaceInStrings(QStringLiteral("$DIR"), m_dir.path());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TASKLOOM_TODAY"), QStringLiteral("2026-12-07")); // a Monday
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/taskloom-cli"),
                  arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(10000)) {
        process.kill();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

void TestCli::run_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QString>("err"); // part of standard error; empty: nothing there

    const QString dir = QStringLiteral("$DIR/");
    QTest::newRow("task file, shipped week")
        << QStringList{dir + "tasks.txt"} << QByteArray() << 0 << TasksTable << "";
    QTest::newRow("standard input") << QStringList{} << Tasks << 0 << TasksTable << "";
    QTest::newRow("\"-\" and a project")
        << QStringList{"--project", "Hall", "-"} << QByteArray("Paint + 1") << 0
        << TableHeader + "Hall: Paint \t2026-12-07\t2026-12-07\t1\n"
        << "";
    QTest::newRow("CSV, hours given")
        << QStringList{"--csv",       "-",       "--week",    "1111111",
                       "--starts-at", "7:00 AM", "--ends-at", "3:00 PM"}
        << QByteArray("Paint, walls + 2") << 0
        << Header + "\"My Project: Paint, walls \",12/07/2026,7:00 AM,12/08/2026,3:00 PM,False,"
                    "\"Paint, walls \",Home,True\r\n"
        << "";
    QTest::newRow("CSV, hours from --settings")
        << QStringList{"--csv", "-", "--settings", dir + "settings"} << QByteArray("Paint + 1") << 0
        << Header + "My Project: Paint ,12/07/2026,8:00 AM,12/07/2026,4:00 PM,False,Paint ,Home,"
                    "True\r\n"
        << "";
    QTest::newRow("every day, picked start")
        << QStringList{"--every-day", "--start", "2026-12-12"} << QByteArray("Paint + 2") << 0
        << TableHeader + "My Project: Paint \t2026-12-12\t2026-12-13\t2\n"
        << "";
    QTest::newRow("damaged week: days off, told")
        << QStringList{"--settings", dir + "damaged"} << QByteArray("Paint + 2") << 0
        << TableHeader + "My Project: Paint \t2026-12-07\t2026-12-09\t2\n"
        << "workingweek.txt is damaged (lines 4, 5, 6 and 7)";
    QTest::newRow("version") << QStringList{"--version"} << QByteArray() << 0
                             << QByteArray("taskloom-cli 1.4\n") << "";

    QTest::newRow("past start") << QStringList{"--start", "2026-12-06"} << Tasks << 1
                                << QByteArray() << "start on a past date";
    QTest::newRow("no working day")
        << QStringList{"--week", "0000000"} << Tasks << 1 << QByteArray() << "no working days";
    QTest::newRow("settings missing")
        << QStringList{"--settings", dir + "none"} << Tasks << 1 << QByteArray()
        << "Error: workingweek.txt file not found. Please reinstall the software.";
    QTest::newRow("duration out of range") << QStringList{} << QByteArray("Paint + 20000") << 1
                                           << QByteArray() << "Line 1 (\"Paint + 20000\")";
    QTest::newRow("task file missing") << QStringList{dir + "none.txt"} << QByteArray() << 1
                                       << QByteArray() << "Cannot read " + dir + "none.txt";
    QTest::newRow("CSV below a plain file")
        << QStringList{"--csv", dir + "tasks.txt/project.csv", dir + "tasks.txt"} << QByteArray()
        << 1 << QByteArray() << "Cannot write " + dir + "tasks.txt/project.csv";
    QTest::newRow("CSV without hours")
        << QStringList{"--csv", "-", "--every-day", "--settings", dir + "none"} << Tasks << 1
        << QByteArray() << "give --starts-at";
    QTest::newRow("CSV without tasks")
        << QStringList{"--csv", "-", "--every-day", "--starts-at", "a", "--ends-at", "b"}
        << QByteArray() << 1 << QByteArray() << "Please add some tasks to your project.";

    QTest::newRow("unknown option") << QStringList{"--weeks", "1111100"} << Tasks << 2
                                    << QByteArray() << "Unknown option 'weeks'";
    QTest::newRow("bad --start") << QStringList{"--start", "2026-13-01"} << Tasks << 2
                                 << QByteArray() << "--start takes a date";
    QTest::newRow("bad --week") << QStringList{"--week", "11111x0"} << Tasks << 2 << QByteArray()
                                << "--week takes seven characters";
    QTest::newRow("--week and --every-day") << QStringList{"--week", "1111100", "--every-day"}
                                            << Tasks << 2 << QByteArray() << "not both";
    QTest::newRow("two task files") << QStringList{dir + "tasks.txt", dir + "tasks.txt"}
                                    << QByteArray() << 2 << QByteArray() << "at most one";
}

void TestCli::run()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QString, err);
    const Run run = cli(arguments, input);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, out);
    const QString errText = QString::fromUtf8(run.err);
    if (err.isEmpty()) {
        QCOMPARE(errText, QString());
        return;
    }
    QVERIFY2(errText.contains(err.replace(QStringLiteral("$DIR"), m_dir.path())),
             qPrintable(errText));
    QVERIFY(errText.endsWith(u'\n'));
}

void TestCli::csvFileMatchesStandardOutput()
{
    const QStringList options{"--settings", "$DIR/settings", "$DIR/tasks.txt"};
    const Run toStdout = cli(QStringList{"--csv", "-"} + options, {});
    QCOMPARE(toStdout.exitCode, 0);
    QVERIFY(toStdout.out.startsWith(Header));
    const QString path = m_dir.filePath(QStringLiteral("output/project.csv"));
    const Run toFile = cli(QStringList{"--csv", path} + options, {});
    QCOMPARE(toFile.exitCode, 0);
    QCOMPARE(toFile.out, QByteArray());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), toStdout.out);
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
