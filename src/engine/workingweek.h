#pragma once

#include <QDate>
#include <QList>
#include <QtGlobal>

#include <array>
#include <vector>

namespace taskloom {

// The user's working week as the settings files hold it: positions 1 to 7 are
// Monday to Sunday, position 0 is unused. A day works exactly when its flag is 1.
using WeekFlags = std::array<qint16, 8>;

// The working-day test and step over one working week and the user's dates
// off: a day works when its weekday does and it is not a date off. When the
// week does not apply (the "Adjust Tasks to My Working Week." box is clear)
// every day works, dates off included.
class WorkingWeek {
public:
    WorkingWeek() = default;
    // The dates off may come in any order and more than once.
    WorkingWeek(const WeekFlags& flags, bool applies, const QList<QDate>& datesOff = {});

    static WeekFlags mondayToFriday();

    bool isWorkingDay(QDate date) const;
    // True when at least one weekday works (dates off are finite, so some
    // date then works too); without one the step cannot move, so callers must
    // check this before stepping.
    bool hasWorkingDay() const;
    bool everyDayWorks() const;
    // The n-th working day after the date (before it for negative n); the
    // date itself for 0. Returns an invalid date when no day works.
    QDate addWorkingDays(QDate date, int n) const;
    // The date when it works, otherwise the next working day.
    QDate firstWorkingDayFrom(QDate date) const;
    // The date when it works, otherwise the working day before it.
    QDate lastWorkingDayUntil(QDate date) const;
    // How many days in a row work from the date on, the date included, at
    // most limit: 0 when the date itself is a day off. The event placement
    // measures runs with it instead of testing day by day.
    int workingRunLength(QDate date, int limit) const;

private:
    bool isWorkingWeekday(QDate date) const;
    // How many dates off fall on working weekdays from first to last, both included.
    qint64 workdaysOffWithin(QDate first, QDate last) const;

    WeekFlags m_flags{};
    bool m_applies = true;
    // Julian day numbers of the dates off that fall on working weekdays,
    // sorted, each once: the others change nothing.
    std::vector<qint64> m_workdaysOff;
};

} // namespace taskloom
