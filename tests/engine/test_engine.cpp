#include "engine/schedulebuilder.h"
#include "engine/tasktext.h"
#include "engine/workingweek.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace taskloom;

namespace {

// A fixed Monday; the tests never look at the real calendar.
const QDate Monday(2026, 12, 7);

WeekFlags weekOf(const char* days) // "1111100", Monday first
{
    WeekFlags flags{};
    for (std::size_t i = 0; i < 7; ++i)
        flags[i + 1] = static_cast<qint16>(days[i] - '0');
    return flags;
}

BuildInputs inputs(const QString& text, QDate today = Monday)
{
    BuildInputs in;
    in.taskText = text;
    in.projectName = QStringLiteral("P");
    in.today = today;
    in.pickedStartDate = today;
    in.weekFlags = WorkingWeek::mondayToFriday();
    in.startsAt = QStringLiteral("9:00 AM");
    in.endsAt = QStringLiteral("6:00 PM");
    return in;
}

Schedule built(const BuildInputs& in)
{
    const BuildResult result = ScheduleBuilder::build(in);
    if (result.isRefusal())
        qWarning() << "refused:" << result.refusal().text;
    return result.isRefusal() ? Schedule{} : result.schedule();
}

} // namespace

class TestEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parseTaskLine_data();
    void parseTaskLine();
    void readLeadingNumber_data();
    void readLeadingNumber();
    void splitLines_data();
    void splitLines();
    void roundHalfEven_data();
    void roundHalfEven();
    void addWorkingDays_data();
    void addWorkingDays();
    void isWorkingDayFlags();
    void chaining_data();
    void chaining();
    void calendarEvents_data();
    void calendarEvents();
    void parallelFirstLineOnEveryBuild();
    void projectStart_data();
    void projectStart();
    void refusals_data();
    void refusals();
    void noWorkingDayProjectStartDoesNotHang();
    void datesKeepTheirCentury();
};

void TestEngine::parseTaskLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("duration");
    QTest::newRow("days") << "Write report +3 days"
                          << "Write report " << 3.0;
    QTest::newRow("glued Days") << "Write report+3Days"
                                << "Write report" << 3.0;
    QTest::newRow("no plus") << "Call Bob"
                             << "Call Bob" << 1.0;
    QTest::newRow("DAYS") << "Review + 2 DAYS"
                          << "Review " << 2.0;
    QTest::newRow("Day") << "Test +1 Day"
                         << "Test " << 1.0;
    QTest::newRow("zero") << "Plan +0"
                          << "Plan " << 1.0;
    QTest::newRow("fraction") << "Outline +2.5 days"
                              << "Outline " << 2.5;
    QTest::newRow("parallel") << "//Print flyers +2"
                              << "//Print flyers " << 2.0;
    QTest::newRow("words") << "Budget +two days"
                           << "Budget " << 1.0;
    QTest::newRow("second plus") << "A +3 days +2"
                                 << "A " << 3.0;
    QTest::newRow("empty") << ""
                           << "" << 1.0;
    QTest::newRow("no digits") << "Soon +soon"
                               << "Soon " << 1.0;
    QTest::newRow("negative") << "Undo +-2"
                              << "Undo " << -2.0;
    QTest::newRow("other word") << "Tag +3 Tage"
                                << "Tag " << 3.0;
    QTest::newRow("blanks inside") << "Gap + 1 2 days"
                                   << "Gap " << 12.0;
}

void TestEngine::parseTaskLine()
{
    QFETCH(QString, line);
    QFETCH(QString, text);
    QFETCH(double, duration);
    const TaskLine parsed = TaskText::ParseTaskLine(line);
    QCOMPARE(parsed.text, text);
    QCOMPARE(parsed.duration, duration);
}

void TestEngine::readLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("sign and blanks") << " - 2.5x" << -2.5;
    QTest::newRow("plus sign") << "+4" << 4.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("exponent") << "1e2days" << 100.0;
    QTest::newRow("dangling exponent") << "3e" << 3.0;
    QTest::newRow("comma stops") << "2,5" << 2.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("hex") << "&H1F" << 31.0;
    QTest::newRow("octal") << "&o17" << 15.0;
    QTest::newRow("tab and newline skipped") << "\t1\n0" << 10.0;
    QTest::newRow("nothing") << "abc" << 0.0;
    QTest::newRow("tiny") << "1e-999" << 0.0;
}

void TestEngine::readLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(TaskText::readLeadingNumber(text), value);
}

