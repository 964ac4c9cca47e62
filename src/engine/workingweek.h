#pragma once

#include <QDate>
#include <QtGlobal>

#include <array>

namespace taskloom {

// The user's working week as the settings files hold it: positions 1 to 7 are
// Monday to Sunday, position 0 is unused. A day works exactly when its flag is 1.
using WeekFlags = std::array<qint16, 8>;

// The working-day test and step over one working week. When the week does not
// apply (the "Adjust Tasks to My Working Week." box is clear) every day works.
class WorkingWeek {
public:
    WorkingWeek() = default;
    WorkingWeek(const WeekFlags& flags, bool applies);

    static WeekFlags mondayToFriday();

    bool isWorkingDay(QDate date) const;
    // True when at least one date is a working day; without one the step
    // cannot move, so callers must check this before stepping.
    bool hasWorkingDay() const;
    bool everyDayWorks() const;
    // The n-th working day after the date (before it for negative n); the
    // date itself for 0. Returns an invalid date when no day works.
    QDate addWorkingDays(QDate date, int n) const;
    // The date when it works, otherwise the next working day.
    QDate firstWorkingDayFrom(QDate date) const;

private:
    WeekFlags m_flags{};
    bool m_applies = true;
};

} // namespace taskloom
