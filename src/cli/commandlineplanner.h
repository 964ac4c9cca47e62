#pragma once

#include "engine/buildinputs.h"
#include "engine/schedule.h"
#include "project/project.h"
#include "settings/appfolders.h"
#include "timeline/timelinepicture.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

namespace taskloom {

// taskloom-cli: task lines from a file or standard input in, the schedule
// table, the calendar files or a timeline picture out, over the same engine and settings files as
// the window.
class CommandLinePlanner {
public:
    enum ExitStatus { Success = 0, Refused = 1, UsageError = 2 };
    // The most task text read: far beyond any plan, and it keeps an endless
    // input from filling the memory.
    static constexpr qint64 MaxTaskTextBytes = qint64(64) * 1024 * 1024;
    // Narrower pictures leave the days next to no room beside the names.
    static constexpr int MinChartWidth = 400;

    // folders: where the working week is read unless --settings names
    // another folder (the program passes the folders decided at start-up).
    explicit CommandLinePlanner(AppFolders folders);

    // arguments as the process got them, the program name first. todayText
    // ("YYYY-MM-DD") stands in for the clock when not empty, so that scripts
    // and tests get the same schedule on any day.
    int run(const QStringList& arguments, const QString& todayText = {});

    // True when the arguments ask for a picture (--chart): such a run needs a
    // GUI application for fonts and painting, and main makes it first.
    static bool drawsChart(int argc, const char* const* argv);

private:
    // Every option read and checked; an unset result means go on, otherwise
    // the status to end with.
    std::optional<int> readOptions(QCommandLineParser& parser, const QStringList& arguments,
                                   const QString& todayText);
    bool loadSettings();
    // --days-off FILE; false when it cannot be read.
    bool loadDaysOffFile(const QString& path);
    // The task file, or the project file with everything it gives.
    bool readTaskText();
    // What a project file gives, less what the options set.
    void takeOptionsOverFile(const QCommandLineParser& parser);
    bool saveProject();
    int writeSchedule(const Schedule& schedule);
    // "-" is standard output.
    int writeFile(const QString& path, const QByteArray& bytes);
    int writeChart(const Schedule& schedule);
    std::optional<int> readChartOptions(const QCommandLineParser& parser);
    // Brings the --publish calendar in step with the schedule.
    int publish(const Schedule& schedule);
    // The UIDs' first part and the resources' prefix: the project's id once
    // the plan is in a project file, else its name.
    QString calendarKey() const;
    QString scheduleTable(const Schedule& schedule) const;

    bool say(const QString& text);
    bool say(const QByteArray& bytes);
    int sayOrRefuse(const QByteArray& bytes);
    void complain(const QString& text);
    // Tells a usage error and how to get help; gives the status to end with.
    std::optional<int> usage(const QString& text);

    AppFolders m_folders;
    BuildInputs m_inputs;
    std::optional<QString> m_settingsFolder; // --settings
    QString m_taskFile;
    std::optional<QString> m_csvPath;
    std::optional<QString> m_icsPath;
    std::optional<QDateTime> m_stamp; // the iCalendar file's time of export
    std::optional<QString> m_chartPath;
    TimelinePicture::Options m_chart;
    std::optional<QString> m_saveProjectPath; // --save-project
    std::optional<Project> m_project;         // read from a .taskloom file
    std::optional<QString> m_publishAddress;
    QString m_publishUser;
    bool m_weekGiven = false;
    std::optional<QString> m_daysOffFile;
    bool m_noDaysOff = false;
    std::optional<QString> m_startsAt;
    std::optional<QString> m_endsAt;
    QFile m_out;
    QFile m_err;
};

} // namespace taskloom
