#include "workingweekdialog.h"

#include "alerts.h"
#include "filechooser.h"
#include "plan/daysofffile.h"
#include "settings/settingsstore.h"
#include "uilook.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRect>
#include <QStandardPaths>

#include <algorithm>
#include <optional>

namespace taskloom {

namespace {

const QString ErrorTitle = QStringLiteral("Error");

// The entry to preselect for a stored hour text: the entry equal to it when
// there is one, else the first entry it contains (so "11:00 AM" no longer
// lands on an earlier "1:00 AM"), else the last; -1 for an empty list.
int preselection(const QStringList& entries, const QString& stored)
{
    const QString text = SettingsStore::hourText(stored);
    if (const qsizetype equal = entries.indexOf(text); equal >= 0)
        return static_cast<int>(equal);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (text.contains(entries.at(i)))
            return static_cast<int>(i);
    }
    return static_cast<int>(entries.size()) - 1;
}

QComboBox* hourBox(QWidget* parent, const char* name, QRect geometry)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    // A typed hour is saved as typed, never added to the list on offer.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setGeometry(geometry);
    return box;
}

// Screen readers announce an hour box by its caption: by name, and through the
// caption's buddy relation where (as on Linux) a combo box's name is its value.
void nameAfter(QLabel* caption, QComboBox* box)
{
    caption->setBuddy(box);
    box->setAccessibleName(caption->text());
    box->view()->setAccessibleName(caption->text()); // the list that drops down
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* text = new QLabel(caption, parent);
    text->setObjectName(QString::fromLatin1(name));
    text->setGeometry(geometry);
    return text;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* push = new QPushButton(caption, parent);
    push->setObjectName(QString::fromLatin1(name));
    push->setGeometry(geometry);
    // The form has no default button: Enter in an hour box does not save
    // (Return on a focused button still presses it: keyPressEvent).
    push->setAutoDefault(false);
    return push;
}

// The short date of the user's language with the whole year: "12/25/2026", never "12/25/26".
QString shortDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

// A list line: the weekday too, so a holiday that falls on a weekend shows as one.
QString listText(const DayOff& day)
{
    const QLocale locale;
    QString text = locale.toString(day.date, QStringLiteral("ddd ")) +
                   locale.toString(day.date, shortDateFormat());
    if (!day.label.isEmpty())
        text += QStringLiteral("   ") + day.label;
    return text;
}

// Everything from the hour row down moved this far to make room for the dates off.
constexpr int DaysOffHeight = 3000;

} // namespace

