#pragma once

#include <QDate>
#include <QString>

namespace taskloom {

// One task line as the schedule table shows it.
struct ScheduleRow {
    QString task; // "<project>: <task name>"
    QDate start;
    QDate end;
    double duration = 1;
    bool parallel = false; // a "//" line, started beside the row before it
    bool done = false;     // its dates are the ones recorded when it was marked

    friend bool operator==(const ScheduleRow&, const ScheduleRow&) = default;
};

} // namespace taskloom

// Made of Qt values only, so lists of them may move by plain memory copy.
Q_DECLARE_TYPEINFO(taskloom::ScheduleRow, Q_RELOCATABLE_TYPE);
