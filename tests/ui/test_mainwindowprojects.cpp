// The window's projects: save, open, the unsaved-changes question, start-up,
// the File menu keys, drops and the recent files.
#include "modalanswerer.h"
#include "ui/filechooser.h"
#include "ui/mainwindow.h"
#include "ui/timelineview.h"

#include <QTest>
#include <QtWidgets>

using namespace taskloom;
using Box = QMessageBox;
using Text = const QString&;

namespace {

const QDate Today(2026, 12, 9); // a Wednesday
const QString Title = "Taskloom v1.4";
// Starts Monday 14 December, every day counts: Clear 14-15, Order 14, Lay 15-18.
const QString Kitchen =
    "{\"format\": \"taskloom-project\", \"version\": 1, \"project\": \"Kitchen\", "
    "\"id\": \"3f2b8c1e-0d4a-4c3e-9a57-1b2c3d4e5f60\", "
    "\"tasks\": [\"Clear + 2\", \"//Order + 1\", \"Lay +4\"], \"start\": \"2026-12-14\", "
    "\"adjustToWorkingWeek\": false, \"calendarUrl\": \"https://dav.example/k/\"}";
const QString KitchenState = "Kitchen|Clear + 2\n//Order + 1\nLay +4|on date|every day";

// The box as one line; the last number is the button Enter presses.
QString box(Text title, Text text, int icon = Box::Warning, int buttons = Box::Ok,
            int defaultButton = Box::Ok)
{
    return title + " | " + text +
           QString(" | icon %1 | buttons %2 | default %3")
               .arg(icon)
               .arg(buttons)
               .arg(defaultButton);
}

QString question(Text file)
{
    return box("Taskloom", "Save the changes to " + file + " before closing?", Box::Question,
               Box::Save | Box::Discard | Box::Cancel, Box::Save);
}

QJsonObject objectIn(Text path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

bool put(Text path, Text text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

// Answers the file dialogs from a queue of paths and notes what each asked.
struct Chooser : FileChooser {
    QStringList &paths, &asked;
    Chooser(QStringList& p, QStringList& a) : paths(p), asked(a) {}
    QString give(Text caption, Text where)
    {
        asked << caption + " | " + where;
        return paths.isEmpty() ? QString() : paths.takeFirst();
    }
    QString openFile(QWidget*, Text c, Text f, Text) override { return give(c, f); }
    QString saveFile(QWidget*, Text c, Text s, Text, QString*) override { return give(c, s); }
};

// A window over the test's folder, which holds its settings and recent files:
// a second Planner on the same folder is the next run.
struct Planner {
    test::ModalAnswerer answers;
    QStringList paths, asked;
    MainWindow window;

    explicit Planner(Text folder, const QList<Box::StandardButton>& replies = {})
        : window(AppFolders::beside(folder), [] { return Today; })
    {
        window.setFileChooser(std::make_unique<Chooser>(paths, asked));
        for (Box::StandardButton reply : replies)
            answers.answer(reply);
        window.startUp();
        window.show();
    }
    template <typename T = QWidget> T* get(Text n) const { return window.findChild<T*>(n); }
    void type(Text tasks) const { get<QPlainTextEdit>("txtTodo")->setPlainText(tasks); }
    // Keys where the user types, in the active window.
    void press(Text keys)
    {
        window.activateWindow(); // offscreen, a closed message box leaves none active
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keySequence(get("txtTodo"), QKeySequence(keys));
    }
    // Name, tasks, start, week; the shown caption; the rows as first start, last end, count.
    QString state() const
    {
        const QList<ScheduleRow>& rows = window.schedule().rows;
        const int shown = get<QTableView>("ListView1")->model()->rowCount();
        const int drawn = get<TimelineView>("timelineView")->scene().rowCount();
        return QStringList{get<QLineEdit>("txtProjectName")->text(),
                           get<QPlainTextEdit>("txtTodo")->toPlainText(),
                           get<QRadioButton>("optDate1")->isChecked() ? "on date" : "right away",
                           get<QCheckBox>("chkExcludeWeekends")->isChecked() ? "week" : "every day",
                           window.windowHandle()->title(),
                           shown ? rows.first().start.toString("d ") +
                                       rows.last().end.toString("d ") + QString::number(shown)
                                 : ""}
                   .join('|') +
               (drawn == shown ? "" : " timeline " + QString::number(drawn));
    }
    QStringList shown()
    {
        answers.waitForAll();
        QStringList boxes;
        for (const test::SeenMessage& seen : answers.seen())
            boxes << box(seen.title, seen.text, seen.icon, seen.buttons.toInt(),
                         seen.defaultButton);
        if (answers.unexpectedCount() > 0) // a box nobody expected, or a button it lacked
            boxes << QString("%1 unexpected").arg(answers.unexpectedCount());
        answers.clear();
        return boxes;
    }
};

} // namespace

class TestMainWindowProjects : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(Text name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    // A fresh folder: the shipped settings, no recent files.
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        for (const QFileInfo& data : QDir(qApp->applicationDirPath()).entryInfoList({"*.txt"}))
            QFile::copy(data.filePath(), path(data.fileName()));
        QVERIFY(put(path("kitchen.taskloom"), Kitchen) && put(path("Hall.txt"), "Paint\r\n"));
    }

    // Typed, saved, a new project, opened again; Save As keeps what it does not know.
    void saveNewOpen()
    {
        Planner p(m_dir->path());
        auto* name = p.get<QLineEdit>("txtProjectName");
        name->selectAll();
        QTest::keyClicks(name, "K, \"neu\"");
        name->insert("ü"); // keyClicks types ASCII only
        p.type("Clear + 2\n//Order, \"tiles\" + 2\nLay +4\n");
        p.get<QCalendarWidget>("Calendar2")->setSelectedDate(QDate(2026, 12, 14));
        QTest::mouseClick(p.get("chkExcludeWeekends"), Qt::LeftButton, {}, {8, 12});
        const QString typed = "K, \"neu\"ü|Clear + 2\n//Order, \"tiles\" + 2\nLay +4\n|on date|"
                              "every day|";
        QCOMPARE(p.state(), typed + Title + "*|14 19 3");
        p.paths << path("new/kuche");
        p.press("Ctrl+S");
        const QString docs = path("output"); // the window's export folder
        QCOMPARE(p.asked, QStringList{"Save Project As | " + docs + "/K, -neu-ü.taskloom"});
        QJsonObject saved = objectIn(path("new/kuche.taskloom"));
        const QString id = saved.take("id").toString();
        QVERIFY(!QUuid::fromString(id).isNull());
        QCOMPARE(
            saved,
            QJsonDocument::fromJson(
                "{\"format\": \"taskloom-project\", \"version\": 1, \"project\": "
                "\"K, \\\"neu\\\"ü\", \"tasks\": [\"Clear + 2\", \"//Order, \\\"tiles\\\" + 2\", "
                "\"Lay +4\", \"\"], \"start\": \"2026-12-14\", \"adjustToWorkingWeek\": false}")
                .object());
        QCOMPARE(p.state(), typed + Title + " — kuche.taskloom|14 19 3");
        QCOMPARE(p.window.calendarKey(), id);

        p.press("Ctrl+N"); // saved: no question
        QCOMPARE(p.state(), "My Project||right away|week|" + Title + '|');
        QCOMPARE(p.window.calendarKey(), "My Project");
        p.paths << path("new/kuche.taskloom");
        p.press("Ctrl+O");
        QCOMPARE(p.asked.last(), "Open Project | " + docs);
        QCOMPARE(p.state(), typed + Title + " — kuche.taskloom|14 19 3");
        QCOMPARE(p.window.calendarKey(), id);

        p.paths << path("kitchen.taskloom") << path("b.taskloom");
        p.press("Ctrl+O");
        p.press("Ctrl+Shift+S");
        QCOMPARE(p.asked.last(), "Save Project As | " + path("kitchen.taskloom"));
        QCOMPARE(objectIn(path("b.taskloom")), QJsonDocument::fromJson(Kitchen.toUtf8()).object());
        QCOMPARE(p.shown(), QStringList());
    }

    // Quit, New and Open over unsaved changes, with each answer; opening a past start
    // empties both tables, a damaged file changes nothing.
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
        row("quit, save", "Ctrl+Q", Box::Save, "closed" + saved);
        row("quit, discard", "Ctrl+Q", Box::Discard, "closed" + old);
        row("new, save", "Ctrl+N", Box::Save, "My Project||right away|week|" + Title + '|' + saved);
        row("open a task list", "Ctrl+O", Box::Discard,
            "Hall|Paint|on date|every day|" + Title + "|14 14 1" + old);
        row("open a past start", "Ctrl+O", Box::Discard,
            KitchenState + '|' + Title + " — old.taskloom|" + old, "old.taskloom",
            box("Ooops!", "Your project is set to start on a past date. Please fix this.",
                Box::Information));
        row("open a damaged file", "Ctrl+O", Box::Discard, kept + old, "bad.taskloom",
            box("Error", "The project could not be read from %1.\n\n\"start\" must be "
                         "\"right-away\" or a date as YYYY-MM-DD, not \"2026-12-32\"."));
    }
    void unsavedChanges()
    {
        QFETCH(QString, keys);
        QFETCH(int, answer);
        QFETCH(QString, open);
        QFETCH(QString, message);
        QFETCH(QString, after);
        QVERIFY(put(path("old.taskloom"), QString(Kitchen).replace("12-14", "12-08")));
        QVERIFY(put(path("bad.taskloom"), QString(Kitchen).replace("12-14", "12-32")));
        Planner p(m_dir->path());
        QVERIFY(p.window.openProject(path("kitchen.taskloom")));
        p.type("Clear + 2\nNew");
        p.paths << path(open);
        p.answers.answer(Box::StandardButton(answer));
        if (!message.isEmpty())
            p.answers.answer(Box::Ok);
        p.press(keys);
        QCOMPARE(p.shown(),
                 QStringList{question("\"kitchen.taskloom\"")} +
                     (message.isEmpty() ? QStringList()
                                        : QStringList{QString(message).replace("%1", path(open))}));
        QStringList tasks;
        for (const QJsonValue task : objectIn(path("kitchen.taskloom"))["tasks"].toArray())
            tasks << task.toString();
        QCOMPARE((p.window.isVisible() ? p.state() : "closed") + '|' + tasks.join(','), after);
    }

