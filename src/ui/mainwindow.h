#pragma once

#include "plan/plandocument.h"
#include "projectfiles.h"
#include "settings/appfolders.h"

#include <QDate>
#include <QMainWindow>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QCalendarWidget;
class QCloseEvent;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QNetworkAccessManager;
class QTableView;

namespace taskloom {

class CalendarServerPublish;
class FileChooser;
class LinkLabel;
class PasswordStore;
class ScheduleTableModel;
class TimelineView;

// The planner's window: the task sidebar, the start-date choice, the schedule
// as a table or a timeline, and the export button. It lays out the controls
// and wires them; the plan and its rules are the PlanDocument's, the flows
// (project files, exports, publishing) are classes of their own. It rebuilds
// the schedule on exactly the user actions that change its inputs.
class MainWindow : public QMainWindow, private ProjectWindow {
    Q_OBJECT
public:
    // folders: where the settings files are and where exports go; today is
    // asked whenever the date matters, so tests can fix it.
    MainWindow(AppFolders folders, std::function<QDate()> today, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load sequence, run once before the window is first shown: missing
    // settings files copied from an installed copy's defaults, hour texts,
    // caption, columns, picked date, working week, dates off, the last
    // project; then the calendar catch-up timer starts. Nothing is built.
    // Settings problems are shown as they come and loading carries on.
    void startUp();

    // One build of the schedule from the window's inputs, as "Create Project!"
    // does. A refusal is shown and the previous schedule stays: false. The
    // Working Week dialog's Save calls it.
    bool buildSchedule() override;

    // Every export calls this first, so that what is written is what the
    // controls show: builds when the choices changed since the last build
    // (or nothing was built yet). False when that build was refused; its
    // message was shown and the export writes nothing.
    bool buildIfChanged();

    // What the Working Week dialog writes back before it asks for a build.
    void setWorkingWeek(const WeekFlags& flags);

    // Every file dialog goes through this; tests put in one that answers itself.
    void setFileChooser(std::unique_ptr<FileChooser> chooser);
    // Where calendar passwords are kept: the system keychain unless a test
    // puts in another store before the first publish.
    void setPasswordStore(std::unique_ptr<PasswordStore> passwords);

    // Opens a project file (.taskloom) or a task list (.txt) and builds as
    // "Create Project!" does; unsaved changes are asked about first. False
    // when the user cancelled or the file was refused (the window keeps what
    // it had). The menu, drops and the command line's FILE come here.
    bool openProject(const QString& path);

    const PlanDocument& plan() const { return m_plan; }
    const Schedule& schedule() const { return m_plan.schedule(); }
    QString calendarKey() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void makeBanner();
    void makeSidebar();
    void makeScheduleTable();
    void makeTimeline();
    void makeMenus();
    void watchProjectInputs();

    // Keeps the export button, the slogan and the table's width at their
    // distance from the window's right edge.
    void applyLayoutRule();
    void onCalendarDatePicked(QDate newDate);
    // Moves the calendar from its stored date to today, once after start-up.
    void catchUpCalendarToToday();
    void onTaskBoxKey(const QKeyEvent& key);
    void showTips();
    void openWorkingWeekDialog();
    void exportCalendarCsv();
    void exportIcs();
    // The schedule area shows the timeline instead of the table, or back.
    void showTimeline(bool timeline);
    void exportTimelinePicture();
    void publishToCalendarServer();
    // Progress, as the Plan menu, a tick in the table or Space on a row asks.
    void setDone(int row, bool done);
    void replanFromToday();
    // The month calendar paints the user's days off: the weekdays off and the dates off.
    void markDaysOff();

    // What the project-file flow asks of the window.
    PlanChoices choices() const override;
    void fillIn(const Project& project, bool tasksOnly) override;
    void clearSchedule() override;

    AppFolders m_folders;
    std::function<QDate()> m_today;
    std::unique_ptr<FileChooser> m_fileChooser;
    std::unique_ptr<PasswordStore> m_passwords;
    QNetworkAccessManager* m_network = nullptr;
    CalendarServerPublish* m_serverPublish = nullptr; // made on the first publish
    PlanDocument m_plan;
    ProjectFiles* m_projectFiles = nullptr;

    QDate m_pickedStartDate;
    QSet<int> m_keysPressedInTaskBox; // build keys whose press the task box received
    int m_calendarGrowth = 0;         // pixels the calendar needs beyond its designed height

    QTimer m_calendarCatchUp;
    ScheduleTableModel* m_model = nullptr;

    QWidget* m_central = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_exportMenu = nullptr;
    QWidget* m_banner = nullptr;
    QLabel* m_slogan = nullptr;
    QWidget* m_sidebar = nullptr;
    QPushButton* m_exportButton = nullptr;
    QTableView* m_table = nullptr;
    TimelineView* m_timelineView = nullptr;
    QPushButton* m_showScheduleButton = nullptr;
    QPushButton* m_showTimelineButton = nullptr;
    QAction* m_zoomInAction = nullptr;
    QAction* m_zoomOutAction = nullptr;
    QLineEdit* m_projectNameBox = nullptr;
    QPlainTextEdit* m_taskBox = nullptr;
    LinkLabel* m_tipsLink = nullptr;
    QRadioButton* m_rightAwayOption = nullptr;
    QRadioButton* m_pickedDateOption = nullptr;
    QCalendarWidget* m_calendarWidget = nullptr;
    QCheckBox* m_adjustToWeekBox = nullptr;
    LinkLabel* m_settingsLink = nullptr;
    QPushButton* m_createButton = nullptr;
};

} // namespace taskloom
