#include "engine/schedulebuilder.h"
#include "export/calendarcsv.h"
#include "modalanswerer.h"
#include "settings/settingsstore.h"
#include "ui/mainwindow.h"
#include "ui/uilook.h"

#include <QAbstractItemModel>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace taskloom;
using test::ModalAnswerer;

namespace {

// A fixed Wednesday, Monday to Friday working; the tests never read the clock.
const QDate Today(2026, 12, 9);
const QStringList ShippedFiles{"hours.txt", "workingday_starts_at.txt", "workingday_ends_at.txt",
                               "workingweek.txt"};

// One window over its own copy of the shipped files, the ones named left out.
struct Planner {
    QTemporaryDir folder;
    std::unique_ptr<MainWindow> window;

    explicit Planner(const QStringList& leftOut = {})
    {
        const QDir shipped(QCoreApplication::applicationDirPath());
        for (const QString& name : ShippedFiles) {
            if (!leftOut.contains(name))
                QFile::copy(shipped.filePath(name), folder.filePath(name));
        }
        QDir(folder.path()).mkdir(QStringLiteral("output"));
        window = std::make_unique<MainWindow>(folder.path(), [] { return Today; });
    }
    void open()
    {
        window->startUp();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    template <typename T> T* get(const char* name) const
    {
        T* child = window->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control named %s", name);
        return child;
    }
    // Near the left edge: option buttons and check boxes take clicks on their
    // mark and text only.
    void click(const char* name) const
    {
        QWidget* target = get<QWidget>(name);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(8, target->height() / 2));
    }
    void type(const QString& tasks) const { get<QPlainTextEdit>("txtTodo")->setPlainText(tasks); }
    qsizetype rows() const
    {
        const int shown = get<QTableView>("ListView1")->model()->rowCount();
        return shown == window->schedule().rows.size() ? shown : -1;
    }
    QString csvPath() const { return folder.filePath(QStringLiteral("output/project.csv")); }
};

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    QList<QUrl> m_opened; // what the export asked the desktop to open
    ModalAnswerer* m_answerer = nullptr;

public Q_SLOTS:
    void openedUrl(const QUrl& url) { m_opened.append(url); }

private Q_SLOTS:
    void init();
    void cleanup();
    void startsEmptyAndNamed();
    void missingSettings_data();
    void missingSettings();
    void triggers_data();
    void triggers();
    void calendarPicksAndPastDate();
    void tableTexts_data();
    void tableTexts();
    void resizeRule_data();
    void resizeRule();
    void exportCsv_data();
    void exportCsv();
    void tipsTwice();
    void workingWeekSettings();
};

void TestMainWindow::init()
{
    m_opened.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openedUrl");
    m_answerer = new ModalAnswerer(this);
}

void TestMainWindow::cleanup()
{
    QCOMPARE(m_answerer->unexpectedCount(), 0);
    delete m_answerer;
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QLocale::setDefault(QLocale::system());
}

void TestMainWindow::startsEmptyAndNamed()
{
    Planner p;
    p.open();
    const QString names = QStringLiteral(
        "Picture1 lblAppName Label13 picSidebar Command2 Label14 txtProjectName Label16 Label7 "
        "Frame3 Label8 Label15 Frame2 Label12 optDate0 optDate1 Calendar2 chkExcludeWeekends "
        "lblSetWorkingDays cmdToList");
    for (const QString& name : names.split(' '))
        QVERIFY2(p.window->findChild<QWidget*>(name), qPrintable(name));
    QCOMPARE(p.window->objectName(), QStringLiteral("Form1"));
    QCOMPARE(p.window->windowTitle(), QStringLiteral("Taskloom v1.4"));
    QCOMPARE(p.rows(), 0);
    const auto* table = p.get<QTableView>("ListView1");
    const int widths[] = {4000, 2000, 2000, 2000};
    const QStringList headers{"Task", "Start Date", "End Date", "Task Duration"};
    for (int column = 0; column < 4; ++column) {
        QCOMPARE(table->model()->headerData(column, Qt::Horizontal).toString(), headers[column]);
        QCOMPARE(table->columnWidth(column), UiLook::px(widths[column]));
    }
    QVERIFY(p.get<QRadioButton>("optDate0")->isChecked());
    QVERIFY(p.get<QCheckBox>("chkExcludeWeekends")->isChecked());
    QCOMPARE(p.get<QCalendarWidget>("Calendar2")->selectedDate(), QDate(2020, 1, 13));
    QCOMPARE(p.window->pickedStartDate(), Today);
    QCOMPARE(p.window->weekFlags(), WorkingWeek::mondayToFriday());
    QCOMPARE(p.window->startsAt() + p.window->endsAt(), QStringLiteral("9:00 AM6:00 PM"));
    QCOMPARE(p.window->projectStart(), std::optional<QDate>(Today));
    QVERIFY(m_answerer->seen().isEmpty());
}

