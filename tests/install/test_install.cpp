// Where an installed or unpacked copy keeps its files, and an install into a
// prefix that the programs then run from.
#include "settings/appfolders.h"
#include "taskloomversion.h"
#include "testfiles.h"

#include <QDirIterator>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace taskloom;
using taskloom::test::bytesOf;
using taskloom::test::put;

namespace {

const QByteArray MonToFri = "1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n";
const QStringList SettingsFiles{"workingweek.txt", "workingday_starts_at.txt",
                                "workingday_ends_at.txt", "hours.txt"};
const QString Id = "org.taskloom.Taskloom";

// Every entry below a folder with its time: what a write there would change.
QStringList snapshot(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << it.next() + ' ' + it.fileInfo().lastModified().toString(Qt::ISODateWithMs);
    entries.sort();
    return entries;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString at(const QString& relative) const
    {
        return relative.isEmpty() ? relative : m_dir.filePath(relative);
    }

    // An installed program run to its end by a user whose folders are under
    // home/, with no display and no other copy installed; false when it hangs.
    // The window quits once shown.
    bool run(QProcess& process, const QString& program, const QStringList& args,
             const QString& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", at(home));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(at("work"));
        process.start(at("prefix/bin/") + program, args);
        return process.waitForFinished(20000);
    }

private Q_SLOTS:
    void init()
    {
        qputenv("HOME", at("home").toUtf8());
        qputenv("XDG_DATA_DIRS", at("data").toUtf8());
        qputenv("TASKLOOM_TODAY", "2026-12-07"); // a Monday
        qputenv("TASKLOOM_QUIT_WHEN_SHOWN", "1");
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "DISPLAY", "QT_QPA_PLATFORM"})
            qunsetenv(name);
        for (const char* made : {"home", "xdg", "data", "app"})
            QDir(at(made)).removeRecursively();
    }

    // setup: "week" and the handbook beside the program, the program's folder "writable",
    // XDG_CONFIG_HOME set ("xdg"), the defaults and the handbook in the "prefix" and/or
    // "data" folder. The handbook F1 opens: beside, else the prefix's, else the data folders'.
    void decide_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("folders"); // settings, output, defaults, handbook
        const QString docs = "home/Documents/Taskloom/output", share = "app/share/taskloom";
        const QString beside = "app/bin/handbook/index.html",
                      shared = share + "/handbook/index.html";
        // clang-format off
        QTest::newRow("build folder with files") << "week writable xdg prefix data" << QStringList{"app/bin", "app/bin/output", "", beside};
        QTest::newRow("read-only folder") << "week xdg prefix" << QStringList{"xdg/taskloom", docs, share, beside};
        QTest::newRow("writable, no files beside (root's /usr/bin)") << "writable xdg prefix" << QStringList{"xdg/taskloom", docs, share, shared};
        QTest::newRow("HOME only") << "prefix" << QStringList{"home/.config/taskloom", docs, share, shared};
        QTest::newRow("defaults in the data folders") << "xdg data" << QStringList{"xdg/taskloom", docs, "data/taskloom", "data/taskloom/handbook/index.html"};
        QTest::newRow("the prefix before the data folders") << "xdg data prefix" << QStringList{"xdg/taskloom", docs, share, shared};
        QTest::newRow("missing defaults: where they belong") << "xdg" << QStringList{"xdg/taskloom", docs, share, ""};
        // clang-format on
    }

    void decide()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, folders);
        QVERIFY(!setup.contains("week") || (put(at("app/bin/workingweek.txt"), MonToFri) &&
                                            put(at("app/bin/handbook/index.html"), "")));
        QVERIFY(!setup.contains("xdg") || qputenv("XDG_CONFIG_HOME", at("xdg").toUtf8()));
        QVERIFY(!setup.contains("prefix") || put(at("app/share/taskloom/handbook/index.html"), ""));
        QVERIFY(!setup.contains("data") || put(at("data/taskloom/handbook/index.html"), ""));

        const AppFolders decided = AppFolders::decide(at("app/bin"), [&](const QString& folder) {
            return QFileInfo(folder) == QFileInfo(at("app/bin")) && setup.contains("writable");
        });
        const QString handbook = AppFolders::handbook(at("app/bin"));
        QCOMPARE((QStringList{decided.settings, decided.output, decided.defaults, handbook}),
                 (QStringList{at(folders[0]), at(folders[1]), at(folders[2]), at(folders[3])}));
    }

    // make install into a prefix, then both programs run from it, read-only,
    // with the settings and the exports in the user's folders.
    void installedPrefix()
    {
        QProcess install; // DESTDIR would put the files elsewhere
        qunsetenv("DESTDIR");
        install.start(TASKLOOM_CMAKE, {"--install", TASKLOOM_BUILD_DIR, "--prefix", at("prefix")});
        QVERIFY(install.waitForFinished(60000) && install.exitCode() == 0);

        // Each installed file and a line that shows it is the right one.
        const QByteArray id = Id.toUtf8(), version = QByteArray("\"Taskloom ") + Version + '"';
        // clang-format off
        const QList<std::pair<QString, QByteArray>> installed{
            {"bin/taskloom", "\177ELF"}, {"bin/taskloom-cli", "\177ELF"},
            {"share/taskloom/workingweek.txt", MonToFri}, {"share/taskloom/hours.txt", "11:30 PM\r\n"},
            {"share/applications/" + Id + ".desktop", "\nExec=taskloom %f\nTryExec=taskloom\nIcon=" + id + "\n"},
            {"share/metainfo/" + Id + ".metainfo.xml", "<launchable type=\"desktop-id\">" + id + ".desktop</launchable>"},
            {"share/icons/hicolor/scalable/apps/" + Id + ".svg", "<svg "},
            {"share/mime/globs2", "application/x-taskloom-project:*.taskloom\n"},
            {"share/applications/mimeinfo.cache", "application/x-taskloom-project=" + id + ".desktop;"},
            {"share/man/man1/taskloom.1", version}, {"share/man/man1/taskloom-cli.1", version}};
        // clang-format on
        for (const auto& [file, line] : installed)
            QVERIFY2(bytesOf(at("prefix/" + file)).contains(line), qPrintable(file));
        // No dates off is normal, so none are shipped.
        QVERIFY(!QFileInfo::exists(at("prefix/share/taskloom/daysoff.txt")));
        // The handbook F1 opens, found from the installed program's folder.
        QCOMPARE(AppFolders::handbook(at("prefix/bin")),
                 at("prefix/share/taskloom/handbook/index.html"));
        // A default a packager left out is no one's problem: the user gets no copy of it.
        QVERIFY(QFile::remove(at("prefix/share/taskloom/hours.txt")));

        // No one may write into the prefix now; root still can, so it is watched too.
        QCOMPARE(QProcess::execute("chmod", {"-R", "a-w", at("prefix")}), 0);
        const auto writable = qScopeGuard([this] {
            QProcess::execute("chmod", {"-R", "u+w", at("prefix")});
        });
        const QStringList untouched = snapshot(at("prefix"));
        QVERIFY(put(at("work/tasks.txt"), "Paint + 3 days\nTile + 2\n"));
        const QStringList csvArgs{"--project", "Hall", "--csv", "plan.csv", "tasks.txt"};

        QProcess cli;
        QVERIFY(run(cli, "taskloom-cli", csvArgs, "home"));
        QCOMPARE(cli.readAllStandardError() + QByteArray::number(cli.exitCode()), "0");
        // The shipped week and hours: Tile takes Thursday and Friday.
        QVERIFY(bytesOf(at("work/plan.csv"))
                    .contains("\nHall: Tile ,12/10/2026,9:00 AM,12/11/2026,6:00 PM,False,"));
        for (const QString& name : SettingsFiles)
            QCOMPARE(bytesOf(at("home/.config/taskloom/") + name),
                     bytesOf(at("prefix/share/taskloom/") + name));

        // The next run reads the user's week, Monday to Thursday, not the default.
        QVERIFY(put(at("home/.config/taskloom/workingweek.txt"), "1\n1\n1\n1\n0\n0\n0\n"));
        QVERIFY(run(cli, "taskloom-cli", csvArgs, "home"));
        QVERIFY(bytesOf(at("work/plan.csv")).contains("\nHall: Tile  (2),12/14/2026,"));
        // A user whose settings folder cannot be made is told so for each of the three files,
        // and planned for with the installed ones.
        QVERIFY(put(at("home3/.config/taskloom"), "not a folder"));
        QVERIFY(run(cli, "taskloom-cli", csvArgs, "home3"));
        const QByteArray told = cli.readAllStandardError();
        QCOMPARE(told.count(" could not be copied from " + at("prefix/share/taskloom").toUtf8() +
                            " to " + at("home3/.config/taskloom").toUtf8() + " ("),
                 3);
        QCOMPARE(told.count(". Taskloom reads the installed one meanwhile.\n"), 3);
        QVERIFY(bytesOf(at("work/plan.csv")).contains("\nHall: Tile ,12/10/2026,9:00 AM,"));

        // The window answers --version without a display, and starts offscreen
        // for a new user with no message to answer, opening the project it is given
        // as a file manager gives it (the recent files remember it).
        QProcess window;
        QVERIFY(run(window, "taskloom", {"--version"}, "home2"));
        QCOMPARE(window.readAllStandardOutput(), QByteArray("taskloom ") + Version + "\n");
        // Two files are a usage error (exit 2): the window opens one project.
        QVERIFY(run(window, "taskloom", {"-platform", "offscreen", "a.taskloom", "b.taskloom"},
                    "home2"));
        QCOMPARE(window.readAllStandardError().right(41) + QByteArray::number(window.exitCode()),
                 "taskloom: give at most one project file.\n2");
        QVERIFY(put(at("work/Hall.taskloom"), R"({"format": "taskloom-project", "version": 1,
            "project": "Hall", "tasks": ["Paint + 3 days"], "start": "right-away",
            "adjustToWorkingWeek": true})"));
        QVERIFY(run(window, "taskloom", {"-platform", "offscreen", "Hall.taskloom"}, "home2"));
        QCOMPARE(window.exitCode(), 0);
        QCOMPARE(bytesOf(at("home2/.config/taskloom/workingweek.txt")), MonToFri);
        QVERIFY(bytesOf(at("home2/.config/taskloom/taskloom.conf"))
                    .contains("lastProject=" + at("work/Hall.taskloom").toUtf8()));

        QCOMPARE(snapshot(at("prefix")), untouched);
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
