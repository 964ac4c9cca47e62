#include "commandlineplanner.h"

#include "caldav/calendaraddress.h"
#include "caldav/keychainpasswordstore.h"
#include "commandlinepublish.h"
#include "engine/tasktext.h"
#include "files/atomicfile.h"
#include "plan/daysofffile.h"
#include "project/projectfile.h"
#include "settings/settingsstore.h"
#include "timeline/timelinepicture.h"
#include "timeline/timelinestyle.h"

#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <variant>

namespace taskloom {

namespace {

const QString Program = QStringLiteral("taskloom-cli");

} // namespace

CommandLinePlanner::CommandLinePlanner(AppFolders folders) : m_folders(std::move(folders))
{
    m_out.open(stdout, QIODevice::WriteOnly);
    m_err.open(stderr, QIODevice::WriteOnly);
}

bool CommandLinePlanner::drawsChart(int argc, const char* const* argv)
{
    const std::size_t length = std::strlen("--chart");
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--") == 0)
            return false;
        if (std::strncmp(argument, "--chart", length) == 0 &&
            (argument[length] == '\0' || argument[length] == '='))
            return true;
    }
    return false;
}

int CommandLinePlanner::run(const QStringList& arguments, const QString& todayText)
{
    std::variant<CommandLineOptions, CommandLineOptions::Ending> read =
        CommandLineOptions::read(arguments, todayText, m_folders.settings);
    if (const auto* ending = std::get_if<CommandLineOptions::Ending>(&read)) {
        say(ending->out.toUtf8());
        m_err.write(ending->err.toUtf8());
        m_err.flush();
        return ending->status;
    }
    m_options = std::get<CommandLineOptions>(std::move(read));
    if (!readTaskText())
        return Refused;
    PlanChoices choices = this->choices();
    // Checked before anything is written: a refused address is never saved.
    if (m_options.publishAddress) {
        const DavError problem =
            CalendarAddress::problem(CalendarAddress::fromUserInput(*m_options.publishAddress));
        if (problem.isError()) {
            complain(problem.message());
            return Refused;
        }
    }
    // Without progress the project is written before the build, as it always was.
    const bool progress = m_options.changesProgress();
    if ((m_options.saveProjectPath && !progress && !saveProject(choices)) ||
        !loadSettings(choices) || !build(choices))
        return Refused;
    if (progress) {
        if (const std::optional<int> status = changeProgress(choices))
            return *status;
        if (!build(choices) || (m_options.saveProjectPath && !saveProject(choices)))
            return Refused;
    }
    return writeOutputs(choices);
}

bool CommandLinePlanner::build(const PlanChoices& choices)
{
    if (const std::optional<Problem> refusal = m_plan.build(choices, m_options.today)) {
        complain(refusal->text);
        return false;
    }
    return true;
}

std::optional<int> CommandLinePlanner::changeProgress(PlanChoices& choices)
{
    // Every mark reads the plan as it stood before this run changed it.
    const qsizetype tasks = m_plan.schedule().rows.size();
    for (const auto& [option, numbers] :
         {std::pair{"--not-done", &m_options.notDone}, std::pair{"--done", &m_options.done}}) {
        for (const int task : *numbers) {
            if (task > tasks) {
                complain(QStringLiteral("%1 names task %2, but the plan has %3.")
                             .arg(QLatin1StringView(option))
                             .arg(task)
                             .arg(tasks == 1 ? QStringLiteral("1 task")
                                             : QStringLiteral("%1 tasks").arg(tasks)));
                complain(QStringLiteral("Try '%1 --help' for more information.").arg(Program));
                return UsageError;
            }
            choices =
                m_plan.setDone(task - 1, numbers == &m_options.done, choices, m_options.today);
        }
    }
    if (m_options.replan)
        m_plan.replan(m_options.today);
    return std::nullopt;
}

PlanChoices CommandLinePlanner::choices() const
{
    PlanChoices choices;
    choices.taskText = m_taskText;
    choices.projectName =
        m_options.name.value_or(m_project ? m_project->name : QStringLiteral("My Project"));
    choices.pickedStartDate = m_options.today;
    if (m_options.start) {
        choices.startOption = StartOption::OnPickedDate;
        choices.pickedStartDate = *m_options.start;
    } else if (m_project && !m_options.rightAway) {
        choices.startOption = m_project->startOption;
        if (m_project->startOption == StartOption::OnPickedDate)
            choices.pickedStartDate = m_project->startDate;
    }
    if (m_options.week || m_options.everyDay)
        choices.weekApplies = m_options.week.has_value();
    else if (m_project)
        choices.weekApplies = m_project->adjustToWorkingWeek;
    return choices;
}

