#pragma once

#include <QDate>
#include <QString>
#include <QTime>

namespace taskloom {

// One event as a calendar file holds it, in plain Qt values: either the same
// hours on each of a run of days, or the run's whole days.
struct IcsEvent {
    QString uid;
    QString summary;
    QString description; // left out of the file when empty
    QString location;    // left out of the file when empty
    bool isPrivate = false;
    QDate firstDay;
    int dayCount = 1; // consecutive days, the first one included
    // The hours of each day in local time wherever the reader is; without
    // two valid times, the end after the start, the days are whole days.
    QTime from;
    QTime to;

    bool isTimed() const { return from.isValid() && to.isValid() && from < to; }
};

} // namespace taskloom
