#include "commandlineplanner.h"

#include "caldav/calendaraddress.h"
#include "caldav/calendaritems.h"
#include "caldav/keychainpasswordstore.h"
#include "commandlinepublish.h"
#include "engine/schedulebuilder.h"
#include "engine/tasktext.h"
#include "export/calendarcsv.h"
#include "export/calendarics.h"
#include "export/exportstamp.h"
#include "files/atomicfile.h"
#include "ical/icsreader.h"
#include "project/projectfile.h"
#include "settings/settingsstore.h"
#include "timeline/timelinescene.h"
#include "timeline/timelinestyle.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace taskloom {

namespace {

const QString Program = QStringLiteral("taskloom-cli");

struct Names {
    QString project = QStringLiteral("project");
    QString start = QStringLiteral("start");
    QString rightAway = QStringLiteral("right-away");
    QString week = QStringLiteral("week");
    QString everyDay = QStringLiteral("every-day");
    QString startsAt = QStringLiteral("starts-at");
    QString endsAt = QStringLiteral("ends-at");
    QString settings = QStringLiteral("settings");
    QString csv = QStringLiteral("csv");
    QString ics = QStringLiteral("ics");
    QString daysOff = QStringLiteral("days-off");
    QString noDaysOff = QStringLiteral("no-days-off");
    QString chart = QStringLiteral("chart");
    QString chartWidth = QStringLiteral("chart-width");
    QString chartPaper = QStringLiteral("chart-paper");
    QString saveProject = QStringLiteral("save-project");
    QString publish = QStringLiteral("publish");
    QString user = QStringLiteral("user");
};
const Names Option;

void describe(QCommandLineParser& parser, const QString& settingsFolder)
{
    parser.setApplicationDescription(QStringLiteral(
        "Lays a task list over the working week and prints the schedule, or "
        "writes it as the calendar CSV file, the iCalendar file or both, or draws it as a "
        "timeline picture.\n"
        "Task lines are read as the window reads them: \"Paint the hall + 3 days\", "
        "\"//Order tiles + 2\".\n"
        "The environment variable TASKLOOM_TODAY=YYYY-MM-DD replaces today's date; "
        "SOURCE_DATE_EPOCH (seconds since 1970) replaces the iCalendar file's time of export.\n"
        "--publish takes the password from TASKLOOM_CALDAV_PASSWORD, or, when that is unset, "
        "from the system keychain."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {Option.project, QStringLiteral("The project name (default: \"My Project\")."),
         QStringLiteral("NAME"), QStringLiteral("My Project")},
        {Option.start, QStringLiteral("Start on this date instead of right away."),
         QStringLiteral("YYYY-MM-DD")},
        {Option.rightAway, QStringLiteral("Start right away, whatever the project file says.")},
        {Option.week,
         QStringLiteral("The working days, seven 0/1 characters, Monday first, such as 1111100 "
                        "(default: workingweek.txt); tasks follow the working week."),
         QStringLiteral("FLAGS")},
        {Option.everyDay, QStringLiteral("Every day is a working day.")},
        {Option.startsAt,
         QStringLiteral("The working day's start hour (default: workingday_starts_at.txt)."),
         QStringLiteral("TEXT")},
        {Option.endsAt,
         QStringLiteral("The working day's end hour (default: workingday_ends_at.txt)."),
         QStringLiteral("TEXT")},
        {Option.daysOff,
         QStringLiteral("Read the dates off from this file: dates as daysoff.txt holds them, or "
                        "an iCalendar file of holidays (default: daysoff.txt when there is one)."),
         QStringLiteral("FILE")},
        {Option.noDaysOff, QStringLiteral("Count no dates off, not even those of daysoff.txt.")},
        {Option.settings,
         QStringLiteral("The folder of the settings files (default: %1).")
             .arg(QDir::toNativeSeparators(settingsFolder)),
         QStringLiteral("DIR")},
        {Option.csv, QStringLiteral("Write the calendar CSV file there (\"-\": standard output)."),
         QStringLiteral("FILE")},
        {Option.ics, QStringLiteral("Write the iCalendar file there (\"-\": standard output)."),
         QStringLiteral("FILE")},
        {Option.chart,
         QStringLiteral("Draw the timeline into a picture file; its extension picks the format: "
                        ".svg, .png or .pdf."),
         QStringLiteral("FILE")},
        {Option.chartWidth,
         QStringLiteral("The SVG or PNG picture's width; the days are scaled to fit (default: "
                        "%1).")
             .arg(TimelinePicture::DefaultWidth),
         QStringLiteral("PIXELS")},
        {Option.chartPaper, QStringLiteral("The PDF's landscape pages: a4 or a3 (default: a4)."),
         QStringLiteral("SIZE")},
        {Option.saveProject,
         QStringLiteral("Also write these tasks, name, start and working-week choice as a "
                        "project file."),
         QStringLiteral("FILE")},
        {Option.publish,
         QStringLiteral("Publish the events to this CalDAV calendar and print the summary; a "
                        "later publish updates them and removes those of deleted tasks."),
         QStringLiteral("URL")},
        {Option.user, QStringLiteral("The user name on the calendar server (with --publish)."),
         QStringLiteral("NAME")},
    });
    parser.addPositionalArgument(
        QStringLiteral("TASKFILE"),
        QStringLiteral("The task lines, one task a line (default or \"-\": standard input), or "
                       "a project file (.taskloom), whose name, tasks, start and working-week "
                       "choice the options above override."),
        QStringLiteral("[TASKFILE]"));
}

std::optional<WeekFlags> parseWeek(const QString& text)
{
    if (text.size() != 7)
        return std::nullopt;
    WeekFlags flags{};
    for (int day = 1; day <= 7; ++day) {
        const QChar c = text.at(day - 1);
        if (c != u'0' && c != u'1')
            return std::nullopt;
        flags[day] = c == u'1' ? 1 : 0;
    }
    return flags;
}

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
    QCommandLineParser parser;
    if (const std::optional<int> status = readOptions(parser, arguments, todayText))
        return *status;
    if (!readTaskText())
        return Refused;
    takeOptionsOverFile(parser);
    if ((m_saveProjectPath && !saveProject()) || !loadSettings())
        return Refused;

