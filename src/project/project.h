#pragma once

#include "engine/buildinputs.h"
#include "engine/donetask.h"

#include <QDate>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace taskloom {

// What a project file keeps of a plan: the name, the task lines and the two
// choices made beside them. The working week and the hours are the user's
// settings, not the project's.
struct Project {
    // A UUID made when the project is first saved and kept for ever after, so
    // that the calendar exports know the project under any name. Empty until then.
    QString id;
    QString name;
    // The task box's lines exactly as typed; no entry holds a line break.
    QStringList tasks;
    StartOption startOption = StartOption::RightAway;
    QDate startDate; // the picked date; kept only with StartOption::OnPickedDate
    bool adjustToWorkingWeek = true;
    // The CalDAV calendar the plan was last published to and the user name
    // there, offered again on the next publish; empty until then. Never the
    // password: that is for the system keychain only.
    QString calendarUrl;
    QString calendarUser;
    // Progress: the tasks marked done with their recorded dates, and the date
    // the plan was last re-planned from (unset: never).
    QList<DoneTask> done;
    QDate replanDate;
    // Keys this version does not know, written back unchanged.
    QJsonObject extras;

    // The task box's text: the lines joined by line breaks.
    QString taskText() const;

    // Gives the project its id on its first save.
    void makeIdIfMissing();

    friend bool operator==(const Project&, const Project&) = default;
};

} // namespace taskloom
