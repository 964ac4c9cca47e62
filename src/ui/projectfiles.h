#pragma once

#include "plan/planchoices.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QEvent;
class QMainWindow;
class QMenu;

namespace taskloom {

class FileChooser;
class PlanDocument;
class RecentProjects;
struct Project;

// What the project-file flow asks of the window it serves.
class ProjectWindow {
public:
    virtual ~ProjectWindow() = default;
    // The choices on screen, as a save writes them.
    virtual PlanChoices choices() const = 0;
    // Puts an opened (or a new) project on screen; a task list gives only
    // its name and tasks.
    virtual void fillIn(const Project& project, bool tasksOnly) = 0;
    // One build as "Create Project!" does; false when it was refused.
    virtual bool buildSchedule() = 0;
    // Both tables empty, as when nothing was built.
    virtual void clearSchedule() = 0;
};

// The project files as the user meets them: New, Open, Open Recent, Save and
// Save As, a file dropped on the window, the question about unsaved changes,
// the title with the file's name, and the project the next start fills in.
class ProjectFiles : public QObject {
    Q_OBJECT
public:
    // chooser: the window's file dialogs, which tests replace at any time.
    ProjectFiles(QMainWindow* window, ProjectWindow& view, PlanDocument& plan,
                 const std::unique_ptr<FileChooser>& chooser, QString settingsFolder,
                 QString outputFolder, std::function<QDate()> today);
    ~ProjectFiles() override;

    // New, Open…, Open Recent, Save and Save As, put before `before`.
    void addActions(QMenu* fileMenu, QAction* before);

    void newProject();
    void chooseProjectToOpen();
    // Asks about unsaved changes, then opens the file and builds. False when
    // the user cancelled or the file was refused (the window keeps what it had).
    bool openProject(const QString& path);
    bool saveProject();
    bool saveProjectAs();
    // The window's close: asks about unsaved changes; true when it may close.
    bool mayClose();
    // Start-up: fills in the project the window had when it was last left,
    // without building it.
    void reopenLastProject();
    void updateTitle();
    // A .taskloom or .txt file dragged over or dropped on the window or one
    // of its text boxes; true when the event was taken.
    bool takeFileDrop(QObject* watched, QEvent* event, const QList<QObject*>& textBoxes);

private:
    bool writeProject(const QString& path);
    // Reads the file and fills the window, building when asked; a refused
    // file is told and changes nothing.
    bool loadProject(const QString& path, bool build);
    // Asks about unsaved changes before what is named ("closing"); true when
    // the caller may go on.
    bool settleUnsavedChanges(const QString& before);
    void remember(const QString& path);
    void refreshRecentMenu();
    QString projectFolder() const;

    QMainWindow* m_window;
    ProjectWindow& m_view;
    PlanDocument& m_plan;
    const std::unique_ptr<FileChooser>& m_chooser;
    QString m_outputFolder;
    std::function<QDate()> m_today;
    std::unique_ptr<RecentProjects> m_recent;
    QMenu* m_recentMenu = nullptr;
};

} // namespace taskloom