void TestMainWindow::missingSettings_data()
{
    QTest::addColumn<QStringList>("leftOut");
    QTest::newRow("start hour") << QStringList{"workingday_starts_at.txt"};
    QTest::newRow("end hour") << QStringList{"workingday_ends_at.txt"};
    QTest::newRow("working week") << QStringList{"workingweek.txt"};
    QTest::newRow("all three") << QStringList{"workingday_starts_at.txt", "workingday_ends_at.txt",
                                              "workingweek.txt"};
}

void TestMainWindow::missingSettings()
{
    QFETCH(QStringList, leftOut);
    Planner p(leftOut);
    const SettingsStore store(p.folder.path());
    const QList<SettingsProblem> expected =
        store.loadWorkingHours().problems + store.loadWorkingWeek().problems;
    QVERIFY(!expected.isEmpty());
    for (qsizetype i = 0; i < expected.size(); ++i)
        m_answerer->answer(QMessageBox::Ok);
    p.open();
    QVERIFY(m_answerer->waitForAll());
    QCOMPARE(m_answerer->seen().size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const test::SeenMessage& seen = m_answerer->seen().at(i);
        QCOMPARE(seen.text, expected.at(i).text);
        QCOMPARE(seen.title, expected.at(i).title);
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    // Start-up went on to the end.
    QCOMPARE(p.window->windowTitle(), QStringLiteral("Taskloom v1.4"));
    QCOMPARE(p.window->pickedStartDate(), Today);
    QCOMPARE(p.window->weekFlags() == WeekFlags{}, leftOut.contains("workingweek.txt"));
}

void TestMainWindow::triggers_data()
{
    QTest::addColumn<QString>("action"); // a control clicked, a key in txtTodo, resize, timer
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("rows"); // 0: no build
    QTest::newRow("Create Project!") << "cmdToList" << 0 << 0 << 2;
    QTest::newRow("option 0") << "optDate0" << 0 << 0 << 2;
    QTest::newRow("option 1") << "optDate1" << 0 << 0 << 2;
    QTest::newRow("week box") << "chkExcludeWeekends" << 0 << 0 << 2;
    // Enter at the start of the text: the new line is in before the build.
    QTest::newRow("Return") << "key" << int(Qt::Key_Return) << 0 << 3;
    QTest::newRow("keypad Enter") << "key" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 3;
    QTest::newRow("Up") << "key" << int(Qt::Key_Up) << 0 << 2;
    QTest::newRow("Shift+Down") << "key" << int(Qt::Key_Down) << int(Qt::ShiftModifier) << 2;
    QTest::newRow("Ctrl+Alt+Up") << "key" << int(Qt::Key_Up)
                                 << int(Qt::ControlModifier | Qt::AltModifier) << 2;
    QTest::newRow("letter") << "key" << int(Qt::Key_X) << 0 << 0;
    QTest::newRow("Left") << "key" << int(Qt::Key_Left) << 0 << 0;
    QTest::newRow("resize") << "resize" << 0 << 0 << 0;
    QTest::newRow("timer") << "timer" << 0 << 0 << 0;
}

void TestMainWindow::triggers()
{
    QFETCH(QString, action);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, rows);
    Planner p;
    p.open();
    p.type(QStringLiteral("A +3\nB +2"));
    auto* todo = p.get<QPlainTextEdit>("txtTodo");
    todo->moveCursor(QTextCursor::Start);
    if (action == "key")
        QTest::keyClick(todo, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    else if (action == "resize")
        p.window->resize(p.window->width() + 200, p.window->height() + 50);
    else if (action == "timer")
        QTRY_COMPARE(p.get<QCalendarWidget>("Calendar2")->selectedDate(), Today);
    else
        p.click(qPrintable(action));
    QCOMPARE(p.rows(), rows);
    if (rows > 0)
        QCOMPARE(p.window->schedule().rows.first().start, Today);
}

void TestMainWindow::calendarPicksAndPastDate()
{
    Planner p;
    p.open();
    auto* calendar = p.get<QCalendarWidget>("Calendar2");
    auto* month = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    QVERIFY(month);
    p.type(QStringLiteral("A"));
    // The catch-up shows today without counting as a pick.
    QTRY_COMPARE(calendar->selectedDate(), Today);
    QVERIFY(p.get<QRadioButton>("optDate0")->isChecked());
    QCOMPARE(p.rows(), 0);

    p.click("cmdToList");
    QCOMPARE(p.rows(), 1);
    p.type(QStringLiteral("A\nB"));
    m_answerer->answer(QMessageBox::Ok);
    QTest::keyClick(month, Qt::Key_Left); // yesterday
    QVERIFY(m_answerer->waitForAll());
    const Refusal past = ScheduleBuilder::pastDateRefusal();
    QCOMPARE(m_answerer->seen().size(), 1);
    QCOMPARE(m_answerer->seen().first().text, past.text);
    QCOMPARE(m_answerer->seen().first().title, past.title);
    QCOMPARE(m_answerer->seen().first().icon, QMessageBox::Information);
    QCOMPARE(p.rows(), 1); // the old schedule stays
    QVERIFY(p.get<QRadioButton>("optDate1")->isChecked());
    QCOMPARE(p.window->pickedStartDate(), Today.addDays(-1));

    p.click("optDate0");
    QCOMPARE(p.rows(), 2);
    QCOMPARE(p.window->schedule().rows.first().start, Today);
    QCOMPARE(p.window->pickedStartDate(), Today.addDays(-1));

    QTest::keyClick(month, Qt::Key_Right); // today itself is accepted
    QCOMPARE(p.window->schedule().rows.first().start, Today);
    QTest::keyClick(month, Qt::Key_Right);
    QVERIFY(p.get<QRadioButton>("optDate1")->isChecked());
    QCOMPARE(p.window->pickedStartDate(), Today.addDays(1));
    QCOMPARE(p.window->schedule().rows.first().start, Today.addDays(1));
    QCOMPARE(m_answerer->seen().size(), 1);
}

void TestMainWindow::tableTexts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("en_US") << "en_US"
                           << QStringList{"Home: Paint ", "12/9/2026", "12/11/2026", "2.5"};
    QTest::newRow("de_DE") << "de_DE"
                           << QStringList{"Home: Paint ", "09.12.2026", "11.12.2026", "2,5"};
}