    const BuildResult result = ScheduleBuilder::build(m_inputs);
    if (result.isRefusal()) {
        complain(result.refusal().text);
        return Refused;
    }
    return writeSchedule(result.schedule());
}

std::optional<int> CommandLinePlanner::readOptions(QCommandLineParser& parser,
                                                   const QStringList& arguments,
                                                   const QString& todayText)
{
    describe(parser, m_folders.settings);
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        say(parser.helpText());
        return Success;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        say(Program + u' ' + QCoreApplication::applicationVersion() + u'\n');
        return Success;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usage(QStringLiteral("Give at most one task file."));
    m_taskFile = positional.value(0, QStringLiteral("-"));

    m_inputs.today = QDate::currentDate();
    if (!todayText.isEmpty()) {
        const std::optional<QDate> today = ProjectFile::parseIsoDate(todayText);
        if (!today)
            return usage(QStringLiteral("TASKLOOM_TODAY must be a date as YYYY-MM-DD, not \"%1\".")
                             .arg(todayText));
        m_inputs.today = *today;
    }

    m_inputs.projectName = parser.value(Option.project);
    if (parser.isSet(Option.start) && parser.isSet(Option.rightAway))
        return usage(QStringLiteral("Give either --start or --right-away, not both."));
    if (parser.isSet(Option.start)) {
        const std::optional<QDate> start = ProjectFile::parseIsoDate(parser.value(Option.start));
        if (!start)
            return usage(QStringLiteral("--start takes a date as YYYY-MM-DD, not \"%1\".")
                             .arg(parser.value(Option.start)));
        m_inputs.startOption = StartOption::OnPickedDate;
        m_inputs.pickedStartDate = *start;
    } else {
        m_inputs.startOption = StartOption::RightAway;
        m_inputs.pickedStartDate = m_inputs.today;
    }

    if (parser.isSet(Option.week) && parser.isSet(Option.everyDay))
        return usage(QStringLiteral("Give either --week or --every-day, not both."));
    if (parser.isSet(Option.week)) {
        const std::optional<WeekFlags> flags = parseWeek(parser.value(Option.week));
        if (!flags)
            return usage(QStringLiteral("--week takes seven characters 0 or 1, Monday first "
                                        "(such as 1111100), not \"%1\".")
                             .arg(parser.value(Option.week)));
        m_inputs.weekFlags = *flags;
        m_inputs.weekApplies = true;
        m_weekGiven = true;
    }
    if (parser.isSet(Option.everyDay)) {
        m_inputs.weekApplies = false;
        m_weekGiven = true;
    }

    if (parser.isSet(Option.daysOff) && parser.isSet(Option.noDaysOff))
        return usage(QStringLiteral("Give either --days-off or --no-days-off, not both."));
    if (parser.isSet(Option.daysOff))
        m_daysOffFile = parser.value(Option.daysOff);
    m_noDaysOff = parser.isSet(Option.noDaysOff);

    if (parser.isSet(Option.startsAt))
        m_startsAt = parser.value(Option.startsAt);
    if (parser.isSet(Option.endsAt))
        m_endsAt = parser.value(Option.endsAt);
    if (parser.isSet(Option.settings))
        m_settingsFolder = parser.value(Option.settings);
    if (parser.isSet(Option.csv))
        m_csvPath = parser.value(Option.csv);
    if (parser.isSet(Option.ics))
        m_icsPath = parser.value(Option.ics);
    if (m_csvPath == QLatin1StringView("-") && m_icsPath == QLatin1StringView("-"))
        return usage(QStringLiteral("Only one of --csv and --ics can write to standard output."));
    if (parser.isSet(Option.publish) != parser.isSet(Option.user))
        return usage(QStringLiteral("--publish and --user go together."));
    if (parser.isSet(Option.publish)) {
        if (m_csvPath == QLatin1StringView("-") || m_icsPath == QLatin1StringView("-"))
            return usage(QStringLiteral("--publish prints its summary on standard output: write "
                                        "the other file to a file, not \"-\"."));
        m_publishAddress = parser.value(Option.publish);
        m_publishUser = parser.value(Option.user);
    }
    if (m_icsPath || m_publishAddress) {
        const QByteArray epoch = qgetenv("SOURCE_DATE_EPOCH");
        m_stamp = ExportStamp::choose(epoch, QDateTime::currentDateTimeUtc());
        if (!m_stamp)
            return usage(QStringLiteral("SOURCE_DATE_EPOCH must be a whole number of seconds "
                                        "since 1970-01-01 UTC, not \"%1\".")
                             .arg(QString::fromLocal8Bit(epoch)));
    }
    if (parser.isSet(Option.saveProject))
        m_saveProjectPath = parser.value(Option.saveProject);
    return readChartOptions(parser);
}

