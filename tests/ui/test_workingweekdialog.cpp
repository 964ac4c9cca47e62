#include "planner.h"
#include "settings/settingsstore.h"
#include "ui/workingweekdialog.h"

using namespace taskloom;
using namespace taskloom::test;
using namespace Qt::StringLiterals;
using Files = QMap<QString, QByteArray>; // a null text removes the file
using Replies = QList<Box::StandardButton>;

namespace {

const QString Week = "workingweek.txt", Starts = "workingday_starts_at.txt",
              Ends = "workingday_ends_at.txt", Hours = "hours.txt", DaysOff = "daysoff.txt";
const QByteArray DaysOffHeader =
    "# Days off: one date a line as YYYY-MM-DD, then a blank and a label.\r\n";
constexpr auto Ok = Box::Ok, Yes = Box::Yes, No = Box::No;

// One opening of the dialog: the folder, what the user does, and what must follow.
struct Case {
    Files files{};          // over the folder's
    QList<int> positions{}; // preselected start and end; a row with them only opens
    // Days Monday first (empty leaves the boxes as loaded); the start is always 9:00 AM.
    QString days = "1111100", to = "6:00 PM";
    QString blocked{};   // a folder takes this file's place before the press
    Replies replies{};   // empty: OK to every box
    QStringList boxes{}; // every box from opening on; the folder shows as <dir>
    QString week{};      // the week file's lines after Save; null: no file may change
};

// The dialog over a folder with the shipped hours and a week that is not the shipped Monday
// to Friday, 9 to 6, so a Save that writes nothing shows.
struct Fixture {
    QTemporaryDir dir;
    SettingsStore store{dir.path()};
    ModalAnswerer answers;
    QueuedChooser chooser;
    WorkingWeekDialog dialog{store, chooser, Today};
    // What the window heard, and how many boxes were shown before.
    QList<std::tuple<WeekFlags, QString, QString, QList<DayOff>, qsizetype>> saved;

    Fixture(const Files& files, const Replies& replies)
    {
        QFile::copy(qApp->applicationDirPath() + '/' + Hours, path(Hours));
        Files all{{Week, "0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1\r\n"},
                  {Starts, "7:00 AM"},
                  {Ends, "3:00 PM\r\n"}};
        all.insert(files);
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            if (QFile::remove(path(it.key())); !it->isNull())
                QVERIFY(put(path(it.key()), *it));
        QObject::connect(&dialog, &WorkingWeekDialog::saved, [this](auto&... values) {
            saved << std::tuple{values..., answers.seen().size()};
        });
        answers.answer(replies);
        dialog.load();
        dialog.show();
    }
    QString path(Text name) const { return dir.filePath(name); }
    QList<QByteArray> files() const
    {
        return {bytesOf(path(Week)), bytesOf(path(Starts)), bytesOf(path(Ends))};
    }
    QStringList shown() { return answers.shown().replaceInStrings(dir.path(), "<dir>"); }
    template <typename T = QWidget> T* get(Text name) const { return dialog.findChild<T*>(name); }
    void press(Text name) const { QTest::mouseClick(get(name), Qt::LeftButton); }
    void tick(Text days) const
    {
        for (int n = 1; n <= days.size(); ++n)
            get<QCheckBox>(QString("chkWorkingDay%1").arg(n))->setChecked(days[n - 1] == u'1');
    }
};

} // namespace

class TestWorkingWeekDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openAndPress_data()
    {
        QTest::addColumn<Case>("c");
        // clang-format off
    const QString endsAt = box("Error", "Your 'Ends At' Hour should be higher."), done = box("Done", "Done!"),
        ask = box("Important ", "Your working week has 3 working days. For a better software performance is recommended "
                  "to increase this value to 4 (min.). Save your changes anyway?", Box::Information, Yes | No, Yes),
        noDay = box("Error", "Please select 1 or more working days (for a better software performance we recommend to "
                    "select 4 at least)."),
        noHours = box("Error", "Error: hours.txt file not found. Please reinstall the software.", Box::Warning),
        unsaved = box("Error", "Error: workingweek.txt could not be saved to <dir>/workingweek.txt (It is a folder, not "
                      "a file; please move it away). Your working week was not changed.", Box::Warning);
        // clang-format on
        QTest::newRow("same position") << Case{.to = "9:00 AM", .boxes = {endsAt}};
        QTest::newRow("one later") << Case{.to = "9:30 AM", .boxes = {done}, .week = "1111100"};
        QTest::newRow("all clear") << Case{.days = "0000000", .boxes = {noDay}};
        QTest::newRow("three, No") << Case{.days = "1010100", .replies = {No}, .boxes = {ask}};
        QTest::newRow("three, Yes") << Case{
            .days = "1010100", .replies = {Yes, Ok}, .boxes = {ask, done}, .week = "1010100"};
        QTest::newRow("no hours.txt") << Case{.files = {{Hours, {}}}, .boxes = {noHours, endsAt}};
        // A folder in the week file's place: refused before any of the three is replaced.
        QTest::newRow("week file unwritable") << Case{.blocked = Week, .boxes = {unsaved}};
        // 2 shows greyed and goes back as 2; 5 has no box state and shows clear.
        const QByteArray greyed = "1\r\n2\r\n1\r\n1\r\n1\r\n0\r\n5\r\n";
        QTest::newRow("flag 2") << Case{
            .files = {{Week, greyed}}, .days = "", .boxes = {done}, .week = "1211100"};
        // Preselection: "11:00 AM" contains the earlier "1:00 AM"; a line break is no part of it.
        QTest::newRow("shipped, 11:00 AM")
            << Case{.files = {{Starts, "11:00 AM"}, {Ends, "11:00 AM\r\n"}}, .positions = {22, 22}};
        QTest::newRow("1 and 12: 11 picks 1, 12 picks 12") << Case{
            .files = {{Hours, "1\r\n12\r\n"}, {Starts, "11"}, {Ends, "12"}}, .positions = {0, 1}};
        QTest::newRow("no match picks the last") << Case{
            .files = {{Hours, "1\r\n12\r\n"}, {Starts, "7"}, {Ends, "7"}}, .positions = {1, 1}};
        QTest::newRow("empty list") << Case{.files = {{Hours, ""}}, .positions = {-1, -1}};
    }

    void openAndPress()
    {
        QFETCH(Case, c);
        Fixture f(c.files, c.replies.isEmpty() ? Replies(c.boxes.size(), Ok) : c.replies);
        if (!c.blocked.isEmpty())
            QVERIFY(QFile::remove(f.path(c.blocked)) && QDir(f.dir.path()).mkdir(c.blocked));
        const QList<QByteArray> before = f.files();
        auto *startsAt = f.get<QComboBox>("cboStartsAt"), *endsAt = f.get<QComboBox>("cboEndsAt");
        if (!c.positions.isEmpty()) {
            QCOMPARE((QList<int>{startsAt->currentIndex(), endsAt->currentIndex()}), c.positions);
        } else {
            f.tick(c.days);
            startsAt->setCurrentIndex(startsAt->findText("9:00 AM"));
            endsAt->setCurrentIndex(endsAt->findText(c.to));
            f.press("Command1");
        }
        QCOMPARE(f.shown(), c.boxes);
        QCOMPARE(f.get<QLabel>("lblSettingsFolder")->text(), "Saved in " + f.dir.path());
        const bool saves = !c.week.isNull();
        QCOMPARE(f.dialog.isVisible(), !saves);
        // One line a day, each ended by CR LF; the hour files hold the text alone.
        const QByteArray week =
            (c.week.split("", Qt::SkipEmptyParts).join("\r\n") + "\r\n").toUtf8();
        QCOMPARE(f.files(), (saves ? QList<QByteArray>{week, "9:00 AM", c.to.toUtf8()} : before));
        QCOMPARE(f.saved.size(), int(saves));
        if (saves) // the window hears of the new week before "Done!", so it rebuilds first
            QVERIFY(f.saved[0] == std::tuple(*f.store.loadWorkingWeek().flags, QString("9:00 AM"),
                                             c.to, QList<DayOff>(), c.boxes.size() - 1));
        // Saved with the others, all or nothing.
        QCOMPARE(bytesOf(f.path(DaysOff)), saves ? DaysOffHeader : QByteArray());
    }

    void daysOff_data()
    {
        // The steps, "|" between them: "+YYYY-MM-DD label" picks the date, types the label and
        // clicks Add ("=" presses Enter in the label instead); "-0,2" selects those list rows and
        // clicks Remove; "i:name" imports that file of calendars ("i:" cancels the file dialog).
        QTest::addColumn<QByteArray>("stored"); // daysoff.txt; null: none
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("listed");     // the list after the steps, "|" between rows
        QTest::addColumn<QByteArray>("written"); // daysoff.txt after the button, after its header
        QTest::addColumn<QStringList>("boxes");
        const QByteArray three = "2026-12-31 Eve\n2026-12-24\n2027-01-01 New Year\n";
        const QString done = box("Done", "Done!"),
                      listed = "Thu 24 Dec 2026|Thu 31 Dec 2026   Eve|Fri 1 Jan 2027   New Year";
        const QString import = "Import Days Off";
        // clang-format off
    QTest::newRow("add to none, sorted, Enter adds") << QByteArray() << "+2026-12-25 Christmas Day|=2026-12-24  Eve  " << "Command1"
        << "Thu 24 Dec 2026   Eve|Fri 25 Dec 2026   Christmas Day" << "2026-12-24 Eve\r\n2026-12-25 Christmas Day\r\n"_ba << QStringList{done};
    QTest::newRow("a listed date takes the new label") << three << "+2026-12-31 Office closed" << "Command1"
        << "Thu 24 Dec 2026|Thu 31 Dec 2026   Office closed|Fri 1 Jan 2027   New Year"
        << "2026-12-24\r\n2026-12-31 Office closed\r\n2027-01-01 New Year\r\n"_ba << QStringList{done};
    QTest::newRow("remove two") << three << "-0,2" << "Command1" << "Thu 31 Dec 2026   Eve" << "2026-12-31 Eve\r\n"_ba << QStringList{done};
    QTest::newRow("Cancel writes nothing") << three << "+2027-01-04|-0,1" << "Command2"
        << "Fri 1 Jan 2027   New Year|Mon 4 Jan 2027" << QByteArray() << QStringList{};
    // Today is 12/9/2026: the years 2025 to 2056. New Year's Day every 25 years from 2000
    // gives 2025 and 2050; 2000 and 2075 are out, as are 1/1/2057 and the timed event.
    QTest::newRow("import, saved") << three << "i:holidays.ics" << "Command1"
        << "Wed 1 Jan 2025   New Year's Day|" + listed + "|Sat 1 Jan 2050   New Year's Day|Sun 31 Dec 2056   Last"
        << "2025-01-01 New Year's Day\r\n2026-12-24\r\n2026-12-31 Eve\r\n2027-01-01 New Year\r\n2050-01-01 New Year's Day\r\n2056-12-31 Last\r\n"_ba
        << QStringList{box(import, "3 days off from holidays.ics imported, for the years 2025 to 2056. Save keeps them; import the file again for later years."), done};
    QTest::newRow("import cancelled, broken, empty; Cancel") << three << "i:|i:broken.ics|i:timed.ics" << "Command2" << listed << QByteArray()
        << QStringList{box("Error", "Error: broken.ics is not an iCalendar file: it must hold a whole calendar, from BEGIN:VCALENDAR to END:VCALENDAR.", Box::Warning),
                       box(import, "timed.ics holds no all-day events from 2025 to 2056. Nothing was imported.")};
        // clang-format on
    }

    void daysOff()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, steps);
        QFETCH(QString, button);
        QFETCH(QByteArray, written);
        QFETCH(QStringList, boxes);
        Fixture f({{DaysOff, stored}}, Replies(boxes.size(), Ok));
        auto* list = f.get<QListWidget>("lstDaysOff");
        const QByteArray timed = "BEGIN:VEVENT\r\nUID:t\r\nDTSTART:20261210T090000Z\r\n"
                                 "DTEND:20261210T100000Z\r\nSUMMARY:Meeting\r\nEND:VEVENT\r\n";
        const auto day = [](const char* uid, const char* start, const char* more) {
            return "BEGIN:VEVENT\r\nUID:" + QByteArray(uid) + "\r\nDTSTART;VALUE=DATE:" + start +
                   "\r\n" + more + "END:VEVENT\r\n";
        };
        const QMap<QString, QByteArray> calendars{
            {"holidays.ics",
             "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//T//EN\r\n" + timed +
                 day("n", "20000101",
                     "RRULE:FREQ=YEARLY;INTERVAL=25\r\nSUMMARY:New Year's Day\r\n") +
                 day("l", "20561231", "SUMMARY:Last\r\n") +
                 day("b", "20570101", "SUMMARY:Beyond\r\n") + "END:VCALENDAR\r\n"},
            {"broken.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + timed},
            {"timed.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + timed + "END:VCALENDAR\r\n"}};
        for (const QString& step : steps.split('|', Qt::SkipEmptyParts)) {
            if (step.startsWith("i:")) {
                const QString name = step.mid(2);
                QVERIFY(name.isEmpty() || put(f.path(name), calendars[name]));
                f.chooser.paths = {name.isEmpty() ? "" : f.path(name)};
                f.press("cmdImportDaysOff");
            } else if (step.startsWith('-')) { // a click, then Ctrl+clicks
                Qt::KeyboardModifiers keys;
                for (const QString& row : step.mid(1).split(','))
                    QTest::mouseClick(list->viewport(), Qt::LeftButton,
                                      std::exchange(keys, Qt::ControlModifier),
                                      list->visualItemRect(list->item(row.toInt())).center());
                f.press("cmdRemoveDayOff");
                QVERIFY(!f.get("cmdRemoveDayOff")->isEnabled()); // nothing is selected any more
            } else {
                f.get<QDateEdit>("dtDayOff")
                    ->setDate(QDate::fromString(step.mid(1, 10), Qt::ISODate));
                f.get<QLineEdit>("txtDayOffLabel")->setText(step.mid(12));
                if (step.startsWith('='))
                    QTest::keyClick(f.get("txtDayOffLabel"), Qt::Key_Return);
                else
                    f.press("cmdAddDayOff");
            }
        }
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        QTEST(texts.join('|'), "listed");
        f.tick("11111"); // Monday to Friday, so Save asks nothing about the week
        f.press(button);
        QCOMPARE(f.shown(), boxes);
        QCOMPARE(bytesOf(f.path(DaysOff)), written.isNull() ? stored : DaysOffHeader + written);
        QCOMPARE(f.dialog.isVisible(), false);
        QCOMPARE(f.saved.size(), int(button == "Command1"));
        if (!f.saved.isEmpty()) // the window gets the dates the file now holds
            QCOMPARE(std::get<3>(f.saved[0]), f.store.loadDaysOff().daysOff);
    }
};

QTEST_MAIN(TestWorkingWeekDialog)
#include "test_workingweekdialog.moc"