    // The next run fills in the last project without a build; one gone or damaged
    // is told once.
    void startUp_data()
    {
        QTest::addColumn<QString>("content"); // empty: the file is gone
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("after");
        const QString fresh = "My Project||right away|week|" + Title + '|';
        QTest::newRow("there") << Kitchen << ""
                               << KitchenState + '|' + Title + " — kitchen.taskloom|";
        QTest::newRow("gone") << ""
                              << "The file was not found." << fresh;
        QTest::newRow("damaged") << "{"
                                 << "The file is not a Taskloom project: it is not JSON "
                                    "(unterminated object at byte 1)."
                                 << fresh;
    }
    void startUp()
    {
        QFETCH(QString, content);
        QFETCH(QString, message);
        QFETCH(QString, after);
        QVERIFY(Planner(m_dir->path()).window.openProject(path("kitchen.taskloom")));
        QVERIFY(content.isEmpty() ? QFile::remove(path("kitchen.taskloom"))
                                  : put(path("kitchen.taskloom"), content));
        for (int run = 0; run < 2; ++run) { // the second run is quiet
            const bool told = run == 0 && !message.isEmpty();
            Planner next(m_dir->path(), told ? QList{Box::Ok} : QList<Box::StandardButton>{});
            const QString error = "The project could not be read from %1.\n\n" + message;
            QCOMPARE(next.shown(),
                     told ? QStringList{box("Error", error.arg(path("kitchen.taskloom")))}
                          : QStringList());
            QCOMPARE(next.state(), after);
            // A file gone leaves the recent files.
            QCOMPARE(next.get<QMenu>("menuOpenRecent")->isEnabled(), !content.isEmpty());
        }
    }

    // A project file dropped anywhere opens; no text box pastes a dropped file's path.
    void drops_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name"); // the project name after
        const auto row = [](const char* tag, const char* target, const char* file,
                            const char* name) {
            QTest::newRow(tag) << QString(target) << QString(file) << QString(name);
        };
        row("task box, project", "txtTodo", "kitchen.taskloom", "Kitchen");
        row("name box, project", "txtProjectName", "kitchen.taskloom", "Kitchen");
        row("table, task list", "ListView1", "Hall.txt", "Hall");
        row("task box, picture", "txtTodo", "tiles.png", "My Project");
    }
    void drops()
    {
        QFETCH(QString, target);
        QFETCH(QString, file);
        QFETCH(QString, name);
        Planner p(m_dir->path());
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
        QTRY_COMPARE(p.get<QLineEdit>("txtProjectName")->text(), name);
        QVERIFY(!p.state().contains("file:"));
    }
};

QTEST_MAIN(TestMainWindowProjects)
#include "test_mainwindowprojects.moc"