void TestMainWindow::tableTexts()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, cells);
    QLocale::setDefault(QLocale(locale));
    Planner p;
    p.open();
    p.get<QLineEdit>("txtProjectName")->setText(QStringLiteral("Home"));
    p.type(QStringLiteral("Paint +2.5\nTiles + 1500"));
    p.click("cmdToList");
    const QAbstractItemModel* model = p.get<QTableView>("ListView1")->model();
    for (int column = 0; column < 4; ++column)
        QCOMPARE(model->index(0, column).data().toString(), cells[column]);
    QCOMPARE(model->index(1, 3).data().toString(), QStringLiteral("1500"));
    QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
}

void TestMainWindow::resizeRule_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("tableFollows");
    QTest::newRow("wider") << 1400 << true;
    QTest::newRow("narrower") << 900 << true;
    QTest::newRow("below the table's edge") << 0 << false; // 0: the minimum width
}

void TestMainWindow::resizeRule()
{
    QFETCH(int, width);
    QFETCH(bool, tableFollows);
    Planner p;
    p.open();
    auto* table = p.get<QTableView>("ListView1");
    const int tableBefore = table->width();
    p.window->resize(width ? width : p.window->minimumWidth(), p.window->height());
    const int outer = p.window->frameGeometry().width();
    const int margin = UiLook::px(700);
    for (const char* name : {"Command2", "Label13"}) {
        const auto* moved = p.get<QWidget>(name);
        QCOMPARE(moved->x(), outer - moved->width() - margin);
    }
    QCOMPARE(table->width(), tableFollows ? outer - table->x() - margin : tableBefore);
}

enum ExportCase {
    NoTasks,
    NoName,
    BlankName,
    Fresh,
    OverwriteYes,
    OverwriteNo,
    FolderInWay,
    OutputIsFile
};

