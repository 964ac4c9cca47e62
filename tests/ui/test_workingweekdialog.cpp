#include "settings/settingsstore.h"
#include "ui/filechooser.h"
#include "ui/workingweekdialog.h"

#include "modalanswerer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace taskloom;
using Files = QMap<QString, QByteArray>; // a null text removes the file
using Replies = QList<QMessageBox::StandardButton>;

namespace {

const QString Week = "workingweek.txt", Starts = "workingday_starts_at.txt",
              Ends = "workingday_ends_at.txt", Hours = "hours.txt", DaysOff = "daysoff.txt";
const QDate Today(2026, 12, 9);
const QByteArray DaysOffHeader =
    "# Days off: one date a line as YYYY-MM-DD, then a blank and a label.\r\n";
// Not the shipped Monday to Friday 9 to 6, so a Save that writes nothing shows.
const QList<QByteArray> Stored{"0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1\r\n", "7:00 AM", "3:00 PM\r\n"};
constexpr auto Ok = QMessageBox::Ok, Yes = QMessageBox::Yes, No = QMessageBox::No;
constexpr auto Info = QMessageBox::Information, Warn = QMessageBox::Warning;

// A message box as one string, so a row states its icon, buttons, title and text whole, and
// the button Enter presses.
QString box(QMessageBox::Icon icon, QMessageBox::StandardButtons buttons, const QString& title,
            const QString& text, QMessageBox::StandardButton defaultButton = QMessageBox::Ok)
{
    return QString("%1|%2|%3|%4|%5")
        .arg(icon)
        .arg(buttons.toInt())
        .arg(title, text)
        .arg(defaultButton);
}

// One opening of the dialog: the folder, what the user does, and what must follow.
struct Case {
    Files files{};          // replace the defaults in Stored
    QList<int> positions{}; // preselected start and end; a row with them only opens
    // Days Monday first (empty leaves the boxes as loaded); the start is always 9:00 AM.
    QString days = "1111100", to = "6:00 PM";
    const char* button = "Command1";
    QString blocked{};   // a folder takes this file's place before the press
    Replies replies{};   // empty: OK to every box
    QStringList boxes{}; // every box from opening on; the folder shows as <dir>
    QString week{};      // the week file's lines after Save; null: no file may change
};

// Answers the import's file dialog with the path queued, or as a cancel.
struct QueuedChooser : FileChooser {
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::exchange(next, {});
    }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&, QString*) override
    {
        return {};
    }
    QString next;
};

struct Fixture {
    explicit Fixture(const Files& files, const Replies& replies)
    {
        QFile::copy(QCoreApplication::applicationDirPath() + '/' + Hours, path(Hours));
        Files all{{Week, Stored[0]}, {Starts, Stored[1]}, {Ends, Stored[2]}};
        all.insert(files);
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            QFile file(path(it.key()));
            if (file.remove(); !it->isNull() && file.open(QIODevice::WriteOnly))
                file.write(*it);
        }
        QObject::connect(&dialog, &WorkingWeekDialog::saved, [this](auto&... values) {
            saved << std::tuple{values..., answers.seen().size()};
        });
        for (QMessageBox::StandardButton reply : replies)
            answers.answer(reply);
        dialog.load();
        dialog.show();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QList<QByteArray> files() const
    {
        QList<QByteArray> texts;
        for (QFile file : {path(Week), path(Starts), path(Ends)})
            texts << (file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>");
        return texts;
    }
    QStringList shown()
    {
        QStringList out(answers.waitForAll() ? 0 : 1, "<unanswered>");
        for (const test::SeenMessage& seen : answers.seen())
            out << box(seen.icon, seen.buttons, seen.title, seen.text, seen.defaultButton)
                       .replace(dir.path(), "<dir>");
        return out;
    }

    QByteArray daysOffFile() const
    {
        QFile file(path(DaysOff));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList listed() const
    {
        QStringList texts;
        for (int row = 0; row < daysOffList->count(); ++row)
            texts << daysOffList->item(row)->text();
        return texts;
    }

    QTemporaryDir dir;
    SettingsStore store{dir.path()};
    test::ModalAnswerer answers;
    QueuedChooser chooser;
    WorkingWeekDialog dialog{store, chooser, Today};
    QComboBox* const startsAt = dialog.findChild<QComboBox*>("cboStartsAt");
    QComboBox* const endsAt = dialog.findChild<QComboBox*>("cboEndsAt");
    QListWidget* const daysOffList = dialog.findChild<QListWidget*>("lstDaysOff");
    // What the window heard, and how many boxes were shown before.
    QList<std::tuple<WeekFlags, QString, QString, QList<DayOff>, qsizetype>> saved;
};

} // namespace

class TestWorkingWeekDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openAndPress_data();
    void openAndPress();
    void daysOff_data();
    void daysOff();
};

