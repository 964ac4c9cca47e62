#include "projectfiles.h"

#include "alerts.h"
#include "exportfilename.h"
#include "filechooser.h"
#include "plan/plandocument.h"
#include "project/projectfile.h"
#include "project/recentprojects.h"
#include "taskloomversion.h"
#include "uilook.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>

namespace taskloom {

namespace {

const QString ProjectFilter = QStringLiteral("Taskloom projects (*.taskloom)");
// What the unsaved-changes question asks about before Open, from any source.
const QString OpeningAnother = QStringLiteral("opening another project");

} // namespace

ProjectFiles::ProjectFiles(QMainWindow* window, ProjectWindow& view, PlanDocument& plan,
                           const std::unique_ptr<FileChooser>& chooser, QString settingsFolder,
                           QString outputFolder, std::function<QDate()> today)
    : QObject(window), m_window(window), m_view(view), m_plan(plan), m_chooser(chooser),
      m_outputFolder(std::move(outputFolder)), m_today(std::move(today)),
      m_recent(std::make_unique<RecentProjects>(settingsFolder))
{
}

ProjectFiles::~ProjectFiles() = default;

void ProjectFiles::addActions(QMenu* fileMenu, QAction* before)
{
    const auto action = [&](const char* name, const QString& text, QKeySequence::StandardKey key,
                            const char* fallback, const std::function<void()>& run) {
        auto* made = new QAction(text, fileMenu);
        made->setObjectName(QLatin1String(name));
        made->setShortcuts(UiLook::keysFor(key, fallback));
        connect(made, &QAction::triggered, this, run);
        fileMenu->insertAction(before, made);
    };
    action("actionNew", QStringLiteral("&New"), QKeySequence::New, "Ctrl+N",
           [this] { newProject(); });
    action("actionOpen", QStringLiteral("&Open…"), QKeySequence::Open, "Ctrl+O",
           [this] { chooseProjectToOpen(); });
    m_recentMenu = new QMenu(QStringLiteral("Open &Recent"), fileMenu);
    m_recentMenu->setObjectName(QStringLiteral("menuOpenRecent"));
    m_recentMenu->setToolTipsVisible(true);
    fileMenu->insertMenu(before, m_recentMenu);
    action("actionSave", QStringLiteral("&Save"), QKeySequence::Save, "Ctrl+S",
           [this] { saveProject(); });
    action("actionSaveAs", QStringLiteral("Save &As…"), QKeySequence::SaveAs, "Ctrl+Shift+S",
           [this] { saveProjectAs(); });
    fileMenu->insertSeparator(before);
    refreshRecentMenu();
}

void ProjectFiles::refreshRecentMenu()
{
    // Later, not now: this may run inside one of these actions' own trigger.
    for (QAction* old : m_recentMenu->actions()) {
        m_recentMenu->removeAction(old);
        old->deleteLater();
    }
    // "&1 Kitchen.taskloom  [~/Documents]": the folder tells files of one name apart.
    const auto shown = [](QString text) { return text.replace(u'&', QStringLiteral("&&")); };
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    const QStringList files = m_recent->files();
    for (int i = 0; i < files.size(); ++i) {
        const QString& file = files.at(i);
        const QFileInfo info(file);
        QString folder = QDir::toNativeSeparators(info.absolutePath());
        if (folder == home || folder.startsWith(home + QDir::separator()))
            folder.replace(0, home.size(), u'~');
        QAction* action = m_recentMenu->addAction(
            QStringLiteral("&%1 %2  [%3]").arg(i + 1).arg(shown(info.fileName()), shown(folder)));
        action->setToolTip(QDir::toNativeSeparators(file));
        connect(action, &QAction::triggered, this, [this, file] { openProject(file); });
    }
    m_recentMenu->addSeparator();
    QAction* clear = m_recentMenu->addAction(QStringLiteral("&Clear List"));
    clear->setObjectName(QStringLiteral("actionClearRecent"));
    connect(clear, &QAction::triggered, this, [this] {
        m_recent->clear();
        refreshRecentMenu();
    });
    m_recentMenu->setEnabled(!files.isEmpty());
}

void ProjectFiles::newProject()
{
    if (!settleUnsavedChanges(QStringLiteral("starting a new project")))
        return;
    // As the window first opens; the working week is the user's, it stays.
    Project fresh;
    fresh.name = QStringLiteral("My Project");
    fresh.startDate = m_today();
    m_plan.reset();
    m_view.fillIn(fresh, false);
    m_view.clearSchedule();
    m_window->setWindowModified(false);
    remember({});
}

void ProjectFiles::chooseProjectToOpen()
{
    // Asked before the dialog, so the answer is about the project on screen.
    if (!settleUnsavedChanges(OpeningAnother))
        return;
    const QString path = m_chooser->openFile(
        m_window, QStringLiteral("Open Project"), projectFolder(),
        QStringLiteral("Projects and task lists (*.taskloom *.txt);;%1;;Task lists (*.txt)")
            .arg(ProjectFilter));
    if (!path.isEmpty())
        loadProject(path, true);
}

bool ProjectFiles::openProject(const QString& path)
{
    return settleUnsavedChanges(OpeningAnother) && loadProject(path, true);
}

bool ProjectFiles::saveProject()
{
    return m_plan.filePath().isEmpty() ? saveProjectAs() : writeProject(m_plan.filePath());
}

bool ProjectFiles::saveProjectAs()
{
    QString suggested = m_plan.filePath();
    if (suggested.isEmpty())
        suggested =
            QDir(projectFolder())
                .filePath(ExportFileName::forProject(m_view.choices().projectName,
                                                     u'.' + QLatin1String(ProjectFile::Suffix)));
    QString path =
        m_chooser->saveFile(m_window, QStringLiteral("Save Project As"), suggested, ProjectFilter);
    if (path.isEmpty())
        return false;
    // A project file always ends in .taskloom, so that it opens as one again; the
    // dialog did not ask about the name with the extension added.
    if (!ProjectFile::hasProjectSuffix(path)) {
        path += u'.' + QLatin1String(ProjectFile::Suffix);
        if (QFileInfo::exists(path) &&
            !Alerts::confirm(
                m_window, QStringLiteral("Confirm"),
                QStringLiteral("Overwrite the existing \"%1\"?").arg(QFileInfo(path).fileName())))
            return false;
    }
    return writeProject(path);
}

bool ProjectFiles::writeProject(const QString& path)
{
    if (const std::optional<QString> reason = m_plan.save(path, m_view.choices())) {
        Alerts::writeFailed(m_window, QStringLiteral("project"), path, *reason);
        return false;
    }
    m_window->setWindowModified(false);
    remember(path);
    return true;
}

bool ProjectFiles::loadProject(const QString& path, bool build)
{
    const ProjectFile::Load load = m_plan.open(path);
    if (!load.project) {
        Alerts::warn(m_window, QStringLiteral("Error"),
                     QStringLiteral("The project could not be read from %1.\n\n%2")
                         .arg(QDir::toNativeSeparators(path), load.problem));
        if (!QFileInfo::exists(path)) { // gone: no use offering it again
            m_recent->remove(path);
            refreshRecentMenu();
        }
        return false;
    }
    m_view.fillIn(*load.project, load.tasksOnly);
    // Filling from a file is no change of the user's: its signals marked the window.
    m_window->setWindowModified(false);
    remember(path);
    // A refused build keeps the tables it finds: no row of the previous
    // project may stay under the new name.
    if (build && !m_view.buildSchedule())
        m_view.clearSchedule();
    return true;
}

void ProjectFiles::remember(const QString& path)
{
    if (!path.isEmpty()) {
        m_recent->add(path);
        refreshRecentMenu();
    }
    // The next start fills in the project the window had last.
    m_recent->setLastProject(m_plan.filePath());
    updateTitle();
}

bool ProjectFiles::mayClose()
{
    return settleUnsavedChanges(QStringLiteral("closing"));
}

bool ProjectFiles::settleUnsavedChanges(const QString& before)
{
    if (!m_window->isWindowModified())
        return true;
    const QString which = m_plan.filePath().isEmpty()
                              ? QStringLiteral("this project")
                              : u'"' + QFileInfo(m_plan.filePath()).fileName() + u'"';
    const QMessageBox::StandardButton answer = Alerts::show(
        m_window, QMessageBox::Question, QStringLiteral("Taskloom"),
        QStringLiteral("Save the changes to %1 before %2?").arg(which, before),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return saveProject(); // a cancelled or failed save keeps the window as it is
    return answer == QMessageBox::Discard;
}

void ProjectFiles::updateTitle()
{
    QString title = QStringLiteral("Taskloom v") + QString::fromLatin1(Version);
    if (!m_plan.filePath().isEmpty())
        title += QStringLiteral(" — ") + QFileInfo(m_plan.filePath()).fileName();
    m_window->setWindowTitle(title + QStringLiteral("[*]"));
}

void ProjectFiles::reopenLastProject()
{
    const QString last = m_recent->lastProject();
    // Told once: a project that cannot be read is not tried again next time.
    if (!last.isEmpty() && !loadProject(last, false))
        m_recent->setLastProject({});
}

QString ProjectFiles::projectFolder() const
{
    if (!m_plan.filePath().isEmpty())
        return QFileInfo(m_plan.filePath()).absolutePath();
    // An installed copy's export folder is made on first use, so the dialog
    // starts in it rather than somewhere else.
    QDir().mkpath(m_outputFolder);
    return m_outputFolder;
}

bool ProjectFiles::takeFileDrop(QObject* watched, QEvent* event, const QList<QObject*>& textBoxes)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    if (watched != m_window && !textBoxes.contains(watched))
        return false;
    auto* drop = static_cast<QDropEvent*>(event); // enter and move events are drop events too
    const QMimeData* data = drop->mimeData();
    QString file;
    bool localFiles = false;
    for (const QUrl& url : data ? data->urls() : QList<QUrl>()) {
        localFiles = localFiles || url.isLocalFile();
        if (url.isLocalFile() && ProjectFile::isOpenable(url.toLocalFile())) {
            file = url.toLocalFile();
            break;
        }
    }
    if (file.isEmpty()) {
        // Other files are not text for the boxes either: no path is pasted.
        if (localFiles && watched != m_window) {
            drop->ignore();
            return true;
        }
        return false;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        // Once the drop is over: a question or a message must not run inside it.
        QMetaObject::invokeMethod(
            this, [this, file] { openProject(file); }, Qt::QueuedConnection);
    }
    return true;
}

} // namespace taskloom