void TestMainWindow::exportCsv_data()
{
    QTest::addColumn<int>("setup");
    QTest::addColumn<QStringList>("titles"); // of the boxes shown, in order
    QTest::addColumn<bool>("written");
    QTest::newRow("no tasks") << int(NoTasks) << QStringList{"Missing Info"} << false;
    QTest::newRow("no name") << int(NoName) << QStringList{"Missing Info"} << false;
    QTest::newRow("blank name passes") << int(BlankName) << QStringList{"Done!"} << true;
    QTest::newRow("first export") << int(Fresh) << QStringList{"Done!"} << true;
    QTest::newRow("overwrite Yes") << int(OverwriteYes) << QStringList{"Confirm", "Done!"} << true;
    QTest::newRow("overwrite No") << int(OverwriteNo) << QStringList{"Confirm"} << false;
    QTest::newRow("folder in the way")
        << int(FolderInWay) << QStringList{"Confirm", "Error"} << false;
    QTest::newRow("output is a file") << int(OutputIsFile) << QStringList{"Error"} << false;
}

void TestMainWindow::exportCsv()
{
    QFETCH(int, setup);
    QFETCH(QStringList, titles);
    QFETCH(bool, written);
    Planner p;
    p.open();
    const QString path = p.csvPath();
    const QByteArray old("Subject,old\r\n");
    if (setup == OverwriteYes || setup == OverwriteNo) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    } else if (setup == FolderInWay) {
        QVERIFY(QDir().mkpath(path));
    } else if (setup == OutputIsFile) {
        QVERIFY(QDir(p.folder.path()).rmdir(QStringLiteral("output")));
        QFile file(p.folder.filePath(QStringLiteral("output")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    p.get<QLineEdit>("txtProjectName")
        ->setText(setup == NoName      ? ""
                  : setup == BlankName ? "  "
                                       : "Home");
    if (setup != NoTasks) {
        p.type(QStringLiteral("Paint, walls +2\nTiles"));
        p.click("cmdToList");
    }
    for (const QString& title : titles)
        m_answerer->answer(title != "Confirm"     ? QMessageBox::Ok
                           : setup == OverwriteNo ? QMessageBox::No
                                                  : QMessageBox::Yes);
    p.click("Command2");
    QVERIFY(m_answerer->waitForAll());

    const QMap<QString, test::SeenMessage> known{
        {"Missing Info",
         {setup == NoTasks ? "Please add some tasks to your project."
                           : "Please enter a project name.",
          "Missing Info", QMessageBox::Information, QMessageBox::Ok}},
        {"Confirm",
         {"Overwrite the previous .csv file (maybe from another project)?", "Confirm",
          QMessageBox::Question, QMessageBox::Yes | QMessageBox::No}},
        {"Done!",
         {"Done! The software will now open a folder which contains a .csv file with your project "
          "info. You can now add this project (.csv) to your G calendar. For more details, please "
          "read the user manual.",
          "Done!", QMessageBox::Information, QMessageBox::Ok}}};
    const QList<test::SeenMessage>& seen = m_answerer->seen();
    QCOMPARE(seen.size(), titles.size());
    for (qsizetype i = 0; i < seen.size(); ++i) {
        QCOMPARE(seen[i].title, titles[i]);
        if (titles[i] == "Error") { // the path and the system's reason
            QVERIFY2(seen[i].text.contains(QDir::toNativeSeparators(path)) &&
                         seen[i].text.size() > path.size() + 30,
                     qPrintable(seen[i].text));
            QCOMPARE(seen[i].icon, QMessageBox::Warning);
            continue;
        }
        QCOMPARE(seen[i].text, known[titles[i]].text);
        QCOMPARE(seen[i].icon, known[titles[i]].icon);
        QCOMPARE(seen[i].buttons, known[titles[i]].buttons);
    }
    if (written) {
        QCOMPARE(bytesOf(path), CalendarCsv::toText(p.window->schedule().events).toUtf8());
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(QFileInfo(path).absolutePath())});
    } else {
        QCOMPARE(bytesOf(path), setup == OverwriteNo ? old : QByteArray());
        QVERIFY(m_opened.isEmpty());
    }
}

