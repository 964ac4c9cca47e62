#include "mainwindow.h"

#include "accessiblecontrols.h"
#include "alerts.h"
#include "caldav/keychainpasswordstore.h"
#include "calendarserverpublish.h"
#include "csvexport.h"
#include "dialogfilechooser.h"
#include "helpmenu.h"
#include "icsexport.h"
#include "linklabel.h"
#include "planmenu.h"
#include "scheduletablemodel.h"
#include "scheduletableview.h"
#include "settings/settingsstore.h"
#include "timelineexport.h"
#include "timelineview.h"
#include "tipsdialog.h"
#include "uilook.h"
#include "viewswitch.h"
#include "workingweekdialog.h"

#include <QActionGroup>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QNetworkAccessManager>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QTextCharFormat>

#include <algorithm>

namespace taskloom {

namespace {

const QColor BannerColour(64, 0, 64);
const QColor SidebarColour(128, 0, 128);
const QColor OptionColour(192, 192, 255);
const QColor LinkColour(255, 255, 192);
const QColor SloganColour(255, 192, 255);

// The designed client area and the one distance the layout rule keeps.
constexpr int DesignedWidth = 17130;
constexpr int DesignedHeight = 10005;
constexpr int BannerHeight = 1095;
constexpr int SidebarWidth = 5730;
constexpr int RightMargin = 700;
// The calendar's designed place inside Frame2.
constexpr int CalendarLeft = 1035;
constexpr int CalendarTop = 1215;
constexpr int CalendarWidth = 2625;
constexpr int CalendarHeight = 2040;
constexpr int Frame2Width = 5100;

QWidget* makePanel(QWidget* parent, const char* name, const QColor& colour)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    UiLook::setBackground(panel, colour);
    return panel;
}

// Controls on the coloured panels keep the ordinary light look inside.
void keepLightInside(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    widget->setPalette(palette);
}

QRadioButton* makeOption(QWidget* parent, const char* name, const QString& text, QRect place)
{
    auto* option = new QRadioButton(text, parent);
    option->setObjectName(QLatin1String(name));
    option->setFont(UiLook::font(8.25));
    option->setGeometry(place);
    UiLook::setBackground(option, OptionColour);
    UiLook::setTextColour(option, Qt::black);
    return option;
}

} // namespace

MainWindow::MainWindow(AppFolders folders, std::function<QDate()> today, QWidget* parent)
    : QMainWindow(parent), m_folders(std::move(folders)), m_today(std::move(today)),
      m_fileChooser(std::make_unique<DialogFileChooser>()),
      m_passwords(std::make_unique<KeychainPasswordStore>()),
      m_network(new QNetworkAccessManager(this))
{
    AccessibleControls::install();
    setObjectName(QStringLiteral("Form1"));
    setFont(UiLook::font(8.25));
    // Every designed position is within this area, below the menu bar.
    m_central = new QWidget(this);
    m_central->setObjectName(QStringLiteral("centralWidget"));
    UiLook::setBackground(m_central, Qt::white);
    m_central->installEventFilter(this);
    setCentralWidget(m_central);

    makeBanner();
    makeSidebar();
    makeScheduleTable();
    makeTimeline();
    m_projectFiles = new ProjectFiles(this, *this, m_plan, m_fileChooser, m_folders.settings,
                                      m_folders.output, m_today);
    makeMenus();
    watchProjectInputs();

    // The designed client area, and the menu bar above it.
    const int menuHeight = menuBar()->sizeHint().height();
    resize(UiLook::px(DesignedWidth), UiLook::px(DesignedHeight) + m_calendarGrowth + menuHeight);
    // Narrower than the sidebar nothing useful is left; lower than the
    // "Create Project!" button the sidebar would be cut.
    setMinimumSize(UiLook::px(SidebarWidth), m_createButton->geometry().bottom() +
                                                 UiLook::px(BannerHeight) + UiLook::px(120) +
                                                 menuHeight);

    // A child of the window, so it is found by name like every other control.
    m_calendarCatchUp.setParent(this);
    m_calendarCatchUp.setObjectName(QStringLiteral("tmrDate"));
    m_calendarCatchUp.setSingleShot(true);
    m_calendarCatchUp.setInterval(300);
    connect(&m_calendarCatchUp, &QTimer::timeout, this, &MainWindow::catchUpCalendarToToday);
}

