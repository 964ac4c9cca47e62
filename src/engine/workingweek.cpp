#include "workingweek.h"

namespace taskloom {

WorkingWeek::WorkingWeek(const WeekFlags& flags, bool applies) : m_flags(flags), m_applies(applies)
{
}

WeekFlags WorkingWeek::mondayToFriday()
{
    return {0, 1, 1, 1, 1, 1, 0, 0};
}

bool WorkingWeek::isWorkingDay(QDate date) const
{
    if (!m_applies)
        return true;
    // QDate numbers Monday 1 to Sunday 7, the same as the flag positions.
    return m_flags[static_cast<std::size_t>(date.dayOfWeek())] == 1;
}

bool WorkingWeek::hasWorkingDay() const
{
    if (!m_applies)
        return true;
    for (std::size_t day = 1; day <= 7; ++day) {
        if (m_flags[day] == 1)
            return true;
    }
    return false;
}

bool WorkingWeek::everyDayWorks() const
{
    if (!m_applies)
        return true;
    for (std::size_t day = 1; day <= 7; ++day) {
        if (m_flags[day] != 1)
            return false;
    }
    return true;
}

QDate WorkingWeek::addWorkingDays(QDate date, int n) const
{
    if (n == 0)
        return date;
    if (!hasWorkingDay())
        return {};
    if (!m_applies)
        return date.addDays(n);

    const int step = n > 0 ? 1 : -1;
    int workingPerWeek = 0;
    for (std::size_t day = 1; day <= 7; ++day)
        workingPerWeek += m_flags[day] == 1 ? 1 : 0;

    // Whole weeks hold the same number of working days whatever their first
    // day, so jump over them and walk only the last partial week.
    int remaining = n > 0 ? n : -n;
    const int wholeWeeks = (remaining - 1) / workingPerWeek;
    date = date.addDays(static_cast<qint64>(wholeWeeks) * 7 * step);
    remaining -= wholeWeeks * workingPerWeek;
    while (remaining > 0) {
        date = date.addDays(step);
        if (isWorkingDay(date))
            --remaining;
    }
    return date;
}

QDate WorkingWeek::firstWorkingDayFrom(QDate date) const
{
    return isWorkingDay(date) ? date : addWorkingDays(date, 1);
}

} // namespace taskloom