std::optional<int> CommandLinePlanner::readChartOptions(const QCommandLineParser& parser)
{
    if (!parser.isSet(Option.chart)) {
        if (parser.isSet(Option.chartWidth) || parser.isSet(Option.chartPaper))
            return usage(QStringLiteral("--chart-width and --chart-paper go with --chart."));
        return std::nullopt;
    }
    m_chartPath = parser.value(Option.chart);
    const std::optional<TimelinePicture::Format> format = TimelinePicture::formatOf(*m_chartPath);
    if (!format)
        return usage(QStringLiteral("--chart takes a file name ending in .svg, .png or .pdf, "
                                    "not \"%1\".")
                         .arg(*m_chartPath));
    m_chart.format = *format;
    const bool pdf = *format == TimelinePicture::Format::Pdf;
    if (parser.isSet(Option.chartWidth)) {
        if (pdf)
            return usage(QStringLiteral("--chart-width is for SVG and PNG pictures; a PDF takes "
                                        "--chart-paper."));
        bool number = false;
        const int width = parser.value(Option.chartWidth).toInt(&number);
        if (!number || width < MinChartWidth)
            return usage(QStringLiteral("--chart-width takes a whole number of pixels from %1, "
                                        "not \"%2\".")
                             .arg(QString::number(MinChartWidth), parser.value(Option.chartWidth)));
        m_chart.width = width;
    }
    if (parser.isSet(Option.chartPaper)) {
        if (!pdf)
            return usage(QStringLiteral("--chart-paper is for PDF pictures; SVG and PNG take "
                                        "--chart-width."));
        const QString paper = parser.value(Option.chartPaper).toLower();
        if (paper == QLatin1StringView("a4"))
            m_chart.paper = QPageSize::A4;
        else if (paper == QLatin1StringView("a3"))
            m_chart.paper = QPageSize::A3;
        else
            return usage(QStringLiteral("--chart-paper takes a4 or a3, not \"%1\".")
                             .arg(parser.value(Option.chartPaper)));
    }
    return std::nullopt;
}

