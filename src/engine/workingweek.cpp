#include "workingweek.h"

#include <algorithm>

namespace taskloom {

WorkingWeek::WorkingWeek(const WeekFlags& flags, bool applies, const QList<QDate>& datesOff)
    : m_flags(flags), m_applies(applies)
{
    if (!m_applies)
        return;
    m_workdaysOff.reserve(static_cast<std::size_t>(datesOff.size()));
    for (const QDate date : datesOff) {
        if (date.isValid() && isWorkingWeekday(date))
            m_workdaysOff.push_back(date.toJulianDay());
    }
    std::sort(m_workdaysOff.begin(), m_workdaysOff.end());
    m_workdaysOff.erase(std::unique(m_workdaysOff.begin(), m_workdaysOff.end()),
                        m_workdaysOff.end());
}

WeekFlags WorkingWeek::mondayToFriday()
{
    return {0, 1, 1, 1, 1, 1, 0, 0};
}

bool WorkingWeek::isWorkingWeekday(QDate date) const
{
    // QDate numbers Monday 1 to Sunday 7, the same as the flag positions.
    return m_flags[static_cast<std::size_t>(date.dayOfWeek())] == 1;
}

bool WorkingWeek::isWorkingDay(QDate date) const
{
    if (!m_applies)
        return true;
    if (!isWorkingWeekday(date))
        return false;
    return m_workdaysOff.empty() ||
           !std::binary_search(m_workdaysOff.begin(), m_workdaysOff.end(), date.toJulianDay());
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
    return m_workdaysOff.empty();
}

qint64 WorkingWeek::workdaysOffWithin(QDate first, QDate last) const
{
    const auto from =
        std::lower_bound(m_workdaysOff.begin(), m_workdaysOff.end(), first.toJulianDay());
    const auto to = std::upper_bound(from, m_workdaysOff.end(), last.toJulianDay());
    return to - from;
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
    qint64 workingPerWeek = 0;
    for (std::size_t day = 1; day <= 7; ++day)
        workingPerWeek += m_flags[day] == 1 ? 1 : 0;

    // Whole weeks hold the same number of working weekdays whatever their
    // first day, so jump over them, give back the dates off the jump passed
    // and jump again while more than a week's worth is left; then walk the
    // rest. Only a jump that passed dates off leaves that much, and there are
    // finitely many, so the loop ends.
    qint64 remaining = n > 0 ? n : -static_cast<qint64>(n);
    while (remaining > workingPerWeek) {
        const qint64 wholeWeeks = (remaining - 1) / workingPerWeek;
        const QDate landing = date.addDays(wholeWeeks * 7 * step);
        remaining -= wholeWeeks * workingPerWeek;
        if (!m_workdaysOff.empty())
            remaining += step > 0 ? workdaysOffWithin(date.addDays(1), landing)
                                  : workdaysOffWithin(landing, date.addDays(-1));
        date = landing;
    }
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

QDate WorkingWeek::lastWorkingDayUntil(QDate date) const
{
    return isWorkingDay(date) ? date : addWorkingDays(date, -1);
}

int WorkingWeek::workingRunLength(QDate date, int limit) const
{
    if (limit <= 0)
        return 0;
    qint64 run = limit;
    if (!everyDayWorks()) {
        // A weekday off ends the run within a week, unless all seven work.
        qint64 weekdayRun = 0;
        while (weekdayRun < 7 && isWorkingWeekday(date.addDays(weekdayRun)))
            ++weekdayRun;
        if (weekdayRun < 7)
            run = std::min(run, weekdayRun);
        // The first date off on or after the date ends it too.
        const auto next =
            std::lower_bound(m_workdaysOff.begin(), m_workdaysOff.end(), date.toJulianDay());
        if (next != m_workdaysOff.end())
            run = std::min(run, *next - date.toJulianDay());
    }
    return static_cast<int>(run);
}

} // namespace taskloom
