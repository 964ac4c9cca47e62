// The window's projects: save, open, the unsaved-changes question, start-up, progress,
// the recent files and drops.
#include "planner.h"

using namespace taskloom;
using namespace taskloom::test;

namespace {

// Starts Monday 14 December, every day counts: Clear 14-15, Order 14, Lay 15-18.
const QString Kitchen =
    "{\"format\": \"taskloom-project\", \"version\": 1, \"project\": \"Kitchen\", "
    "\"id\": \"3f2b8c1e-0d4a-4c3e-9a57-1b2c3d4e5f60\", "
    "\"tasks\": [\"Clear + 2\", \"//Order + 1\", \"Lay +4\"], \"start\": \"2026-12-14\", "
    "\"adjustToWorkingWeek\": false, \"calendarUrl\": \"https://dav.example/k/\"}";

} // namespace

class TestMainWindowProjects : public QObject {
    Q_OBJECT
    std::optional<ShippedFolder> m_dir;
    QString path(Text name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    // A fresh folder, the home folder: the shipped settings, a project, a task list.
    void init()
    {
        m_dir.emplace();
        qputenv("HOME", m_dir->path().toUtf8());
        QVERIFY(put(path("kitchen.taskloom"), Kitchen.toUtf8()) &&
                put(path("Hall v2.plan.txt"), "Paint\r\n"));
    }

    // The window worked step by step (see Script), and what it shows.
    void steps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("result");
        // clang-format off
        const QString kitchen = "Kitchen|Clear + 2\n//Order + 1\nLay +4|on date|every day|Taskloom v1.4 — ", fresh = "My Project||right away|week|Taskloom v1.4|",
                      kept = "Kitchen|Clear + 2\nNew|on date|every day|Taskloom v1.4 — kitchen.taskloom*|14-15 14-14 15-18\nlacks";
        // Quit, New and Open over unsaved changes, with each answer; no keys: the file is opened as a drop, a recent file and the command
        // line open it. Then the window, and whether the project file holds the new task.
        const auto unsaved = [&](const char* tag, Text keys, Text answer, Text what, Text after, Text file = "Hall v2.plan.txt") {
            QTest::newRow(tag) << "put old.taskloom=" + QString(Kitchen).replace("12-14", "12-08") + "|put bad.taskloom=" + QString(Kitchen).replace("12-14", "12-32")
                    + "|open kitchen.taskloom|set txtTodo Clear + 2\nNew|choose " + file + "|answer " + answer + (keys.isEmpty() ? "|open " + file : "|keys txtTodo " + keys)
                    + "|boxes|state|has kitchen.taskloom New"
                << "Taskloom | Save the changes to \"kitchen.taskloom\" before " + what + "? | Question | Save Cancel Discard, Enter Save\n" + after;
        };
        unsaved("quit, cancel", "Ctrl+Q", "Cancel", "closing", kept);
        unsaved("new, cancel", "Ctrl+N", "Cancel", "starting a new project", kept);
        unsaved("open, cancel", "Ctrl+O", "Cancel", "opening another project", kept);
        unsaved("open a file given, cancel", "", "Cancel", "opening another project", kept);
        unsaved("quit, save", "Ctrl+Q", "Save", "closing", "closed\nhas");
        unsaved("quit, discard", "Ctrl+Q", "Discard", "closing", "closed\nlacks");
        unsaved("new, save", "Ctrl+N", "Save", "starting a new project", fresh + "\nhas");
        // A task list's name is all before its last dot.
        unsaved("open a task list", "Ctrl+O", "Discard", "opening another project", "Hall v2.plan|Paint|on date|every day|Taskloom v1.4|14-14\nlacks");
        // Started on Tuesday 8 December, the day before today: it opens as it was.
        unsaved("open a started project", "Ctrl+O", "Discard", "opening another project", kitchen + "old.taskloom|8-9 8-8 9-12\nlacks", "old.taskloom");
        unsaved("open a damaged file", "Ctrl+O", "Discard", "opening another project", "Error | The project could not be read from <dir>/bad.taskloom.\n\n"
            "\"start\" must be \"right-away\" or a date as YYYY-MM-DD, not \"2026-12-32\". | Warning\n" + kept, "bad.taskloom");
        // Typed, saved under a name with a dot of its own (the dialog suggests the project's name made safe, in
        // the export folder), a new project, opened again: the last line break started no task.
        QTest::newRow("save, new, open") << "set txtProjectName K. \"neu\"|set txtTodo Clear + 2\n//Order + 2\nLay +4\n|set Calendar2 2026-12-14|click chkExcludeWeekends|state|"
            "choose new/kuche.v2|keys txtTodo Ctrl+S|offered|state|keys txtTodo Ctrl+N|state|choose new/kuche.v2.taskloom|keys txtTodo Ctrl+O|offered|state"
            << "K. \"neu\"|Clear + 2\n//Order + 2\nLay +4\n|on date|every day|Taskloom v1.4*|14-15 14-15 16-19\nSave Project As|<dir>/output/K. _neu_.taskloom|"
               "Taskloom projects (*.taskloom)\nK. \"neu\"|Clear + 2\n//Order + 2\nLay +4\n|on date|every day|Taskloom v1.4 — kuche.v2.taskloom|14-15 14-15 16-19\n"
               + fresh + "\nOpen Project|<dir>/output|Projects and task lists (*.taskloom *.txt);;Taskloom projects (*.taskloom);;Task lists (*.txt)\n"
               "K. \"neu\"|Clear + 2\n//Order + 2\nLay +4|on date|every day|Taskloom v1.4 — kuche.v2.taskloom|14-15 14-15 16-19";
        // Save As adds the extension, and asks before it writes over a file the dialog did not name.
        QTest::newRow("save as, over a file") << "open kitchen.taskloom|set txtTodo Clear|choose kitchen|answer No|keys txtTodo Ctrl+Shift+S|boxes|has kitchen.taskloom Lay"
            << "Confirm | Overwrite the existing \"kitchen.taskloom\"? | Question | Yes No, Enter Yes\nhas";
        // Followed through time, Monday to Friday: saved on the 7th to start on the 14th and opened on Monday
        // the 21st, it builds as it was and its start stays in view after the catch-up; Space ticks the
        // current row, the Plan menu marks the next and re-plans. Each marks the window, none writes the
        // file. Marked right away, a project is pinned to today.
        QTest::newRow("progress") << "today 2026-12-21|put k.taskloom={\"format\": \"taskloom-project\", \"version\": 1, \"project\": \"K\", \"tasks\": "
            "[\"A + 2\", \"B + 3\", \"//C + 2\", \"D + 4\"], \"start\": \"2026-12-14\", \"adjustToWorkingWeek\": true}|open k.taskloom|rows|wait|calendar|"
            "current 0|keys ListView1 Space|rows|text actionMarkDone|current 1|text actionMarkDone|click actionMarkDone|click actionReplan|state|"
            "has k.taskloom done|answer Discard|keys txtTodo Ctrl+N|boxes|build A + 2\nB + 3|current 0|click actionMarkDone|state|calendar"
            << "14-15 16-18 16-17 18-23\n2026-12-14\n14-15✓ 16-18 16-17 18-23\nMark &Not Done\nMark &Done\nK|A + 2\nB + 3\n//C + 2\nD + 4|on date|week|"
               "Taskloom v1.4 — k.taskloom*|14-15✓ 16-18✓ 21-22 23-28\nlacks\nTaskloom | Save the changes to \"k.taskloom\" before starting a new project? | "
               "Question | Save Cancel Discard, Enter Save\nMy Project|A + 2\nB + 3|on date|week|Taskloom v1.4*|21-21✓ 22-24\n2026-12-21";
        // The next run fills in the last project without a build; after the start-up catch-up the calendar
        // shows its own start, Monday 14 (still to come), and a build starts there. One gone or damaged is
        // told once; a file gone leaves the recent files, and then today is shown.
        QTest::newRow("start-up") << "open kitchen.taskloom|restart|boxes|state|recent|wait|calendar|build A|rows"
            << kitchen + "kitchen.taskloom|\n&1 kitchen.taskloom  [~]||&Clear List\n2026-12-14\n14-14";
        QTest::newRow("start-up, gone") << "open kitchen.taskloom|rm kitchen.taskloom|restart|boxes|state|recent|restart|boxes|wait|calendar|build A|rows"
            << "Error | The project could not be read from <dir>/kitchen.taskloom.\n\nThe file was not found. | Warning\n" + fresh + "\n|&Clear List (off)\n2026-12-09\n9-9";
        QTest::newRow("start-up, damaged") << "open kitchen.taskloom|put kitchen.taskloom={|restart|boxes|state|recent|restart|boxes"
            << "Error | The project could not be read from <dir>/kitchen.taskloom.\n\nThe file is not a Taskloom project: it is not JSON (unterminated object "
               "at byte 1). | Warning\n" + fresh + "\n&1 kitchen.taskloom  [~]||&Clear List";
        // Open Recent as the user reads it: the latest first, numbered from 1, the folder after the name ("~"
        // for the home folder), an "&" shown as one; each opens its file.
        QTest::newRow("recent files") << "put R&D/kitchen.taskloom=" + Kitchen + "|open R&D/kitchen.taskloom|open Hall v2.plan.txt|recent|reopen 2|state|recent|"
            "click actionClearRecent|recent" << "&1 Hall v2.plan.txt  [~]|&2 kitchen.taskloom  [~/R&&D]||&Clear List\n" + kitchen + "kitchen.taskloom|"
            "14-15 14-14 15-18\n&1 kitchen.taskloom  [~/R&&D]|&2 Hall v2.plan.txt  [~]||&Clear List\n|&Clear List (off)";
        // A project file dropped anywhere opens; no text box pastes a dropped file's path.
        QTest::newRow("drops") << "drop txtTodo kitchen.taskloom|text txtProjectName|drop txtProjectName Hall v2.plan.txt|text txtProjectName|"
            "drop - kitchen.taskloom|text txtProjectName|drop txtTodo k.png|state" << "Kitchen\nHall v2.plan\nKitchen\n" + kitchen + "kitchen.taskloom|14-15 14-14 15-18";
        // A copy saved as another file is a project of its own: an id of its own, so its publish
        // leaves the original's events alone; the rest as it was.
        QTest::newRow("a copy") << "open kitchen.taskloom|choose b.taskloom|keys txtTodo Ctrl+Shift+S|has b.taskloom \"id\": \"|has b.taskloom 3f2b8c1e|"
            "has b.taskloom \"calendarUrl\": \"https://dav.example/k/\"|has b.taskloom \"start\": \"2026-12-14\"" << "has\nlacks\nhas\nhas";
        // clang-format on
    }
    void steps()
    {
        QFETCH(QString, steps);
        QTEST(Script{m_dir->path()}.run(steps), "result");
    }
};

QTEST_MAIN(TestMainWindowProjects)
#include "test_mainwindowprojects.moc"