void TestMainWindow::tipsTwice()
{
    Planner p;
    p.open();
    p.type(QStringLiteral("A"));
    QList<QMap<QString, QString>> openings;
    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(50, this, [&openings] {
            auto* tips = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!tips || tips->objectName() != QStringLiteral("frmTips"))
                return;
            QMap<QString, QString> texts{{"caption", tips->windowTitle()}};
            for (const QLabel* label : tips->findChildren<QLabel*>())
                texts.insert(label->objectName(), label->text());
            openings.append(texts);
            QTest::mouseClick(tips->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        });
        p.click("Label15");
        QCOMPARE(openings.size(), opening + 1);
        QVERIFY(!p.window->findChild<QDialog*>(QStringLiteral("frmTips"))); // unloaded
    }
    QCOMPARE(openings[0], openings[1]);
    const QMap<QString, QString>& tips = openings[0];
    QCOMPARE(tips["caption"], QStringLiteral("Tips"));
    QCOMPARE(tips["Label1"], QStringLiteral("Tips:"));
    QCOMPARE(tips["Label2"], QStringLiteral("You can set the duration of each task by adding a "
                                            "\"+ X days\"  of it."));
    QCOMPARE(tips["Label3"] + tips["Label7"], QStringLiteral("Example:  Do This + 7 Days"));
    QCOMPARE(tips["Label5"] + tips["Label6"], QStringLiteral("or  Do This + 7"));
    QCOMPARE(tips["Label4"], QStringLiteral("This will set the duration of the task to 7 days."));
    QVERIFY(tips["lblPro"].contains(QStringLiteral("//")));
    QCOMPARE(p.rows(), 0); // opening the tips builds nothing
}

void TestMainWindow::workingWeekSettings()
{
    Planner p;
    p.open();
    p.type(QStringLiteral("A +3"));

    // Opening reloads the week from its file, even when the dialog is cancelled.
    QFile week(p.folder.filePath(QStringLiteral("workingweek.txt")));
    QVERIFY(week.open(QIODevice::WriteOnly));
    week.write("1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    week.close();
    bool cancelled = false;
    QTimer::singleShot(50, this, [&cancelled] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->objectName() == QStringLiteral("frmWorkingWeek")) {
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command2")),
                              Qt::LeftButton);
            cancelled = true;
        }
    });
    p.click("lblSetWorkingDays");
    QVERIFY(cancelled);
    QCOMPARE(p.window->weekFlags(), (WeekFlags{0, 1, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(p.rows(), 0); // opening and cancelling build nothing

    // Save: Monday to Thursday and Saturday, 8:00 AM to 5:00 PM; the window
    // takes the week and the hours at once and builds with them.
    bool saved = false;
    QTimer::singleShot(50, this, [&saved, this] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QStringLiteral("frmWorkingWeek"))
            return;
        const bool ticked[] = {true, true, true, true, false, true, false};
        for (int day = 1; day <= 7; ++day) {
            dialog->findChild<QCheckBox*>(QStringLiteral("chkWorkingDay%1").arg(day))
                ->setChecked(ticked[day - 1]);
        }
        auto* starts = dialog->findChild<QComboBox*>(QStringLiteral("cboStartsAt"));
        auto* ends = dialog->findChild<QComboBox*>(QStringLiteral("cboEndsAt"));
        starts->setCurrentIndex(starts->findText(QStringLiteral("8:00 AM")));
        ends->setCurrentIndex(ends->findText(QStringLiteral("5:00 PM")));
        m_answerer->answer(QMessageBox::Ok); // "Done!"
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        saved = true;
    });
    p.click("lblSetWorkingDays");
    QVERIFY(saved);
    QVERIFY(m_answerer->waitForAll());
    QCOMPARE(m_answerer->seen().last().text, QStringLiteral("Done!"));
    QCOMPARE(bytesOf(p.folder.filePath(QStringLiteral("workingweek.txt"))),
             QByteArray("1\r\n1\r\n1\r\n1\r\n0\r\n1\r\n0\r\n"));
    QCOMPARE(p.window->weekFlags(), (WeekFlags{0, 1, 1, 1, 1, 0, 1, 0}));
    QCOMPARE(p.window->startsAt(), QStringLiteral("8:00 AM"));
    QCOMPARE(p.window->endsAt(), QStringLiteral("5:00 PM"));
    QCOMPARE(p.rows(), 1);
    // Wednesday, Thursday, then Saturday: Friday is off now.
    const Schedule& schedule = p.window->schedule();
    QCOMPARE(schedule.rows.first().end, Today.addDays(3));
    QCOMPARE(schedule.events.size(), 2);
    QCOMPARE(schedule.events.last().startDate, Today.addDays(3));
    QCOMPARE(schedule.events.last().startTime, QStringLiteral("8:00 AM"));
    QCOMPARE(schedule.events.last().endTime, QStringLiteral("5:00 PM"));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