void TestEngine::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty box") << "" << QStringList{};
    QTest::newRow("CR LF") << "A\r\nB" << QStringList{"A", "B"};
    QTest::newRow("LF") << "A\nB" << QStringList{"A", "B"};
    QTest::newRow("CR") << "A\rB" << QStringList{"A", "B"};
    QTest::newRow("final break adds nothing") << "A\nB\n" << QStringList{"A", "B"};
    QTest::newRow("final CR LF adds nothing") << "A\r\n" << QStringList{"A"};
    QTest::newRow("empty line between") << "A\n\nB" << QStringList{"A", "", "B"};
    QTest::newRow("lone break is one empty task") << "\n" << QStringList{""};
    QTest::newRow("mixed") << "A\r\nB\rC\nD" << QStringList{"A", "B", "C", "D"};
}

void TestEngine::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(TaskText::splitLines(text), lines);
}

void TestEngine::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("3.5") << 3.5 << 4.0;
    QTest::newRow("-0.5") << -0.5 << 0.0;
    QTest::newRow("-1.5") << -1.5 << -2.0;
    QTest::newRow("1.4") << 1.4 << 1.0;
    QTest::newRow("1.6") << 1.6 << 2.0;
}

void TestEngine::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(ScheduleBuilder::roundHalfEven(value), rounded);
}

void TestEngine::addWorkingDays_data()
{
    QTest::addColumn<QString>("week");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("n");
    QTest::addColumn<QDate>("expected");
    const QDate friday = Monday.addDays(4);
    const QDate saturday = Monday.addDays(5);
    QTest::newRow("Friday +1") << "1111100" << true << friday << 1 << Monday.addDays(7);
    QTest::newRow("Saturday +1") << "1111100" << true << saturday << 1 << Monday.addDays(7);
    QTest::newRow("Monday -1") << "1111100" << true << Monday << -1 << Monday.addDays(-3);
    QTest::newRow("Saturday +0") << "1111100" << true << saturday << 0 << saturday;
    QTest::newRow("Wednesday +4") << "1111100" << true << Monday.addDays(2) << 4
                                  << Monday.addDays(8);
    QTest::newRow("only Wednesday, Monday +2")
        << "0010000" << true << Monday << 2 << Monday.addDays(9);
    QTest::newRow("week off, +10 calendar days")
        << "0000000" << false << saturday << 10 << saturday.addDays(10);
    QTest::newRow("many weeks forward") << "1111100" << true << Monday << 25 << Monday.addDays(35);
    QTest::newRow("many weeks back") << "1111100" << true << Monday << -25 << Monday.addDays(-35);
    QTest::newRow("one day a week, far")
        << "0000001" << true << Monday << 10000 << Monday.addDays(6 + 9999 * 7);
    QTest::newRow("flags 2 and -1 are days off")
        << "1200000" << true << Monday << 1 << Monday.addDays(7);
}

void TestEngine::addWorkingDays()
{
    QFETCH(QString, week);
    QFETCH(bool, applies);
    QFETCH(QDate, from);
    QFETCH(int, n);
    QFETCH(QDate, expected);
    const WorkingWeek ww(weekOf(week.toLatin1().constData()), applies);
    QCOMPARE(ww.AddWorkingDays(from, n), expected);
}

void TestEngine::isWorkingDayFlags()
{
    WeekFlags flags = WorkingWeek::mondayToFriday();
    flags[2] = -1; // Tuesday
    flags[3] = 2;  // Wednesday
    const WorkingWeek week(flags, true);
    const bool expected[] = {true, false, false, true, true, false, false};
    for (int i = 0; i < 7; ++i) {
        for (int w = 0; w < 3; ++w)
            QCOMPARE(week.IsWorkingDay(Monday.addDays(i + 7 * w)), expected[i]);
    }
    const WorkingWeek off(WeekFlags{}, false);
    QVERIFY(off.IsWorkingDay(Monday.addDays(5)));
}

void TestEngine::chaining_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<QList<QDate>>("dates"); // start, end per row
    const QDate m = Monday;
    QTest::newRow("A B C")
        << "A +3\nB +2\nC" << true
        << QList<QDate>{m, m.addDays(2), m.addDays(3), m.addDays(4), m.addDays(7), m.addDays(7)};
    QTest::newRow("parallel B") << "A +3\n//B +1\nC +2" << true
                                << QList<QDate>{m, m.addDays(2), m, m, m.addDays(1), m.addDays(2)};
    QTest::newRow("halves")
        << "A +2.5\nB +3.5\nC +4.5" << true
        << QList<QDate>{m, m.addDays(2), m.addDays(3), m.addDays(7), m.addDays(8), m.addDays(14)};
    QTest::newRow("negative") << "A +-2\nB" << true
                              << QList<QDate>{m, m.addDays(-5), m.addDays(-4), m.addDays(-4)};
    QTest::newRow("weekends worked")
        << "A +6\nB" << false << QList<QDate>{m, m.addDays(5), m.addDays(6), m.addDays(6)};
    QTest::newRow("empty line is a task")
        << "A\n\nB" << true
        << QList<QDate>{m, m, m.addDays(1), m.addDays(1), m.addDays(2), m.addDays(2)};
}

