#pragma once

#include <libical/ical.h>

#include <QDate>

namespace taskloom {

// Whole dates between Qt and libical, for the writer and the reader alike.
// Only files in this folder include it: libical stays here.
class IcalDate {
public:
    // An all-day DATE value, without zone or time.
    static icaltimetype value(QDate date)
    {
        icaltimetype value = icaltime_null_date();
        value.year = date.year();
        value.month = date.month();
        value.day = date.day();
        return value;
    }

    // The calendar date of a value; a time of day in it is ignored.
    static QDate dateOf(const icaltimetype& time) { return {time.year, time.month, time.day}; }
};

} // namespace taskloom
