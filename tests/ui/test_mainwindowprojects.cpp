// The window's projects: save, open, the unsaved-changes question, start-up,
// the File menu keys, drops and the recent files.
#include "planner.h"

using namespace taskloom;
using namespace taskloom::test;

namespace {

const QString Title = "Taskloom v1.4";
// Starts Monday 14 December, every day counts: Clear 14-15, Order 14, Lay 15-18.
const QString Kitchen =
    "{\"format\": \"taskloom-project\", \"version\": 1, \"project\": \"Kitchen\", "
    "\"id\": \"3f2b8c1e-0d4a-4c3e-9a57-1b2c3d4e5f60\", "
    "\"tasks\": [\"Clear + 2\", \"//Order + 1\", \"Lay +4\"], \"start\": \"2026-12-14\", "
    "\"adjustToWorkingWeek\": false, \"calendarUrl\": \"https://dav.example/k/\"}";
const QString KitchenState = "Kitchen|Clear + 2\n//Order + 1\nLay +4|on date|every day";
const QString Fresh = "My Project||right away|week|" + Title + '|';

QJsonObject objectIn(Text path)
{
    return QJsonDocument::fromJson(bytesOf(path)).object();
}

// Name, tasks, start, week; the title bar; the rows as first start, last end, count (and the
// timeline's rows when they differ).
QString state(const Planner& p)
{
    const QList<ScheduleRow>& rows = p.window.schedule().rows;
    const int shown = p.rows(), drawn = p.timeline()->scene().rowCount();
    return QStringList{p.get<QLineEdit>("txtProjectName")->text(),
                       p.get<QPlainTextEdit>("txtTodo")->toPlainText(),
                       p.get<QRadioButton>("optDate1")->isChecked() ? "on date" : "right away",
                       p.get<QCheckBox>("chkExcludeWeekends")->isChecked() ? "week" : "every day",
                       p.window.windowHandle()->title(),
                       shown ? rows.first().start.toString("d ") + rows.last().end.toString("d ") +
                                   QString::number(shown)
                             : ""}
               .join('|') +
           (drawn == shown ? "" : " timeline " + QString::number(drawn));
}

// Keys where the user types, in the active window.
void press(Planner& p, Text keys)
{
    p.activate();
    QTest::keySequence(p.get("txtTodo"), QKeySequence(keys));
}

} // namespace

