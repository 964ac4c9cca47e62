#include "modalanswerer.h"
#include "ui/filechooser.h"
#include "ui/mainwindow.h"
#include "ui/timelineview.h"

#include <QSignalSpy>
#include <QTest>
#include <QtWidgets>

#include <sys/stat.h>

using namespace taskloom;
using namespace Qt::StringLiterals;
using Box = QMessageBox;
using Text = const QString&;

const QDate Today(2026, 12, 9); // a Wednesday; the tests never read the clock
static QList<QUrl> Opened;      // what the export asked the desktop to open
// Each trigger, then the rows shown after it (1: no build; Enter at the text's start adds a
// line): a control clicked, a key on a control (Num: keypad), a resize, or the timer alone.
const QString TriggerRows =
    "cmdToList 2|optDate0 2|optDate1 2|chkExcludeWeekends 2|qt_calendar_calendarview Right 2|"
    "qt_calendar_calendarview Left 1|txtTodo Return 3|txtTodo Num+Enter 3|txtTodo Up 2|"
    "txtTodo Ctrl+Shift+Down 2|txtTodo X 1|txtTodo Left 1|resize 1|timer 1";

const QByteArray CsvHeader = "Subject,Start Date,Start Time,End Date,End Time,All Day Event,"
                             "Description,Location,Private\r\n";

// A message box as one line: title, text, icon, buttons and the one Enter presses.
static QString box(Text title, Text text, int icon = Box::Information, int buttons = Box::Ok,
                   int defaultButton = Box::Ok)
{
    return QStringLiteral("%1 | %2 | icon %3 | buttons %4 | default %5")
        .arg(title, text)
        .arg(icon)
        .arg(buttons)
        .arg(defaultButton);
}

// The titles of the boxes shown, from shown().
static QString titles(const QStringList& boxes)
{
    QStringList out;
    for (const QString& seen : boxes)
        out << seen.section(" | ", 0, 0);
    return out.join('|');
}

