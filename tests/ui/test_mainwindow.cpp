#include "planner.h"
#include "taskloomversion.h"

using namespace taskloom;
using namespace taskloom::test;

static QStringList Opened; // what the exports asked the desktop to open

// Where the plan is, in days, under the mouse (x 400) and under the middle of the days shown.
static QPair<qreal, qreal> planUnder(const TimelineView& timeline)
{
    const TimelineGeometry shown = timeline.geometryInView();
    const auto at = [&](qreal x) {
        return (timeline.horizontalScrollBar()->value() + x - shown.nameWidth()) /
               timeline.dayWidth();
    };
    return {at(400), at(shown.bodyRect().center().x())};
}

class TestMainWindow : public QObject {
    Q_OBJECT
    std::optional<ShippedFolder> m_dir;
    QString dir() const { return m_dir->path(); }
    Q_INVOKABLE void openedUrl(const QUrl& url) { Opened << url.toString(); }

private Q_SLOTS:
    void initTestCase() { QDesktopServices::setUrlHandler("file", this, "openedUrl"); }
    void init()
    {
        m_dir.emplace();
        QLocale::setDefault(QLocale("en_US"));
    }

    // The window worked step by step (see Script), and what it shows.
    void steps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("result");
        // clang-format off
        const QString plan = "build Paint + 3\n//Order + 4|", saved = "Done! | The timeline picture is saved as <dir>/output/",
            csvDone = "Done! | Done! The software will now open a folder which contains a .csv file with your project info. You can now add this "
                      "project (.csv) to your G calendar. For more details, please read the user manual.",
            csvAsk = "Confirm | Overwrite the previous .csv file (maybe from another project)? | Question | Yes No, Enter Yes\n";
        // Each trigger after a first build of one row, the calendar caught up with today: the rows after (one row: no build).
        const auto trigger = [](const char* tag, Text step, Text result) {
            QTest::newRow(tag) << "build A|wait|set txtTodo A +3\nB +2|" + step + "|view|rows" << result;
        };
        // Damaged settings at start-up: each told, start-up carried on (the calendar caught up),
        // and what could be read is used: Monday and Wednesday work, Monday 14 is off.
        QTest::newRow("start-up, damaged settings") << "put workingweek.txt=1\n0\n1\n|put daysoff.txt=2026-12-14\nsoon\n|boxes|wait|calendar|build A +2|rows"
            << "Error | Error: workingweek.txt is damaged (lines 4, 5, 6 and 7). Those days count as days off. Please open Settings and save your "
               "working week again. | Warning\nError | Error: daysoff.txt line 2 is not a date (YYYY-MM-DD). That line is skipped. | Warning\n2026-12-09\n9-16";
        trigger("Create Project!", "click cmdToList", "table 2\n9-11 14-15");
        trigger("right away", "click optDate0", "table 2\n9-11 14-15");
        trigger("on the date", "click optDate1", "table 2\n9-11 14-15");
        trigger("every day", "click chkExcludeWeekends", "table 2\n9-11 12-13");
        trigger("tomorrow picked", "keys qt_calendar_calendarview Right", "table 2\n10-14 15-16");
        // Refused, the rows kept; Enter closing the box is released in the task box, which builds nothing.
        trigger("yesterday picked", "answer Return txtTodo|keys qt_calendar_calendarview Left|boxes|view|click optDate0",
                "Ooops! | Your project is set to start on a past date. Please fix this.\ntable 1\ntable 2\n9-11 14-15");
        // Enter at the text's start adds a line: a task of its own.
        trigger("Enter", "keys txtTodo Return", "table 3\n9-9 10-14 15-16");
        trigger("keypad Enter", "keys txtTodo Num+Enter", "table 3\n9-9 10-14 15-16");
        trigger("Up", "keys txtTodo Up", "table 2\n9-11 14-15");
        trigger("Ctrl+Shift+Down", "keys txtTodo Ctrl+Shift+Down", "table 2\n9-11 14-15");
        trigger("typing", "keys txtTodo X", "table 1\n9-9");
        trigger("Left", "keys txtTodo Left", "table 1\n9-9");
        trigger("resized", "resize 1400", "table 1\n9-9");
        trigger("the timer", "wait", "table 1\n9-9");
        // The keyboard and the view switches, after a build of "A" and "B +2" with "A" typed since. Return,
        // Enter or Space on a link opens its dialog, Return presses a focused button (in a dialog too).
        const QString ab = "build A\nB +2|set txtTodo A|";
        QTest::newRow("Tips, Return") << ab + "focus txtTodo|tab|keys - Return|close|view" << "Label15\nfrmTips closed\ntable 2";
        QTest::newRow("Tips, Space") << ab + "focus txtTodo|tab|keys - Space|close|view" << "Label15\nfrmTips closed\ntable 2";
        QTest::newRow("Settings, Enter") << ab + "focus chkExcludeWeekends|tab|keys - Enter|close|view" << "lblSetWorkingDays\nfrmWorkingWeek closed\ntable 2";
        QTest::newRow("Create Project!, Return") << ab + "focus lblSetWorkingDays|tab|keys - Return|view" << "cmdToList\ntable 1";
        QTest::newRow("Timeline button") << ab + "click cmdShowTimeline|view" << "timeline 2";
        QTest::newRow("Ctrl+2") << ab + "keys txtTodo Ctrl+2|view" << "timeline 2";
        QTest::newRow("View, Timeline") << ab + "click actionViewTimeline|view" << "timeline 2";
        QTest::newRow("back by Schedule button") << ab + "keys txtTodo Ctrl+2|click cmdShowSchedule|view" << "table 2";
        QTest::newRow("back by Ctrl+1") << ab + "click cmdShowTimeline|keys txtTodo Ctrl+1|view" << "table 2";
        QTest::newRow("back by View, Schedule") << ab + "keys txtTodo Ctrl+2|click actionViewSchedule|view" << "table 2";
        QTest::newRow("the switch on, clicked again") << ab + "click cmdShowTimeline|click cmdShowTimeline|view" << "timeline 2";
        QTest::newRow("Tab to the switch, Right, Space") << ab + "focus cmdToList|tab|keys - Right|keys - Space|view" << "cmdShowSchedule\ntimeline 2";
        QTest::newRow("emptied on the timeline: nothing to export") << ab + "keys txtTodo Ctrl+2|build |view" << "timeline 0";
        QTest::newRow("built by Return on the timeline") << ab + "keys txtTodo Ctrl+2|focus cmdToList|keys - Return|view" << "timeline 1";
        // Tab once round the window: down the sidebar, the switches, the schedule area (the table keeps the
        // arrow keys), the export button.
        const QString round = "txtTodo\nLabel15\noptDate0\nqt_calendar_calendarview\nchkExcludeWeekends\nlblSetWorkingDays\ncmdToList\ncmdShowSchedule\ncmdShowTimeline\n";
        QTest::newRow("Tab round the table") << ab + "focus txtProjectName" + QString("|tab").repeated(12) << round + "ListView1\nCommand2\ntxtProjectName";
        QTest::newRow("Tab round the timeline") << ab + "keys txtTodo Ctrl+2|focus txtProjectName" + QString("|tab").repeated(13)
            << round + "timelineView\ncmdExportTimeline\nCommand2\ntxtProjectName";
        // The CSV export: checked after a build of what is typed; from Wednesday 9 December Paint to Thursday,
        // Tiles on Friday; the folder opened, or named where no file browser opens it.
        QTest::newRow("CSV") << "set txtProjectName |set txtTodo Paint|click Command2|boxes|set txtProjectName Home|set txtTodo Paint, walls +2\nTiles|click Command2|boxes|file output/project.csv|opened"
            << "Missing Info | Please enter a project name.\n" + csvDone + "\nSubject,Start Date,Start Time,End Date,End Time,All Day Event,Description,"
               "Location,Private\r\n\"Home: Paint, walls \",12/09/2026,9:00 AM,12/10/2026,6:00 PM,False,\"Paint, walls \",Home,True\r\nHome: Tiles,"
               "12/11/2026,9:00 AM,12/11/2026,6:00 PM,False,Tiles,Home,True\r\n\nopened: file://<dir>/output";
        QTest::newRow("CSV over the last, No") << "put output/project.csv=old|build Paint|answer No|click Command2|boxes|file output/project.csv|opened" << csvAsk + "old\nopened: ";
        QTest::newRow("CSV, a folder in the way") << "mkdir output/project.csv|build Paint|click Command2|boxes|opened" << csvAsk + "Error | The project could "
            "not be written to <dir>/output/project.csv.\n\nIt is a folder, not a file; please move it away | Warning\nopened: ";
        QTest::newRow("CSV, no file browser") << "build Paint|no browser|click Command2|boxes" << csvDone + "\nThe file is <dir>/output/project.csv";
        // The iCalendar file: checked before its dialog; the name offered made safe, its dots but the leading
        // ones kept; what is typed built first; a file in the folder's place.
        QTest::newRow("iCalendar, no tasks") << "click actionExportIcs|boxes|offered" << "Missing Info | Please add some tasks to your project.";
        QTest::newRow("iCalendar, cancelled") << "build Paint|set txtProjectName ..Kitchen v2.plan/Hall|choose |click actionExportIcs|boxes|offered"
            << "Export iCalendar File|<dir>/output/Kitchen v2.plan_Hall.ics|iCalendar files (*.ics);;All files (*)";
        QTest::newRow("iCalendar") << "build Paint|set txtTodo Paint\nGrout|set txtProjectName Home|choose mine/plan.ics|click actionExportIcs|boxes|has mine/plan.ics SUMMARY:Home: Grout"
            << "Done! | Done! The calendar file is saved as <dir>/mine/plan.ics.\nhas";
        QTest::newRow("iCalendar, a file in the way") << "put mine=x|build Paint|choose mine/plan.ics|click actionExportIcs|boxes"
            << "Error | The project could not be written to <dir>/mine/plan.ics.\n\nNot a directory | Warning";
        // The picture: the format by the extension typed, else by the filter chosen; the name written.
        QTest::newRow("picture, SVG by the button") << plan + "click cmdShowTimeline|choose output/plan.svg|click cmdExportTimeline|boxes|offered|has output/plan.svg <svg"
            << saved + "plan.svg.\nExport Timeline Picture|<dir>/output/My Project.svg|SVG Picture (*.svg);;PNG Picture (*.png);;PDF Document, A4 Landscape "
               "(*.pdf);;PDF Document, A3 Landscape (*.pdf)|SVG Picture (*.svg)\nhas";
        QTest::newRow("picture, a dot, PNG chosen") << plan + "choose output/plan.v2|filter PNG Picture (*.png)|click actionExportTimeline|boxes|has output/plan.v2.png PNG"
            << saved + "plan.v2.png.\nhas";
        // 420 x 297 mm: Qt's 1191 x 842 points.
        QTest::newRow("picture, PDF A3 chosen") << plan + "choose output/plan|filter PDF Document, A3 Landscape (*.pdf)|click actionExportTimeline|boxes|"
            "has output/plan.pdf /MediaBox [0 0 1191.000000 842.000000]" << saved + "plan.pdf.\nhas";
        QTest::newRow("picture, .PDF over SVG chosen") << plan + "choose output/Plan.PDF|filter SVG Picture (*.svg)|click actionExportTimeline|boxes|has output/Plan.PDF %PDF-"
            << saved + "Plan.PDF.\nhas";
        QTest::newRow("picture, no tasks") << "click actionExportTimeline|boxes|offered" << "Missing Info | Please add some tasks to your project.";
        QTest::newRow("picture, over a file not asked about") << "put output/old.png=old|" + plan + "choose output/old|filter PNG Picture (*.png)|answer No|"
            "click actionExportTimeline|boxes|file output/old.png" << "Confirm | Replace the existing file <dir>/output/old.png? | Question | Yes No, Enter Yes\nold";
        // 750 one-day tasks from Wednesday 9 end 150 weeks later on a Tuesday: 1,052 days of 24 pixels beside
        // the names, and rows 44 + 750 x 22 high.
        QTest::newRow("picture, PNG too large") << "build " + QString("T\n").repeated(750) + "|choose output/plan.png|click actionExportTimeline|boxes|has output/plan.png PNG"
            << "Ooops! | The picture would be 25,464 × 16,544 pixels, and a PNG picture can be at most 16,384 pixels either way. Please save it as SVG or PDF instead.\nlacks";
        QTest::newRow("picture, typed after the build") << plan + "set txtTodo Tiles|choose output/plan.svg|click actionExportTimeline|boxes|has output/plan.svg >Tiles</text>"
            << saved + "plan.svg.\nhas";
        QTest::newRow("picture, a folder in the way") << "mkdir output/dir.svg|" + plan + "choose output/dir.svg|click actionExportTimeline|boxes"
            << "Error | The picture could not be written to <dir>/output/dir.svg.\n\nIt is a folder, not a file; please move it away | Warning";
        // Hover texts over a plan built on Wednesday 9: days 24 pixels wide from Tuesday 8 at x 216, rows 22 high
        // under a 44-pixel header: over Paint, over Order on Saturday 12, beside Paint's bar, over the header,
        // the first pixel of the days beside Order (Tuesday 8), and on Tuesday 15 beside the thin mark of
        // Check, which has no whole day: the whole day answers.
        QTest::newRow("hover") << "build Paint + 3\n//Order + 4\nCheck + 0.5|click cmdShowTimeline|tip 100 55|tip 320 77|tip 320 55|tip 250 20|tip 216 77|tip 386 99"
            << "Paint\nStart Date: 12/9/2026\nEnd Date: 12/11/2026\nTask Duration: 3\nOrder\nStart Date: 12/9/2026\nEnd Date: 12/14/2026\n"
               "Task Duration: 4\nRuns beside the task before it (\"//\").\nCheck\nStart Date: 12/15/2026\nEnd Date: 12/15/2026\nTask Duration: 0.5";
        // Zoom by keys and Ctrl+wheel, from 24 pixels a day, one step 1.15 times (half a notch: its square
        // root), between 3 and the name
        // column's 216; a Ctrl+wheel step keeps the day under the mouse where it was ("moved": how
        // far it moved since "scroll"), a key the day in the middle ("centre"); Shift+wheel scrolls
        // sideways three days ("x": the scroll bar's value).
        const QString zoom = "build Long + 100|click cmdShowTimeline|scroll 500|";
        QTest::newRow("Ctrl++: the middle stays") << zoom + "keys txtTodo Ctrl++|zoom|centre" << "27.6\n0 days";
        QTest::newRow("Ctrl+-") << zoom + "keys txtTodo Ctrl+-|zoom" << "20.8696";
        QTest::newRow("Ctrl++ over the table") << "build Long + 100|keys txtTodo Ctrl++|zoom" << "24";
        QTest::newRow("Ctrl+wheel down") << zoom + "wheel Ctrl -240|zoom|moved" << "18.1474\n0 days";
        QTest::newRow("Ctrl+wheel, half a notch") << zoom + "wheel Ctrl 60|zoom" << "25.7371";
        QTest::newRow("wheel") << zoom + "wheel None 120|zoom" << "24";
        QTest::newRow("Shift+wheel: 3 days back") << zoom + "wheel Shift 120|zoom|x" << "24\n428";
        QTest::newRow("far out") << zoom + QString("keys txtTodo Ctrl+-|").repeated(20) + "zoom" << "3";
        QTest::newRow("far in") << zoom + QString("keys txtTodo Ctrl++|").repeated(20) + "zoom" << "216";
        // The empty table says how to fill it, in its own text colour across its middle, as the timeline does;
        // the rows of a build take its place.
        QTest::newRow("empty table hint") << "hint|build Paint|hint" << "hint\nno hint";
        // What a screen reader hears of the controls named by a caption, of the links and of the view switches,
        // before and after the Timeline switch is pressed as a screen reader does.
        const QString named = "Project Name:|Project Tasks:|Project Start date:|Schedule|Timeline|Tips link|Settings link|";
        QTest::newRow("screen reader") << "heard|press cmdShowTimeline|view|heard" << named + "Schedule button checkable checked pressed|Timeline button "
            "checkable\ntimeline 0\n" + named + "Schedule button checkable|Timeline button checkable checked pressed";
        // The table's texts under the locale (the whole year, no group separator), and the resize rule: the
        // export button and the caption keep 47 pixels (700 twips) from the outer right edge and the table
        // reaches it, unless the window is too narrow for it; the timeline keeps the table's place. At the
        // least width, 382 pixels (the sidebar's 5730 twips), the table at x 393 keeps the 702 pixels the
        // designed 1142-pixel window gave it: 382 - 393 - 702 = -713.
        QTest::newRow("layout, en_US") << "build Paint +2.5\nTiles + 1500|resize 1400|layout" << "12/9/2026 12/11/2026 2.5 1500\n47 47 47 on the table";
        QTest::newRow("layout, de_DE") << "locale de_DE|build Paint +2.5\nTiles + 1500|resize 0|layout" << "09.12.2026 11.12.2026 2,5 1500\n47 47 -713 on the table";
        // Settings opened reloads the file's week, even when cancelled; saved with Friday off, an 8:00 AM start
        // and Tuesday 15 off besides Monday 14, it takes them at once and builds: Wednesday, Thursday, then
        // Wednesday 16. The month calendar marks the days off red from Monday 7 to Tuesday 15, a date's own
        // mark over its weekday's.
        QTest::newRow("Settings, cancelled") << "build A +5|put workingweek.txt=1\n1\n1\n1\n1\n1\n1\n|click lblSetWorkingDays|close|rows|click cmdToList|rows"
            << "frmWorkingWeek closed\n9-15\n9-13";
        QTest::newRow("Settings, saved") << "put daysoff.txt=2026-12-14 Closed\n|build A +3|click lblSetWorkingDays|set chkWorkingDay5 0|set cboStartsAt 8:00 AM|"
            "set dtDayOff 2026-12-15|click cmdAddDayOff|click Command1|boxes|rows|hours|marks" << "Done | Done!\n9-16\n8:00 AM-6:00 PM\n000011111";
        // A weekday kept as 2 (the dialog's greyed box) does not work, and is marked so.
        QTest::newRow("a week with a 2") << "put workingweek.txt=1\n2\n1\n1\n1\n0\n0\n|marks" << "010001101";
        // Help > About names this version and the Qt it runs on, and the licence.
        QTest::newRow("about") << "click actionAbout|boxes" << "About Taskloom | <h3>Taskloom $VERSION</h3><p>Lays a task list over your working days and puts "
            "it into your calendar.</p><p>Taskloom is free software: you can redistribute it and/or modify it under the terms of the GNU General Public "
            "License as published by the Free Software Foundation, either version 3 of the License, or (at your option) any later version "
            "(GPL-3.0-or-later). It comes with ABSOLUTELY NO WARRANTY; see <a href=\"https://www.gnu.org/licenses/gpl-3.0.html\">the licence</a> for "
            "details.</p><p>It stands on Qt $QT (LGPL-3.0), libical (LGPL-2.1 or MPL-2.0) and QtKeychain (BSD-3-Clause).</p> | NoIcon";
        // The Tips' examples do what the Tips say: "+ 7 Days" and "+ 7" last 7 days, "//" starts with the task
        // before it ("tips": the examples in the Tips dialog typed as tasks, once it is closed).
        QTest::newRow("Tips") << "click Label15|tips|close|click cmdToList|rows" << "frmTips closed\n9-17 18-28 18-21";
        // clang-format on
    }
    void steps()
    {
        QFETCH(QString, steps);
        Opened.clear();
        Script script{dir()};
        QPair<qreal, qreal> scrolled;
        script.more = [&script, &scrolled](Text step) -> QString {
            Planner& p = *script.p;
            const QString word = step.section(' ', 0, 0), text = step.section(' ', 1);
            auto* table = p.get<QTableView>("ListView1");
            auto* timeline = p.get<TimelineView>("timelineView");
            if (word == "resize") { // the outer width; 0: the least
                const int frame = p.window.frameGeometry().width() - p.window.width();
                p.window.resize(text.toInt() ? text.toInt() - frame : p.window.minimumWidth(), 700);
            } else if (word ==
                       "layout") { // the table's texts; how far each ends from the outer right edge
                QStringList texts, edges;
                for (int cell = 1; cell < 5; ++cell)
                    texts << table->model()->index(cell / 4, std::min(cell, 3)).data().toString();
                for (const char* name : {"Command2", "Label13", "ListView1"})
                    edges << QString::number(p.window.frameGeometry().width() -
                                             p.get(name)->geometry().right() - 1);
                return texts.join(' ') + '\n' + edges.join(' ') +
                       (timeline->geometry() == table->geometry() ? " on the table" : "");
            } else if (word == "hours") {
                const CalendarEvent& last = p.window.schedule().events.last();
                return last.startTime + '-' + last.endTime;
            } else if (word == "marks") { // Monday 7 to Tuesday 15
                const auto* calendar = p.get<QCalendarWidget>("Calendar2");
                QString marks;
                for (QDate day(2026, 12, 7); day.day() <= 15; day = day.addDays(1)) {
                    QTextCharFormat format = calendar->dateTextFormat(day);
                    if (!format.hasProperty(QTextFormat::ForegroundBrush))
                        format = calendar->weekdayTextFormat(Qt::DayOfWeek(day.dayOfWeek()));
                    marks += format.foreground().color() == QColor(192, 0, 0) ? '1' : '0';
                }
                return marks;
            } else if (word == "tips") {
                QStringList tips;
                for (const char* name : {"Label7", "Label6", "lblPro"})
                    tips << static_cast<QLabel*>(script.find(name))->text();
                tips.last() = tips.last().section('"', 1, 1);
                p.get<QPlainTextEdit>("txtTodo")->setPlainText(tips.join('\n'));
            } else if (word == "no") {
                QDesktopServices::unsetUrlHandler("file");
            } else if (word == "opened") {
                return "opened: " + Opened.join(' ');
            } else if (word == "scroll") {
                // The scroll bars laid out as the window shows them.
                QCoreApplication::processEvents();
                timeline->horizontalScrollBar()->setValue(text.toInt());
                scrolled = planUnder(*timeline);
            } else if (word == "wheel") {
                const auto keys = text.startsWith("Ctrl")    ? Qt::ControlModifier
                                  : text.startsWith("Shift") ? Qt::ShiftModifier
                                                             : Qt::NoModifier;
                QWheelEvent wheel({400, 100}, timeline->viewport()->mapToGlobal(QPointF(400, 100)),
                                  {}, {0, text.section(' ', 1).toInt()}, Qt::NoButton, keys,
                                  Qt::NoScrollPhase, false);
                QApplication::sendEvent(timeline->viewport(), &wheel);
            } else if (word == "zoom") {
                return QString::number(timeline->dayWidth());
            } else if (word == "moved" || word == "centre") { // to a tenth of a day
                const QPair<qreal, qreal> now = planUnder(*timeline);
                const qreal moved =
                    word == "moved" ? now.first - scrolled.first : now.second - scrolled.second;
                return QString::number(qRound(moved * 10) / 10.0) + " days";
            } else if (word == "x") {
                return QString::number(timeline->horizontalScrollBar()->value());
            } else if (word == "hint") { // pixels of the table's text colour across its middle
                const QImage shot = table->viewport()->grab().toImage();
                int count = 0;
                for (int y = shot.height() / 3; y < shot.height() * 2 / 3; ++y)
                    for (int x = 0; x < shot.width(); ++x)
                        count += shot.pixel(x, y) == qRgb(0, 0, 128);
                return count > 100 ? "hint" : "no hint";
            } else if (word == "press") {
                QAccessible::queryAccessibleInterface(p.get(text))
                    ->actionInterface()
                    ->doAction(QAccessibleActionInterface::pressAction());
            } else if (word == "heard") {
                QStringList heard;
                for (const char* name :
                     {"txtProjectName", "txtTodo", "qt_calendar_calendarview", "ListView1",
                      "timelineView", "Label15", "lblSetWorkingDays", "cmdShowSchedule",
                      "cmdShowTimeline"}) {
                    auto* control = QAccessible::queryAccessibleInterface(p.get(name));
                    const QAccessible::State state = control->state();
                    heard << control->text(QAccessible::Name) +
                                 (control->role() == QAccessible::Link     ? " link"
                                  : control->role() == QAccessible::Button ? " button"
                                                                           : "") +
                                 (state.checkable ? " checkable" : "") +
                                 (state.checked ? " checked" : "") +
                                 (state.pressed ? " pressed" : "");
                }
                return heard.join('|');
            }
            return {};
        };
        const QString shown = script.run(steps);
        QDesktopServices::setUrlHandler("file", this, "openedUrl");
        QFETCH(QString, result);
        QCOMPARE(shown, result.replace("$QT", qVersion()).replace("$VERSION", Version));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