void TestEngine::chaining()
{
    QFETCH(QString, text);
    QFETCH(bool, applies);
    QFETCH(QList<QDate>, dates);
    BuildInputs in = inputs(text);
    in.weekApplies = applies;
    const Schedule schedule = built(in);
    QCOMPARE(schedule.rows.size(), dates.size() / 2);
    for (qsizetype i = 0; i < schedule.rows.size(); ++i) {
        QCOMPARE(schedule.rows.at(i).start, dates.at(2 * i));
        QCOMPARE(schedule.rows.at(i).end, dates.at(2 * i + 1));
    }
}

void TestEngine::calendarEvents_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("week");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QStringList>("subjects");
    QTest::addColumn<QList<QDate>>("dates");
    const QDate m = Monday;
    QTest::newRow("Wednesday 7 days")
        << "Paint +7"
        << "1111100" << m.addDays(2) << QStringList{"P: Paint ", "P: Paint  (2)"}
        << QList<QDate>{m.addDays(2), m.addDays(4), m.addDays(7), m.addDays(10)};
    QTest::newRow("Mon Tue Thu Fri")
        << "Five +5"
        << "1101100" << m << QStringList{"P: Five ", "P: Five  (2)", "P: Five  (3)"}
        << QList<QDate>{m, m.addDays(1), m.addDays(3), m.addDays(4), m.addDays(7), m.addDays(7)};
    QTest::newRow("one day") << "One"
                             << "1111100" << m << QStringList{"P: One"} << QList<QDate>{m, m};
    QTest::newRow("fraction uses whole days")
        << "Half +2.5"
        << "1111100" << m << QStringList{"P: Half "} << QList<QDate>{m, m.addDays(1)};
    QTest::newRow("below one day gives none") << "Tiny +0.5"
                                              << "1111100" << m << QStringList{} << QList<QDate>{};
    QTest::newRow("negative gives none") << "Back +-2"
                                         << "1111100" << m << QStringList{} << QList<QDate>{};
    QTest::newRow("parallel drops slashes")
        << "A +2\n//B"
        << "1111100" << m << QStringList{"P: A ", "P: B"} << QList<QDate>{m, m.addDays(1), m, m};
}

void TestEngine::calendarEvents()
{
    QFETCH(QString, text);
    QFETCH(QString, week);
    QFETCH(QDate, start);
    QFETCH(QStringList, subjects);
    QFETCH(QList<QDate>, dates);
    BuildInputs in = inputs(text);
    in.weekFlags = weekOf(week.toLatin1().constData());
    in.startOption = StartOption::OnPickedDate;
    in.pickedStartDate = start;
    const Schedule schedule = built(in);
    QCOMPARE(schedule.events.size(), subjects.size());
    for (qsizetype i = 0; i < subjects.size(); ++i) {
        const CalendarEvent& event = schedule.events.at(i);
        QCOMPARE(event.subject, subjects.at(i));
        QCOMPARE(event.startDate, dates.at(2 * i));
        QCOMPARE(event.endDate, dates.at(2 * i + 1));
        QCOMPARE(event.startTime, QStringLiteral("9:00 AM"));
        QCOMPARE(event.endTime, QStringLiteral("6:00 PM"));
        QVERIFY(subjects.at(i).startsWith(QStringLiteral("P: ") + event.description));
        QCOMPARE(event.allDayEvent, QStringLiteral("False"));
        QCOMPARE(event.location, QStringLiteral("Home"));
        QCOMPARE(event.isPrivate, QStringLiteral("True"));
    }
}

void TestEngine::parallelFirstLineOnEveryBuild()
{
    // The same input gives the same events on the first build and any later one.
    const BuildInputs in = inputs(QStringLiteral("//First +2\nSecond"));
    const Schedule first = built(in);
    const Schedule second = built(in);
    QCOMPARE(first.events, second.events);
    QCOMPARE(first.rows, second.rows);
    QCOMPARE(first.rows.at(0).task, QStringLiteral("P: First "));
    QCOMPARE(first.events.at(0).description, QStringLiteral("First "));
    QCOMPARE(first.rows.at(0).start, Monday);
}

