#pragma once

#include "commandlineoptions.h"
#include "plan/planchoices.h"
#include "plan/plandocument.h"
#include "settings/appfolders.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>

namespace taskloom {

// taskloom-cli: task lines from a file or standard input in, the schedule
// table, the calendar files or a timeline picture out, over the same plan as
// the window. It keeps the options, the streams and the exit codes; the
// plan's rules are the PlanDocument's.
class CommandLinePlanner {
public:
    enum ExitStatus { Success = 0, Refused = 1, UsageError = CommandLineOptions::UsageError };
    // The most task text read: far beyond any plan, and it keeps an endless
    // input from filling the memory.
    static constexpr qint64 MaxTaskTextBytes = qint64(64) * 1024 * 1024;

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
    // The task file, or the project file with everything it gives.
    bool readTaskText();
    // The choices of this run: the options, else what a project file gives.
    PlanChoices choices() const;
    bool build(const PlanChoices& choices);
    // --done, --not-done and --replan on the plan just built; a right-away
    // project marked done is pinned to its start (the choices change). The
    // status to end with when a task number names no task.
    std::optional<int> changeProgress(PlanChoices& choices);
    bool saveProject(const PlanChoices& choices);
    // Reads only what the options leave open; false when a needed value is missing.
    bool loadSettings(const PlanChoices& choices);
    // --days-off FILE; false when it cannot be read.
    bool loadDaysOffFile(const QString& path, QDate from);
    int writeOutputs(const PlanChoices& choices);
    // "-" is standard output.
    int writeFile(const QString& path, const QByteArray& bytes);
    // Brings the --publish calendar in step with the schedule.
    int publish(const QString& projectName);
    QString scheduleTable() const;

    bool say(const QByteArray& bytes);
    int sayOrRefuse(const QByteArray& bytes);
    void complain(const QString& text);

    AppFolders m_folders;
    CommandLineOptions m_options;
    PlanDocument m_plan;
    QString m_taskText;
    std::optional<Project> m_project; // read from a .taskloom file
    QFile m_out;
    QFile m_err;
};

} // namespace taskloom