// Reads only what the options leave open: the week unless --week or
// --every-day gives it, the hours only for the calendar file. Problems are
// told and the run goes on; it stops only when a needed value is missing.
bool CommandLinePlanner::loadSettings()
{
    // A folder given with --settings is read as it is; the program's own
    // settings are completed from an installed copy's defaults first.
    if (!m_settingsFolder) {
        for (const Problem& problem : m_folders.seedSettings())
            complain(problem.text);
    }
    const SettingsStore store = m_settingsFolder
                                    ? SettingsStore(*m_settingsFolder)
                                    : SettingsStore(m_folders.settings, m_folders.defaults);
    if (!m_weekGiven && m_inputs.weekApplies) {
        const SettingsStore::WeekLoad week = store.loadWorkingWeek();
        for (const Problem& problem : week.problems)
            complain(problem.text);
        // Without the file no day works, and the build says so.
        m_inputs.weekFlags = week.flags.value_or(WeekFlags{});
    }
    // The dates off are the user's, like the hours: read whatever --week says.
    if (m_daysOffFile) {
        if (!loadDaysOffFile(*m_daysOffFile))
            return false;
    } else if (!m_noDaysOff) {
        const SettingsStore::DaysOffLoad daysOff = store.loadDaysOff();
        for (const Problem& problem : daysOff.problems)
            complain(problem.text);
        m_inputs.datesOff = DayOff::datesOf(daysOff.daysOff);
    }
    if (!m_csvPath && !m_icsPath && !m_publishAddress)
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
        hour(m_startsAt, SettingsStore::StartsAtFile, QStringLiteral("--starts-at"));
    const bool hasEnd = hour(m_endsAt, SettingsStore::EndsAtFile, QStringLiteral("--ends-at"));
    if (!hasStart || !hasEnd)
        return false;
    m_inputs.startsAt = *m_startsAt;
    m_inputs.endsAt = *m_endsAt;
    return true;
}