bool CommandLinePlanner::readTaskText()
{
    if (ProjectFile::hasProjectSuffix(m_options.taskFile)) {
        ProjectFile::Load load = m_plan.open(m_options.taskFile);
        if (!load.project) {
            complain(QStringLiteral("Cannot read %1: %2").arg(m_options.taskFile, load.problem));
            return false;
        }
        m_project = std::move(*load.project);
        m_taskText = m_project->taskText();
        return true;
    }
    const bool fromStdin = m_options.taskFile == QLatin1StringView("-");
    QFile file(fromStdin ? QString() : m_options.taskFile);
    const bool opened =
        fromStdin ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    if (!opened) {
        complain(QStringLiteral("Cannot read %1: %2.")
                     .arg(fromStdin ? QStringLiteral("standard input") : m_options.taskFile,
                          file.errorString()));
        return false;
    }
    // Read piece by piece up to one byte past the limit: an endless input
    // (/dev/zero) is refused instead of filling the memory.
    QByteArray bytes;
    while (bytes.size() <= MaxTaskTextBytes) {
        const QByteArray piece =
            file.read(std::min<qint64>(1 << 20, MaxTaskTextBytes + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (bytes.size() > MaxTaskTextBytes) {
        complain(QStringLiteral("Cannot read %1: it holds more than 64 MiB of task text. Please "
                                "split it into smaller projects.")
                     .arg(fromStdin ? QStringLiteral("standard input") : m_options.taskFile));
        return false;
    }
    // fromUtf8 drops a byte-order mark, so a "//" on the first line still counts.
    m_taskText = QString::fromUtf8(bytes);
    return true;
}

bool CommandLinePlanner::saveProject(const PlanChoices& choices)
{
    if (m_options.publishAddress) // where the window will offer to publish it next
        m_plan.setCalendarTarget(
            CalendarAddress::fromUserInput(*m_options.publishAddress).toString(),
            m_options.publishUser);
    if (const std::optional<QString> reason = m_plan.save(*m_options.saveProjectPath, choices)) {
        complain(QStringLiteral("Cannot write %1: %2.").arg(*m_options.saveProjectPath, *reason));
        return false;
    }
    return true;
}

// Reads only what the options leave open: the week unless --week or
// --every-day gives it, the hours only for the calendar files. Problems are
// told and the run goes on; it stops only when a needed value is missing.
bool CommandLinePlanner::loadSettings(const PlanChoices& choices)
{
    // A folder given with --settings is read as it is; the program's own
    // settings are completed from an installed copy's defaults first.
    if (!m_options.settingsFolder) {
        for (const Problem& problem : m_folders.seedSettings())
            complain(problem.text);
    }
    const SettingsStore store = m_options.settingsFolder
                                    ? SettingsStore(*m_options.settingsFolder)
                                    : SettingsStore(m_folders.settings, m_folders.defaults);
    using Part = PlanDocument::SettingsPart;
    PlanDocument::SettingsParts parts;
    if (m_options.week)
        m_plan.setWeek(*m_options.week);
    else if (!m_options.everyDay && choices.weekApplies)
        parts |= Part::Week;
    // The dates off are the user's, like the hours: read whatever --week says.
    if (!m_options.daysOffFile && !m_options.noDaysOff)
        parts |= Part::DaysOff;
    for (const Problem& problem : m_plan.loadSettings(store, parts))
        complain(problem.text);
    if (m_options.daysOffFile && !loadDaysOffFile(*m_options.daysOffFile, choices.pickedStartDate))
        return false;
    if (!m_options.needsHours())
        return true;

    const auto hour = [&](std::optional<QString>& given, const char* fileName,
                          const QString& option) {
        if (!given) {
            const SettingsStore::HourLoad load = store.loadHourText(QString::fromLatin1(fileName));
            for (const Problem& problem : load.problems)
                complain(problem.text);
            given = load.text;
        }
        if (!given)
            complain(QStringLiteral("The calendar file needs the working day's hours: give %1.")
                         .arg(option));
        return given.has_value();
    };
    const bool hasStart =
        hour(m_options.startsAt, SettingsStore::StartsAtFile, QStringLiteral("--starts-at"));
    const bool hasEnd =
        hour(m_options.endsAt, SettingsStore::EndsAtFile, QStringLiteral("--ends-at"));
    if (!hasStart || !hasEnd)
        return false;
    m_plan.setHours(*m_options.startsAt, *m_options.endsAt);
    return true;
}

bool CommandLinePlanner::loadDaysOffFile(const QString& path, QDate from)
{
    DaysOffFile::Read read = DaysOffFile::read(path, from);
    if (read.unreadable) {
        complain(QStringLiteral("Cannot read %1: %2.").arg(path, *read.unreadable));
        return false;
    }
    if (read.error) {
        complain(*read.error);
        return false;
    }
    for (const Problem& problem : read.problems)
        complain(problem.text);
    for (const QString& warning : read.warnings)
        complain(warning);
    m_plan.setDaysOff(std::move(read.daysOff));
    return true;
}

int CommandLinePlanner::writeOutputs(const PlanChoices& choices)
{
    if (!m_options.writesOutputs())
        return sayOrRefuse(scheduleTable().toUtf8());
    // The same checks as the window's exports.
    if (const std::optional<Problem> missing = m_plan.exportCheck(choices.projectName)) {
        complain(missing->text);
        return Refused;
    }
    // Every output is made before any is written: a refused one writes none.
    QList<std::pair<QString, QByteArray>> outputs;
    if (m_options.csvPath)
        outputs.append({*m_options.csvPath, m_plan.csvText()});
    if (m_options.icsPath)
        outputs.append({*m_options.icsPath, m_plan.icsText(choices.projectName, *m_options.stamp)});
    if (m_options.chartPath) {
        const TimelineStyle style =
            TimelineStyle::forPicture(TimelinePicture::FontPixels, QLocale());
        TimelinePicture::Result picture =
            TimelinePicture::render(m_plan.timelineScene(), style, m_options.chart);
        if (!picture.refusal.isEmpty()) {
            complain(picture.refusal);
            return Refused;
        }
        outputs.append({*m_options.chartPath, std::move(picture.bytes)});
    }
    for (const auto& [path, bytes] : std::as_const(outputs)) {
        if (const int status = writeFile(path, bytes); status != Success)
            return status;
    }
    if (m_options.publishAddress)
        return publish(choices.projectName);
    return Success;
}

int CommandLinePlanner::publish(const QString& projectName)
{
    // Its address was checked before anything was written or sent.
    const QUrl address = CalendarAddress::fromUserInput(*m_options.publishAddress);
    KeychainPasswordStore keychain;
    QString problem;
    const std::optional<QString> password = CommandLinePublish::password(
        keychain, PasswordStore::account(m_options.publishUser, address), problem);
    if (!password) {
        complain(problem);
        return Refused;
    }
    const PublishResult result = CommandLinePublish::run(
        address, DavAccount{m_options.publishUser, *password}, m_plan.calendarKey(projectName),
        m_plan.publishItems(projectName, *m_options.stamp));
    if (!result.succeeded()) {
        complain(result.report());
        return Refused;
    }
    return sayOrRefuse((result.summary() + u'\n').toUtf8());
}

int CommandLinePlanner::writeFile(const QString& path, const QByteArray& bytes)
{
    if (path == QLatin1StringView("-"))
        return sayOrRefuse(bytes);
    // A named pipe or /dev/null is written into, as a shell redirection would.
    if (const std::optional<QString> reason =
            AtomicFile::write(path, bytes, AtomicFile::SpecialTarget::WriteInto)) {
        complain(QStringLiteral("Cannot write %1: %2.").arg(path, *reason));
        return Refused;
    }
    return Success;
}

QString CommandLinePlanner::scheduleTable() const
{
    const Schedule& schedule = m_plan.schedule();
    QString table = QStringLiteral("Task\tStart Date\tEnd Date\tTask Duration\n");
    table.reserve(table.size() + schedule.rows.size() * 64);
    for (const ScheduleRow& row : schedule.rows) {
        table += row.task;
        table += u'\t';
        table += row.start.toString(Qt::ISODate);
        table += u'\t';
        table += row.end.toString(Qt::ISODate);
        table += u'\t';
        table += TaskText::durationText(row.duration, QLocale::c());
        table += u'\n';
    }
    return table;
}

bool CommandLinePlanner::say(const QByteArray& bytes)
{
    return m_out.write(bytes) == bytes.size() && m_out.flush();
}

int CommandLinePlanner::sayOrRefuse(const QByteArray& bytes)
{
    // A full disk or a closed pipe behind standard output is a failed write.
    if (say(bytes))
        return Success;
    complain(QStringLiteral("Cannot write standard output: %1.").arg(m_out.errorString()));
    return Refused;
}

void CommandLinePlanner::complain(const QString& text)
{
    m_err.write((Program + QStringLiteral(": ") + text + u'\n').toUtf8());
    m_err.flush();
}

} // namespace taskloom
