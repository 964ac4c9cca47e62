#include "plandocument.h"

#include "calendaritems.h"
#include "engine/schedulebuilder.h"
#include "engine/tasktext.h"
#include "export/calendarcsv.h"
#include "export/calendarics.h"
#include "export/exportstamp.h"
#include "exportcheck.h"
#include "settings/settingsstore.h"

#include <QFileInfo>
#include <QUrl>

namespace taskloom {

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
    return std::nullopt;
}

bool PlanDocument::isBuiltFrom(const PlanChoices& choices) const
{
    return m_builtFrom && *m_builtFrom == choices;
}

void PlanDocument::clearSchedule()
{
    m_scene = {};
    m_builtFrom.reset();
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
    return project;
}

std::optional<QString> PlanDocument::save(const QString& path, const PlanChoices& choices)
{
    Project saved = project(choices);
    saved.makeIdIfMissing();
    if (std::optional<QString> reason = ProjectFile::write(path, saved))
        return reason;
    m_id = saved.id;
    m_filePath = QFileInfo(path).absoluteFilePath();
    return std::nullopt;
}

} // namespace taskloom
