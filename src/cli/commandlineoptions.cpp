#include "commandlineoptions.h"

#include "export/calendarics.h"
#include "plan/plandocument.h"
#include "project/projectfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace taskloom {

namespace {

const QString Program = QStringLiteral("taskloom-cli");

// A usage error and how to get help.
CommandLineOptions::Ending usage(const QString& text)
{
    return {
        CommandLineOptions::UsageError,
        {},
        QStringLiteral("%1: %2\n%1: Try '%1 --help' for more information.\n").arg(Program, text)};
}

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
    QString done = QStringLiteral("done");
    QString notDone = QStringLiteral("not-done");
    QString replan = QStringLiteral("replan");
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
        "from the system keychain.\n"
        "At most 64 MiB of task text is read.\n"
        "Exit status: 0 when everything asked for was done; 1 when an input file cannot be "
        "read, or the build, a write or a publish is refused (the reason is on standard "
        "error); 2 for a usage error."));
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
         QStringLiteral("Read the dates off from this file: a holiday calendar when its name "
                        "ends in .ics or its text starts with BEGIN:VCALENDAR, else dates as "
                        "daysoff.txt holds them (default: daysoff.txt when there is one)."),
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
        {Option.done,
         QStringLiteral("Mark these tasks done (numbers as the table counts them, from 1, "
                        "separated by commas), keeping their dates as the plan shows them."),
         QStringLiteral("LIST")},
        {Option.notDone, QStringLiteral("Mark these tasks not done."), QStringLiteral("LIST")},
        {Option.replan,
         QStringLiteral("Re-plan from today: every task not done starts today or later.")},
    });
    parser.addPositionalArgument(
        QStringLiteral("TASKFILE"),
        QStringLiteral("The task lines, one task a line (default or \"-\": standard input), or "
                       "a project file (.taskloom), whose name, tasks, start and working-week "
                       "choice the options above override."),
        QStringLiteral("[TASKFILE]"));
}