MainWindow::~MainWindow()
{
    // Before m_passwords goes: the publish flow and its dialogs use it.
    delete m_serverPublish;
}

void MainWindow::makeBanner()
{
    m_banner = makePanel(m_central, "Picture1", BannerColour);
    UiLook::label(m_banner, "lblAppName", QStringLiteral("Taskloom!"),
                  UiLook::rect(270, 315, 7215, 420), UiLook::font(14.25, true), Qt::white);
    m_slogan =
        UiLook::label(m_banner, "Label13",
                      QStringLiteral("The Easiest and Fastest way to Bring Your Projects to "
                                     "Life!"),
                      UiLook::rect(12330, 315, 7575, 420), UiLook::font(11.25), SloganColour);

    m_exportButton =
        new QPushButton(QStringLiteral("Export Project to .CSV For G Calendar"), m_central);
    m_exportButton->setObjectName(QStringLiteral("Command2"));
    m_exportButton->setFont(UiLook::font(9.75, true));
    m_exportButton->setGeometry(UiLook::rect(13995, 1215, 6000, 465));
    // Return on the focused button presses it, as Space does.
    m_exportButton->setAutoDefault(true);
    connect(m_exportButton, &QPushButton::clicked, this, &MainWindow::exportCalendarCsv);
}

void MainWindow::makeSidebar()
{
    m_sidebar = makePanel(m_central, "picSidebar", SidebarColour);
    QWidget* side = m_sidebar;

    QLabel* nameCaption =
        UiLook::label(side, "Label14", QStringLiteral("Project Name:"),
                      UiLook::rect(225, 180, 2490, 420), UiLook::font(12, true), Qt::white);
    m_projectNameBox = new QLineEdit(QStringLiteral("My Project"), side);
    // Screen readers announce a box by its caption; buttons and links by their text.
    nameCaption->setBuddy(m_projectNameBox);
    m_projectNameBox->setAccessibleName(nameCaption->text());
    m_projectNameBox->setObjectName(QStringLiteral("txtProjectName"));
    m_projectNameBox->setFont(UiLook::font(11.25, true));
    m_projectNameBox->setGeometry(UiLook::rect(225, 675, 3120, 465));
    UiLook::label(side, "Label16", QStringLiteral("Try to Keep it Short."),
                  UiLook::rect(3555, 810, 1950, 285), UiLook::font(9), Qt::white);

    QLabel* tasksCaption =
        UiLook::label(side, "Label7", QStringLiteral("Project Tasks:"),
                      UiLook::rect(270, 1440, 2490, 420), UiLook::font(12, true), Qt::white);
    m_taskBox = new QPlainTextEdit(side);
    tasksCaption->setBuddy(m_taskBox);
    m_taskBox->setAccessibleName(tasksCaption->text());
    m_taskBox->setObjectName(QStringLiteral("txtTodo"));
    m_taskBox->setFont(UiLook::font(9.75, true));
    m_taskBox->setGeometry(UiLook::rect(270, 1890, 5190, 1275));
    m_taskBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_taskBox->setTabChangesFocus(true);
    m_taskBox->installEventFilter(this);

    QWidget* frame3 = makePanel(side, "Frame3", SidebarColour);
    frame3->setGeometry(UiLook::rect(225, 3330, 5235, 465));
    UiLook::label(frame3, "Label8", QStringLiteral("Enter 1 Task Per Line. "),
                  UiLook::rect(45, 45, 2625, 285), UiLook::font(9), Qt::white);
    m_tipsLink = new LinkLabel(QStringLiteral("Tips"), frame3);
    UiLook::dress(m_tipsLink, "Label15", UiLook::rect(3780, 45, 1320, 240),
                  UiLook::font(9, false, true), LinkColour);
    connect(m_tipsLink, &LinkLabel::activated, this, &MainWindow::showTips);

    QWidget* frame2 = makePanel(side, "Frame2", SidebarColour);
    frame2->setGeometry(UiLook::rect(270, 4095, Frame2Width, 3300)); // grows with the calendar
    const QLabel* startCaption =
        UiLook::label(frame2, "Label12", QStringLiteral("Project Start date:"),
                      UiLook::rect(0, 0, 4155, 420), UiLook::font(12, true), Qt::white);
    m_rightAwayOption = makeOption(
        frame2, "optDate0", QStringLiteral("I want to start running this project right away."),
        UiLook::rect(0, 315, 4020, 420));
    m_pickedDateOption = makeOption(frame2, "optDate1", QStringLiteral("Start this project on "),
                                    UiLook::rect(0, 675, 4020, 420));
    m_rightAwayOption->setChecked(true);
    // Both as wide as the longer text needs, when that is more than designed,
    // never wider than their frame.
    const int optionWidth = std::clamp(
        std::max(m_rightAwayOption->sizeHint().width(), m_pickedDateOption->sizeHint().width()),
        m_rightAwayOption->width(), frame2->width());
    for (QRadioButton* option : {m_rightAwayOption, m_pickedDateOption})
        option->resize(optionWidth, option->height());
    // Either option rebuilds: the builder reads which one is selected.
    connect(m_rightAwayOption, &QRadioButton::clicked, this, &MainWindow::buildSchedule);
    connect(m_pickedDateOption, &QRadioButton::clicked, this, &MainWindow::buildSchedule);

    m_calendarWidget = new QCalendarWidget(frame2);
    m_calendarWidget->setObjectName(QStringLiteral("Calendar2"));
    // The month grid takes the focus for the calendar, and the year box opens
    // from the year button: both are announced too.
    m_calendarWidget->setAccessibleName(startCaption->text());
    if (auto* grid =
            m_calendarWidget->findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview")))
        grid->setAccessibleName(startCaption->text());
    if (auto* year = m_calendarWidget->findChild<QWidget*>(QStringLiteral("qt_calendar_yearedit")))
        year->setAccessibleName(QStringLiteral("Year"));
    keepLightInside(m_calendarWidget);
    m_calendarWidget->setFont(UiLook::font(8.25));
    m_calendarWidget->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendarWidget->setSelectedDate(QDate(2020, 1, 13)); // the date it was stored with
    // The designed 2625 x 2040 twips is too small for a legible month: give the
    // calendar what it asks for and push everything below it down by as much.
    const QSize wanted = m_calendarWidget->sizeHint();
    const int width = std::max(UiLook::px(CalendarWidth), wanted.width());
    const int height = std::max(UiLook::px(CalendarHeight), wanted.height());
    m_calendarGrowth = height - UiLook::px(CalendarHeight);
    const int left = std::min(UiLook::px(CalendarLeft), UiLook::px(Frame2Width) - width);
    m_calendarWidget->setGeometry(std::max(0, left), UiLook::px(CalendarTop), width, height);
    frame2->setGeometry(UiLook::px(270), UiLook::px(4095), UiLook::px(Frame2Width),
                        UiLook::px(3300) + m_calendarGrowth);
    // A date change is a user's pick: the calendar reports mouse, keyboard and
    // typed-date changes alike through selectionChanged, as the old control's
    // date-change event did. The start-up catch-up sets the date with the
    // signals blocked, so only the user's picks select option 1 and build.
    connect(m_calendarWidget, &QCalendarWidget::selectionChanged, this,
            [this] { onCalendarDatePicked(m_calendarWidget->selectedDate()); });

    const int below = m_calendarGrowth;
    m_adjustToWeekBox = new QCheckBox(QStringLiteral("Adjust Tasks to My Working Week."), side);
    m_adjustToWeekBox->setObjectName(QStringLiteral("chkExcludeWeekends"));
    m_adjustToWeekBox->setFont(UiLook::font(9));
    m_adjustToWeekBox->setGeometry(UiLook::rect(315, 7425, 3750, 375).translated(0, below));
    m_adjustToWeekBox->setChecked(true);
    UiLook::setBackground(m_adjustToWeekBox, OptionColour);
    connect(m_adjustToWeekBox, &QCheckBox::clicked, this, &MainWindow::buildSchedule);

    m_settingsLink = new LinkLabel(QStringLiteral("Settings"), side);
    UiLook::dress(m_settingsLink, "lblSetWorkingDays",
                  UiLook::rect(4410, 7515, 960, 240).translated(0, below),
                  UiLook::font(9, false, true), LinkColour);
    connect(m_settingsLink, &LinkLabel::activated, this, &MainWindow::openWorkingWeekDialog);

    m_createButton = new QPushButton(QStringLiteral("Create Project!"), side);
    m_createButton->setObjectName(QStringLiteral("cmdToList"));
    m_createButton->setFont(UiLook::font(9.75, true));
    m_createButton->setGeometry(UiLook::rect(270, 7920, 5145, 690).translated(0, below));
    m_createButton->setAutoDefault(true);
    connect(m_createButton, &QPushButton::clicked, this, &MainWindow::buildSchedule);

    for (QWidget* light : {static_cast<QWidget*>(m_projectNameBox),
                           static_cast<QWidget*>(m_taskBox), static_cast<QWidget*>(m_createButton)})
        keepLightInside(light);
}

void MainWindow::makeScheduleTable()
{
    m_model = new ScheduleTableModel(this);
    m_table = new ScheduleTableView(m_central);
    m_table->setObjectName(QStringLiteral("ListView1"));
    m_table->setAccessibleName(QStringLiteral("Schedule"));
    m_table->setModel(m_model);
    m_table->setGeometry(UiLook::rect(5895, 1800, 14100, 7755));
    m_table->setFont(UiLook::font(9.75, true));
    QPalette palette = m_table->palette();
    palette.setColor(QPalette::Base, QColor(255, 255, 192));
    palette.setColor(QPalette::Text, QColor(0, 0, 128));
    m_table->setPalette(palette);

    // The look of a report list: no row numbers, whole rows selected, nothing
    // edited in place.
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setShowGrid(false);
    m_table->setWordWrap(false);
    m_table->setCornerButtonEnabled(false);
    // Tab goes on to the next control, not the next cell: arrows move in the table.
    m_table->setTabKeyNavigation(false);
    // Fixed row heights keep a reset of ten thousand rows cheap: the view
    // never measures rows it does not paint.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void MainWindow::makeTimeline()
{
    m_timelineView = new TimelineView(SidebarColour, m_central);
    m_timelineView->setObjectName(QStringLiteral("timelineView"));
    m_timelineView->setAccessibleName(QStringLiteral("Timeline"));
    m_timelineView->setGeometry(m_table->geometry());
    m_timelineView->setFont(UiLook::font(9));
    m_timelineView->setTableModel(m_model);
    m_timelineView->hide();
    connect(m_timelineView, &TimelineView::exportRequested, this,
            &MainWindow::exportTimelinePicture);

    // Two switches at the left of the strip beside the export button, as tall
    // as it; a narrow window lets the export button cover them.
    const auto makeSwitch = [this](const char* name, const QString& text, int left) {
        auto* button = new ViewSwitch(text, m_central);
        button->setObjectName(QLatin1String(name));
        button->setFont(UiLook::font(9.75, true));
        button->setGeometry(UiLook::rect(left, 1215, 1425, 465));
        button->setCheckable(true);
        return button;
    };
    m_showScheduleButton = makeSwitch("cmdShowSchedule", QStringLiteral("Schedule"), 5895);
    m_showTimelineButton = makeSwitch("cmdShowTimeline", QStringLiteral("Timeline"), 7320);
    for (QWidget* button : {m_showScheduleButton, m_showTimelineButton})
        button->stackUnder(m_exportButton);
    // Tab goes down the sidebar, then to these switches, the area they switch
    // and on to the export button, made first, which closes the round.
    setTabOrder(m_createButton, m_showScheduleButton);
    setTabOrder(m_showScheduleButton, m_showTimelineButton);
    setTabOrder(m_showTimelineButton, m_table);
}

void MainWindow::makeMenus()
{
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("menuFile"));
    m_exportMenu = m_fileMenu->addMenu(QStringLiteral("&Export"));
    m_exportMenu->setObjectName(QStringLiteral("menuExport"));
    QAction* csv = m_exportMenu->addAction(QStringLiteral("CSV File for G Calendar"));
    csv->setObjectName(QStringLiteral("actionExportCsv"));
    connect(csv, &QAction::triggered, this, &MainWindow::exportCalendarCsv);
    QAction* ics = m_exportMenu->addAction(QStringLiteral("iCalendar File (.ics)…"));
    ics->setObjectName(QStringLiteral("actionExportIcs"));
    connect(ics, &QAction::triggered, this, &MainWindow::exportIcs);
    QAction* picture = m_exportMenu->addAction(QStringLiteral("Timeline Picture…"));
    picture->setObjectName(QStringLiteral("actionExportTimeline"));
    connect(picture, &QAction::triggered, this, &MainWindow::exportTimelinePicture);
    QAction* publish = m_fileMenu->addAction(QStringLiteral("&Publish to Calendar Server…"));
    publish->setObjectName(QStringLiteral("actionPublish"));
    connect(publish, &QAction::triggered, this, &MainWindow::publishToCalendarServer);
    m_projectFiles->addActions(m_fileMenu, m_exportMenu->menuAction());
    m_fileMenu->addSeparator();
    QAction* quit = m_fileMenu->addAction(QStringLiteral("&Quit"));
    quit->setObjectName(QStringLiteral("actionQuit"));
    quit->setShortcuts(UiLook::keysFor(QKeySequence::Quit, "Ctrl+Q"));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    auto* plan = new PlanMenu(m_table, m_model, this);
    menuBar()->addMenu(plan);
    connect(plan, &PlanMenu::doneChosen, this, &MainWindow::setDone);
    connect(plan, &PlanMenu::replanChosen, this, &MainWindow::replanFromToday);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    // The actions are the one record of what is shown; the switches above the
    // schedule area follow them.
    auto* views = new QActionGroup(this);
    const auto addView = [&](const char* name, const QString& text, const QKeySequence& key,
                             QPushButton* button) {
        QAction* action = view->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        action->setCheckable(true);
        views->addAction(action);
        connect(action, &QAction::toggled, button, &QPushButton::setChecked);
        // A click on the switch that is on turns it off; the action keeps it on.
        connect(button, &QPushButton::clicked, action, [action, button] {
            action->trigger();
            button->setChecked(action->isChecked());
        });
        return action;
    };
    addView("actionViewSchedule", QStringLiteral("&Schedule"), QKeySequence(Qt::CTRL | Qt::Key_1),
            m_showScheduleButton)
        ->setChecked(true);
    QAction* timeline = addView("actionViewTimeline", QStringLiteral("&Timeline"),
                                QKeySequence(Qt::CTRL | Qt::Key_2), m_showTimelineButton);
    connect(timeline, &QAction::toggled, this, &MainWindow::showTimeline);

    view->addSeparator();
    m_zoomInAction = view->addAction(QStringLiteral("Zoom &In"));
    m_zoomInAction->setObjectName(QStringLiteral("actionZoomIn"));
    // Ctrl+= as well: on many keyboards "+" needs Shift.
    m_zoomInAction->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(m_zoomInAction, &QAction::triggered, m_timelineView, &TimelineView::zoomIn);
    m_zoomOutAction = view->addAction(QStringLiteral("Zoom &Out"));
    m_zoomOutAction->setObjectName(QStringLiteral("actionZoomOut"));
    m_zoomOutAction->setShortcut(QKeySequence::ZoomOut);
    connect(m_zoomOutAction, &QAction::triggered, m_timelineView, &TimelineView::zoomOut);
    // The keys zoom only what is shown.
    m_zoomInAction->setEnabled(false);
    m_zoomOutAction->setEnabled(false);

    menuBar()->addMenu(new HelpMenu(this));
}

void MainWindow::setDone(int row, bool done)
{
    if (row >= m_model->rows().size() || m_model->rows().at(row).done == done)
        return;
    const PlanChoices shown = m_plan.setDone(row, done, choices(), m_today());
    if (shown.startOption != choices().startOption) {
        // Pinned: the project now starts on the date its plan started on.
        m_pickedStartDate = shown.pickedStartDate;
        const QSignalBlocker quiet(m_calendarWidget);
        m_calendarWidget->setSelectedDate(shown.pickedStartDate);
        m_pickedDateOption->setChecked(true);
    }
    setWindowModified(true);
    buildSchedule();
    m_table->setCurrentIndex(m_model->index(row, ScheduleTableModel::TaskColumn));
}

void MainWindow::replanFromToday()
{
    const int row = m_table->currentIndex().row();
    m_plan.replan(m_today());
    setWindowModified(true);
    buildSchedule();
    if (row >= 0)
        m_table->setCurrentIndex(m_model->index(row, ScheduleTableModel::TaskColumn));
}

void MainWindow::setFileChooser(std::unique_ptr<FileChooser> chooser)
{
    m_fileChooser = std::move(chooser);
}

void MainWindow::setPasswordStore(std::unique_ptr<PasswordStore> passwords)
{
    Q_ASSERT(!m_serverPublish);
    m_passwords = std::move(passwords);
}

void MainWindow::startUp()
{
    // An installed copy's first start fills the user's settings folder; then
    // the hours, the week and the dates off, each problem told as it comes.
    QList<Problem> problems = m_folders.seedSettings();
    const SettingsStore store(m_folders.settings, m_folders.defaults);
    using Part = PlanDocument::SettingsPart;
    problems += m_plan.loadSettings(store, Part::Hours | Part::Week | Part::DaysOff);
    for (const Problem& problem : problems)
        Alerts::warn(this, problem);

    UiLook::setTextColour(m_adjustToWeekBox, Qt::white);
    m_settingsLink->move(m_settingsLink->x(), m_adjustToWeekBox->y() + UiLook::px(50));
    m_projectFiles->updateTitle();
    const int widths[] = {4000, 2000, 2000, 2000};
    for (int column = 0; column < ScheduleTableModel::ColumnCount; ++column)
        m_table->setColumnWidth(column, UiLook::px(widths[column]));
    m_pickedStartDate = m_today();
    markDaysOff();

    m_projectFiles->reopenLastProject();
    m_calendarCatchUp.start();
}

bool MainWindow::buildSchedule()
{
    if (const std::optional<Problem> refusal = m_plan.build(choices(), m_today())) {
        Alerts::inform(this, *refusal);
        return false;
    }
    m_model->setRows(m_plan.schedule().rows);
    m_timelineView->setScene(m_plan.timelineScene());
    return true;
}

bool MainWindow::buildIfChanged()
{
    return m_plan.isBuiltFrom(choices()) || buildSchedule();
}

PlanChoices MainWindow::choices() const
{
    return {m_taskBox->toPlainText(), m_projectNameBox->text(),
            m_pickedDateOption->isChecked() ? StartOption::OnPickedDate : StartOption::RightAway,
            m_pickedStartDate, m_adjustToWeekBox->isChecked()};
}

void MainWindow::fillIn(const Project& project, bool tasksOnly)
{
    m_projectNameBox->setText(project.name);
    m_taskBox->setPlainText(project.taskText());
    if (tasksOnly)
        return;
    if (project.startDate.isValid()) {
        m_pickedStartDate = project.startDate;
        const QSignalBlocker quiet(m_calendarWidget); // not a pick: no build here
        m_calendarWidget->setSelectedDate(project.startDate);
    }
    (project.startOption == StartOption::OnPickedDate ? m_pickedDateOption : m_rightAwayOption)
        ->setChecked(true);
    m_adjustToWeekBox->setChecked(project.adjustToWorkingWeek);
}

void MainWindow::clearSchedule()
{
    m_plan.clearSchedule();
    m_model->setRows({});
    m_timelineView->setScene({});
}

void MainWindow::setWorkingWeek(const WeekFlags& flags)
{
    m_plan.setWeek(flags);
    markDaysOff();
}

void MainWindow::markDaysOff()
{
    // Qt paints Saturday and Sunday red on its own; the user's week decides instead.
    QTextCharFormat off;
    off.setForeground(QColor(192, 0, 0));
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
        m_calendarWidget->setWeekdayTextFormat(
            static_cast<Qt::DayOfWeek>(day),
            m_plan.settings().week.at(static_cast<std::size_t>(day)) == 1 ? QTextCharFormat()
                                                                          : off);
    // A null date clears every date's own format, so removed dates off lose theirs.
    m_calendarWidget->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat dateOff = off;
    dateOff.setFontWeight(QFont::Bold);
    dateOff.setBackground(QColor(255, 224, 224));
    for (const DayOff& day : m_plan.settings().daysOff) {
        dateOff.setToolTip(day.label);
        m_calendarWidget->setDateTextFormat(day.date, dateOff);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The text boxes would paste a dropped file's path: a project file opens.
    if (m_projectFiles &&
        m_projectFiles->takeFileDrop(watched, event, {m_projectNameBox, m_taskBox->viewport()}))
        return true;
    if (watched == m_taskBox) {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            onTaskBoxKey(*static_cast<QKeyEvent*>(event));
        else if (event->type() == QEvent::FocusOut)
            m_keysPressedInTaskBox.clear(); // their releases go elsewhere
    }
    if (watched == m_central && event->type() == QEvent::Resize) {
        // The docked panels follow the designed area; then the layout rule.
        const int bannerHeight = UiLook::px(BannerHeight);
        m_banner->setGeometry(0, 0, m_central->width(), bannerHeight);
        m_sidebar->setGeometry(0, bannerHeight, UiLook::px(SidebarWidth),
                               m_central->height() - bannerHeight);
        applyLayoutRule();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::applyLayoutRule()
{
    // Measured from the window's outer edge, border included.
    const int outerWidth = frameGeometry().width();
    const int margin = UiLook::px(RightMargin);
    m_exportButton->move(outerWidth - m_exportButton->width() - margin, m_exportButton->y());
    m_slogan->move(outerWidth - m_slogan->width() - margin, m_slogan->y());
    // A negative width cannot be had; the table keeps the one it has.
    const int tableWidth = outerWidth - m_table->x() - margin;
    if (tableWidth >= 0)
        m_table->resize(tableWidth, m_table->height());
    m_timelineView->setGeometry(m_table->geometry());
}

void MainWindow::onCalendarDatePicked(QDate newDate)
{
    // setChecked does not count as a click, so this builds once, below.
    m_pickedDateOption->setChecked(true);
    m_pickedStartDate = newDate;
    buildSchedule();
}

void MainWindow::catchUpCalendarToToday()
{
    m_calendarCatchUp.stop();
    const QDate today = m_today();
    // A project's own start stays in view, even one that has begun.
    if (!m_pickedDateOption->isChecked() && m_calendarWidget->selectedDate() < today) {
        // Only shows today; it is not the user's pick, so no date change.
        const QSignalBlocker quiet(m_calendarWidget);
        m_calendarWidget->setSelectedDate(today);
    }
}

void MainWindow::onTaskBoxKey(const QKeyEvent& key)
{
    // Ending a line or moving to another one rebuilds; typing within a line
    // does not.
    const int code = key.key();
    if (code != Qt::Key_Return && code != Qt::Key_Enter && code != Qt::Key_Up &&
        code != Qt::Key_Down)
        return;
    if (key.type() == QEvent::KeyPress) {
        m_keysPressedInTaskBox.insert(code);
        return;
    }
    // Only the release of a press the box received builds: Enter that closes
    // a message box is pressed there and released here. A held key repeats
    // its release; only the real one counts.
    if (!key.isAutoRepeat() && m_keysPressedInTaskBox.remove(code))
        buildSchedule();
}

void MainWindow::showTips()
{
    TipsDialog tips(this);
    tips.exec();
}

void MainWindow::openWorkingWeekDialog()
{
    const SettingsStore store(m_folders.settings, m_folders.defaults);
    WorkingWeekDialog dialog(store, *m_fileChooser, m_today(), this);
    // Opening reloads the week from its file, even when the dialog is then
    // cancelled; a save takes effect at once, with a build like "Create Project!".
    connect(&dialog, &WorkingWeekDialog::weekReloaded, this, &MainWindow::setWorkingWeek);
    connect(&dialog, &WorkingWeekDialog::saved, this,
            [this](const WeekFlags& flags, const QString& startsAt, const QString& endsAt,
                   const QList<DayOff>& daysOff) {
                m_plan.setHours(startsAt, endsAt);
                m_plan.setDaysOff(daysOff);
                setWorkingWeek(flags);
                buildSchedule();
            });
    dialog.load();
    dialog.exec();
}

void MainWindow::exportCalendarCsv()
{
    if (buildIfChanged())
        CsvExport(this, m_folders.output).run(m_plan, m_projectNameBox->text());
}

void MainWindow::exportIcs()
{
    if (buildIfChanged())
        IcsExport(this, *m_fileChooser, m_folders.output).run(m_plan, m_projectNameBox->text());
}

void MainWindow::showTimeline(bool timeline)
{
    m_table->setVisible(!timeline);
    m_timelineView->setVisible(timeline);
    m_zoomInAction->setEnabled(timeline);
    m_zoomOutAction->setEnabled(timeline);
}

void MainWindow::exportTimelinePicture()
{
    if (buildIfChanged())
        TimelineExport(this, *m_fileChooser, m_folders.output)
            .run(m_plan.timelineScene(), m_projectNameBox->text(), m_timelineView->dayWidth());
}

void MainWindow::publishToCalendarServer()
{
    if ((m_serverPublish && m_serverPublish->isRunning()) || !buildIfChanged())
        return;
    const QString name = m_projectNameBox->text();
    if (const std::optional<Problem> missing = m_plan.exportCheck(name)) {
        Alerts::inform(this, *missing);
        return;
    }
    if (!m_serverPublish) {
        m_serverPublish = new CalendarServerPublish(this, m_network, m_passwords.get());
        // The project remembers where it was published; a new calendar is a
        // change worth saving.
        connect(m_serverPublish, &CalendarServerPublish::targetChosen, this,
                [this](const QString& address, const QString& user) {
                    if (m_plan.setCalendarTarget(address, user))
                        setWindowModified(true);
                });
    }
    // Every publish replaces the events it sends, so their DTSTAMP is now.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString key = calendarKey();
    m_serverPublish->start(m_plan.publishItems(name, PlanDocument::exportStamp(now).value_or(now)),
                           key, m_plan.calendarUrl(), m_plan.calendarUser());
}

void MainWindow::watchProjectInputs()
{
    // What the user changes in the project marks the window; a build or an
    // export does not. The start-up catch-up sets the calendar with its signals
    // blocked.
    setAcceptDrops(true);
    installEventFilter(this);
    m_taskBox->viewport()->installEventFilter(this);
    m_projectNameBox->installEventFilter(this);
    const auto changed = [this] { setWindowModified(true); };
    connect(m_projectNameBox, &QLineEdit::textChanged, this, changed);
    connect(m_taskBox, &QPlainTextEdit::textChanged, this, changed);
    connect(m_pickedDateOption, &QRadioButton::toggled, this, changed);
    connect(m_adjustToWeekBox, &QCheckBox::toggled, this, changed);
    connect(m_calendarWidget, &QCalendarWidget::selectionChanged, this, changed);
}

bool MainWindow::openProject(const QString& path)
{
    return m_projectFiles->openProject(path);
}

QString MainWindow::calendarKey() const
{
    return m_plan.calendarKey(m_projectNameBox->text());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_projectFiles->mayClose())
        event->accept();
    else
        event->ignore();
}

} // namespace taskloom