WorkingWeekDialog::WorkingWeekDialog(const SettingsStore& store, FileChooser& chooser, QDate today,
                                     QWidget* parent)
    : QDialog(parent), m_store(store), m_chooser(chooser), m_today(today)
{
    setObjectName(QStringLiteral("frmWorkingWeek"));
    setWindowTitle(QStringLiteral("Working Week"));
    setFixedSize(UiLook::px(9765), UiLook::px(3750 + DaysOffHeight));
    // The boxes were sized for a small dialog font; the desktop's larger one
    // would cut "Wednesday" and "Each Working Day Begins at:".
    setFont(UiLook::font(8.25));

    QLabel* title =
        label(this, "Label1", QStringLiteral("My Working Week"), UiLook::rect(405, 495, 8025, 465));
    title->setFont(UiLook::font(14.25, true));

    struct Day {
        const char* caption;
        int left;
        int width;
    };
    static constexpr std::array<Day, 7> days{{{"Monday", 450, 1320},
                                              {"Tuesday", 1845, 1185},
                                              {"Wednesday", 3150, 1275},
                                              {"Thursday", 4545, 1140},
                                              {"Friday", 5760, 870},
                                              {"Saturday", 6750, 1095},
                                              {"Sunday", 7965, 1050}}};
    for (int n = 1; n <= 7; ++n) {
        const Day& day = days.at(static_cast<std::size_t>(n - 1));
        auto* box = new QCheckBox(QString::fromLatin1(day.caption), this);
        box->setObjectName(QStringLiteral("chkWorkingDay%1").arg(n));
        box->setGeometry(UiLook::rect(day.left, 1260, day.width, 420));
        // A greyed box only shows a 2 read from the file; once the user
        // clicks it, it is an ordinary two-state box again.
        connect(box, &QCheckBox::stateChanged, box, [box](int state) {
            if (state != Qt::PartiallyChecked)
                box->setTristate(false);
        });
        m_days.at(static_cast<std::size_t>(n)) = box;
    }

    QLabel* startsCaption = label(this, "Label2", QStringLiteral("Each Working Day Begins at:"),
                                  UiLook::rect(495, 2025, 2355, 285));
    m_startsAt = hourBox(this, "cboStartsAt", UiLook::rect(3060, 2025, 1770, 315));
    QLabel* endsCaption =
        label(this, "Label3", QStringLiteral("And Ends at:"), UiLook::rect(5040, 2025, 2355, 285));
    m_endsAt = hourBox(this, "cboEndsAt", UiLook::rect(6390, 2025, 1770, 315));
    nameAfter(startsCaption, m_startsAt);
    nameAfter(endsCaption, m_endsAt);

    makeDaysOffControls();

    QPushButton* save = button(this, "Command1", QStringLiteral("Save"),
                               UiLook::rect(2430, 2790 + DaysOffHeight, 2265, 555));
    QPushButton* cancel = button(this, "Command2", QStringLiteral("Cancel"),
                                 UiLook::rect(4950, 2790 + DaysOffHeight, 2265, 555));
    connect(save, &QPushButton::clicked, this, &WorkingWeekDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Where Save writes: beside the program, or the user's configuration
    // folder for an installed copy. Under the buttons, so it moves with them.
    const QString folder = QDir::toNativeSeparators(m_store.folder());
    const QRect place(UiLook::px(405), save->geometry().bottom() + UiLook::px(45),
                      width() - 2 * UiLook::px(405), UiLook::px(285));
    QLabel* where = label(this, "lblSettingsFolder", {}, place);
    where->setText(where->fontMetrics().elidedText(QStringLiteral("Saved in %1").arg(folder),
                                                   Qt::ElideMiddle, place.width()));
    where->setToolTip(folder);
    UiLook::setTextColour(where, Qt::darkGray);
}

void WorkingWeekDialog::keyPressEvent(QKeyEvent* event)
{
    // Return or Enter presses the focused button, as Space does.
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    if (focused && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        focused->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void WorkingWeekDialog::makeDaysOffControls()
{
    QLabel* caption =
        label(this, "Label4", QStringLiteral("Days off:"), UiLook::rect(495, 2565, 1400, 285));
    m_dayOffDate = new QDateEdit(m_today, this);
    m_dayOffDate->setObjectName(QStringLiteral("dtDayOff"));
    m_dayOffDate->setCalendarPopup(true);
    m_dayOffDate->setDisplayFormat(shortDateFormat());
    m_dayOffDate->setGeometry(UiLook::rect(1950, 2520, 1740, 345));
    caption->setBuddy(m_dayOffDate);
    m_dayOffDate->setAccessibleName(QStringLiteral("Date of the day off"));
    m_dayOffLabel = new QLineEdit(this);
    m_dayOffLabel->setObjectName(QStringLiteral("txtDayOffLabel"));
    m_dayOffLabel->setPlaceholderText(QStringLiteral("Label (optional)"));
    m_dayOffLabel->setGeometry(UiLook::rect(3780, 2520, 2400, 345));
    m_dayOffLabel->setAccessibleName(QStringLiteral("Label of the day off"));
    QPushButton* add =
        button(this, "cmdAddDayOff", QStringLiteral("Add"), UiLook::rect(6390, 2505, 2040, 375));
    connect(add, &QPushButton::clicked, this, &WorkingWeekDialog::addDayOff);
    // Enter in the label adds, as a click on Add does; it never saves.
    connect(m_dayOffLabel, &QLineEdit::returnPressed, this, &WorkingWeekDialog::addDayOff);

    m_daysOffList = new QListWidget(this);
    m_daysOffList->setObjectName(QStringLiteral("lstDaysOff"));
    m_daysOffList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_daysOffList->setGeometry(UiLook::rect(495, 3000, 5685, 2520));
    m_daysOffList->setAccessibleName(QStringLiteral("Days off"));
    m_removeDayOff = button(this, "cmdRemoveDayOff", QStringLiteral("Remove"),
                            UiLook::rect(6390, 3000, 2040, 375));
    m_removeDayOff->setEnabled(false);
    connect(m_daysOffList, &QListWidget::itemSelectionChanged, this,
            [this] { m_removeDayOff->setEnabled(!m_daysOffList->selectedItems().isEmpty()); });
    connect(m_removeDayOff, &QPushButton::clicked, this, &WorkingWeekDialog::removeSelectedDaysOff);
    QPushButton* import = button(this, "cmdImportDaysOff", QStringLiteral("Import from .ics…"),
                                 UiLook::rect(6390, 3465, 2040, 375));
    connect(import, &QPushButton::clicked, this, &WorkingWeekDialog::importDaysOff);
}

void WorkingWeekDialog::load()
{
    loadWorkingDays();
    loadHourLists();
    loadDaysOff();
}

void WorkingWeekDialog::loadDaysOff()
{
    SettingsStore::DaysOffLoad load = m_store.loadDaysOff();
    for (const Problem& problem : load.problems)
        Alerts::warn(this, problem);
    m_daysOff = std::move(load.daysOff);
    showDaysOff();
}

void WorkingWeekDialog::showDaysOff(QDate selected)
{
    m_daysOffList->clear();
    for (const DayOff& day : m_daysOff) {
        auto* item = new QListWidgetItem(listText(day), m_daysOffList);
        item->setData(Qt::UserRole, day.date);
        if (day.date == selected) {
            item->setSelected(true);
            m_daysOffList->scrollToItem(item);
        }
    }
}

void WorkingWeekDialog::addDayOff()
{
    const DayOff day{m_dayOffDate->date(), m_dayOffLabel->text().trimmed()};
    const auto at = std::lower_bound(m_daysOff.begin(), m_daysOff.end(), day.date,
                                     [](const DayOff& d, QDate date) { return d.date < date; });
    if (at != m_daysOff.end() && at->date == day.date)
        at->label = day.label;
    else
        m_daysOff.insert(at, day);
    showDaysOff(day.date);
}

void WorkingWeekDialog::importDaysOff()
{
    // Holiday calendars are mostly downloaded from a calendar service.
    const QString path =
        m_chooser.openFile(this, QStringLiteral("Import Days Off"),
                           QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
                           QStringLiteral("iCalendar files (*.ics);;All files (*)"));
    if (path.isEmpty())
        return;
    const QString fileName = QFileInfo(path).fileName();
    const DaysOffFile::Read read = DaysOffFile::read(path, m_today);
    if (read.unreadable) {
        Alerts::warn(
            this, ErrorTitle,
            QStringLiteral("Error: %1 cannot be read (%2).").arg(fileName, *read.unreadable));
        return;
    }
    if (read.error) {
        Alerts::warn(this, ErrorTitle, *read.error);
        return;
    }
    for (const Problem& problem : read.problems)
        Alerts::warn(this, problem);
    for (const QString& warning : read.warnings)
        Alerts::warn(this, ErrorTitle, warning);
    const QString years = QStringLiteral("%1 to %2").arg(read.years.first).arg(read.years.last);
    if (read.daysOff.isEmpty()) {
        Alerts::inform(this, QStringLiteral("Import Days Off"),
                       QStringLiteral("%1 holds no all-day events from %2. Nothing was imported.")
                           .arg(fileName, years));
        return;
    }
    m_daysOff = DayOff::merged(m_daysOff + read.daysOff);
    showDaysOff();
    const QString count = read.daysOff.size() == 1
                              ? QStringLiteral("1 day off")
                              : QStringLiteral("%1 days off").arg(read.daysOff.size());
    Alerts::inform(this, QStringLiteral("Import Days Off"),
                   QStringLiteral("%1 from %2 imported, for the years %3. Save keeps them; "
                                  "import the file again for later years.")
                       .arg(count, fileName, years));
}

void WorkingWeekDialog::removeSelectedDaysOff()
{
    QList<QDate> gone;
    for (const QListWidgetItem* item : m_daysOffList->selectedItems())
        gone.append(item->data(Qt::UserRole).toDate());
    m_daysOff.removeIf([&gone](const DayOff& day) { return gone.contains(day.date); });
    showDaysOff();
}

void WorkingWeekDialog::loadWorkingDays()
{
    const SettingsStore::WeekLoad week = m_store.loadWorkingWeek();
    for (const Problem& problem : week.problems)
        Alerts::warn(this, problem);
    if (!week.flags)
        return; // the boxes stay clear and the window keeps its flags

    for (int n = 1; n <= 7; ++n) {
        QCheckBox* box = m_days.at(static_cast<std::size_t>(n));
        switch (week.flags->at(static_cast<std::size_t>(n))) {
        case 1:
            box->setCheckState(Qt::Checked);
            break;
        case 2:
            box->setTristate(true);
            box->setCheckState(Qt::PartiallyChecked);
            break;
        default: // 0, or a value no box state can show
            box->setCheckState(Qt::Unchecked);
            break;
        }
    }
    Q_EMIT weekReloaded(*week.flags);
}

void WorkingWeekDialog::loadHourLists()
{
    const SettingsStore::HourListsLoad lists = m_store.loadHourLists();
    for (const Problem& problem : lists.problems)
        Alerts::warn(this, problem);
    m_startsAt->clear();
    m_endsAt->clear();
    if (!lists.storedStartsAt || !lists.storedEndsAt || !lists.hours)
        return;

    m_startsAt->addItems(*lists.hours);
    m_endsAt->addItems(*lists.hours);
    m_startsAt->setCurrentIndex(preselection(*lists.hours, *lists.storedStartsAt));
    m_endsAt->setCurrentIndex(preselection(*lists.hours, *lists.storedEndsAt));
}

WeekFlags WorkingWeekDialog::checkedFlags() const
{
    WeekFlags flags{};
    for (int n = 1; n <= 7; ++n) {
        // The file's numbering: 1 ticked, 2 greyed (Qt counts them the other way round).
        switch (m_days.at(static_cast<std::size_t>(n))->checkState()) {
        case Qt::Checked:
            flags.at(static_cast<std::size_t>(n)) = 1;
            break;
        case Qt::PartiallyChecked:
            flags.at(static_cast<std::size_t>(n)) = 2;
            break;
        case Qt::Unchecked:
            break;
        }
    }
    return flags;
}

QString WorkingWeekDialog::startsAtText() const
{
    return m_startsAt->currentText();
}

QString WorkingWeekDialog::endsAtText() const
{
    return m_endsAt->currentText();
}

int WorkingWeekDialog::position(const QComboBox& combo)
{
    // An editable box keeps its index while the user types over the entry,
    // so a shown text that is not the chosen entry's is a typed one: -1.
    const int index = combo.currentIndex();
    return index >= 0 && combo.itemText(index) == combo.currentText() ? index : -1;
}

void WorkingWeekDialog::save()
{
    if (!passesChecks() || !writeSettings())
        return;
    Q_EMIT saved(checkedFlags(), startsAtText(), endsAtText(), m_daysOff);
    Alerts::inform(this, QStringLiteral("Done"), QStringLiteral("Done!"));
    accept();
}

bool WorkingWeekDialog::passesChecks()
{
    // Positions, not texts: the end entry must stand later in hours.txt.
    if (position(*m_endsAt) <= position(*m_startsAt)) {
        Alerts::inform(this, ErrorTitle, QStringLiteral("Your 'Ends At' Hour should be higher."));
        return false;
    }

    const WeekFlags flags = checkedFlags();
    const auto workingDays = std::count(flags.begin() + 1, flags.end(), 1);
    if (workingDays == 0) {
        Alerts::inform(this, ErrorTitle,
                       QStringLiteral("Please select 1 or more working days (for a better "
                                      "software performance we recommend to select 4 at least)."));
        return false;
    }
    if (workingDays < 4) {
        const QString question =
            QStringLiteral("Your working week has %1 working days. For a better software "
                           "performance is recommended to increase this value to 4 (min.). "
                           "Save your changes anyway?")
                .arg(workingDays);
        return Alerts::ask(this, QStringLiteral("Important "), question);
    }
    return true;
}

bool WorkingWeekDialog::writeSettings()
{
    // All four files or none: a failure leaves the stored week as it was.
    const std::optional<WriteFailure> failure =
        m_store.saveWorkingWeek(checkedFlags(), startsAtText(), endsAtText(), m_daysOff);
    if (!failure)
        return true;

    Alerts::warn(this, ErrorTitle,
                 QStringLiteral("Error: %1 could not be saved to %2 (%3). Your working week "
                                "was not changed.")
                     .arg(QFileInfo(failure->path).fileName(), failure->path, failure->reason));
    return false;
}

} // namespace taskloom
