#include "plandocument.h"

#include "calendaritems.h"
#include "engine/schedulebuilder.h"
#include "engine/tasktext.h"
#include "export/calendarcsv.h"
#include "export/calendarics.h"
#include "export/exportstamp.h"
#include "exportcheck.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace taskloom {

namespace {

// One spelling of a file: its real path when it is there, else its clean
// absolute one.
QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : real;
}

} // namespace

void PlanDocument::setHours(QString startsAt, QString endsAt)
{
    m_settings.startsAt = std::move(startsAt);
    m_settings.endsAt = std::move(endsAt);
}

QList<Problem> PlanDocument::loadSettings(const SettingsStore& store, SettingsParts parts)
{
    QList<Problem> problems;
    if (parts.testFlag(SettingsPart::Hours)) {
        SettingsStore::HoursLoad hours = store.loadWorkingHours();
        problems += hours.problems;
        if (hours.startsAt)
            m_settings.startsAt = std::move(*hours.startsAt);
        if (hours.endsAt)
            m_settings.endsAt = std::move(*hours.endsAt);
    }
    if (parts.testFlag(SettingsPart::Week)) {
        const SettingsStore::WeekLoad week = store.loadWorkingWeek();
        problems += week.problems;
        if (week.flags)
            m_settings.week = *week.flags;
    }
    if (parts.testFlag(SettingsPart::DaysOff)) {
        SettingsStore::DaysOffLoad daysOff = store.loadDaysOff();
        problems += daysOff.problems;
        m_settings.daysOff = std::move(daysOff.daysOff);
    }
    return problems;
}

BuildInputs PlanDocument::buildInputs(const PlanChoices& choices, QDate today) const
{
    BuildInputs inputs;
    inputs.taskText = choices.taskText;
    inputs.projectName = choices.projectName;
    inputs.startOption = choices.startOption;
    inputs.pickedStartDate = choices.pickedStartDate;
    inputs.today = today;
    inputs.weekFlags = m_settings.week;
    inputs.weekApplies = choices.weekApplies;
    inputs.startsAt = m_settings.startsAt;
    inputs.endsAt = m_settings.endsAt;
    inputs.datesOff = DayOff::datesOf(m_settings.daysOff);
    // Every event has always been given this place in the calendar files.
    inputs.location = QStringLiteral("Home");
    inputs.doneTasks = m_done;
    inputs.replanDate = m_replanDate;
    inputs.keptStart = m_keptStart;
    return inputs;
}

std::optional<Problem> PlanDocument::build(const PlanChoices& choices, QDate today)
{
    const BuildInputs inputs = buildInputs(choices, today);
    BuildResult result = ScheduleBuilder::build(inputs);
    if (result.isRefusal())
        return result.refusal();
    // Days off are the ones this build skipped, not whatever the week is later.
    m_scene = TimelineScene(std::move(result.schedule()), inputs.workingWeek(), today,
                            choices.projectName);
    m_builtFrom = choices;
    m_progressSinceBuild = false;
    return std::nullopt;
}

bool PlanDocument::isBuiltFrom(const PlanChoices& choices) const
{
    return m_builtFrom && !m_progressSinceBuild && *m_builtFrom == choices;
}

void PlanDocument::clearSchedule()
{
    m_scene = {};
    m_builtFrom.reset();
}

PlanChoices PlanDocument::setDone(int row, bool done, const PlanChoices& choices, QDate today)
{
    Q_ASSERT(m_builtFrom && row >= 0 && row < schedule().rows.size());
    // Who the row's task is: its name and which task of that name it is.
    const QList<QStringView> lines = TaskText::taskLines(m_builtFrom->taskText);
    const QString name = ScheduleBuilder::progressName(TaskText::parseTaskLine(lines.at(row)).text);
    int occurrence = 0;
    for (int i = 0; i <= row; ++i)
        occurrence +=
            ScheduleBuilder::progressName(TaskText::parseTaskLine(lines.at(i)).text) == name;
    m_done.removeIf(
        [&](const DoneTask& task) { return task.name == name && task.occurrence == occurrence; });
    PlanChoices shown = choices;
    if (done) {
        const ScheduleRow& task = schedule().rows.at(row);
        const QDate lastWorked = m_scene.week().lastWorkingDayUntil(today);
        m_done.append(
            {name, occurrence, std::min(task.start, lastWorked), std::min(task.end, lastWorked)});
        if (shown.startOption == StartOption::RightAway) {
            shown.startOption = StartOption::OnPickedDate;
            shown.pickedStartDate = schedule().projectStart;
            m_keptStart = shown.pickedStartDate;
        }
    }
    m_progressSinceBuild = true; // the schedule on hand no longer shows the progress
    return shown;
}

