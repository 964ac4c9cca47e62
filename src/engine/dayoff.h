#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace taskloom {

// One date that nobody works (a public holiday, a closure, a day of leave)
// and what the user calls it.
struct DayOff {
    QDate date;
    QString label;

    friend bool operator==(const DayOff&, const DayOff&) = default;

    // Sorted by date, each date once; labels of a date given twice are
    // joined ("Christmas Day, Office closed"), an empty one dropped.
    static QList<DayOff> merged(QList<DayOff> daysOff);
    // The labels of one date as one, in the order given: joined with ", ",
    // each once (one that is already a part of a joined label too), empty
    // ones dropped.
    static QString joinedLabels(const QStringList& labels);
    static QList<QDate> datesOf(const QList<DayOff>& daysOff);
};

} // namespace taskloom

// Made of Qt values only, so lists of them may move by plain memory copy.
Q_DECLARE_TYPEINFO(taskloom::DayOff, Q_RELOCATABLE_TYPE);