class TestMainWindowProjects : public QObject {
    Q_OBJECT
    std::optional<ShippedFolder> m_dir;
    QString dir() const { return m_dir->path(); }
    QString path(Text name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    // A fresh folder: the shipped settings, no recent files.
    void init()
    {
        m_dir.emplace();
        QVERIFY(put(path("kitchen.taskloom"), Kitchen.toUtf8()) &&
                put(path("Hall.txt"), "Paint\r\n"));
    }

    // Typed, saved, a new project, opened again; Save As keeps what it does not know.
    void saveNewOpen()
    {
        Planner p(dir());
        auto* name = p.get<QLineEdit>("txtProjectName");
        name->selectAll();
        QTest::keyClicks(name, "K, \"neu\"");
        name->insert("ü"); // keyClicks types ASCII only
        p.type("Clear + 2\n//Order, \"tiles\" + 2\nLay +4\n");
        p.get<QCalendarWidget>("Calendar2")->setSelectedDate(QDate(2026, 12, 14));
        p.click("chkExcludeWeekends");
        const QString typed = "K, \"neu\"ü|Clear + 2\n//Order, \"tiles\" + 2\nLay +4\n|on date|"
                              "every day|";
        QCOMPARE(state(p), typed + Title + "*|14 19 3");
        p.chooser->paths << path("new/kuche");
        press(p, "Ctrl+S");
        const QString docs = path("output"); // the window's export folder
        const auto asked = [&p] { return p.chooser->offered.last().section('|', 0, 1); };
        QCOMPARE(asked(), "Save Project As|" + docs + "/K, _neu_ü.taskloom");
        // What the file holds is the project file's own concern; here it must come back as typed.
        const QString id = objectIn(path("new/kuche.taskloom"))["id"].toString();
        QVERIFY(!QUuid::fromString(id).isNull());
        QCOMPARE(state(p), typed + Title + " — kuche.taskloom|14 19 3");
        QCOMPARE(p.window.calendarKey(), id);

        press(p, "Ctrl+N"); // saved: no question
        QCOMPARE(state(p), Fresh);
        QCOMPARE(p.window.calendarKey(), "My Project");
        p.chooser->paths << path("new/kuche.taskloom");
        press(p, "Ctrl+O");
        QCOMPARE(asked(), "Open Project|" + docs);
        // The last line break started no task: it is not saved.
        QCOMPARE(state(p),
                 "K, \"neu\"ü|Clear + 2\n//Order, \"tiles\" + 2\nLay +4|on date|every day|" +
                     Title + " — kuche.taskloom|14 19 3");
        QCOMPARE(p.window.calendarKey(), id);

        p.chooser->paths << path("kitchen.taskloom") << path("b.taskloom");
        press(p, "Ctrl+O");
        press(p, "Ctrl+Shift+S");
        QCOMPARE(asked(), "Save Project As|" + path("kitchen.taskloom"));
        // A copy is a project of its own: a new id, so its publish leaves Kitchen's events.
        QJsonObject copy = objectIn(path("b.taskloom")),
                    original = objectIn(path("kitchen.taskloom"));
        QVERIFY(!QUuid::fromString(copy.take("id").toString()).isNull());
        QCOMPARE(original.take("id"), "3f2b8c1e-0d4a-4c3e-9a57-1b2c3d4e5f60");
        QCOMPARE(copy, original);
        QCOMPARE(p.window.calendarKey(), p.window.plan().id());
        press(p, "Ctrl+S"); // over its own file: the id stays
        QCOMPARE(objectIn(path("b.taskloom"))["id"].toString(), p.window.plan().id());
    }

    // Followed through time, Monday to Friday: saved on the 7th to start on the 14th and opened
    // on Monday the 21st, it builds as it was and its start stays in view; Space ticks the
    // current row, the Plan menu marks the next and re-plans. Each marks the window, none
    // writes the file. Marked right away, a project is pinned to today.
    void progress()
    {
        const QByteArray saved =
            "{\"format\": \"taskloom-project\", \"version\": 1, \"project\": "
            "\"K\", \"tasks\": [\"A + 2\", \"B + 3\", \"//C + 2\", \"D + 4\"], "
            "\"start\": \"2026-12-14\", \"adjustToWorkingWeek\": true}";
        QVERIFY(put(path("k.taskloom"), saved));
        Planner p(dir(), 0, QDate(2026, 12, 21));
        QVERIFY(p.window.openProject(path("k.taskloom")));
        const auto rows = [&p] {
            QStringList shown;
            for (const ScheduleRow& row : p.window.schedule().rows)
                shown << row.start.toString("d") + '-' + row.end.toString("d") +
                             (row.done ? "✓" : "");
            return shown.join(' ');
        };
        QCOMPARE(rows(), "14-15 16-18 16-17 18-23");
        QTest::qWait(400); // the start-up catch-up has run
        QCOMPARE(p.get<QCalendarWidget>("Calendar2")->selectedDate(), QDate(2026, 12, 14));

        auto* table = p.get<QTableView>("ListView1");
        auto* mark = p.get<QAction>("actionMarkDone");
        p.activate();
        table->setFocus();
        table->setCurrentIndex(table->model()->index(0, 2));
        QTest::keyClick(table, Qt::Key_Space);
        QTRY_COMPARE(rows(), "14-15✓ 16-18 16-17 18-23");
        QCOMPARE(table->model()->index(0, 0).data(Qt::CheckStateRole), QVariant(Qt::Checked));
        QCOMPARE(mark->text(), "Mark &Not Done");
        table->setCurrentIndex(table->model()->index(1, 0));
        QCOMPARE(mark->text(), "Mark &Done");
        mark->trigger();
        p.get<QAction>("actionReplan")->trigger();
        QCOMPARE(rows(), "14-15✓ 16-18✓ 21-22 23-28");
        QVERIFY(p.window.isWindowModified());
        QCOMPARE(bytesOf(path("k.taskloom")), saved);

        p.answers.answer(Box::Discard);
        press(p, "Ctrl+N");
        p.type("A + 2\nB + 3");
        p.click("cmdToList");
        table->setCurrentIndex(table->model()->index(0, 0));
        mark->trigger();
        QCOMPARE(rows(), "21-21✓ 22-24");
        QVERIFY(p.get<QRadioButton>("optDate1")->isChecked());
        QCOMPARE(p.get<QCalendarWidget>("Calendar2")->selectedDate(), QDate(2026, 12, 21));
    }

    // Quit, New and Open over unsaved changes, with each answer (no keys: the file opened as a
    // drop, a recent file and the command line open it); opening a past start empties both
    // tables, a damaged file changes nothing.
    void unsavedChanges_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("open");    // the file the Open dialog gives
        QTest::addColumn<QString>("message"); // after the question
        QTest::addColumn<QString>("after");   // the window, then the tasks in kitchen.taskloom
        const QString kept =
            "Kitchen|Clear + 2\nNew|on date|every day|" + Title + " — kitchen.taskloom*|14 18 3";
        const QString old = "|Clear + 2,//Order + 1,Lay +4", saved = "|Clear + 2,New";
        const auto row = [](const char* tag, const char* keys, Box::StandardButton answer,
                            Text after, Text open = "Hall.txt", Text message = "") {
            QTest::newRow(tag) << QString(keys) << int(answer) << open << message << after;
        };
        row("quit, cancel", "Ctrl+Q", Box::Cancel, kept + old);
        row("new, cancel", "Ctrl+N", Box::Cancel, kept + old);
        row("open, cancel", "Ctrl+O", Box::Cancel, kept + old);
        row("open a file given, cancel", "", Box::Cancel, kept + old);
        row("quit, save", "Ctrl+Q", Box::Save, "closed" + saved);
        row("quit, discard", "Ctrl+Q", Box::Discard, "closed" + old);
        row("new, save", "Ctrl+N", Box::Save, Fresh + saved);
        row("open a task list", "Ctrl+O", Box::Discard,
            "Hall|Paint|on date|every day|" + Title + "|14 14 1" + old);
        // Started on Tuesday 8 December, the day before today: it opens as it was.
        row("open a started project", "Ctrl+O", Box::Discard,
            KitchenState + '|' + Title + " — old.taskloom|8 12 3" + old, "old.taskloom");
        row("open a damaged file", "Ctrl+O", Box::Discard, kept + old, "bad.taskloom",
            box("Error",
                "The project could not be read from %1.\n\n\"start\" must be \"right-away\" or a "
                "date as YYYY-MM-DD, not \"2026-12-32\".",
                Box::Warning));
    }
    void unsavedChanges()
    {
        QFETCH(QString, keys);
        QFETCH(int, answer);
        QFETCH(QString, open);
        QFETCH(QString, message);
        QVERIFY(put(path("old.taskloom"), QString(Kitchen).replace("12-14", "12-08").toUtf8()));
        QVERIFY(put(path("bad.taskloom"), QString(Kitchen).replace("12-14", "12-32").toUtf8()));
        Planner p(dir());
        QVERIFY(p.window.openProject(path("kitchen.taskloom")));
        p.type("Clear + 2\nNew");
        p.chooser->paths << path(open);
        p.answers.answer(Box::StandardButton(answer));
        const QString before = keys == "Ctrl+Q"   ? "closing"
                               : keys == "Ctrl+N" ? "starting a new project"
                                                  : "opening another project";
        QStringList boxes{box("Taskloom",
                              "Save the changes to \"kitchen.taskloom\" before " + before + '?',
                              Box::Question, Box::Save | Box::Discard | Box::Cancel, Box::Save)};
        if (!message.isEmpty()) {
            p.answers.answer(Box::Ok);
            boxes << message.replace("%1", path(open));
        }
        if (keys.isEmpty())
            QVERIFY(!p.window.openProject(path(open)));
        else
            press(p, keys);
        QCOMPARE(p.answers.shown(), boxes);
        QStringList tasks;
        for (const QJsonValue task : objectIn(path("kitchen.taskloom"))["tasks"].toArray())
            tasks << task.toString();
        QTEST((p.window.isVisible() ? state(p) : "closed") + '|' + tasks.join(','), "after");
    }

