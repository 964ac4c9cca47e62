#include "dayoff.h"

#include <algorithm>

namespace taskloom {

QList<DayOff> DayOff::merged(QList<DayOff> daysOff)
{
    // Stable, so labels of one date keep the order they were given in.
    std::stable_sort(daysOff.begin(), daysOff.end(),
                     [](const DayOff& a, const DayOff& b) { return a.date < b.date; });
    QList<DayOff> result;
    result.reserve(daysOff.size());
    for (DayOff& day : daysOff) {
        if (!day.date.isValid())
            continue;
        if (result.isEmpty() || result.last().date != day.date) {
            result.append(std::move(day));
            continue;
        }
        QString& label = result.last().label;
        const QStringList known = label.split(QStringLiteral(", "));
        if (day.label.isEmpty() || known.contains(day.label))
            continue;
        label = label.isEmpty() ? day.label : label + QStringLiteral(", ") + day.label;
    }
    return result;
}

QList<QDate> DayOff::datesOf(const QList<DayOff>& daysOff)
{
    QList<QDate> dates;
    dates.reserve(daysOff.size());
    for (const DayOff& day : daysOff)
        dates.append(day.date);
    return dates;
}

} // namespace taskloom