void PlanDocument::replan(QDate today)
{
    m_replanDate = today;
    m_progressSinceBuild = true;
}

std::optional<Problem> PlanDocument::exportCheck(const QString& projectName) const
{
    return ExportCheck::of(schedule(), projectName);
}

QString PlanDocument::calendarKey(const QString& projectName) const
{
    return m_id.isEmpty() ? projectName : m_id;
}

QByteArray PlanDocument::csvText() const
{
    return CalendarCsv::toText(schedule().events).toUtf8();
}

QByteArray PlanDocument::icsText(const QString& projectName, const QDateTime& stamp) const
{
    return CalendarIcs(projectName, calendarKey(projectName), stamp).text(schedule());
}

QList<CalendarItem> PlanDocument::publishItems(const QString& projectName,
                                               const QDateTime& stamp) const
{
    return CalendarItems::of(schedule(), CalendarIcs(projectName, calendarKey(projectName), stamp));
}

std::optional<QDateTime> PlanDocument::exportStamp(const QDateTime& now)
{
    return ExportStamp::choose(qgetenv("SOURCE_DATE_EPOCH"), now);
}

bool PlanDocument::setCalendarTarget(const QString& address, const QString& user)
{
    QUrl url(address);
    QString kept = address;
    if (!url.userInfo().isEmpty()) {
        url.setUserInfo({});
        kept = url.toString();
    }
    if (kept == m_calendarUrl && user == m_calendarUser)
        return false;
    m_calendarUrl = kept;
    m_calendarUser = user;
    return true;
}

void PlanDocument::reset()
{
    m_filePath.clear();
    m_id.clear();
    m_extras = {};
    m_calendarUrl.clear();
    m_calendarUser.clear();
    m_done.clear();
    m_replanDate = {};
    m_keptStart = {};
    clearSchedule();
}

ProjectFile::Load PlanDocument::open(const QString& path)
{
    ProjectFile::Load load = ProjectFile::read(path);
    if (!load.project)
        return load;
    // A task list is not a project file: a save asks where the project goes
    // instead of writing over the list.
    m_filePath = load.tasksOnly ? QString() : QFileInfo(path).absoluteFilePath();
    m_id = load.project->id;
    m_extras = load.project->extras;
    m_calendarUrl.clear();
    m_calendarUser.clear();
    setCalendarTarget(load.project->calendarUrl, load.project->calendarUser);
    m_done = load.project->done;
    m_replanDate = load.project->replanDate;
    m_keptStart =
        load.project->startOption == StartOption::OnPickedDate ? load.project->startDate : QDate();
    return load;
}

Project PlanDocument::project(const PlanChoices& choices) const
{
    Project project;
    project.id = m_id;
    project.name = choices.projectName;
    project.tasks = TaskText::taskLineTexts(choices.taskText);
    project.startOption = choices.startOption;
    project.startDate = choices.pickedStartDate;
    project.adjustToWorkingWeek = choices.weekApplies;
    project.calendarUrl = m_calendarUrl;
    project.calendarUser = m_calendarUser;
    project.extras = m_extras;
    project.done = m_done;
    project.replanDate = m_replanDate;
    return project;
}

std::optional<QString> PlanDocument::save(const QString& path, const PlanChoices& choices)
{
    Project saved = project(choices);
    // A copy must not take the original's events along when it is published.
    if (!m_filePath.isEmpty() && canonical(path) != canonical(m_filePath))
        saved.id.clear();
    saved.makeIdIfMissing();
    if (std::optional<QString> reason = ProjectFile::write(path, saved))
        return reason;
    m_id = saved.id;
    m_filePath = QFileInfo(path).absoluteFilePath();
    if (choices.startOption == StartOption::OnPickedDate)
        m_keptStart = choices.pickedStartDate;
    return std::nullopt;
}

} // namespace taskloom