void TestEngine::projectStart_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("picked");
    QTest::addColumn<QDate>("expected");
    const QDate saturday = Monday.addDays(5);
    QTest::newRow("right away on a weekend") << 0 << saturday << Monday << Monday.addDays(7);
    QTest::newRow("picked today") << 1 << Monday << Monday << Monday;
    QTest::newRow("picked Sunday") << 1 << Monday << Monday.addDays(6) << Monday.addDays(7);
    QTest::newRow("right away ignores an old pick") << 0 << Monday << Monday.addDays(-30) << Monday;
    QTest::newRow("picked past") << 1 << Monday << Monday.addDays(-1) << QDate();
}

void TestEngine::projectStart()
{
    QFETCH(int, option);
    QFETCH(QDate, today);
    QFETCH(QDate, picked);
    QFETCH(QDate, expected);
    const WorkingWeek week(WorkingWeek::mondayToFriday(), true);
    const auto start =
        ScheduleBuilder::SetProjectStart(static_cast<StartOption>(option), picked, today, week);
    QCOMPARE(start.value_or(QDate()), expected);
}

void TestEngine::refusals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("week");
    QTest::addColumn<int>("option");
    QTest::addColumn<QDate>("picked");
    QTest::addColumn<QString>("message");
    QTest::newRow("past date") << "A"
                               << "1111100" << 1 << Monday.addDays(-1)
                               << "Your project is set to start on a past date. Please fix this.";
    QTest::newRow("no working day")
        << "A"
        << "0000000" << 0 << Monday << ScheduleBuilder::noWorkingDayRefusal().text;
    QTest::newRow("flags of 2 only")
        << "A"
        << "2222222" << 0 << Monday << ScheduleBuilder::noWorkingDayRefusal().text;
    QTest::newRow("billion days") << "A\nB +1e9"
                                  << "1111100" << 0 << Monday
                                  << ScheduleBuilder::durationRefusal(2, "B +1e9").text;
    QTest::newRow("infinite") << "A +1e999"
                              << "1111100" << 0 << Monday
                              << ScheduleBuilder::durationRefusal(1, "A +1e999").text;
    QTest::newRow("just above") << "A +10001"
                                << "1111100" << 0 << Monday
                                << ScheduleBuilder::durationRefusal(1, "A +10001").text;
    QTest::newRow("just below") << "A +-10000\nB +-10001"
                                << "1111100" << 0 << Monday
                                << ScheduleBuilder::durationRefusal(2, "B +-10001").text;
    QTest::newRow("huge digits")
        << "A +" + QString(400, u'9') << "1111100" << 0 << Monday
        << ScheduleBuilder::durationRefusal(1, "A +" + QString(400, u'9')).text;
}

void TestEngine::refusals()
{
    QFETCH(QString, text);
    QFETCH(QString, week);
    QFETCH(int, option);
    QFETCH(QDate, picked);
    QFETCH(QString, message);
    BuildInputs in = inputs(text);
    in.weekFlags = weekOf(week.toLatin1().constData());
    in.startOption = static_cast<StartOption>(option);
    in.pickedStartDate = picked;
    const BuildResult result = ScheduleBuilder::build(in);
    QVERIFY(result.isRefusal());
    QCOMPARE(result.refusal().title, QStringLiteral("Ooops!"));
    QCOMPARE(result.refusal().text, message);
    QVERIFY(message.contains(QStringLiteral("ast date")) ||
            message.contains(QStringLiteral("Settings")) ||
            message.contains(QStringLiteral("Line ")));
}

void TestEngine::noWorkingDayProjectStartDoesNotHang()
{
    const WorkingWeek week(WeekFlags{}, true);
    QVERIFY(!ScheduleBuilder::SetProjectStart(StartOption::RightAway, Monday, Monday, week));
    QVERIFY(!week.AddWorkingDays(Monday, 3).isValid());
    // The limits themselves still build, far ahead and far back.
    const Schedule edge = built(inputs(QStringLiteral("A +10000\nB +-10000")));
    QCOMPARE(edge.rows.size(), 2);
    QCOMPARE(edge.events.size(), 2000);
}

void TestEngine::datesKeepTheirCentury()
{
    // Dates stay dates from start to end: a project in 2026 ends in 2027, not 1927.
    BuildInputs in = inputs(QStringLiteral("Long +30"), QDate(2026, 12, 21));
    const Schedule schedule = built(in);
    QCOMPARE(schedule.rows.at(0).end, QDate(2027, 1, 29));
    QCOMPARE(schedule.events.last().endDate.year(), 2027);
}

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
