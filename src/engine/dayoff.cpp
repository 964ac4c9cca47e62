#include "dayoff.h"

#include <QSet>

#include <algorithm>

namespace taskloom {

QList<DayOff> DayOff::merged(QList<DayOff> daysOff)
{
    // Stable, so labels of one date keep the order they were given in.
    std::stable_sort(daysOff.begin(), daysOff.end(),
                     [](const DayOff& a, const DayOff& b) { return a.date < b.date; });
    QList<DayOff> result;
    result.reserve(daysOff.size());
    // The labels of one date are gathered, then joined once.
    QStringList labels;
    for (qsizetype i = 0; i < daysOff.size(); ++i) {
        const DayOff& day = daysOff.at(i);
        if (!day.date.isValid())
            continue;
        labels.append(day.label);
        if (i + 1 < daysOff.size() && daysOff.at(i + 1).date == day.date)
            continue;
        result.append({day.date, joinedLabels(labels)});
        labels.clear();
    }
    return result;
}

QString DayOff::joinedLabels(const QStringList& labels)
{
    QStringList kept;
    QSet<QString> known; // the labels kept, and each part of a joined one
    for (const QString& label : labels) {
        if (label.isEmpty() || known.contains(label))
            continue;
        kept.append(label);
        for (const QString& part : label.split(QStringLiteral(", ")))
            known.insert(part);
    }
    return kept.join(QStringLiteral(", "));
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
