#pragma once

#include <QDate>
#include <QString>

namespace taskloom {

// One run of consecutive working days of one task, with what the calendar
// files say of it.
struct CalendarEvent {
    QString subject;
    QDate startDate;
    QString startTime;
    QDate endDate;
    QString endTime;
    bool allDay = false; // the hours say when; the iCalendar file decides by them
    QString description;
    QString location;
    bool isPrivate = true;
    // Which schedule row the event belongs to (0 for the first row) and which
    // piece of that task it is (1 for the first run): the calendar UIDs and
    // the timeline need them, and the subject's " (2)" is only for reading.
    int row = 0;
    int piece = 1;

    friend bool operator==(const CalendarEvent&, const CalendarEvent&) = default;
};

} // namespace taskloom

// Made of Qt values only, so lists of them may move by plain memory copy.
Q_DECLARE_TYPEINFO(taskloom::CalendarEvent, Q_RELOCATABLE_TYPE);
