#pragma once

#include "engine/buildinputs.h"
#include "engine/dayoff.h"
#include "engine/schedule.h"
#include "engine/workingweek.h"
#include "settings/appfolders.h"

#include <QDate>
#include <QJsonObject>
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
class RecentProjects;
class PasswordStore;
class ScheduleTableModel;
class TimelineView;
struct Project;

// The planner's window: the task sidebar, the start-date choice, the schedule
// as a table or a timeline, and the export button. It owns every run-time value of the program and
// rebuilds the schedule on exactly the user actions that change its inputs.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // folders: where the settings files are and where exports go; today is
    // asked whenever the date matters, so tests can fix it.
    MainWindow(AppFolders folders, std::function<QDate()> today, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load sequence, run once before the window is first shown: missing
    // settings files copied from an installed copy's defaults, hour texts,
    // caption, columns, picked date, working week; then the calendar catch-up
    // timer starts. Nothing is built. Settings problems are shown as they
    // come and loading carries on.
    void startUp();

    // One build of the schedule from the window's inputs, as "Create Project!"
    // does. A refusal is shown and the previous schedule stays: false. The
    // Working Week dialog's Save calls it.
    bool buildSchedule();

    // Every export calls this first, so that what is written is what the
    // controls show: builds when the task text, the project name, the start
    // option or picked date, or the check box changed since the last build
    // (or nothing was built yet). False when that build was refused; its
    // message was shown and the export writes nothing.
    bool buildIfChanged();

    // What the Working Week dialog writes back before it asks for a build.
    void setWorkingWeek(const WeekFlags& flags);
    void setWorkingHours(const QString& startsAt, const QString& endsAt);
    void setDaysOff(const QList<DayOff>& daysOff);

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
    // Who the project is for the calendar exports: its id once it comes from a
    // project file, so a renamed project keeps its events; else its name.
    QString calendarKey() const;

    const Schedule& schedule() const { return m_schedule; }
    const WeekFlags& weekFlags() const { return m_weekFlags; }
    const QList<DayOff>& daysOff() const { return m_daysOff; }
    const QString& startsAt() const { return m_startsAt; }
    const QString& endsAt() const { return m_endsAt; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void makeBanner();
    void makeSidebar();
    void makeScheduleTable();
    void makeTimeline();
    void makeMenus();

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

    bool weekApplies() const;
    // The month calendar paints the user's days off: the weekdays off and the dates off.
    void markDaysOff();

    // What a build read from the controls; the schedule matches the screen
    // while they still hold it.
    struct ControlInputs {
        QString taskText;
        QString projectName;
        StartOption startOption = StartOption::RightAway;
        QDate pickedStartDate;
        bool weekApplies = true;

        friend bool operator==(const ControlInputs&, const ControlInputs&) = default;
    };
    ControlInputs controlInputs() const;
    // Projects: the File menu's New, Open, Save and Save As, the unsaved-changes
    // question and the recent files.
    void makeFileMenu();
    void watchProjectInputs();
    void refreshRecentMenu();
    void newProject();
    void chooseProjectToOpen();
    bool saveProject();
    bool saveProjectAs();
    bool writeProject(const QString& path);
    // Reads the file and fills the window, building when asked; a refused file
    // is told and changes nothing.
    bool loadProject(const QString& path, bool build);
    void fillIn(const Project& project, bool tasksOnly);
    // Both tables empty, as when nothing was built.
    void clearSchedule();
    Project currentProject() const;
    // Asks about unsaved changes; true when the caller may go on.
    bool settleUnsavedChanges();
    void setProjectFile(const QString& path);
    void updateTitle();
    void reopenLastProject();
    QString projectFolder() const;
    // A .taskloom or .txt file dragged over or dropped on the window or a text box.
    bool takeFileDrop(QObject* watched, QEvent* event);

    AppFolders m_folders;
    std::function<QDate()> m_today;
    std::unique_ptr<FileChooser> m_fileChooser;
    std::unique_ptr<PasswordStore> m_passwords;
    QNetworkAccessManager* m_network = nullptr;
    CalendarServerPublish* m_serverPublish = nullptr; // made on the first publish
    // The calendar the project was last published to, offered again next
    // time and kept in its file.
    QString m_publishAddress;
    QString m_publishUser;

    WeekFlags m_weekFlags{};
    QList<DayOff> m_daysOff;
    QString m_startsAt;
    QString m_endsAt;
    QDate m_pickedStartDate;
    Schedule m_schedule;
    std::optional<ControlInputs> m_builtFrom; // none until the first build
    QSet<int> m_keysPressedInTaskBox;         // build keys whose press the task box received
    int m_calendarGrowth = 0; // pixels the calendar needs beyond its designed height
    // The project on screen: its file (empty when none), its id, the keys a
    // later version wrote (saved back), and the recent files.
    QString m_projectPath;
    QString m_projectId;
    QJsonObject m_projectExtras;
    std::unique_ptr<RecentProjects> m_recentProjects;

    QTimer m_calendarCatchUp;
    ScheduleTableModel* m_model = nullptr;

    QWidget* m_central = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_exportMenu = nullptr;
    QMenu* m_recentMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QWidget* m_banner = nullptr;
    QLabel* m_slogan = nullptr;
    QWidget* m_sidebar = nullptr;
    QPushButton* m_exportButton = nullptr;
    QTableView* m_table = nullptr;
    TimelineView* m_timelineView = nullptr;
    QPushButton* m_showScheduleButton = nullptr;
    QPushButton* m_showTimelineButton = nullptr;
    QAction* m_viewScheduleAction = nullptr;
    QAction* m_viewTimelineAction = nullptr;
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