static QByteArray bytesOf(Text path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the save dialog with the next queued path ("" cancels), picking the filter when one
// is set, and notes what it offered (with the filter offered first, when it offers filters).
struct AnsweringChooser : FileChooser {
    QStringList answers, offered;
    QString filter;
    QString openFile(QWidget*, Text, Text, Text) override { return {}; }
    QString saveFile(QWidget*, Text caption, Text suggested, Text filters, QString* chosen) override
    {
        offered << caption + '|' + suggested + '|' + filters + (chosen ? '|' + *chosen : "");
        if (chosen && !filter.isEmpty())
            *chosen = filter;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

// One started window over its own copy of the shipped files; each file left out ("name") or
// damaged ("name=text") is reported once at start-up and answered.
struct Planner {
    test::ModalAnswerer answers;
    QTemporaryDir folder;
    MainWindow window{AppFolders::beside(folder.path()), [] { return Today; }};

    explicit Planner(const QStringList& changed = {}, const QByteArray& daysOff = {})
    {
        for (const QFileInfo& data : QDir(qApp->applicationDirPath()).entryInfoList({"*.txt"}))
            QFile::copy(data.filePath(), folder.filePath(data.fileName()));
        if (QFile file(folder.filePath("daysoff.txt")); !daysOff.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(daysOff) == daysOff.size());
        for (const QString& change : changed) { // a file unchanged fails on the missing answer
            QFile file(folder.filePath(change.section('=', 0, 0)));
            const bool done = file.remove() && (!change.contains('=') ||
                                                (file.open(QIODevice::WriteOnly) &&
                                                 file.write(change.section('=', 1).toUtf8()) > 0));
            answers.answer(done ? Box::Ok : Box::NoButton);
        }
        QDir(folder.path()).mkdir("output");
        window.startUp();
        window.show();
    }
    ~Planner() { QCOMPARE(answers.unexpectedCount(), 0); }
    template <typename T = QWidget> T* get(Text n) const { return window.findChild<T*>(n); }
    // Near the top left: option buttons and check boxes take clicks on their mark only.
    void click(Text n) const { QTest::mouseClick(get(n), Qt::LeftButton, {}, {8, 12}); }
    void type(Text tasks) const { get<QPlainTextEdit>("txtTodo")->setPlainText(tasks); }
    int rows() const { return get<QTableView>("ListView1")->model()->rowCount(); }
    TimelineView* timeline() const { return get<TimelineView>("timelineView"); }
    void build(Text tasks) const
    {
        type(tasks);
        click("cmdToList");
    }
    QStringList shown() // the message boxes seen, once every queued answer was given
    {
        answers.waitForAll();
        QStringList boxes;
        for (const test::SeenMessage& seen : answers.seen())
            boxes << box(seen.title, seen.text, seen.icon, seen.buttons.toInt(),
                         seen.defaultButton);
        return boxes;
    }
    // Clicks the link, lets act work the dialog it opens, presses the button act names and
    // gives the dialog's name.
    QString open(const char* link, const std::function<const char*(QWidget*)>& act)
    {
        QString opened;
        const QObject guard; // a dialog that never opens leaves no timer behind
        QTimer::singleShot(50, &guard, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            opened = dialog->objectName();
            QTest::mouseClick(dialog->findChild<QPushButton*>(act(dialog)), Qt::LeftButton);
        });
        click(link);
        return opened;
    }
};

class TestMainWindow : public QObject {
    Q_OBJECT
    Q_INVOKABLE void openedUrl(const QUrl& url) { Opened.append(url); }

private Q_SLOTS:
    void initTestCase() { QDesktopServices::setUrlHandler("file", this, "openedUrl"); }

    // Settings files missing or damaged at start-up: each told once, start-up carried on to
    // its end (the calendar caught up), and what could be read is used by a build of "A +2".
    void startUpSettings_data()
    {
        QTest::addColumn<QStringList>("files"); // as Planner takes them
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<QString>("built"); // the row's last day, or the refusal's title
        const QString missing = "Error: %1 file not found. Please reinstall the software.";
        QTest::newRow("start hour and week missing")
            << QStringList{"workingday_starts_at.txt", "workingweek.txt"}
            << QStringList{missing.arg("workingday_starts_at.txt"), missing.arg("workingweek.txt")}
            << "Ooops!";
        // Monday and Wednesday work, the days of the missing lines are off: from today on.
        QTest::newRow("week damaged")
            << QStringList{"workingweek.txt=1\n0\n1\n"}
            << QStringList{"Error: workingweek.txt is damaged (lines 4, 5, 6 and 7). Those days "
                           "count as days off. Please open Settings and save your working week "
                           "again."}
            << "Monday 14";
    }
    void startUpSettings()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, told);
        QFETCH(QString, built);
        Planner p(files);
        QStringList warnings;
        for (const QString& text : told)
            warnings << box("Error", text, Box::Warning);
        QCOMPARE(p.shown(), warnings);
        QTRY_COMPARE(p.get<QCalendarWidget>("Calendar2")->selectedDate(), Today);
        p.answers.clear();
        if (built == "Ooops!")
            p.answers.answer(Box::Ok);
        p.type("A +2");
        p.click("cmdToList");
        const QList<ScheduleRow>& rows = p.window.schedule().rows;
        QCOMPARE(rows.isEmpty() ? titles(p.shown()) : rows.first().end.toString("dddd d"), built);
    }

    // Each trigger after a first build of one row, the calendar caught up with today.
    void triggers_data()
    {
        QTest::addColumn<int>("rows");
        for (const QString& row : TriggerRows.split('|'))
            QTest::newRow(qPrintable(row.section(' ', 0, -2))) << row.section(' ', -1).toInt();
    }
    void triggers()
    {
        const QString action = QTest::currentDataTag(), month = "qt_calendar_calendarview ";
        QFETCH(int, rows);
        Planner p;
        p.type("A");
        p.click("cmdToList");
        p.type("A +3\nB +2");
        QTRY_COMPARE(p.get<QCalendarWidget>("Calendar2")->selectedDate(), Today);
        if (action == month + "Left") // yesterday
            p.answers.answer(Box::Ok);
        if (action.contains(' '))
            QTest::keySequence(p.get(action.section(' ', 0, 0)), action.section(' ', 1));
        else if (action == "resize")
            p.window.resize(p.window.width() + 200, p.window.height() + 50);
        else if (action != "timer")
            p.click(action);
        QCOMPARE(p.rows(), rows);
        if (action == month + "Left") { // refused, the old rows kept; option 0 builds from today
            const QString past = "Your project is set to start on a past date. Please fix this.";
            QCOMPARE(p.shown(), QStringList{box("Ooops!", past)});
            p.click("optDate0");
            QCOMPARE(p.rows(), 2);
        }
        const bool tomorrow = action == month + "Right";
        QCOMPARE(p.get<QRadioButton>("optDate1")->isChecked(), action == "optDate1" || tomorrow);
        QCOMPARE(p.window.schedule().rows.first().start, Today.addDays(tomorrow));
    }

    // The table's texts under the locale, and its width under the resize rule.
    void table_data()
    {
        QTest::addColumn<QStringList>("cells"); // the first row's, then the second's duration
        QTest::addColumn<int>("width");         // 0: the minimum, left of the table's right edge
        QTest::newRow("en_US") << QStringList{"12/9/2026", "12/11/2026", "2.5", "1500"} << 1400;
        QTest::newRow("de_DE") << QStringList{"09.12.2026", "11.12.2026", "2,5", "1500"} << 0;
    }
    void table()
    {
        QFETCH(QStringList, cells);
        QFETCH(int, width);
        QLocale::setDefault(QLocale(QTest::currentDataTag()));
        Planner p;
        p.type("Paint +2.5\nTiles + 1500");
        p.click("cmdToList");
        auto* table = p.get<QTableView>("ListView1");
        QStringList texts;
        for (int cell = 1; cell < 5; ++cell)
            texts << table->model()->index(cell / 4, std::min(cell, 3)).data().toString();
        QCOMPARE(texts, cells);
        const int tableBefore = table->width(), margin = 47; // 700 twips
        p.window.resize(width ? width : p.window.minimumWidth(), p.window.height());
        const int outer = p.window.frameGeometry().width();
        for (const char* name : {"Command2", "Label13"})
            QCOMPARE(p.get(name)->geometry().right() + 1, outer - margin);
        QCOMPARE(table->width(), width ? outer - table->x() - margin : tableBefore);
        QLocale::setDefault(QLocale::system());
    }

    // One project exported step by step: each check, the overwrite question, the write.
    void exportCsv()
    {
        Planner p;
        const QString csv = p.folder.filePath("output/project.csv");
        const auto run = [&p](const char* name, QList<Box::StandardButton> buttons = {Box::Ok}) {
            p.answers.clear();
            p.get<QLineEdit>("txtProjectName")->setText(name);
            while (!buttons.isEmpty())
                p.answers.answer(buttons.takeFirst());
            p.click("Command2");
            return p.shown().join('\n');
        };
        const QString confirm =
            box("Confirm", "Overwrite the previous .csv file (maybe from another project)?",
                Box::Question, Box::Yes | Box::No, Box::Yes);
        const QString doneText =
            "Done! The software will now open a folder which contains a .csv file with your "
            "project info. You can now add this project (.csv) to your G calendar. For more "
            "details, please read the user manual.";
        const QString done = box("Done!", doneText);
        QCOMPARE(run("Home"), box("Missing Info", "Please add some tasks to your project."));
        p.type("Paint, walls +4\nTiles");
        p.click("cmdToList");
        QCOMPARE(run(""), box("Missing Info", "Please enter a project name."));
        QCOMPARE(run("  "), done); // a name of blanks passes
        // From Wednesday 9 December: Paint to Friday and on Monday, Tiles on Tuesday.
        QCOMPARE(bytesOf(csv),
                 CsvHeader +
                     "\"  : Paint, walls \",12/09/2026,9:00 AM,12/11/2026,6:00 PM,False,"
                     "\"Paint, walls \",Home,True\r\n"
                     "\"  : Paint, walls  (2)\",12/14/2026,9:00 AM,12/14/2026,6:00 PM,False,"
                     "\"Paint, walls \",Home,True\r\n"
                     "  : Tiles,12/15/2026,9:00 AM,12/15/2026,6:00 PM,False,Tiles,Home,True\r\n");
        QCOMPARE(Opened, QList{QUrl::fromLocalFile(p.folder.filePath("output"))});
        p.click("chkExcludeWeekends"); // unticked: Saturday and Sunday work too
        const QByteArray before = bytesOf(csv);
        QCOMPARE(run("Home", {Box::No}), confirm);
        QCOMPARE(bytesOf(csv), before); // byte for byte
        QCOMPARE(run("Home", {Box::Yes, Box::Ok}), confirm + '\n' + done);
        QCOMPARE(bytesOf(csv),
                 CsvHeader +
                     "\"Home: Paint, walls \",12/09/2026,9:00 AM,12/12/2026,6:00 PM,False,"
                     "\"Paint, walls \",Home,True\r\n"
                     "Home: Tiles,12/13/2026,9:00 AM,12/13/2026,6:00 PM,False,Tiles,Home,True\r\n");
        // A folder in the way, then a named pipe that nothing reads (opening it would hang):
        // the path and the reason, nothing replaced, nothing opened.
        const QString path = QDir::toNativeSeparators(csv);
        const QString error = "The project could not be written to " + path +
                              ".\n\nIt is a %1, not a file; please move it away";
        QVERIFY(QFile::remove(csv) && QDir().mkpath(csv));
        QCOMPARE(run("Home", {Box::Yes, Box::Ok}),
                 confirm + '\n' + box("Error", error.arg("folder"), Box::Warning));
        QVERIFY(QDir().rmdir(csv) && mkfifo(qPrintable(csv), 0600) == 0);
        QCOMPARE(run("Home", {Box::Yes, Box::Ok}),
                 confirm + '\n' + box("Error", error.arg("named pipe"), Box::Warning));
        QVERIFY(QFileInfo::exists(csv) && !QFileInfo(csv).isFile());
        QCOMPARE(Opened.size(), 2); // not for No, not for the failed writes
        // No file browser to open the folder: "Done!" says where the file is.
        QVERIFY(QFile::remove(csv));
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(run("Home"), box("Done!", doneText + "\nThe file is " + path));
        QDesktopServices::setUrlHandler("file", this, "openedUrl");
    }

    // An export writes what the controls show: when they changed since the last build
    // ("Paint +2" named "Home", from Wednesday 9 December) it builds first, as "Create
    // Project!" does, and a refused build writes nothing.
    void exportBuildsFirst_data()
    {
        QTest::addColumn<QString>("tasks");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown"); // the boxes' titles
        QTest::addColumn<int>("builds");
        QTest::addColumn<QByteArray>("events"); // the file's lines after its header; null: none
        const QByteArray paint =
            ",12/09/2026,9:00 AM,12/10/2026,6:00 PM,False,Paint ,Home,True\r\n";
        // clang-format off
        QTest::newRow("unchanged") << "Paint +2" << "Home" << "Done!" << 0 << "Home: Paint " + paint;
        QTest::newRow("renamed") << "Paint +2" << "Hall" << "Done!" << 1 << "Hall: Paint " + paint;
        QTest::newRow("new tasks") << "Tiles" << "Home" << "Done!" << 1
            << "Home: Tiles,12/09/2026,9:00 AM,12/09/2026,6:00 PM,False,Tiles,Home,True\r\n"_ba;
        QTest::newRow("cleared, renamed") << "" << "Hall" << "Missing Info" << 1 << QByteArray();
        QTest::newRow("refused") << "Paint +1e9" << "Home" << "Ooops!" << 0 << QByteArray();
        // clang-format on
    }
    void exportBuildsFirst()
    {
        QFETCH(QString, tasks);
        QFETCH(QString, name);
        QFETCH(QByteArray, events);
        Planner p;
        p.type("Paint +2");
        p.get<QLineEdit>("txtProjectName")->setText("Home");
        p.click("cmdToList");
        p.type(tasks);
        p.get<QLineEdit>("txtProjectName")->setText(name);
        QSignalSpy built(p.get<QTableView>("ListView1")->model(), &QAbstractItemModel::modelReset);
        p.answers.answer(Box::Ok);
        p.click("Command2");
        QTEST(titles(p.shown()), "shown");
        QTEST(int(built.size()), "builds");
        QCOMPARE(bytesOf(p.folder.filePath("output/project.csv")),
                 events.isNull() ? QByteArray() : CsvHeader + events);
    }

    // Enter pressed to close a message box or a dialog is released in the task box: that
    // release alone builds nothing. Pressed and released in the task box, Enter builds.
    void enterThatCloses_data()
    {
        QTest::addColumn<QString>("tasks");  // after a first build of "A"
        QTest::addColumn<QString>("opener"); // what opens the box or dialog Enter closes
        QTest::addColumn<QString>("shown");  // the boxes' titles
        QTest::addColumn<int>("builds");
        // clang-format off
        QTest::newRow("Ooops!") << "A +1e9" << "txtTodo" << "Ooops!" << 0;
        QTest::newRow("Done!") << "A" << "Command2" << "Done!" << 0;
        QTest::newRow("Tips") << "A\nB" << "Label15" << "" << 0;
        QTest::newRow("in the task box") << "A\nB" << "txtTodo" << "" << 1;
        // clang-format on
    }
    void enterThatCloses()
    {
        QFETCH(QString, tasks);
        QFETCH(QString, opener);
        QFETCH(QString, shown);
        Planner p;
        p.type("A");
        p.click("cmdToList");
        p.type(tasks);
        QWidget* taskBox = p.get("txtTodo");
        QSignalSpy built(p.get<QTableView>("ListView1")->model(), &QAbstractItemModel::modelReset);
        if (!shown.isEmpty())
            p.answers.answerByKey(Qt::Key_Return, taskBox);
        const QObject guard;
        if (opener == "Label15") {
            QTimer::singleShot(50, &guard, [taskBox] {
                QTest::keyPress(QApplication::activeModalWidget(), Qt::Key_Return);
                QTest::keyRelease(taskBox, Qt::Key_Return);
            });
        }
        if (opener == "txtTodo")
            QTest::keyClick(taskBox, Qt::Key_Return);
        else
            p.click(opener);
        QCOMPARE(titles(p.shown()), shown);
        QTEST(int(built.size()), "builds");
    }

    // Tab reaches both links and the buttons; Return, Enter or Space on a link opens its
    // dialog, Return presses a focused button (in the dialog too: it closes them).
    void keyboard_data()
    {
        QTest::addColumn<QString>("from"); // focused first, then Tab
        QTest::addColumn<QString>("reached");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("result"); // the dialog opened and closed, or the rows built
        // clang-format off
        QTest::newRow("Tips, Return") << "txtTodo" << "Label15" << int(Qt::Key_Return) << "frmTips";
        QTest::newRow("Tips, Space") << "txtTodo" << "Label15" << int(Qt::Key_Space) << "frmTips";
        QTest::newRow("Settings, Enter") << "chkExcludeWeekends" << "lblSetWorkingDays"
                                         << int(Qt::Key_Enter) << "frmWorkingWeek";
        QTest::newRow("Create Project!, Return") << "lblSetWorkingDays" << "cmdToList"
                                                 << int(Qt::Key_Return) << "rows 1";
        // clang-format on
    }
    void keyboard()
    {
        QFETCH(QString, from);
        QFETCH(int, key);
        Planner p;
        p.type("A");
        p.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.window));
        p.get(from)->setFocus();
        QTest::keyClick(p.get(from), Qt::Key_Tab);
        QTEST(QApplication::focusWidget()->objectName(), "reached");
        QString result;
        const QObject guard; // Return on the dialog's last button, Close or Cancel
        QTimer::singleShot(50, &guard, [&result] {
            QWidget* dialog = QApplication::activeModalWidget();
            result = dialog->objectName();
            QPushButton* last = dialog->findChildren<QPushButton*>().last();
            last->setFocus();
            QTest::keyClick(last, Qt::Key_Return);
            if (dialog->isVisible() && dialog->close())
                result += " stayed open";
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QTEST(result.isEmpty() ? QString("rows %1").arg(p.rows()) : result, "result");
    }

    // File > Export > iCalendar: the checks, a cancelled dialog, a write, a failed write.
    void exportIcs()
    {
        Planner p;
        auto owned = std::make_unique<AnsweringChooser>();
        AnsweringChooser& chooser = *owned;
        p.window.setFileChooser(std::move(owned));
        QAction* action = p.get<QMenu>("menuExport")->findChild<QAction*>("actionExportIcs");
        QVERIFY(action);
        QCOMPARE(action->text(), "iCalendar File (.ics)…");
        qputenv("SOURCE_DATE_EPOCH", "1796601600");
        const auto run = [&](const char* name, const QString& answer, bool informs) {
            p.answers.clear();
            p.get<QLineEdit>("txtProjectName")->setText(name);
            chooser.answers = {answer};
            if (informs)
                p.answers.answer(Box::Ok);
            action->trigger();
            return p.shown().join('\n');
        };
        const QString ics = p.folder.filePath("mine/plan.ics");
        QCOMPARE(run("Home", ics, true),
                 box("Missing Info", "Please add some tasks to your project."));
        p.type("Paint, walls +4\nTiles");
        p.click("cmdToList"); // Paint: Wednesday to Friday, Monday; Tiles: Tuesday
        QCOMPARE(run("", ics, true), box("Missing Info", "Please enter a project name."));
        QVERIFY(chooser.offered.isEmpty());
        QCOMPARE(run("..Home/Garden", "", false), ""); // cancelled: nothing said, nothing written
        QCOMPARE(chooser.offered, QStringList{"Export iCalendar File|" +
                                              p.folder.filePath("output/Home_Garden.ics") +
                                              "|iCalendar files (*.ics);;All files (*)"});
        QVERIFY(!QFile::exists(ics));
        p.type("Paint, walls +4\nTiles\nGrout"); // not built: the export builds it first
        QCOMPARE(run("Home", ics, true),
                 box("Done!", "Done! The calendar file is saved as " + ics + "."));
        const QByteArray written = bytesOf(ics);
        QCOMPARE(written.count("BEGIN:VEVENT"), 4); // Grout: Wednesday
        QVERIFY(written.contains("\r\nX-WR-CALNAME:Home\r\n"));
        QVERIFY(written.contains("\r\nDTSTAMP:20261207T000000Z\r\n"));
        // A file in the way of the folder: the path and the system's reason, no "Done!".
        const QString blocked = p.folder.filePath("mine/plan.ics/again.ics");
        QCOMPARE(run("Home", blocked, true),
                 box("Error",
                     "The project could not be written to " + blocked + ".\n\nNot a directory",
                     Box::Warning));
        qunsetenv("SOURCE_DATE_EPOCH");
    }

    // Each way to switch the schedule area, from the table; the window's keys need it active.
    void switchViews_data()
    {
        QTest::addColumn<QString>("steps"); // buttons, actions and keys, in turn
        QTest::addColumn<bool>("timeline");
        QTest::newRow("Timeline button") << "cmdShowTimeline" << true;
        QTest::newRow("Ctrl+2") << "Ctrl+2" << true;
        QTest::newRow("View, Timeline") << "actionViewTimeline" << true;
        QTest::newRow("checked button again") << "cmdShowTimeline cmdShowTimeline" << true;
        QTest::newRow("back by Schedule button") << "Ctrl+2 cmdShowSchedule" << false;
        QTest::newRow("back by Ctrl+1") << "cmdShowTimeline Ctrl+1" << false;
        QTest::newRow("back by View, Schedule") << "Ctrl+2 actionViewSchedule" << false;
        // Like radio buttons, Tab reaches the checked switch and an arrow the other.
        QTest::newRow("Tab from Create Project!, Right, Space")
            << "focus:cmdToList Tab Right Space" << true;
    }
    void switchViews()
    {
        QFETCH(QString, steps);
        QFETCH(bool, timeline);
        Planner p;
        p.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.window));
        p.build("A\nB +2");
        for (const QString& step : steps.split(' ')) {
            QWidget* focused = QApplication::focusWidget();
            if (step.startsWith("focus:"))
                p.get(step.mid(6))->setFocus();
            else if (step.startsWith("action"))
                p.get<QAction>(step)->trigger();
            else if (step.startsWith("cmd"))
                QTest::mouseClick(p.get(step), Qt::LeftButton);
            else // a key, to whatever has the focus
                QTest::keySequence(focused ? focused : &p.window, QKeySequence(step));
        }
        QCOMPARE(p.get("ListView1")->isVisible(), !timeline);
        QCOMPARE(p.timeline()->isVisible(), timeline);
        for (const char* name :
             {"cmdShowTimeline", "actionViewTimeline", "cmdShowSchedule", "actionViewSchedule"}) {
            const bool checked = p.get<QAbstractButton>(name)
                                     ? p.get<QAbstractButton>(name)->isChecked()
                                     : p.get<QAction>(name)->isChecked();
            QCOMPARE(checked, timeline == QByteArray(name).contains("Timeline"));
        }
        QCOMPARE(p.get<QAction>("actionZoomIn")->isEnabled(), timeline);
        // Builds fill both, whichever shows.
        QCOMPARE(p.timeline()->scene().rowCount(), 2);
        p.build("A");
        QCOMPARE(p.timeline()->scene().rowCount(), 1);
    }

    // The switches sit left of the export button, which covers them below about 1,030 pixels;
    // the timeline keeps the table's place under the resize rule.
    void switchPlaces_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("atRightEdge"); // what shows at the Timeline button's last pixel
        QTest::newRow("1031: export button at 584") << 1031 << "cmdShowTimeline";
        QTest::newRow("1029: export button at 582") << 1029 << "Command2";
    }
    void switchPlaces()
    {
        QFETCH(int, width);
        Planner p;
        QCOMPARE(p.get("cmdShowSchedule")->geometry(), QRect(393, 81, 95, 31)); // 5895, 1215 twips
        QCOMPARE(p.get("cmdShowTimeline")->geometry(), QRect(488, 81, 95, 31));
        p.window.resize(width + p.window.width() - p.window.frameGeometry().width(), 700);
        QTEST(p.get("centralWidget")->childAt(582, 90)->objectName(), "atRightEdge");
        QCOMPARE(p.timeline()->geometry(), p.get("ListView1")->geometry());
    }

    // Hover texts over a plan built on Wednesday 9: days 24 pixels wide from Tuesday 8 at x 216,
    // rows 22 high under a 44-pixel header, bars inset 4.
    void hover_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<QString>("text");
        const QString paint =
            "Paint\nStart Date: 12/9/2026\nEnd Date: 12/11/2026\nTask Duration: 3";
        const QString order = "Order\nStart Date: 12/9/2026\nEnd Date: 12/14/2026\nTask Duration: "
                              "4\nRuns beside the task before it (\"//\").";
        QTest::newRow("Order's first run, Wednesday") << QPointF(250, 77) << order;
        QTest::newRow("Order over Saturday 12") << QPointF(320, 77) << order;
        QTest::newRow("Paint's name") << QPointF(100, 55) << paint;
        QTest::newRow("beside Paint's bar") << QPointF(320, 55) << "";
        QTest::newRow("above Order's bar") << QPointF(250, 69) << "";
        QTest::newRow("the header") << QPointF(250, 20) << "";
    }
    void hover()
    {
        QFETCH(QPointF, point);
        QLocale::setDefault(QLocale("en_US"));
        Planner p;
        p.build("Paint + 3\n//Order + 4");
        p.click("cmdShowTimeline");
        QTEST(p.timeline()->toolTipAt(point), "text");
        QLocale::setDefault(QLocale::system());
    }

    // Zoom by keys and Ctrl+wheel, from 24 pixels a day, one step 1.15 times, between 3 and
    // the name column's 216; a wheel step keeps the day under the mouse where it was.
    void zoom_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("times");
        QTest::addColumn<bool>("timeline");
        QTest::addColumn<qreal>("dayWidth");
        QTest::newRow("Ctrl++") << "Ctrl++" << 1 << true << 27.6;
        QTest::newRow("Ctrl+=") << "Ctrl+=" << 1 << true << 27.6;
        QTest::newRow("Ctrl+-") << "Ctrl+-" << 1 << true << 24 / 1.15;
        QTest::newRow("Ctrl++ over the table") << "Ctrl++" << 1 << false << 24.0;
        QTest::newRow("Ctrl+wheel up") << "wheel Ctrl 120" << 1 << true << 27.6;
        QTest::newRow("Ctrl+wheel down") << "wheel Ctrl -120" << 1 << true << 24 / 1.15;
        QTest::newRow("wheel scrolls") << "wheel None 120" << 1 << true << 24.0;
        QTest::newRow("far out") << "Ctrl+-" << 20 << true << 3.0;
        QTest::newRow("far in") << "Ctrl++" << 20 << true << 216.0;
    }
    void zoom()
    {
        QFETCH(QString, input);
        QFETCH(int, times);
        QFETCH(bool, timeline);
        Planner p;
        p.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.window));
        p.build("Long + 100");
        if (timeline)
            p.click("cmdShowTimeline");
        QWidget* viewport = p.timeline()->viewport();
        p.timeline()->horizontalScrollBar()->setValue(500);
        const QDate underMouse = p.timeline()->geometryInView().dayAt(400);
        const QStringList wheel = input.split(' ');
        for (int i = 0; i < times; ++i) {
            if (wheel.size() == 1) {
                QTest::keySequence(&p.window, QKeySequence(input));
                continue;
            }
            QWheelEvent event(QPointF(400, 100), viewport->mapToGlobal(QPointF(400, 100)), {},
                              QPoint(0, wheel[2].toInt()), Qt::NoButton,
                              wheel[1] == "Ctrl" ? Qt::ControlModifier : Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &event);
        }
        QTEST(p.timeline()->dayWidth(), "dayWidth");
        if (wheel[0] == "wheel" && wheel[1] == "Ctrl")
            QCOMPARE(p.timeline()->geometryInView().dayAt(400), underMouse);
    }

    // The picture export: the checks, the dialog, the format by extension or by the chosen
    // filter, refusals and the write. Boxes asking Yes or No are answered No.
    void exportPicture_data()
    {
        QTest::addColumn<QString>("tasks");  // built; after a "|", typed since
        QTest::addColumn<QString>("answer"); // in the output folder; "": cancelled; "-": not asked
        QTest::addColumn<QString>("filter"); // "": the one offered first
        QTest::addColumn<QString>("file");   // the picture written, or ""
        QTest::addColumn<QByteArray>("holds"); // its first bytes, then a text within it
        QTest::addColumn<QStringList>("boxes");
        const QString plan = "Paint + 3\n//Order + 4", png = "PNG Picture (*.png)";
        const auto row = [&](const char* name, Text answer, Text filter, Text file,
                             const QByteArray& holds, const QStringList& boxes = {},
                             Text tasks = {}) {
            QTest::newRow(name) << (tasks.isNull() ? plan : tasks) << answer << filter << file
                                << holds << boxes;
        };
        row("SVG, by the button", "plan.svg", "", "plan.svg", "<?xml");
        row("no extension, PNG chosen", "plan", png, "plan.png", "\x89PNG");
        // 420 x 297 mm: Qt's 1191 x 842 points.
        row("no extension, PDF A3 chosen", "plan", "PDF Document, A3 Landscape (*.pdf)", "plan.pdf",
            "%PDF-\n/MediaBox [0 0 1191.000000 842.000000]");
        row("typed .PDF over SVG chosen", "Plan.PDF", "SVG Picture (*.svg)", "Plan.PDF", "%PDF-");
        row("cancelled", "", "", "", "");
        row("no tasks", "-", "", "", "",
            {box("Missing Info", "Please add some tasks to your project.")}, "");
        row("added .png names a file there", "old", png, "", "",
            {box("Confirm", "Replace the existing file $OUT/old.png?", Box::Question,
                 Box::Yes | Box::No, Box::Yes)});
        // 750 one-day tasks from Wednesday 9 end 150 weeks later on a Tuesday: 1,052 days
        // of 24 pixels beside the names, and rows 44 + 750 x 22 high.
        row("PNG too large", "plan.png", "", "", "",
            {box("Ooops!", "The picture would be 25,464 × 16,544 pixels, and a PNG picture can "
                           "be at most 16,384 pixels either way. Please save it as SVG or PDF "
                           "instead.")},
            QString("T\n").repeated(750));
        // Tasks typed after the build ("|"): the export builds what the window shows first.
        row("typed after the build", "plan.svg", "", "plan.svg", "<?xml\n>Tiles</text>", {},
            plan + "|Tiles");
        row("typed after the build, refused", "-", "", "", "",
            {box("Ooops!", "Line 1 (\"Tiles +1e9\") has a duration that cannot be scheduled. "
                           "Please give a number of days between -10000 and 10000.")},
            plan + "|Tiles +1e9");
        row("a folder in the way", "dir.svg", "", "", "",
            {box("Error",
                 "The picture could not be written to $OUT/dir.svg.\n\nIt is a folder, not a "
                 "file; please move it away",
                 Box::Warning)});
    }
    void exportPicture()
    {
        QFETCH(QString, tasks);
        QFETCH(QString, answer);
        QFETCH(QString, file);
        QFETCH(QStringList, boxes);
        Planner p;
        const QDir out(p.folder.filePath("output"));
        auto chooser = std::make_unique<AnsweringChooser>();
        AnsweringChooser& dialog = *chooser;
        p.window.setFileChooser(std::move(chooser));
        if (answer != "-")
            dialog.answers = {answer.isEmpty() ? "" : out.filePath(answer)};
        QFETCH(QString, filter);
        dialog.filter = filter;
        QVERIFY(QDir().mkpath(out.filePath("dir.svg")));
        QFile old(out.filePath("old.png"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        for (QString& text : boxes) {
            text.replace("$OUT", out.path());
            p.answers.answer(text.contains("Confirm") ? Box::No : Box::Ok);
        }
        p.build(tasks.section('|', 0, 0));
        if (tasks.contains('|'))
            p.type(tasks.section('|', 1));
        if (QByteArray(QTest::currentDataTag()).contains("button")) {
            p.click("cmdShowTimeline");
            p.click("cmdExportTimeline");
        } else {
            p.get<QAction>("actionExportTimeline")->trigger();
        }
        QCOMPARE(p.shown(), boxes);
        QStringList written = out.entryList({"*.svg", "*.png", "*.pdf"}, QDir::Files);
        QVERIFY(written.removeOne("old.png"));
        QCOMPARE(written, file.isEmpty() ? QStringList() : QStringList{file});
        QFETCH(QByteArray, holds);
        const QByteArray bytes = bytesOf(out.filePath(file));
        const QList<QByteArray> texts = holds.split('\n');
        QVERIFY(bytes.startsWith(texts.first()));
        QVERIFY(bytes.contains(texts.last()));
        QCOMPARE(bytesOf(out.filePath("old.png")), "old");
        const QString offered = "Export Timeline Picture|" + out.filePath("My Project.svg") +
                                "|SVG Picture (*.svg);;PNG Picture (*.png);;PDF Document, A4 "
                                "Landscape (*.pdf);;PDF Document, A3 Landscape (*.pdf)|SVG "
                                "Picture (*.svg)";
        QCOMPARE(dialog.offered, answer == "-" ? QStringList() : QStringList{offered});
    }

    // The captions by the name of their control: the title first, "columnN" a header of the
    // schedule table. A dialog is opened twice and reads the same both times.
    void captions_data()
    {
        QTest::addColumn<QString>("link"); // opens the dialog; empty: the window itself
        QTest::addColumn<QString>("captions");
        QTest::newRow("window")
            << ""
            << "Taskloom v1.4|lblAppName=Taskloom!|Label13=The Easiest and Fastest way to Bring "
               "Your Projects to Life!|Label16=Try to Keep it Short.|Label8=Enter 1 Task Per "
               "Line. |column0=Task|column1=Start Date|column2=End Date|column3=Task Duration|"
               "menuFile=&File|menuExport=&Export|actionExportCsv=CSV File for G Calendar|"
               "actionExportIcs=iCalendar File (.ics)…|menuView=&View";
        QTest::newRow("Tips")
            << "Label15"
            << "Tips|Label1=Tips:|Label2=You can set the duration of each task by adding a \"+ X "
               "days\"  of it.|Label3=Example: |Label7= Do This + 7 Days|Label5=or |Label6= Do "
               "This + 7|Label4=This will set the duration of the task to 7 days.|lblPro=Tasks "
               "that should begin on the same date: put // at the beginning of a task line. That "
               "task then inherits the start date of the task before it, for example \"//Order "
               "the tiles + 2\".|Command1=Close";
        QTest::newRow("Working Week") << "lblSetWorkingDays"
                                      << "Working Week|Label1=My Working Week";
    }
    void captions()
    {
        QFETCH(QString, link);
        QFETCH(QString, captions);
        Planner p;
        QStringList openings;
        const auto read = [&](QWidget* root) {
            QStringList texts{root->windowHandle()->title()}; // as the title bar shows it
            for (const QString& wanted : captions.split('|').mid(1)) {
                const QString name = wanted.section('=', 0, 0);
                const QObject* found = root->findChild<QObject*>(name);
                // A label, a button or an action shows its text, a menu its title.
                QString text =
                    found ? found->property(qobject_cast<const QMenu*>(found) ? "title" : "text")
                                .toString()
                          : "<none>";
                if (name.startsWith("column"))
                    text = p.get<QTableView>("ListView1")
                               ->model()
                               ->headerData(name.right(1).toInt(), Qt::Horizontal)
                               .toString();
                texts << name + '=' + text;
            }
            openings << texts.join('|');
            return root->objectName() == "frmTips" ? "Command1" : "Command2"; // Close, Cancel
        };
        if (link.isEmpty())
            read(&p.window);
        for (int opening = 0; !link.isEmpty() && opening < 2; ++opening)
            p.open(qPrintable(link), read);
        QCOMPARE(openings, QStringList(link.isEmpty() ? 1 : 2, captions));
    }

    // Screen readers announce every control of the window and the Working Week dialog by its
    // caption.
    void accessibleNames_data()
    {
        QTest::addColumn<QString>("link"); // opens the dialog; empty: the window itself
        QTest::addColumn<QString>("names");
        QTest::newRow("window")
            << ""
            << "cmdShowSchedule=Schedule|cmdShowTimeline=Timeline|"
               "Command2=Export Project to .CSV For G Calendar|txtProjectName=Project Name:|"
               "txtTodo=Project Tasks:|Label15=Tips|optDate0=I want to start running this "
               "project right away.|optDate1=Start this project on |"
               "qt_calendar_calendarview=Project Start date:|qt_calendar_yearedit=Year|"
               "chkExcludeWeekends=Adjust Tasks to My Working Week.|lblSetWorkingDays="
               "Settings|cmdToList=Create Project!|ListView1=Schedule|timelineView=Timeline|"
               "cmdExportTimeline=Export Picture…";
        QTest::newRow("Working Week")
            << "lblSetWorkingDays"
            << "chkWorkingDay1=Monday|chkWorkingDay2=Tuesday|chkWorkingDay3=Wednesday|"
               "chkWorkingDay4=Thursday|chkWorkingDay5=Friday|chkWorkingDay6=Saturday|"
               "chkWorkingDay7=Sunday|cboStartsAt=Each Working Day Begins at:|"
               "=Each Working Day Begins at:|cboEndsAt=And Ends at:|=And Ends at:|"
               "dtDayOff=Date of the day off|txtDayOffLabel=Label of the day off|cmdAddDayOff=Add|"
               "lstDaysOff=Days off|cmdRemoveDayOff=Remove|cmdImportDaysOff=Import from .ics…|"
               "Command1=Save|Command2=Cancel";
    }
    void accessibleNames()
    {
        QFETCH(QString, link);
        Planner p;
        QStringList names;
        const auto read = [&names](QWidget* root) {
            for (QWidget* control : root->findChildren<QWidget*>()) {
                if (control->focusPolicy() == Qt::NoFocus || control->focusProxy())
                    continue; // never focused itself
                // A button or a label is named by its text; a box by the name it is given.
                const QString name = control->accessibleName();
                names << control->objectName() + '=' +
                             (name.isEmpty() ? QAccessible::queryAccessibleInterface(control)->text(
                                                   QAccessible::Name)
                                             : name);
            }
            return "Command2"; // Cancel
        };
        if (link.isEmpty())
            read(&p.window);
        else
            p.open(qPrintable(link), read);
        QTEST(names.join('|'), "names");
    }

    void workingWeekSettings()
    {
        Planner p({}, "2026-12-14 Closed\n");
        p.type("A +3");
        p.window.setWorkingWeek({}); // opening reloads the file's week, even when cancelled
        QCOMPARE(p.open("lblSetWorkingDays", [](auto) { return "Command2"; }), "frmWorkingWeek");
        QCOMPARE(p.window.weekFlags(), WorkingWeek::mondayToFriday());
        QCOMPARE(p.rows(), 0);
        // Save with Friday off, Tuesday 15 added to the dates off and an 8:00 AM start: all
        // taken at once, and built.
        p.answers.answer(Box::Ok);
        const auto save = [](QWidget* dialog) {
            dialog->findChild<QCheckBox*>("chkWorkingDay5")->setChecked(false);
            dialog->findChild<QComboBox*>("cboStartsAt")->setCurrentText("8:00 AM");
            dialog->findChild<QDateEdit*>("dtDayOff")->setDate(QDate(2026, 12, 15));
            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdAddDayOff"), Qt::LeftButton);
            return "Command1";
        };
        QCOMPARE(p.open("lblSetWorkingDays", save), "frmWorkingWeek");
        QCOMPARE(p.shown(), QStringList{box("Done", "Done!")});
        // Wednesday and Thursday, then Wednesday 16 after the weekdays and dates off.
        const CalendarEvent& last = p.window.schedule().events.last();
        QCOMPARE(last.startDate.toString("d ") + last.startTime + '-' + last.endTime,
                 "16 8:00 AM-6:00 PM");
        // The month calendar paints them, Monday 7 to Tuesday 15: a date's own format wins
        // over its weekday's.
        const auto* calendar = p.get<QCalendarWidget>("Calendar2");
        QList<int> marks;
        for (QDate day(2026, 12, 7); day.day() <= 15; day = day.addDays(1)) {
            QTextCharFormat format = calendar->dateTextFormat(day);
            if (!format.hasProperty(QTextFormat::ForegroundBrush))
                format = calendar->weekdayTextFormat(Qt::DayOfWeek(day.dayOfWeek()));
            marks << int(format.foreground().color() == QColor(192, 0, 0));
        }
        QCOMPARE(marks, QList<int>({0, 0, 0, 0, 1, 1, 1, 1, 1}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