void TestWorkingWeekDialog::openAndPress_data()
{
    QTest::addColumn<Case>("c");
    const QString endsAt = box(Info, Ok, "Error", "Your 'Ends At' Hour should be higher."),
                  done = box(Info, Ok, "Done", "Done!"),
                  ask = box(Info, Yes | No, "Important ",
                            "Your working week has 3 working days. For a better software "
                            "performance is recommended to increase this value to 4 (min.). Save "
                            "your changes anyway?",
                            Yes),
                  noDay = box(Info, Ok, "Error",
                              "Please select 1 or more working days (for a better software "
                              "performance we recommend to select 4 at least)."),
                  noHours = box(Warn, Ok, "Error",
                                "Error: hours.txt file not found. Please reinstall the software."),
                  unsaved = box(Warn, Ok, "Error",
                                "Error: workingweek.txt could not be saved to <dir>/workingweek.txt"
                                " (It is a folder, not a file; please move it away). Your working "
                                "week was not changed."),
                  damaged = box(Warn, Ok, "Error",
                                "Error: workingday_starts_at.txt is damaged (more than 200 "
                                "characters). Please open Settings and save your working week "
                                "again.");
    QTest::newRow("same position") << Case{.to = "9:00 AM", .boxes = {endsAt}};
    QTest::newRow("one later") << Case{.to = "9:30 AM", .boxes = {done}, .week = "1111100"};
    QTest::newRow("Monday to Friday, 9 to 6") << Case{.boxes = {done}, .week = "1111100"};
    QTest::newRow("all clear") << Case{.days = "0000000", .boxes = {noDay}};
    QTest::newRow("three, No") << Case{.days = "1010100", .replies = {No}, .boxes = {ask}};
    QTest::newRow("three, Yes") << Case{
        .days = "1010100", .replies = {Yes, Ok}, .boxes = {ask, done}, .week = "1010100"};
    QTest::newRow("no hours.txt") << Case{.files = {{Hours, {}}}, .boxes = {noHours, endsAt}};
    // A folder in the week file's place: refused before any of the three is replaced.
    QTest::newRow("week file unwritable") << Case{.blocked = Week, .boxes = {unsaved}};
    QTest::newRow("Cancel") << Case{.button = "Command2"};
    // 2 shows greyed and goes back as 2; 5 has no box state and shows clear.
    const QByteArray greyed = "1\r\n2\r\n1\r\n1\r\n1\r\n0\r\n5\r\n";
    QTest::newRow("flag 2") << Case{
        .files = {{Week, greyed}}, .days = "", .boxes = {done}, .week = "1211100"};
    // Preselection: "11:00 AM" contains the earlier "1:00 AM"; a line break is no part of it.
    QTest::newRow("shipped, 11:00 AM")
        << Case{.files = {{Starts, "11:00 AM"}, {Ends, "11:00 AM\r\n"}}, .positions = {22, 22}};
    QTest::newRow("1 and 12: 11 picks 1, 12 picks 12") << Case{
        .files = {{Hours, "1\r\n12\r\n"}, {Starts, "11"}, {Ends, "12"}}, .positions = {0, 1}};
    QTest::newRow("no match picks the last")
        << Case{.files = {{Hours, "1\r\n12\r\n"}, {Starts, "7"}, {Ends, "7"}}, .positions = {1, 1}};
    QTest::newRow("empty list") << Case{.files = {{Hours, ""}}, .positions = {-1, -1}};
    // Told and offered as no hour: the last entry, 11:30 PM; the end stays at 3:00 PM.
    QTest::newRow("damaged start hour") << Case{
        .files = {{Starts, QByteArray(201, '9')}}, .positions = {47, 30}, .boxes = {damaged}};
    QTest::newRow("no hours.txt, positions")
        << Case{.files = {{Hours, {}}}, .positions = {-1, -1}, .boxes = {noHours}};
}

