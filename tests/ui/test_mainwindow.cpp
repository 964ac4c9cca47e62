#include "planner.h"

#include <QSignalSpy>

using namespace taskloom;
using namespace taskloom::test;

static QList<QUrl> Opened; // what the export asked the desktop to open
const QByteArray CsvHeader = "Subject,Start Date,Start Time,End Date,End Time,All Day Event,"
                             "Description,Location,Private\r\n";

static QString titles(QStringList boxes)
{
    return boxes.replaceInStrings(QRegularExpression(" \\|.*"), "").join('|');
}

// Clicks the link, lets act work the dialog it opens, presses the button act names and gives
// the dialog's name.
static QString openDialog(Planner& p, Text link, const std::function<const char*(QWidget*)>& act)
{
    QString opened;
    const QObject guard; // a dialog that never opens leaves no timer behind
    QTimer::singleShot(50, &guard, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        opened = dialog->objectName();
        QTest::mouseClick(dialog->findChild<QPushButton*>(act(dialog)), Qt::LeftButton);
    });
    p.click(link);
    return opened;
}

class TestMainWindow : public QObject {
    Q_OBJECT
    std::optional<ShippedFolder> m_dir;
    QString dir() const { return m_dir->path(); }
    QString path(Text name) const { return m_dir->filePath(name); }
    Q_INVOKABLE void openedUrl(const QUrl& url) { Opened.append(url); }

private Q_SLOTS:
    void initTestCase() { QDesktopServices::setUrlHandler("file", this, "openedUrl"); }
    void init() { m_dir.emplace(); }