bool CommandLinePlanner::loadDaysOffFile(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        complain(QStringLiteral("Cannot read %1: %2.")
                     .arg(path, QFileInfo(path).isDir() ? QStringLiteral("it is a folder")
                                                        : file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    const QString fileName = QFileInfo(path).fileName();
    // A calendar file is told by its content; one named .ics that is not one
    // gets the calendar's error rather than a line-by-line complaint.
    if (IcsReader::looksLikeCalendar(bytes) ||
        path.endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive)) {
        // Every year the plan can reach: the year before its start (a task
        // of negative length) to thirty years after.
        const int startYear = m_inputs.pickedStartDate.year();
        const IcsReader::DaysOffRead read =
            IcsReader::readDaysOff(bytes, fileName, startYear - 1, startYear + 30);
        if (!read.error.isEmpty()) {
            complain(read.error);
            return false;
        }
        m_inputs.datesOff = DayOff::datesOf(read.daysOff);
        return true;
    }
    const SettingsStore::DaysOffLoad load =
        SettingsStore::readDaysOff(QString::fromUtf8(bytes), fileName);
    for (const Problem& problem : load.problems)
        complain(problem.text);
    m_inputs.datesOff = DayOff::datesOf(load.daysOff);
    return true;
}

bool CommandLinePlanner::readTaskText()
{
    if (ProjectFile::hasProjectSuffix(m_taskFile)) {
        ProjectFile::Load load = ProjectFile::read(m_taskFile);
        if (!load.project) {
            complain(QStringLiteral("Cannot read %1: %2").arg(m_taskFile, load.problem));
            return false;
        }
        m_project = std::move(*load.project);
        m_inputs.taskText = m_project->taskText();
        return true;
    }
    const bool fromStdin = m_taskFile == QLatin1StringView("-");
    QFile file(fromStdin ? QString() : m_taskFile);
    const bool opened =
        fromStdin ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    if (!opened) {
        complain(QStringLiteral("Cannot read %1: %2.")
                     .arg(fromStdin ? QStringLiteral("standard input") : m_taskFile,
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
                     .arg(fromStdin ? QStringLiteral("standard input") : m_taskFile));
        return false;
    }
    // fromUtf8 drops a byte-order mark, so a "//" on the first line still counts.
    m_inputs.taskText = QString::fromUtf8(bytes);
    return true;
}

void CommandLinePlanner::takeOptionsOverFile(const QCommandLineParser& parser)
{
    if (!m_project)
        return;
    if (!parser.isSet(Option.project))
        m_inputs.projectName = m_project->name;
    if (!parser.isSet(Option.start) && !parser.isSet(Option.rightAway)) {
        m_inputs.startOption = m_project->startOption;
        if (m_project->startOption == StartOption::OnPickedDate)
            m_inputs.pickedStartDate = m_project->startDate;
    }
    if (!parser.isSet(Option.week) && !parser.isSet(Option.everyDay))
        m_inputs.weekApplies = m_project->adjustToWorkingWeek;
}

bool CommandLinePlanner::saveProject()
{
    // A project file read keeps its id and the keys this version does not know.
    Project project = m_project.value_or(Project());
    if (!m_project) // the lines of a text file: its last line break starts no task
        project.tasks = TaskText::splitLines(m_inputs.taskText);
    project.name = m_inputs.projectName;
    project.startOption = m_inputs.startOption;
    project.startDate = m_inputs.pickedStartDate;
    project.adjustToWorkingWeek = m_inputs.weekApplies;
    if (m_publishAddress) { // where the window will offer to publish it next
        project.calendarUrl = CalendarAddress::fromUserInput(*m_publishAddress).toString();
        project.calendarUser = m_publishUser;
    }
    project.makeIdIfMissing();
    if (const std::optional<QString> reason = ProjectFile::write(*m_saveProjectPath, project)) {
        complain(QStringLiteral("Cannot write %1: %2.").arg(*m_saveProjectPath, *reason));
        return false;
    }
    m_project = std::move(project); // the plan now has a project file, and its id
    return true;
}

int CommandLinePlanner::writeSchedule(const Schedule& schedule)
{
    if (!m_csvPath && !m_icsPath && !m_chartPath && !m_publishAddress) {
        return sayOrRefuse(scheduleTable(schedule).toUtf8());
    }
    // The same checks as the window's exports.
    if (schedule.rows.isEmpty()) {
        complain(QStringLiteral("Please add some tasks to your project."));
        return Refused;
    }
    if (m_inputs.projectName.isEmpty()) {
        complain(QStringLiteral("Please enter a project name."));
        return Refused;
    }
    if (m_csvPath) {
        const int status = writeFile(*m_csvPath, CalendarCsv::toText(schedule.events).toUtf8());
        if (status != Success)
            return status;
    }
    if (m_icsPath) {
        const CalendarIcs ics(m_inputs.projectName, calendarKey(), *m_stamp);
        const int status = writeFile(*m_icsPath, ics.text(schedule));
        if (status != Success)
            return status;
    }
    if (m_chartPath) {
        const int status = writeChart(schedule);
        if (status != Success)
            return status;
    }
    if (m_publishAddress)
        return publish(schedule);
    return Success;
}

QString CommandLinePlanner::calendarKey() const
{
    // The project's id once the plan is in a project file (read or just
    // saved), so a renamed project keeps its events.
    return m_project && !m_project->id.isEmpty() ? m_project->id : m_inputs.projectName;
}

int CommandLinePlanner::writeChart(const Schedule& schedule)
{
    // The shipped font, in pixels: the same picture on every machine that
    // has it, whatever its display.
    const TimelineStyle style = TimelineStyle::forPicture(QStringLiteral("DejaVu Sans"),
                                                          TimelinePicture::FontPixels, QLocale());
    const TimelineScene scene(schedule, m_inputs.workingWeek(), m_inputs.today,
                              m_inputs.projectName);
    const TimelinePicture::Result picture = TimelinePicture::render(scene, style, m_chart);
    if (!picture.refusal.isEmpty()) {
        complain(picture.refusal);
        return Refused;
    }
    return writeFile(*m_chartPath, picture.bytes);
}

int CommandLinePlanner::publish(const Schedule& schedule)
{
    const QUrl address = CalendarAddress::fromUserInput(*m_publishAddress);
    // Checked before the password is looked for: a refused address sends nothing.
    if (const DavError problem = CalendarAddress::problem(address); problem.isError()) {
        complain(problem.message());
        return Refused;
    }
    KeychainPasswordStore keychain;
    QString problem;
    const std::optional<QString> password = CommandLinePublish::password(
        keychain, PasswordStore::account(m_publishUser, address), problem);
    if (!password) {
        complain(problem);
        return Refused;
    }
    const QString key = calendarKey();
    const CalendarIcs ics(m_inputs.projectName, key, *m_stamp);
    const PublishResult result = CommandLinePublish::run(
        address, DavAccount{m_publishUser, *password}, key, CalendarItems::of(schedule, ics));
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

QString CommandLinePlanner::scheduleTable(const Schedule& schedule) const
{
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

bool CommandLinePlanner::say(const QString& text)
{
    return say(text.toUtf8());
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

std::optional<int> CommandLinePlanner::usage(const QString& text)
{
    complain(text);
    complain(QStringLiteral("Try '%1 --help' for more information.").arg(Program));
    return UsageError;
}

void CommandLinePlanner::complain(const QString& text)
{
    m_err.write((Program + QStringLiteral(": ") + text + u'\n').toUtf8());
    m_err.flush();
}

} // namespace taskloom
