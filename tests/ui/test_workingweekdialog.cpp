// The Working Week dialog as Settings opens it, worked step by step (see Script).
#include "planner.h"
#include "settings/settingsstore.h"

using namespace taskloom;
using namespace taskloom::test;

class TestWorkingWeekDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale::c()); }
    // The shipped hours, a week of Saturday and Sunday, 7:00 AM to 3:00 PM and no dates off,
    // then the files a row gives; Settings opened, the hours it shows, the steps in it, and
    // what the files hold after. Steps of its own: "remove 0,2" selects those rows of the
    // dates off and presses Remove; "list" shows the dates off listed.
    void steps_data()
    {
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("result");
        const QString three = "|put daysoff.txt=2026-12-31 Eve\n2026-12-24\n2027-01-01 New Year\n",
                      listed = "Thu 24 Dec 2026|Thu 31 Dec 2026   Eve|Fri 1 Jan 2027   New Year\n",
                      seven = "7:00 AM\n3:00 PM\n", done = "Done | Done!\n",
                      kept = "kept 0000011 7:00 AM-3:00 PM",
                      ask =
                          "Important  | Your working week has %1 working days. For a better "
                          "software performance is recommended to increase "
                          "this value to 4 (min.). Save your changes anyway? | Yes No, Enter Yes\n",
                      imported = "Import Days Off | %1 from %2 imported, for the years 2025 to "
                                 "2056. Save keeps them; import the file again for later years.\n",
                      day = "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:%1\r\nSUMMARY:%2\r\nEND:VEVENT\r\n",
                      timed = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:"
                              "20261210T090000Z\r\nDTEND:20261210T100000Z\r\nEND:VEVENT\r\n",
                      calendars = "|put one.ics=BEGIN:VCALENDAR\r\n" +
                                  day.arg("20250101", "New Year's Day") +
                                  "END:VCALENDAR\r\n|put holidays.ics=" + timed +
                                  day.arg("20270101", "New Year") + day.arg("20561231", "Last") +
                                  "END:VCALENDAR\r\n|put broken.ics=" + timed +
                                  "|put timed.ics=" + timed + "END:VCALENDAR\r\n";
        // clang-format off
        QTest::newRow("same position") << "" << "text lblSettingsFolder|days 1111100|set cboEndsAt 7:00 AM|click Command1|boxes|close"
            << seven + "Saved in <dir>\nError | Your 'Ends At' Hour should be higher.\nfrmWorkingWeek closed\n" + kept;
        QTest::newRow("one later") << "" << "days 1111100|set cboEndsAt 7:30 AM|click Command1|boxes" << seven + done + "kept 1111100 7:00 AM-7:30 AM";
        QTest::newRow("all clear") << "" << "days 0000000|click Command1|boxes|close" << seven + "Error | Please select 1 or more working days (for a better "
            "software performance we recommend to select 4 at least).\nfrmWorkingWeek closed\n" + kept;
        // The messages name 1 and 4: one day goes through with the question, four without.
        QTest::newRow("one, Yes") << "" << "days 0000001|click Command1|boxes" << seven + ask.arg(1) + done + "kept 0000001 7:00 AM-3:00 PM";
        QTest::newRow("three, No") << "" << "days 1010100|answer No|click Command1|boxes|close" << seven + ask.arg(3) + "frmWorkingWeek closed\n" + kept;
        QTest::newRow("four") << "" << "days 0111100|click Command1|boxes" << seven + done + "kept 0111100 7:00 AM-3:00 PM";
        QTest::newRow("no hours.txt") << "|rm hours.txt" << "boxes|days 1111100|click Command1|boxes|close" << "\n\nError | Error: hours.txt file not found. "
            "Please reinstall the software. | Warning\nError | Your 'Ends At' Hour should be higher.\nfrmWorkingWeek closed\n" + kept;
        // A folder in the week file's place: refused before any of the files is replaced.
        QTest::newRow("week file unwritable") << "" << "days 1111100|set cboEndsAt 7:30 AM|rm workingweek.txt|mkdir workingweek.txt|click Command1|boxes|close"
            << seven + "Error | Error: workingweek.txt could not be saved to <dir>/workingweek.txt (It is a folder, not a file; please move it away). "
               "Your working week was not changed. | Warning\nfrmWorkingWeek closed\nkept 0000000 7:00 AM-3:00 PM";
        // 2 shows greyed and goes back as 2; 5 has no box state and shows clear.
        QTest::newRow("flag 2") << "|put workingweek.txt=1\r\n2\r\n1\r\n1\r\n1\r\n0\r\n5\r\n" << "click Command1|boxes" << seven + done + "kept 1211100 7:00 AM-3:00 PM";
        // Preselection: "11:00 AM" contains the earlier "1:00 AM"; a line break is no part of it; no match picks
        // the last.
        QTest::newRow("shipped, 11:00 AM") << "|put workingday_starts_at.txt=11:00 AM|put workingday_ends_at.txt=11:00 AM\r\n" << "close" << "11:00 AM\n11:00 AM\nfrmWorkingWeek closed\nkept 0000011 11:00 AM-11:00 AM";
        QTest::newRow("1 and 12: 11 picks 1") << "|put hours.txt=1\r\n12\r\n|put workingday_starts_at.txt=11|put workingday_ends_at.txt=12" << "close" << "1\n12\nfrmWorkingWeek closed\nkept 0000011 11-12";
        QTest::newRow("no match") << "|put hours.txt=1\r\n12\r\n|put workingday_starts_at.txt=7|put workingday_ends_at.txt=7" << "close" << "12\n12\nfrmWorkingWeek closed\nkept 0000011 7-7";
        // In American English the short date ("M/d/yy") shows the whole year.
        QTest::newRow("add to none, sorted, Enter adds") << "|locale en_US" << "days 1111100|set dtDayOff 2026-12-25|set txtDayOffLabel Christmas Day|click cmdAddDayOff|"
            "set dtDayOff 2026-12-24|text dtDayOff|set txtDayOffLabel   Eve  |keys txtDayOffLabel Return|list|click Command1|boxes"
            << seven + "12/24/2026\nThu 12/24/2026   Eve|Fri 12/25/2026   Christmas Day\n" + done + "kept 1111100 7:00 AM-3:00 PM 2026-12-24 Eve 2026-12-25 Christmas Day";
        QTest::newRow("a listed date takes the new label") << three << "days 1111100|set dtDayOff 2026-12-31|set txtDayOffLabel Office closed|click cmdAddDayOff|"
            "list|click Command1|boxes" << seven + "Thu 24 Dec 2026|Thu 31 Dec 2026   Office closed|Fri 1 Jan 2027   New Year\n" + done +
            "kept 1111100 7:00 AM-3:00 PM 2026-12-24  2026-12-31 Office closed 2027-01-01 New Year";
        QTest::newRow("remove two") << three << "days 1111100|remove 0,2|list|click Command1|boxes" << seven + "Thu 31 Dec 2026   Eve\n" + done + "kept 1111100 "
            "7:00 AM-3:00 PM 2026-12-31 Eve";
        QTest::newRow("Cancel") << three << "set dtDayOff 2027-01-04|click cmdAddDayOff|remove 0,1|list|click Command2" << seven + "Fri 1 Jan 2027   New Year|"
            "Mon 4 Jan 2027\nkept 0000011 7:00 AM-3:00 PM 2026-12-24  2026-12-31 Eve 2027-01-01 New Year";
        // Today is 12/9/2026: the years 2025 to 2056. A date listed already is not listed twice.
        QTest::newRow("import two files, saved") << three + calendars << "days 1111100|choose one.ics|click cmdImportDaysOff|choose holidays.ics|"
            "click cmdImportDaysOff|boxes|list|click Command1|boxes" << seven + imported.arg("1 day off", "one.ics") + imported.arg("2 days off", "holidays.ics") +
            "Wed 1 Jan 2025   New Year's Day|" + listed.chopped(1) + "|Sun 31 Dec 2056   Last\n" + done + "kept 1111100 7:00 AM-3:00 PM 2025-01-01 New Year's "
            "Day 2026-12-24  2026-12-31 Eve 2027-01-01 New Year 2056-12-31 Last";
        QTest::newRow("import cancelled, broken, empty") << three + calendars << "choose |click cmdImportDaysOff|choose broken.ics|click cmdImportDaysOff|"
            "choose timed.ics|click cmdImportDaysOff|boxes|list|close" << seven + "Error | Error: broken.ics is not an iCalendar file: it must hold a whole "
            "calendar, from BEGIN:VCALENDAR to END:VCALENDAR. | Warning\nImport Days Off | timed.ics holds no all-day events from 2025 to 2056. Nothing was "
            "imported.\n" + listed + "frmWorkingWeek closed\nkept 0000011 7:00 AM-3:00 PM 2026-12-24  2026-12-31 Eve 2027-01-01 New Year";
        // clang-format on
    }
    void steps()
    {
        const ShippedFolder folder;
        Script script{folder.path()};
        const SettingsStore store(folder.path());
        script.more = [&](Text step) -> QString {
            auto* list = static_cast<QListWidget*>(script.find("lstDaysOff"));
            QStringList texts;
            for (int row = 0; row < list->count(); ++row)
                texts << list->item(row)->text();
            if (step == "list")
                return texts.join('|');
            list->clearSelection();
            for (const QString& row : step.section(' ', 1).split(','))
                list->item(row.toInt())->setSelected(true);
            QTest::mouseClick(script.find("cmdRemoveDayOff"), Qt::LeftButton);
            return {};
        };
        QFETCH(QString, files);
        QFETCH(QString, steps);
        QString result = script.run(
            "put workingweek.txt=0\n0\n0\n0\n0\n1\n1\n|put workingday_starts_at.txt=7:00 AM|put "
            "workingday_ends_at.txt=3:00 PM\r\n" +
            files + "|click lblSetWorkingDays|text cboStartsAt|text cboEndsAt|" + steps);
        QString kept = "kept ";
        for (std::size_t day = 1; day <= 7; ++day)
            kept += QString::number(store.loadWorkingWeek().flags.value_or(WeekFlags{}).at(day));
        const auto hours = store.loadHourLists();
        kept += ' ' + SettingsStore::hourText(hours.storedStartsAt.value_or("")) + '-' +
                SettingsStore::hourText(hours.storedEndsAt.value_or(""));
        for (const DayOff& day : store.loadDaysOff().daysOff)
            kept += ' ' + day.date.toString(Qt::ISODate) + ' ' + day.label;
        QTEST(result + '\n' + kept, "result");
    }
};

QTEST_MAIN(TestWorkingWeekDialog)
#include "test_workingweekdialog.moc"
