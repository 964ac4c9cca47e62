#include "project/projectfile.h"
#include "project/recentprojects.h"
#include "testfiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

using namespace taskloom;
using taskloom::test::bytesOf;
using taskloom::test::put;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(taskloom::Project)

namespace {

const QString Id = "3f2b8c1e-0d4a-4c3e-9a57-1b2c3d4e5f60";

} // namespace

class TestProject : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    // A project and the file it is written as, both worked out by hand: writing
    // gives that file, reading the file gives the project back. Every file it
    // cannot take whole is refused with what is wrong.
    void file_data()
    {
        QTest::addColumn<Project>("project");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("problem"); // empty: read whole
        const auto golden = [](const char* name) {
            return bytesOf(QString(GOLDEN_DIR "/") + name);
        };
        const auto O = StartOption::OnPickedDate;
        // clang-format off
        QTest::newRow("the documented example") << Project{Id, "Kitchen", {"Clear the room + 2 days", "//Order tiles + 2", "Lay the tiles +4"}} << golden("kitchen.taskloom") << "";
        QTest::newRow("non-ASCII, commas, quotes, a date") << Project{Id, "Küche – 東京 \"neu\"", {"Tile, grout + 2", "Call \"Bob\" +2.5", "", " \\ "}, O, QDate(2028, 2, 29), false}
            << golden("odd.taskloom") << "";
        // No calendarUser: none.
        QTest::newRow("where it was published, unknown keys kept, no id, no tasks")
            << Project{"", "", {}, {}, {}, true, "https://dav.example/k/", "", {}, {}, {{"next", QJsonObject{{"a", QJsonArray{1, "b"}}}}}}
            << golden("later.taskloom") << "";
        QTest::newRow("progress: done tasks, re-planned; an unknown key beside them kept")
            << Project{Id, "Kitchen", {"Clear the room + 2 days", "Lay the tiles +4", "Clear the room"}, O, QDate(2026, 12, 14), true, "", "",
                       {{"Clear the room", 2, QDate(2026, 12, 21), QDate(2026, 12, 21)}, {"Lay the tiles", 1, QDate(2026, 12, 16), QDate(2026, 12, 18)}},
                       QDate(2026, 12, 19), {{"colour", "blue"}}}
            << golden("progress.taskloom") << "";
        // clang-format on
        // A good file with one key changed, or taken out when undefined.
        const auto with = [](const QString& key, const QJsonValue& value) {
            QJsonObject file =
                QJsonDocument::fromJson(R"({"format": "taskloom-project", "version": 1,
                "project": "K", "tasks": ["a"], "start": "right-away", "adjustToWorkingWeek": true})")
                    .object();
            if (value.isUndefined())
                file.remove(key);
            else
                file.insert(key, value);
            return QJsonDocument(file).toJson();
        };
        const QJsonValue gone(QJsonValue::Undefined);
        // The largest file read, its JSON followed by blanks.
        const QByteArray largest = with("id", gone).leftJustified(ProjectFile::MaxBytes, ' ');
        const auto done = [&](const QString& key, const QJsonValue& value) {
            QJsonObject task{
                {"task", "A"}, {"occurrence", 1}, {"start", "2026-12-14"}, {"end", "2026-12-15"}};
            task.insert(key, value);
            return with("done", QJsonArray{task});
        };
        const QString doneKey =
            "\"done\" must be a list of tasks, each with \"task\", \"occurrence\" (a whole number "
            "from 1), \"start\" and \"end\" (dates as YYYY-MM-DD).";
        const QString notProject = "The file is not a Taskloom project: ";
        const QString start = "\"start\" must be \"right-away\" or a date as YYYY-MM-DD";
        // clang-format off
        QTest::newRow("not JSON") << Project() << "Kitchen + 2\n"_ba << notProject + "it is not JSON (illegal value at byte 1).";
        QTest::newRow("another format") << Project() << with("format", "taskloom") << notProject + "\"format\" is not \"taskloom-project\".";
        QTest::newRow("newer version") << Project() << with("version", 2) << "The file was saved by a newer Taskloom (project version 2); this one reads version 1.";
        QTest::newRow("version 1.5") << Project() << with("version", 1.5) << "\"version\" must be a whole number from 1 up.";
        QTest::newRow("no start") << Project() << with("start", gone) << "\"start\" is missing.";
        QTest::newRow("name a number") << Project() << with("project", 7) << "\"project\" must be a text.";
        QTest::newRow("a task a number") << Project() << with("tasks", QJsonArray{"a", 2}) << "\"tasks\" must be a list of texts.";
        QTest::newRow("a line break in a task") << Project() << with("tasks", QJsonArray{"a", "b\r\nc"}) << "Task 2 in \"tasks\" holds a line break.";
        QTest::newRow("30 February") << Project() << with("start", "2027-02-30") << start + ", not \"2027-02-30\".";
        // Qt's own reader would take the date and drop the time.
        QTest::newRow("a time after the date") << Project() << with("start", "2027-02-03T10:00") << start + ", not \"2027-02-03T10:00\".";
        QTest::newRow("check box as text") << Project() << with("adjustToWorkingWeek", "yes") << "\"adjustToWorkingWeek\" must be true or false.";
        QTest::newRow("id not a UUID") << Project() << with("id", "kitchen-1") << "\"id\" must be a UUID.";
        QTest::newRow("calendar user a number") << Project() << with("calendarUser", 7) << "\"calendarUser\" must be a text.";
        QTest::newRow("done: occurrence 0") << Project() << done("occurrence", 0) << doneKey;
        QTest::newRow("done: 30 February") << Project() << done("end", "2027-02-30") << doneKey;
        QTest::newRow("done: no name") << Project() << done("task", QJsonValue::Null) << doneKey;
        QTest::newRow("replannedOn: a time after the date") << Project() << with("replannedOn", "2027-02-03T10:00") << "\"replannedOn\" must be a date as YYYY-MM-DD.";
        QTest::newRow("64 MiB, read") << Project{"", "K", {"a"}} << largest << "";
        QTest::newRow("over 64 MiB") << Project() << largest + ' ' << "The file is larger than 64 MiB.";
        QTest::newRow("task list not UTF-8") << Project() << "Caf\xE9 + 2\n"_ba << "The file is not UTF-8 text.";
        // clang-format on
    }
    void file()
    {
        QFETCH(Project, project);
        QFETCH(QByteArray, json);
        QFETCH(QString, problem);
        const QString tag = QTest::currentDataTag();
        // Written into a folder not made yet; a task list read as one.
        const QString path = m_dir.filePath(
            problem.isEmpty() ? tag + "/p.taskloom"
                              : tag + (tag.startsWith("task list") ? ".txt" : ".taskloom"));
        if (problem.isEmpty()) {
            QCOMPARE(ProjectFile::write(path, project), std::nullopt);
            QCOMPARE(QJsonDocument::fromJson(bytesOf(path)).object(),
                     QJsonDocument::fromJson(json).object());
        }
        QVERIFY(put(path, json));
        const ProjectFile::Load load = ProjectFile::read(path);
        QCOMPARE(load.problem, problem);
        QCOMPARE(load.project, problem.isEmpty() ? std::optional(project) : std::nullopt);
        QVERIFY(!problem.isEmpty() || !load.tasksOnly);
    }

    // Only the last suffix counts, in any case: "Kitchen v2.plan.txt" is a task list.
    void kinds()
    {
        QStringList kinds;
        for (const QString name :
             {"Kitchen v2.plan.txt", "a.taskloom.TXT", "Kitchen v2.plan.taskloom", "a.txt.Taskloom",
              "a.taskloom.bak", "taskloom"})
            kinds << QString::number(ProjectFile::isTaskList(name)) +
                         QString::number(ProjectFile::hasProjectSuffix(name)) +
                         QString::number(ProjectFile::isOpenable(name));
        QCOMPARE(kinds.join(' '), "101 101 011 011 000 000");
    }

    void recentProjects()
    {
        QTemporaryDir settings;
        RecentProjects recent(settings.path());
        for (int i = 1; i <= 9; ++i)
            recent.add(QString("/p/%1.taskloom").arg(i));
        recent.add("/p/../p/5.taskloom"); // one file, one entry, on top
        recent.remove("/p/8.taskloom");
        recent.setLastProject("/p/3.taskloom");
        const RecentProjects later(settings.path()); // the next run
        QCOMPARE(later.files(),
                 QStringList({"/p/5.taskloom", "/p/9.taskloom", "/p/7.taskloom", "/p/6.taskloom",
                              "/p/4.taskloom", "/p/3.taskloom", "/p/2.taskloom"}));
        QCOMPARE(later.lastProject(), "/p/3.taskloom");
        QVERIFY(QFile::exists(settings.filePath("taskloom.conf")));
    }
};

QTEST_GUILESS_MAIN(TestProject)
#include "test_project.moc"
