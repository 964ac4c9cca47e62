#pragma once

#include "engine/buildinputs.h"
#include "engine/dayoff.h"
#include "engine/problem.h"
#include "engine/schedule.h"
#include "export/calendaritem.h"
#include "planchoices.h"
#include "project/project.h"
#include "project/projectfile.h"
#include "timelinescene.h"

#include <QByteArray>
#include <QDateTime>
#include <QFlags>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace taskloom {

class SettingsStore;

// The plan both front ends work on: the user's working settings, the
// project's identity and file, and the schedule of the last build with what
// it was built from. The five choices on screen are not kept here: the window
// and the command line hand them in at each call, so nothing is kept in step
// twice. Every rule the two front ends share lives here once; how they word
// it to the user (a message box, a line on standard error) is theirs.
class PlanDocument {
public:
    // What the build reads besides the choices: the settings files' contents.
    struct WorkingSettings {
        WeekFlags week{};
        QList<DayOff> daysOff;
        QString startsAt;
        QString endsAt;
    };
    enum class SettingsPart { Hours = 0x1, Week = 0x2, DaysOff = 0x4 };
    Q_DECLARE_FLAGS(SettingsParts, SettingsPart)

    const WorkingSettings& settings() const { return m_settings; }
    void setWeek(const WeekFlags& week) { m_settings.week = week; }
    void setDaysOff(QList<DayOff> daysOff) { m_settings.daysOff = std::move(daysOff); }
    void setHours(QString startsAt, QString endsAt);
    // Reads the parts asked for, in the order hours, week, dates off; a part
    // that cannot be read keeps what it had. The problems in the order met.
    // The hours stop at a missing start-hour file, as the window always has.
    QList<Problem> loadSettings(const SettingsStore& store, SettingsParts parts);

    // Builds from the choices and today. A refusal leaves the previous
    // schedule as it was.
    std::optional<Problem> build(const PlanChoices& choices, QDate today);
    // True when the schedule on hand was built from exactly these choices.
    bool isBuiltFrom(const PlanChoices& choices) const;
    // Nothing built: the tables empty, and the next export builds first.
    void clearSchedule();
    const Schedule& schedule() const { return m_scene.schedule(); }
    // The last build as the timeline draws it: with the week it was built over.
    const TimelineScene& timelineScene() const { return m_scene; }
    BuildInputs buildInputs(const PlanChoices& choices, QDate today) const;

    // Progress: the tasks marked done with their recorded dates, and the
    // date the plan was last re-planned from (unset: never).
    const QList<DoneTask>& doneTasks() const { return m_done; }
    QDate replanDate() const { return m_replanDate; }
    // Marks the task of a row of the last build done, or not done (several
    // marks in a row all read the last build's dates). Marking
    // records its dates as the plan shows them, except that a task finished
    // early ends today: with T the last working day up to today, its start
    // and end are at the latest T. A project that starts right away stops
    // moving with the clock: it is pinned to the date its plan starts on, and
    // the choices to show from then on come back.
    PlanChoices setDone(int row, bool done, const PlanChoices& choices, QDate today);
    // From now on every task not done starts no earlier than today.
    void replan(QDate today);

    // The checks every export and publish makes first.
    std::optional<Problem> exportCheck(const QString& projectName) const;
    // Who the project is for the calendar files: its id once it has a project
    // file, so a renamed project keeps its events; else its name.
    QString calendarKey(const QString& projectName) const;
    QByteArray csvText() const;
    QByteArray icsText(const QString& projectName, const QDateTime& stamp) const;
    // Each event alone in its own calendar, as a calendar server keeps it.
    QList<CalendarItem> publishItems(const QString& projectName, const QDateTime& stamp) const;
    // The calendar files' time of export: now, or SOURCE_DATE_EPOCH when it is
    // set, which makes them reproducible. None when it is set but unreadable.
    static std::optional<QDateTime> exportStamp(const QDateTime& now);

    // The project file on hand (absolute), empty when none.
    const QString& filePath() const { return m_filePath; }
    const QString& id() const { return m_id; }
    const QString& calendarUrl() const { return m_calendarUrl; }
    const QString& calendarUser() const { return m_calendarUser; }
    // Where the plan was last published, kept in its file. The user and
    // password of an address are never kept. True when it changed.
    bool setCalendarTarget(const QString& address, const QString& user);

    // A new project: no file, no id, no calendar, nothing built.
    void reset();
    // Reads a project file or a task list (.txt). On success the plan takes
    // the file's identity (a task list has none: it clears the id, the file
    // and the calendar) and the caller fills in the choices it gives; on
    // failure nothing changes.
    ProjectFile::Load open(const QString& path);
    // The project file's contents for these choices.
    Project project(const PlanChoices& choices) const;
    // Writes the project file. A project saved under another file than its
    // own is a copy, a project of its own: it gets a new id, so publishing it
    // leaves the original's events alone. Saved over its own file, or renamed
    // inside it, it keeps its id. On failure the system's reason, and nothing
    // changes.
    std::optional<QString> save(const QString& path, const PlanChoices& choices);

private:
    WorkingSettings m_settings;
    TimelineScene m_scene;
    std::optional<PlanChoices> m_builtFrom; // none until the first build
    bool m_progressSinceBuild = false;      // marked or re-planned since then
    QList<DoneTask> m_done;
    QDate m_replanDate;
    // The start the project file holds: a past one still builds.
    QDate m_keptStart;

    QString m_filePath;
    QString m_id;
    QJsonObject m_extras;
    QString m_calendarUrl;
    QString m_calendarUser;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(PlanDocument::SettingsParts)

} // namespace taskloom