void TestWorkingWeekDialog::openAndPress()
{
    QFETCH(Case, c);
    Fixture f(c.files, c.replies.isEmpty() ? Replies(c.boxes.size(), Ok) : c.replies);
    if (!c.blocked.isEmpty())
        QVERIFY(QFile::remove(f.path(c.blocked)) && QDir(f.dir.path()).mkdir(c.blocked));
    const QList<QByteArray> before = f.files();
    if (!c.positions.isEmpty()) {
        QCOMPARE((QList<int>{f.startsAt->currentIndex(), f.endsAt->currentIndex()}), c.positions);
    } else {
        for (int n = 1; n <= c.days.size(); ++n)
            f.dialog.findChild<QCheckBox*>(QString("chkWorkingDay%1").arg(n))
                ->setChecked(c.days[n - 1] == u'1');
        f.startsAt->setCurrentIndex(f.startsAt->findText("9:00 AM"));
        f.endsAt->setCurrentIndex(f.endsAt->findText(c.to));
        QTest::mouseClick(f.dialog.findChild<QWidget*>(c.button), Qt::LeftButton);
    }
    QCOMPARE(f.shown(), c.boxes);
    QCOMPARE(f.dialog.findChild<QLabel*>("lblSettingsFolder")->text(), "Saved in " + f.dir.path());
    const bool saves = !c.week.isNull();
    QCOMPARE(f.dialog.isVisible(), !saves && qstrcmp(c.button, "Command2") != 0);
    // One line a day, each ended by CR LF; the hour files hold the text alone.
    const QByteArray week = (c.week.split("", Qt::SkipEmptyParts).join("\r\n") + "\r\n").toUtf8();
    QCOMPARE(f.files(), (saves ? QList<QByteArray>{week, "9:00 AM", c.to.toUtf8()} : before));
    QCOMPARE(f.saved.size(), int(saves));
    if (saves) // the window hears of the new week before "Done!", so it rebuilds first
        QVERIFY(f.saved[0] == std::tuple(*f.store.loadWorkingWeek().flags, QString("9:00 AM"), c.to,
                                         QList<DayOff>(), c.boxes.size() - 1));
    // Saved with the others, all or nothing.
    QCOMPARE(f.daysOffFile(), saves ? DaysOffHeader : QByteArray());
}

void TestWorkingWeekDialog::daysOff_data()
{
    // The steps, "|" between them: "+YYYY-MM-DD label" picks the date, types the label
    // and clicks Add ("=" presses Enter in the label instead); "-0,2" selects those list
    // rows and clicks Remove; "i:name" imports that file of Calendars ("i:" cancels the
    // file dialog).
    QTest::addColumn<QByteArray>("stored"); // daysoff.txt; null: none
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("listed"); // the list after the steps
    QTest::addColumn<QByteArray>("written"); // daysoff.txt after the button
    QTest::addColumn<QStringList>("boxes");
    const QByteArray three = "2026-12-31 Eve\n2026-12-24\n2027-01-01 New Year\n";
    QTest::newRow("add to none, sorted, Enter adds")
        << QByteArray() << "+2026-12-25 Christmas Day|=2026-12-24  Eve  "
        << "Command1" << QStringList{"Thu 24 Dec 2026   Eve", "Fri 25 Dec 2026   Christmas Day"}
        << DaysOffHeader + "2026-12-24 Eve\r\n2026-12-25 Christmas Day\r\n"
        << QStringList{box(Info, Ok, "Done", "Done!")};
    QTest::newRow("a listed date takes the new label")
        << three << "+2026-12-31 Office closed"
        << "Command1"
        << QStringList{"Thu 24 Dec 2026", "Thu 31 Dec 2026   Office closed",
                       "Fri 1 Jan 2027   New Year"}
        << DaysOffHeader + "2026-12-24\r\n2026-12-31 Office closed\r\n2027-01-01 New Year\r\n"
        << QStringList{box(Info, Ok, "Done", "Done!")};
    QTest::newRow("remove two") << three << "-0,2"
                                << "Command1" << QStringList{"Thu 31 Dec 2026   Eve"}
                                << DaysOffHeader + "2026-12-31 Eve\r\n"
                                << QStringList{box(Info, Ok, "Done", "Done!")};
    QTest::newRow("Cancel writes nothing")
        << three << "+2027-01-04|-0,1"
        << "Command2" << QStringList{"Fri 1 Jan 2027   New Year", "Mon 4 Jan 2027"} << three
        << QStringList{};
    // Today is 12/9/2026: the years 2026 to 2036. New Year's Day every five years from 2000
    // gives 2030 and 2035; 2025 and 2040 are out, as are 1/1/2037 and the timed event.
    const QString import = "Import Days Off";
    QTest::newRow("import, saved")
        << three << "i:holidays.ics"
        << "Command1"
        << QStringList{"Thu 24 Dec 2026",
                       "Thu 31 Dec 2026   Eve",
                       "Fri 1 Jan 2027   New Year",
                       "Tue 1 Jan 2030   New Year's Day",
                       "Mon 1 Jan 2035   New Year's Day",
                       "Wed 31 Dec 2036   Last"}
        << DaysOffHeader + "2026-12-24\r\n2026-12-31 Eve\r\n2027-01-01 New Year\r\n"
                           "2030-01-01 New Year's Day\r\n2035-01-01 New Year's Day\r\n"
                           "2036-12-31 Last\r\n"
        << QStringList{box(Info, Ok, import,
                           "3 days off from holidays.ics imported, for the years 2026 to 2036. "
                           "Save keeps them; import the file again for later years."),
                       box(Info, Ok, "Done", "Done!")};
    QTest::newRow("import cancelled, broken, empty; Cancel")
        << three << "i:|i:broken.ics|i:timed.ics"
        << "Command2"
        << QStringList{"Thu 24 Dec 2026", "Thu 31 Dec 2026   Eve", "Fri 1 Jan 2027   New Year"}
        << three
        << QStringList{box(Warn, Ok, "Error",
                           "Error: broken.ics is not an iCalendar file: it must hold a whole "
                           "calendar, from BEGIN:VCALENDAR to END:VCALENDAR."),
                       box(Info, Ok, import,
                           "timed.ics holds no all-day events from 2026 to 2036. Nothing was "
                           "imported.")};
}