// "1,3,4": task numbers from 1; nothing when an item is not one.
std::variant<QList<int>, QString> parseTaskNumbers(const QString& option, const QString& text)
{
    QList<int> numbers;
    for (const QString& item : text.split(u',')) {
        bool number = false;
        const int task = item.trimmed().toInt(&number);
        if (!number || task < 1)
            return QStringLiteral("--%1 takes task numbers from 1, separated by commas, not %2.")
                .arg(option, item.trimmed().isEmpty() ? QStringLiteral("an empty item")
                                                      : u'"' + item.trimmed() + u'"');
        numbers.append(task);
    }
    return numbers;
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

std::variant<CommandLineOptions, CommandLineOptions::Ending>
CommandLineOptions::read(const QStringList& arguments, const QString& todayText,
                         const QString& settingsFolder)
{
    QCommandLineParser parser;
    describe(parser, settingsFolder);
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        return Ending{0, parser.helpText(), {}};
    if (parser.isSet(QStringLiteral("version")))
        return Ending{0, Program + u' ' + QCoreApplication::applicationVersion() + u'\n', {}};

    CommandLineOptions o;

    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usage(QStringLiteral("Give at most one task file."));
    o.taskFile = positional.value(0, QStringLiteral("-"));

    o.today = QDate::currentDate();
    if (!todayText.isEmpty()) {
        const std::optional<QDate> today = ProjectFile::parseIsoDate(todayText);
        if (!today)
            return usage(QStringLiteral("TASKLOOM_TODAY must be a date as YYYY-MM-DD, not \"%1\".")
                             .arg(todayText));
        o.today = *today;
    }

    if (parser.isSet(Option.project))
        o.name = parser.value(Option.project);
    if (parser.isSet(Option.start) && parser.isSet(Option.rightAway))
        return usage(QStringLiteral("Give either --start or --right-away, not both."));
    if (parser.isSet(Option.start)) {
        const std::optional<QDate> start = ProjectFile::parseIsoDate(parser.value(Option.start));
        if (!start)
            return usage(QStringLiteral("--start takes a date as YYYY-MM-DD, not \"%1\".")
                             .arg(parser.value(Option.start)));
        o.start = *start;
    }
    o.rightAway = parser.isSet(Option.rightAway);

    if (parser.isSet(Option.week) && parser.isSet(Option.everyDay))
        return usage(QStringLiteral("Give either --week or --every-day, not both."));
    if (parser.isSet(Option.week)) {
        const std::optional<WeekFlags> flags = parseWeek(parser.value(Option.week));
        if (!flags)
            return usage(QStringLiteral("--week takes seven characters 0 or 1, Monday first "
                                        "(such as 1111100), not \"%1\".")
                             .arg(parser.value(Option.week)));
        o.week = *flags;
    }
    o.everyDay = parser.isSet(Option.everyDay);

    if (parser.isSet(Option.daysOff) && parser.isSet(Option.noDaysOff))
        return usage(QStringLiteral("Give either --days-off or --no-days-off, not both."));
    if (parser.isSet(Option.daysOff))
        o.daysOffFile = parser.value(Option.daysOff);
    o.noDaysOff = parser.isSet(Option.noDaysOff);

    if (parser.isSet(Option.startsAt))
        o.startsAt = parser.value(Option.startsAt);
    if (parser.isSet(Option.endsAt))
        o.endsAt = parser.value(Option.endsAt);
    if (parser.isSet(Option.settings))
        o.settingsFolder = parser.value(Option.settings);
    if (parser.isSet(Option.csv))
        o.csvPath = parser.value(Option.csv);
    if (parser.isSet(Option.ics))
        o.icsPath = parser.value(Option.ics);
    if (o.csvPath == QLatin1StringView("-") && o.icsPath == QLatin1StringView("-"))
        return usage(QStringLiteral("Only one of --csv and --ics can write to standard output."));
    if (parser.isSet(Option.publish) != parser.isSet(Option.user))
        return usage(QStringLiteral("--publish and --user go together."));
    if (parser.isSet(Option.publish)) {
        if (o.csvPath == QLatin1StringView("-") || o.icsPath == QLatin1StringView("-"))
            return usage(QStringLiteral("--publish prints its summary on standard output: write "
                                        "the other file to a file, not \"-\"."));
        o.publishAddress = parser.value(Option.publish);
        o.publishUser = parser.value(Option.user);
    }
    if (o.icsPath || o.publishAddress) {
        const QByteArray epoch = qgetenv("SOURCE_DATE_EPOCH");
        o.stamp = PlanDocument::exportStamp(QDateTime::currentDateTimeUtc());
        if (!o.stamp)
            return usage(QStringLiteral("SOURCE_DATE_EPOCH must be a whole number of seconds "
                                        "since 1970-01-01 UTC, not \"%1\".")
                             .arg(QString::fromLocal8Bit(epoch)));
    }
    // The hours go into the calendar files only: read for them alone, as
    // hours (or none at all), never as any text.
    if (o.needsHours()) {
        for (const auto& [option, hour] :
             {std::pair{&Option.startsAt, &o.startsAt}, std::pair{&Option.endsAt, &o.endsAt}}) {
            if (hour->has_value() && !(*hour)->isEmpty() &&
                !CalendarIcs::readHour(**hour).isValid())
                return usage(QStringLiteral("--%1 takes an hour such as 9:00 AM or 17:30 (or "
                                            "nothing, for no hours), not \"%2\".")
                                 .arg(*option, **hour));
        }
        if (o.startsAt && o.endsAt && !o.startsAt->isEmpty() && !o.endsAt->isEmpty() &&
            CalendarIcs::readHour(*o.endsAt) <= CalendarIcs::readHour(*o.startsAt))
            return usage(QStringLiteral("Your 'Ends At' Hour should be higher."));
    }
    if (parser.isSet(Option.saveProject))
        o.saveProjectPath = parser.value(Option.saveProject);
    for (const auto& [option, list] :
         {std::pair{&Option.done, &o.done}, std::pair{&Option.notDone, &o.notDone}}) {
        if (!parser.isSet(*option))
            continue;
        std::variant<QList<int>, QString> numbers =
            parseTaskNumbers(*option, parser.value(*option));
        if (const QString* wrong = std::get_if<QString>(&numbers))
            return usage(*wrong);
        *list = std::get<QList<int>>(std::move(numbers));
    }
    for (const int task : std::as_const(o.done)) {
        if (o.notDone.contains(task))
            return usage(QStringLiteral("Task %1 is in both --done and --not-done.").arg(task));
    }
    o.replan = parser.isSet(Option.replan);
    if (!parser.isSet(Option.chart)) {
        if (parser.isSet(Option.chartWidth) || parser.isSet(Option.chartPaper))
            return usage(QStringLiteral("--chart-width and --chart-paper go with --chart."));
        return o;
    }
    o.chartPath = parser.value(Option.chart);
    const std::optional<TimelinePicture::Format> format = TimelinePicture::formatOf(*o.chartPath);
    if (!format)
        return usage(QStringLiteral("--chart takes a file name ending in .svg, .png or .pdf, "
                                    "not \"%1\".")
                         .arg(*o.chartPath));
    o.chart.format = *format;
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
        o.chart.width = width;
    }
    if (parser.isSet(Option.chartPaper)) {
        if (!pdf)
            return usage(QStringLiteral("--chart-paper is for PDF pictures; SVG and PNG take "
                                        "--chart-width."));
        const QString paper = parser.value(Option.chartPaper).toLower();
        if (paper == QLatin1StringView("a4"))
            o.chart.paper = QPageSize::A4;
        else if (paper == QLatin1StringView("a3"))
            o.chart.paper = QPageSize::A3;
        else
            return usage(QStringLiteral("--chart-paper takes a4 or a3, not \"%1\".")
                             .arg(parser.value(Option.chartPaper)));
    }
    return o;
}

} // namespace taskloom