    // The next run fills in the last project without a build; one gone or damaged is told
    // once, and a file gone leaves the recent files.
    void startUp_data()
    {
        QTest::addColumn<QString>("content"); // empty: the file is gone
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("after");
        // clang-format off
        QTest::newRow("there") << Kitchen << ""
            << KitchenState + '|' + Title + " — kitchen.taskloom|";
        QTest::newRow("gone") << "" << "The file was not found." << Fresh;
        QTest::newRow("damaged") << "{" << "The file is not a Taskloom project: it is not JSON "
                                           "(unterminated object at byte 1)." << Fresh;
        // clang-format on
    }
    void startUp()
    {
        QFETCH(QString, content);
        QFETCH(QString, message);
        QVERIFY(Planner(dir()).window.openProject(path("kitchen.taskloom")));
        QVERIFY(content.isEmpty() ? QFile::remove(path("kitchen.taskloom"))
                                  : put(path("kitchen.taskloom"), content.toUtf8()));
        for (int run = 0; run < 2; ++run) { // the second run is quiet
            const bool told = run == 0 && !message.isEmpty();
            Planner next(dir(), told);
            const QString error = "The project could not be read from " + path("kitchen.taskloom") +
                                  ".\n\n" + message;
            QCOMPARE(next.answers.shown(),
                     told ? QStringList{box("Error", error, Box::Warning)} : QStringList());
            QTEST(state(next), "after");
            QCOMPARE(next.get<QMenu>("menuOpenRecent")->isEnabled(), !content.isEmpty());
        }
    }

    // A project file dropped anywhere opens; no text box pastes a dropped file's path.
    void drops_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name"); // the project name after
        // clang-format off
        QTest::newRow("task box, project") << "txtTodo" << "kitchen.taskloom" << "Kitchen";
        QTest::newRow("name box, project") << "txtProjectName" << "kitchen.taskloom" << "Kitchen";
        QTest::newRow("table, task list") << "ListView1" << "Hall.txt" << "Hall";
        QTest::newRow("task box, picture") << "txtTodo" << "tiles.png" << "My Project";
        // clang-format on
    }
    void drops()
    {
        QFETCH(QString, target);
        QFETCH(QString, file);
        Planner p(dir());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path(file))});
        // Where Qt delivers it: a text box's viewport, else (the table takes none) the window.
        QWidget* to = target == "ListView1" ? &p.window : p.get(target);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(to))
            to = area->viewport();
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(to, &enter);
        QApplication::sendEvent(to, &drop);
        QFETCH(QString, name);
        QTRY_COMPARE(p.get<QLineEdit>("txtProjectName")->text(), name);
        QVERIFY(!state(p).contains("file:"));
    }
};

QTEST_MAIN(TestMainWindowProjects)
#include "test_mainwindowprojects.moc"
