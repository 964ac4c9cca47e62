#pragma once

#include "engine/workingweek.h"
#include "timeline/timelinepicture.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace taskloom {

// What taskloom-cli was asked to do, read and checked from its arguments.
// An option not given is unset; what a project file gives is the planner's.
struct CommandLineOptions {
    QString taskFile;              // "-" for standard input
    QDate today;                   // TASKLOOM_TODAY, else the clock
    std::optional<QString> name;   // --project
    std::optional<QDate> start;    // --start
    bool rightAway = false;        // --right-away
    std::optional<WeekFlags> week; // --week
    bool everyDay = false;         // --every-day
    std::optional<QString> daysOffFile;
    bool noDaysOff = false;
    std::optional<QString> startsAt;
    std::optional<QString> endsAt;
    std::optional<QString> settingsFolder;
    std::optional<QString> csvPath;
    std::optional<QString> icsPath;
    std::optional<QString> chartPath;
    TimelinePicture::Options chart;
    std::optional<QString> saveProjectPath;
    std::optional<QString> publishAddress;
    QString publishUser;
    // Progress: task numbers as the table counts them (from 1), and --replan.
    QList<int> done;
    QList<int> notDone;
    bool replan = false;
    // The calendar files' time of export; set when an output needs it.
    std::optional<QDateTime> stamp;

    // Something to write beside the schedule table: a file, a picture or a publish.
    bool writesOutputs() const { return csvPath || icsPath || chartPath || publishAddress; }
    bool changesProgress() const { return !done.isEmpty() || !notDone.isEmpty() || replan; }
    // The outputs that carry the working day's hours.
    bool needsHours() const { return csvPath || icsPath || publishAddress; }

    // What a run ends with when the arguments ask for no planning (--help,
    // --version) or are wrong: the texts for standard output and standard
    // error (each line already ends in a line break) and the exit status.
    struct Ending {
        int status = 0;
        QString out;
        QString err;
    };

    // arguments as the process got them, the program name first. todayText
    // ("YYYY-MM-DD") stands in for the clock when not empty. settingsFolder
    // is named in the help text.
    static std::variant<CommandLineOptions, Ending>
    read(const QStringList& arguments, const QString& todayText, const QString& settingsFolder);

    static constexpr int UsageError = 2;
    // Narrower pictures leave the days next to no room beside the names.
    static constexpr int MinChartWidth = 400;
};

} // namespace taskloom