    // Settings files missing or damaged at start-up: each told once, start-up carried on to
    // its end (the calendar caught up), and what could be read is used by a build of "A +2".
    void startUpSettings_data()
    {
        QTest::addColumn<QStringList>("files"); // "name": removed; "name=text": written over
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<QString>("built"); // the row's last day, or the refusal's title
        const QString missing = "Error: %1 file not found. Please reinstall the software.";
        // clang-format off
        QTest::newRow("start hour and week missing") << QStringList{"workingday_starts_at.txt", "workingweek.txt"}
            << QStringList{missing.arg("workingday_starts_at.txt"), missing.arg("workingweek.txt")} << "Ooops!";
        // Monday and Wednesday work, the days of the missing lines are off: from today on.
        QTest::newRow("week damaged") << QStringList{"workingweek.txt=1\n0\n1\n"}
            << QStringList{"Error: workingweek.txt is damaged (lines 4, 5, 6 and 7). Those days count as days off. "
                           "Please open Settings and save your working week again."} << "Monday 14";
        // clang-format on
    }
    void startUpSettings()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, told);
        QFETCH(QString, built);
        for (const QString& file : files) {
            const QString name = path(file.section('=', 0, 0));
            QVERIFY(QFile::remove(name));
            QVERIFY(!file.contains('=') || put(name, file.section('=', 1).toUtf8()));
        }
        Planner p(dir(), told.size());
        for (QString& text : told)
            text = box("Error", text, Box::Warning);
        QCOMPARE(p.answers.shown(), told);
        QTRY_COMPARE(p.get<QCalendarWidget>("Calendar2")->selectedDate(), Today);
        p.answers.answer(Box::Ok, built == "Ooops!");
        p.build("A +2");
        const QList<ScheduleRow>& rows = p.window.schedule().rows;
        QCOMPARE(rows.isEmpty() ? titles(p.answers.shown()) : rows[0].end.toString("dddd d"),
                 built);
    }

    // Each trigger after a first build of one row, the calendar caught up with today: a control
    // clicked, a key on a control (Num: keypad), a resize, or the timer alone. Then the rows
    // shown (1: no build; Enter at the text's start adds a line).
    void triggers_data()
    {
        QTest::addColumn<int>("rows");
        const QString rows =
            "cmdToList 2|optDate0 2|optDate1 2|chkExcludeWeekends 2|qt_calendar_calendarview Right "
            "2|qt_calendar_calendarview Left 1|txtTodo Return 3|txtTodo Num+Enter 3|txtTodo Up 2|"
            "txtTodo Ctrl+Shift+Down 2|txtTodo X 1|txtTodo Left 1|resize 1|timer 1";
        for (const QString& row : rows.split('|'))
            QTest::newRow(qPrintable(row.section(' ', 0, -2))) << row.section(' ', -1).toInt();
    }
    void triggers()
    {
        const QString action = QTest::currentDataTag(), month = "qt_calendar_calendarview ";
        Planner p(dir());
        p.build("A");
        p.type("A +3\nB +2");
        QTRY_COMPARE(p.get<QCalendarWidget>("Calendar2")->selectedDate(), Today);
        p.answers.answer(Box::Ok, action == month + "Left"); // yesterday
        if (action.contains(' '))
            QTest::keySequence(p.get(action.section(' ', 0, 0)), action.section(' ', 1));
        else if (action == "resize")
            p.window.resize(p.window.width() + 200, p.window.height() + 50);
        else if (action != "timer")
            p.click(action);
        QTEST(p.rows(), "rows");
        if (action == month + "Left") { // refused, the old rows kept; option 0 builds from today
            const QString past = "Your project is set to start on a past date. Please fix this.";
            QCOMPARE(p.answers.shown(), QStringList{box("Ooops!", past)});
            p.click("optDate0");
            QCOMPARE(p.rows(), 2);
        }
        const bool tomorrow = action == month + "Right";
        QCOMPARE(p.get<QRadioButton>("optDate1")->isChecked(), action == "optDate1" || tomorrow);
        QCOMPARE(p.window.schedule().rows.first().start, Today.addDays(tomorrow));
    }

    // The table's texts under the locale, and the resize rule: the export button and the
    // caption keep 47 pixels (700 twips) from the outer right edge and the table reaches it;
    // the timeline keeps the table's place.
    void layout_data()
    {
        QTest::addColumn<int>("width");         // the outer one; 0: the minimum
        QTest::addColumn<QStringList>("cells"); // the first row's, then the second's duration
        QTest::newRow("en_US, 1400")
            << 1400 << QStringList{"12/9/2026", "12/11/2026", "2.5", "1500"};
        QTest::newRow("de_DE, minimum")
            << 0 << QStringList{"09.12.2026", "11.12.2026", "2,5", "1500"};
    }
    void layout()
    {
        QFETCH(int, width);
        QLocale::setDefault(QLocale(QString(QTest::currentDataTag()).left(5)));
        Planner p(dir());
        p.build("Paint +2.5\nTiles + 1500");
        auto* table = p.get<QTableView>("ListView1");
        QStringList texts;
        for (int cell = 1; cell < 5; ++cell)
            texts << table->model()->index(cell / 4, std::min(cell, 3)).data().toString();
        QTEST(texts, "cells");
        const int tableBefore = table->width(), margin = 47;
        const int frame = p.window.frameGeometry().width() - p.window.width();
        p.window.resize(width ? width - frame : p.window.minimumWidth(), 700);
        const int outer = p.window.frameGeometry().width();
        for (const char* name : {"Command2", "Label13"})
            QCOMPARE(p.get(name)->geometry().right() + 1, outer - margin);
        QCOMPARE(table->width(), width ? outer - table->x() - margin : tableBefore);
        QCOMPARE(p.timeline()->geometry(), table->geometry());
        QLocale::setDefault(QLocale::system());
    }

    // One project exported step by step: each check, a build of what the controls show, the
    // overwrite question, the write and its failures, the folder opened or named.
    void exportCsv()
    {
        Planner p(dir());
        const QString csv = path("output/project.csv");
        const auto run = [&p](const char* name, const QList<Box::StandardButton>& replies) {
            p.name(name);
            p.answers.answer(replies);
            p.click("Command2");
            return p.answers.shown().join('\n');
        };
        const QString confirm =
            box("Confirm", "Overwrite the previous .csv file (maybe from another project)?",
                Box::Question, Box::Yes | Box::No, Box::Yes);
        const QString doneText =
            "Done! The software will now open a folder which contains a .csv file with your "
            "project info. You can now add this project (.csv) to your G calendar. For more "
            "details, please read the user manual.";
        const QString done = box("Done!", doneText);
        QCOMPARE(run("Home", {Box::Ok}),
                 box("Missing Info", "Please add some tasks to your project."));
        p.type("Paint, walls +4\nTiles"); // not built: the export builds it first
        QCOMPARE(run("", {Box::Ok}), box("Missing Info", "Please enter a project name."));
        QCOMPARE(run("  ", {Box::Ok}), done); // a name of blanks passes
        // From Wednesday 9 December: Paint to Friday and on Monday, Tiles on Tuesday.
        QCOMPARE(bytesOf(csv),
                 CsvHeader +
                     "\"  : Paint, walls \",12/09/2026,9:00 AM,12/11/2026,6:00 PM,False,"
                     "\"Paint, walls \",Home,True\r\n"
                     "\"  : Paint, walls  (2)\",12/14/2026,9:00 AM,12/14/2026,6:00 PM,False,"
                     "\"Paint, walls \",Home,True\r\n"
                     "  : Tiles,12/15/2026,9:00 AM,12/15/2026,6:00 PM,False,Tiles,Home,True\r\n");
        QCOMPARE(Opened, QList{QUrl::fromLocalFile(path("output"))});
        p.click("chkExcludeWeekends"); // unticked: Saturday and Sunday work too
        const QByteArray before = bytesOf(csv);
        QCOMPARE(run("Home", {Box::No}), confirm);
        QCOMPARE(bytesOf(csv), before); // byte for byte
        QCOMPARE(run("Home", {Box::Yes, Box::Ok}), confirm + '\n' + done);
        const QByteArray home = bytesOf(csv); // the new name, and Paint through Saturday
        QVERIFY(home.contains("\"Home: Paint, walls \",12/09/2026,9:00 AM,12/12/2026,"));
        p.type("Paint +1e9"); // refused by the build first: nothing asked, nothing written
        QCOMPARE(run("Home", {Box::Ok}),
                 box("Ooops!", "Line 1 (\"Paint +1e9\") has a duration that cannot be scheduled. "
                               "Please give a number of days between -10000 and 10000."));
        QCOMPARE(bytesOf(csv), home);
        // A folder in the way: the path and the reason, nothing opened.
        p.type("Paint");
        const QString error = "The project could not be written to " +
                              QDir::toNativeSeparators(csv) +
                              ".\n\nIt is a folder, not a file; please move it away";
        QVERIFY(QFile::remove(csv) && QDir().mkpath(csv));
        QCOMPARE(run("Home", {Box::Yes, Box::Ok}),
                 confirm + '\n' + box("Error", error, Box::Warning));
        QCOMPARE(Opened.size(), 2); // not for No, not for the refusals
        // No file browser to open the folder: "Done!" says where the file is.
        QVERIFY(QDir().rmdir(csv));
        QDesktopServices::unsetUrlHandler("file");
        // Nothing changed since the last build: the export writes it without building again.
        QSignalSpy built(p.get<QTableView>("ListView1")->model(), &QAbstractItemModel::modelReset);
        QCOMPARE(run("Home", {Box::Ok}),
                 box("Done!", doneText + "\nThe file is " + QDir::toNativeSeparators(csv)));
        QDesktopServices::setUrlHandler("file", this, "openedUrl");
        QCOMPARE(built.size(), 0);
        // The tasks cleared and the project renamed after that: no stale file is written.
        const QByteArray paint = bytesOf(csv);
        p.type("");
        QCOMPARE(run("Hall", {Box::Ok}),
                 box("Missing Info", "Please add some tasks to your project."));
        QCOMPARE(bytesOf(csv), paint);
    }

    // Enter pressed to close a message box is released in the task box: that release alone
    // builds nothing. Pressed and released in the task box, Enter builds.
    void enterThatCloses_data()
    {
        QTest::addColumn<QString>("tasks");  // after a first build of "A"
        QTest::addColumn<QString>("opener"); // what opens the box Enter closes
        QTest::addColumn<QString>("shown");  // the boxes' titles
        QTest::addColumn<int>("builds");
        // clang-format off
        QTest::newRow("Ooops!") << "A +1e9" << "txtTodo" << "Ooops!" << 0;
        QTest::newRow("Done!") << "A" << "Command2" << "Done!" << 0;
        QTest::newRow("in the task box") << "A\nB" << "txtTodo" << "" << 1;
        // clang-format on
    }
    void enterThatCloses()
    {
        QFETCH(QString, opener);
        QFETCH(QString, shown);
        Planner p(dir());
        p.build("A");
        QFETCH(QString, tasks);
        p.type(tasks);
        QWidget* taskBox = p.get("txtTodo");
        QSignalSpy built(p.get<QTableView>("ListView1")->model(), &QAbstractItemModel::modelReset);
        if (!shown.isEmpty())
            p.answers.answerByKey(Qt::Key_Return, taskBox);
        if (opener == "txtTodo")
            QTest::keyClick(taskBox, Qt::Key_Return);
        else
            p.click(opener);
        QCOMPARE(titles(p.answers.shown()), shown);
        QTEST(int(built.size()), "builds");
    }

    // The keyboard and the view switches, after a build of "A" and "B +2" with "A" typed
    // since. Tab reaches every control, an arrow the next; Return, Enter or Space on a link
    // opens its dialog, Return presses a focused button (in a dialog too: it closes it).
    // Builds fill both views, whichever shows.
    void keysAndViews_data()
    {
        // "focus:" and "at:" a control: focus it, or check the focus is there; "cmd": a click;
        // "action": triggered; else keys to the focus.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("result"); // the dialog opened and closed, the view and its rows
        // clang-format off
        QTest::newRow("Tips, Return") << "focus:txtTodo Tab at:Label15 Return" << "frmTips table 2";
        QTest::newRow("Tips, Space") << "focus:txtTodo Tab at:Label15 Space" << "frmTips table 2";
        QTest::newRow("Settings, Enter") << "focus:chkExcludeWeekends Tab at:lblSetWorkingDays Enter"
                                         << "frmWorkingWeek table 2";
        QTest::newRow("Create Project!, Return") << "focus:lblSetWorkingDays Tab at:cmdToList Return"
                                                 << "table 1";
        QTest::newRow("Timeline button") << "cmdShowTimeline" << "timeline 2";
        QTest::newRow("Ctrl+2") << "Ctrl+2" << "timeline 2";
        QTest::newRow("View, Timeline") << "actionViewTimeline" << "timeline 2";
        QTest::newRow("back by Schedule button") << "Ctrl+2 cmdShowSchedule" << "table 2";
        QTest::newRow("back by Ctrl+1") << "cmdShowTimeline Ctrl+1" << "table 2";
        QTest::newRow("back by View, Schedule") << "Ctrl+2 actionViewSchedule" << "table 2";
        QTest::newRow("Tab to the switch, Right, Space")
            << "focus:cmdToList Tab at:cmdShowSchedule Right Space" << "timeline 2";
        QTest::newRow("built by Return on the timeline") << "Ctrl+2 focus:cmdToList Return"
                                                         << "timeline 1";
        // clang-format on
        // Tab once round the window: down the sidebar, the switches, the schedule area (the
        // table keeps the arrow keys), the export button.
        const auto round = [](Text area) {
            const QString stops = "txtTodo Label15 optDate0 qt_calendar_calendarview "
                                  "chkExcludeWeekends lblSetWorkingDays cmdToList cmdShowSchedule "
                                  "cmdShowTimeline " +
                                  area + " Command2 txtProjectName";
            return "focus:txtProjectName Tab at:" + stops.split(' ').join(" Tab at:");
        };
        QTest::newRow("Tab round the table") << round("ListView1") << "table 2";
        QTest::newRow("Tab round the timeline")
            << "Ctrl+2 " + round("timelineView cmdExportTimeline") << "timeline 2";
    }
    void keysAndViews()
    {
        QFETCH(QString, steps);
        Planner p(dir());
        p.activate();
        p.build("A\nB +2");
        p.type("A");
        QString result;
        QTimer closer; // Return on the dialog's last button, Close or Cancel
        closer.callOnTimeout([&result] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                result += dialog->objectName() + ' ';
                QPushButton* last = dialog->findChildren<QPushButton*>().last();
                last->setFocus();
                QTest::keyClick(last, Qt::Key_Return);
                if (dialog->isVisible() && dialog->close())
                    result += "stayed open ";
            }
        });
        closer.start(20);
        for (const QString& step : steps.split(' ')) {
            QWidget* focused = QApplication::focusWidget();
            if (step.startsWith("focus:"))
                p.get(step.mid(6))->setFocus();
            else if (step.startsWith("at:"))
                QCOMPARE(focused ? focused->objectName() : "", step.mid(3));
            else if (step.startsWith("action"))
                p.get<QAction>(step)->trigger();
            else if (step.startsWith("cmd"))
                QTest::mouseClick(p.get(step), Qt::LeftButton);
            else
                QTest::keySequence(focused ? focused : &p.window, QKeySequence(step));
        }
        const bool timeline = p.timeline()->isVisible();
        QTEST(result + (timeline ? "timeline " : "table ") + QString::number(p.rows()), "result");
        QCOMPARE(p.get("ListView1")->isVisible(), !timeline);
        for (const char* name :
             {"cmdShowTimeline", "actionViewTimeline", "cmdShowSchedule", "actionViewSchedule"})
            QCOMPARE(p.get<QObject>(name)->property("checked").toBool(),
                     timeline == QByteArray(name).contains("Timeline"));
        QCOMPARE(p.get<QAction>("actionZoomIn")->isEnabled(), timeline);
        QCOMPARE(p.timeline()->scene().rowCount(), p.rows());
    }

    // File > Export > iCalendar: the checks before the dialog, the dialog (a name made safe),
    // a cancel, a write of what the controls show, a write that fails.
    void exportIcs()
    {
        Planner p(dir());
        auto* action = p.get<QMenu>("menuExport")->findChild<QAction*>("actionExportIcs");
        const QString ics = path("mine/plan.ics"), blocked = path("mine/plan.ics/again.ics");
        p.chooser->paths = {"", ics, blocked};
        p.answers.answer(Box::Ok);
        action->trigger();
        QCOMPARE(titles(p.answers.shown()), "Missing Info");
        QVERIFY(p.chooser->offered.isEmpty());
        p.build("Paint, walls +4\nTiles"); // Paint: Wednesday to Friday, Monday; Tiles: Tuesday
        p.name("..Home/Garden");
        action->trigger(); // cancelled: nothing said, nothing written
        QCOMPARE(p.chooser->offered,
                 QStringList{"Export iCalendar File|" + path("output/Home_Garden.ics") +
                             "|iCalendar files (*.ics);;All files (*)"});
        QVERIFY(!QFile::exists(ics));
        p.type("Paint, walls +4\nTiles\nGrout"); // not built: the export builds it first
        p.name("Home");
        p.answers.answer(Box::Ok, 2);
        action->trigger();
        action->trigger(); // a file in the way of the folder: the path and the system's reason
        QCOMPARE(p.answers.shown(),
                 QStringList(
                     {box("Done!", "Done! The calendar file is saved as " + ics + "."),
                      box("Error",
                          "The project could not be written to " + blocked + ".\n\nNot a directory",
                          Box::Warning)}));
        const QByteArray written = bytesOf(ics);
        QCOMPARE(written.count("BEGIN:VEVENT"), 4); // Grout: Wednesday
        QVERIFY(written.contains("\r\nX-WR-CALNAME:Home\r\n"));
    }

    // Hover texts over a plan built on Wednesday 9: days 24 pixels wide from Tuesday 8 at x 216,
    // rows 22 high under a 44-pixel header.
    void hover()
    {
        QLocale::setDefault(QLocale("en_US"));
        Planner p(dir());
        p.build("Paint + 3\n//Order + 4");
        p.click("cmdShowTimeline");
        const auto at = [&p](qreal x, qreal y) { return p.timeline()->toolTipAt({x, y}); };
        QCOMPARE(at(100, 55),
                 "Paint\nStart Date: 12/9/2026\nEnd Date: 12/11/2026\nTask Duration: 3");
        QCOMPARE(at(320, 77), "Order\nStart Date: 12/9/2026\nEnd Date: 12/14/2026\nTask Duration: "
                              "4\nRuns beside the task before it (\"//\")."); // over Saturday 12
        QCOMPARE(at(320, 55), "");                                            // beside Paint's bar
        QCOMPARE(at(250, 20), "");                                            // the header
        QLocale::setDefault(QLocale::system());
    }

    // Zoom by keys and Ctrl+wheel, from 24 pixels a day, one step 1.15 times, between 3 and
    // the name column's 216; a wheel step keeps the day under the mouse where it was.
    void zoom_data()
    {
        QTest::addColumn<QString>("keysOrWheel"); // keys and how often, or "wheel", modifier, angle
        QTest::addColumn<qreal>("dayWidth");
        QTest::newRow("Ctrl++") << "Ctrl++" << 27.6;
        QTest::newRow("Ctrl+-") << "Ctrl+-" << 24 / 1.15;
        QTest::newRow("Ctrl++ over the table") << "Ctrl++" << 24.0;
        QTest::newRow("Ctrl+wheel up") << "wheel Ctrl 120" << 27.6;
        QTest::newRow("wheel scrolls") << "wheel None 120" << 24.0;
        QTest::newRow("far out") << "Ctrl+- 20" << 3.0;
        QTest::newRow("far in") << "Ctrl++ 20" << 216.0;
    }
    void zoom()
    {
        QFETCH(QString, keysOrWheel);
        const QStringList input = keysOrWheel.split(' ');
        Planner p(dir());
        p.activate();
        p.build("Long + 100");
        if (!QByteArray(QTest::currentDataTag()).contains("table"))
            p.click("cmdShowTimeline");
        QWidget* viewport = p.timeline()->viewport();
        p.timeline()->horizontalScrollBar()->setValue(500);
        const QDate underMouse = p.timeline()->geometryInView().dayAt(400);
        const auto keys = input.value(1) == "Ctrl" ? Qt::ControlModifier : Qt::NoModifier;
        QWheelEvent wheel(QPointF(400, 100), viewport->mapToGlobal(QPointF(400, 100)), {},
                          QPoint(0, input.value(2).toInt()), Qt::NoButton, keys, Qt::NoScrollPhase,
                          false);
        if (input[0] == "wheel")
            QApplication::sendEvent(viewport, &wheel);
        for (int i = input[0] == "wheel" ? 20 : 0; i < std::max(1, input.value(1).toInt()); ++i)
            QTest::keySequence(&p.window, QKeySequence(input[0]));
        QTEST(p.timeline()->dayWidth(), "dayWidth");
        if (keys == Qt::ControlModifier)
            QCOMPARE(p.timeline()->geometryInView().dayAt(400), underMouse);
    }

    // The picture export: the checks, the dialog, the format by extension or by the chosen
    // filter, refusals, the write and its "Done!". Boxes asking Yes or No are answered No.
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
        // clang-format off
        row("SVG, by the button", "plan.svg", "", "plan.svg", "<?xml");
        row("no extension, PNG chosen", "plan", png, "plan.png", "\x89PNG");
        // 420 x 297 mm: Qt's 1191 x 842 points.
        row("no extension, PDF A3 chosen", "plan", "PDF Document, A3 Landscape (*.pdf)", "plan.pdf", "%PDF-\n/MediaBox [0 0 1191.000000 842.000000]");
        row("typed .PDF over SVG chosen", "Plan.PDF", "SVG Picture (*.svg)", "Plan.PDF", "%PDF-");
        row("cancelled", "", "", "", "");
        row("no tasks", "-", "", "", "", {box("Missing Info", "Please add some tasks to your project.")}, "");
        row("added .png names a file there", "old", png, "", "",
            {box("Confirm", "Replace the existing file $OUT/old.png?", Box::Question, Box::Yes | Box::No, Box::Yes)});
        // 750 one-day tasks from Wednesday 9 end 150 weeks later on a Tuesday: 1,052 days
        // of 24 pixels beside the names, and rows 44 + 750 x 22 high.
        row("PNG too large", "plan.png", "", "", "", {box("Ooops!", "The picture would be 25,464 × 16,544 pixels, and a PNG picture can "
            "be at most 16,384 pixels either way. Please save it as SVG or PDF instead.")}, QString("T\n").repeated(750));
        // Tasks typed after the build ("|"): the export builds what the window shows first.
        row("typed after the build", "plan.svg", "", "plan.svg", "<?xml\n>Tiles</text>", {}, plan + "|Tiles");
        row("a folder in the way", "dir.svg", "", "", "", {box("Error", "The picture could not be written to $OUT/dir.svg.\n\n"
            "It is a folder, not a file; please move it away", Box::Warning)});
        // clang-format on
    }
    void exportPicture()
    {
        QFETCH(QString, tasks);
        QFETCH(QString, answer);
        QFETCH(QString, file);
        QFETCH(QStringList, boxes);
        QFETCH(QByteArray, holds);
        Planner p(dir());
        const QDir out(path("output"));
        p.chooser->paths = {answer.isEmpty() ? "" : out.filePath(answer)};
        QFETCH(QString, filter);
        p.chooser->filter = filter;
        QVERIFY(out.mkpath("dir.svg") && put(out.filePath("old.png"), "old"));
        if (!file.isEmpty()) // the name written, with the extension added
            boxes << box("Done!", "The timeline picture is saved as $OUT/" + file + '.');
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
        QCOMPARE(p.answers.shown(), boxes);
        QStringList written = out.entryList({"*.svg", "*.png", "*.pdf"}, QDir::Files);
        QVERIFY(written.removeOne("old.png"));
        QCOMPARE(written, file.isEmpty() ? QStringList() : QStringList{file});
        const QByteArray bytes = bytesOf(out.filePath(file));
        QVERIFY(bytes.startsWith(holds.split('\n').first()));
        QVERIFY(bytes.contains(holds.split('\n').last()));
        QCOMPARE(bytesOf(out.filePath("old.png")), "old");
        const QString offered = "Export Timeline Picture|" + out.filePath("My Project.svg") +
                                "|SVG Picture (*.svg);;PNG Picture (*.png);;PDF Document, A4 "
                                "Landscape (*.pdf);;PDF Document, A3 Landscape (*.pdf)|SVG "
                                "Picture (*.svg)";
        QCOMPARE(p.chooser->offered, answer == "-" ? QStringList() : QStringList{offered});
    }

    // The captions by the name of their control: the title first, "columnN" a header of the
    // schedule table. Then the name screen readers announce for every control that takes the
    // focus: a button or a label is named by its text, a box by the name it is given. A dialog
    // is opened twice and reads the same both times.
    void texts_data()
    {
        QTest::addColumn<QString>("link"); // opens the dialog; empty: the window itself
        QTest::addColumn<QString>("captions");
        QTest::addColumn<QString>("names");
        QTest::newRow("window")
            << ""
            << "Taskloom v1.4|lblAppName=Taskloom!|Label13=The Easiest and Fastest way to Bring "
               "Your Projects to Life!|Label16=Try to Keep it Short.|Label8=Enter 1 Task Per "
               "Line. |column0=Task|column1=Start Date|column2=End Date|column3=Task Duration|"
               "menuFile=&File|menuExport=&Export|actionExportCsv=CSV File for G Calendar|"
               "actionExportIcs=iCalendar File (.ics)…|menuView=&View"
            << "cmdShowSchedule=Schedule|cmdShowTimeline=Timeline|"
               "Command2=Export Project to .CSV For G Calendar|txtProjectName=Project Name:|"
               "txtTodo=Project Tasks:|Label15=Tips|optDate0=I want to start running this "
               "project right away.|optDate1=Start this project on |"
               "qt_calendar_calendarview=Project Start date:|qt_calendar_yearedit=Year|"
               "chkExcludeWeekends=Adjust Tasks to My Working Week.|lblSetWorkingDays="
               "Settings|cmdToList=Create Project!|ListView1=Schedule|timelineView=Timeline|"
               "cmdExportTimeline=Export Picture…";
        QTest::newRow("Tips")
            << "Label15"
            << "Tips|Label1=Tips:|Label2=You can set the duration of each task by adding a \"+ X "
               "days\"  of it.|Label3=Example: |Label7= Do This + 7 Days|Label5=or |Label6= Do "
               "This + 7|Label4=This will set the duration of the task to 7 days.|lblPro=Tasks "
               "that should begin on the same date: put // at the beginning of a task line. That "
               "task then inherits the start date of the task before it, for example \"//Order "
               "the tiles + 2\".|Command1=Close"
            << "Command1=Close";
        QTest::newRow("Working Week")
            << "lblSetWorkingDays"
            << "Working Week|Label1=My Working Week"
            << "chkWorkingDay1=Monday|chkWorkingDay2=Tuesday|chkWorkingDay3=Wednesday|"
               "chkWorkingDay4=Thursday|chkWorkingDay5=Friday|chkWorkingDay6=Saturday|"
               "chkWorkingDay7=Sunday|cboStartsAt=Each Working Day Begins at:|"
               "=Each Working Day Begins at:|cboEndsAt=And Ends at:|=And Ends at:|"
               "dtDayOff=Date of the day off|txtDayOffLabel=Label of the day off|cmdAddDayOff=Add|"
               "lstDaysOff=Days off|cmdRemoveDayOff=Remove|cmdImportDaysOff=Import from .ics…|"
               "Command1=Save|Command2=Cancel";
    }
    void texts()
    {
        QFETCH(QString, link);
        QFETCH(QString, captions);
        QFETCH(QString, names);
        Planner p(dir());
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
            QStringList named;
            for (QWidget* control : root->findChildren<QWidget*>()) {
                const QString name = control->accessibleName();
                if (control->focusPolicy() != Qt::NoFocus && !control->focusProxy())
                    named << control->objectName() + '=' +
                                 (name.isEmpty()
                                      ? QAccessible::queryAccessibleInterface(control)->text(
                                            QAccessible::Name)
                                      : name);
            }
            openings << texts.join('|') + '\n' + named.join('|');
            return root->objectName() == "frmTips" ? "Command1" : "Command2"; // Close, Cancel
        };
        if (link.isEmpty())
            read(&p.window);
        for (int opening = 0; !link.isEmpty() && opening < 2; ++opening)
            openDialog(p, link, read);
        QCOMPARE(openings, QStringList(link.isEmpty() ? 1 : 2, captions + '\n' + names));
    }

    // The empty table says how to fill it, in its own text colour across its middle, as the
    // timeline does; the rows of a build take its place.
    void emptyTableHint()
    {
        Planner p(dir());
        auto* table = p.get<QTableView>("ListView1");
        const auto textPixels = [table] {
            const QImage shot = table->viewport()->grab().toImage();
            int count = 0;
            for (int y = shot.height() / 3; y < shot.height() * 2 / 3; ++y)
                for (int x = 0; x < shot.width(); ++x)
                    count += shot.pixel(x, y) == qRgb(0, 0, 128);
            return count;
        };
        QVERIFY(textPixels() > 100);
        p.build("Paint");
        QCOMPARE(textPixels(), 0);
    }

    // The kind and states a screen reader hears for the links and the view switches, before
    // and after the Timeline switch is pressed as a screen reader presses it.
    void screenReaderKinds()
    {
        Planner p(dir());
        const auto heard = [&p] {
            QStringList controls;
            for (const char* name :
                 {"Label15", "lblSetWorkingDays", "cmdShowSchedule", "cmdShowTimeline"}) {
                const QAccessibleInterface* control =
                    QAccessible::queryAccessibleInterface(p.get(name));
                const QAccessible::Role role = control->role();
                const QAccessible::State state = control->state();
                controls << control->text(QAccessible::Name) + ' ' +
                                (role == QAccessible::Link     ? "link"
                                 : role == QAccessible::Button ? "button"
                                                               : "role " + QString::number(role)) +
                                (state.checkable ? " checkable" : "") +
                                (state.checked ? " checked" : "") +
                                (state.pressed ? " pressed" : "");
            }
            return controls.join('|');
        };
        const QString links = "Tips link|Settings link|";
        QCOMPARE(heard(),
                 links + "Schedule button checkable checked pressed|Timeline button checkable");
        QAccessible::queryAccessibleInterface(p.get("cmdShowTimeline"))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(p.timeline()->isVisible());
        QCOMPARE(heard(),
                 links + "Schedule button checkable|Timeline button checkable checked pressed");
    }

    void workingWeekSettings()
    {
        QVERIFY(put(path("daysoff.txt"), "2026-12-14 Closed\n"));
        Planner p(dir());
        p.type("A +3");
        p.window.setWorkingWeek({}); // opening reloads the file's week, even when cancelled
        QCOMPARE(openDialog(p, "lblSetWorkingDays", [](auto) { return "Command2"; }),
                 "frmWorkingWeek");
        QCOMPARE(p.window.plan().settings().week, WorkingWeek::mondayToFriday());
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
        QCOMPARE(openDialog(p, "lblSetWorkingDays", save), "frmWorkingWeek");
        QCOMPARE(p.answers.shown(), QStringList{box("Done", "Done!")});
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