void TestWorkingWeekDialog::daysOff()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, steps);
    QFETCH(QString, button);
    QFETCH(QStringList, boxes);
    Fixture f({{DaysOff, stored}}, Replies(boxes.size(), Ok));
    auto* remove = f.dialog.findChild<QPushButton*>("cmdRemoveDayOff");
    const QByteArray timed = "BEGIN:VEVENT\r\nUID:t\r\nDTSTART:20261210T090000Z\r\n"
                             "DTEND:20261210T100000Z\r\nSUMMARY:Meeting\r\nEND:VEVENT\r\n";
    const QMap<QString, QByteArray> calendars{
        {"holidays.ics",
         "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//T//EN\r\n" + timed +
             "BEGIN:VEVENT\r\nUID:n\r\nDTSTART;VALUE=DATE:20000101\r\n"
             "RRULE:FREQ=YEARLY;INTERVAL=5\r\nSUMMARY:New Year's Day\r\nEND:VEVENT\r\n"
             "BEGIN:VEVENT\r\nUID:l\r\nDTSTART;VALUE=DATE:20361231\r\nSUMMARY:Last\r\n"
             "END:VEVENT\r\nBEGIN:VEVENT\r\nUID:b\r\nDTSTART;VALUE=DATE:20370101\r\n"
             "SUMMARY:Beyond\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"},
        {"broken.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + timed},
        {"timed.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + timed + "END:VCALENDAR\r\n"}};
    for (const QString& step : steps.split('|', Qt::SkipEmptyParts)) {
        if (step.startsWith("i:")) {
            const QString name = step.mid(2);
            QFile file(f.path(name));
            QVERIFY(name.isEmpty() ||
                    (file.open(QIODevice::WriteOnly) &&
                     file.write(calendars[name]) == calendars[name].size() && file.flush()));
            f.chooser.next = name.isEmpty() ? QString() : file.fileName();
            QTest::mouseClick(f.dialog.findChild<QWidget*>("cmdImportDaysOff"), Qt::LeftButton);
            continue;
        }
        if (step.startsWith('-')) {
            // A click, then Ctrl+clicks.
            Qt::KeyboardModifiers keys;
            for (const QString& row : step.mid(1).split(',')) {
                QWidget* rows = f.daysOffList->viewport();
                const QRect place = f.daysOffList->visualItemRect(f.daysOffList->item(row.toInt()));
                QTest::mouseClick(rows, Qt::LeftButton, std::exchange(keys, Qt::ControlModifier),
                                  place.center());
            }
            QTest::mouseClick(remove, Qt::LeftButton);
            QVERIFY(!remove->isEnabled()); // nothing is selected any more
            continue;
        }
        f.dialog.findChild<QDateEdit*>("dtDayOff")
            ->setDate(QDate::fromString(step.mid(1, 10), Qt::ISODate));
        auto* label = f.dialog.findChild<QLineEdit*>("txtDayOffLabel");
        label->setText(step.mid(12));
        if (step.startsWith('='))
            QTest::keyClick(label, Qt::Key_Return);
        else
            QTest::mouseClick(f.dialog.findChild<QWidget*>("cmdAddDayOff"), Qt::LeftButton);
    }
    QTEST(f.listed(), "listed");
    for (int n = 1; n <= 5; ++n) // Monday to Friday, so Save asks nothing about the week
        f.dialog.findChild<QCheckBox*>(QString("chkWorkingDay%1").arg(n))->setChecked(true);
    QTest::mouseClick(f.dialog.findChild<QWidget*>(button), Qt::LeftButton);
    QCOMPARE(f.shown(), boxes);
    QTEST(f.daysOffFile(), "written");
    QCOMPARE(f.dialog.isVisible(), false);
    const bool saves = button == "Command1";
    QCOMPARE(f.saved.size(), int(saves));
    if (saves) // the window gets the dates the file now holds
        QCOMPARE(std::get<3>(f.saved[0]), f.store.loadDaysOff().daysOff);
}

QTEST_MAIN(TestWorkingWeekDialog)
#include "test_workingweekdialog.moc"
