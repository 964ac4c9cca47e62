#pragma once

#include <QDate>
#include <QString>

namespace taskloom {

// One run of consecutive working days of one task, in the nine columns that
// the web calendar's CSV import takes.
struct CalendarEvent {
    QString subject;
    QDate startDate;
    QString startTime;
    QDate endDate;
    QString endTime;
    QString allDayEvent = QStringLiteral("False");
    QString description;
    QString location = QStringLiteral("Home");
    QString isPrivate = QStringLiteral("True");

    friend bool operator==(const CalendarEvent&, const CalendarEvent&) = default;
};

} // namespace taskloom

// Made of Qt values only, so lists of them may move by plain memory copy.
Q_DECLARE_TYPEINFO(taskloom::CalendarEvent, Q_RELOCATABLE_TYPE);
