#pragma once

#include "engine/dayoff.h"
#include "engine/workingweek.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>
#include <array>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace taskloom {

class FileChooser;
class SettingsStore;

// The Working Week dialog: the user's working days, the hours the working day
// begins and ends, and the dates off. Created for one opening; load() reads the
// settings files, Save checks the choice and writes them, Cancel and the title
// bar write nothing.
class WorkingWeekDialog : public QDialog {
    Q_OBJECT
public:
    // chooser: the file dialog of the .ics import; today: where the date
    // picker starts and the import's first year.
    WorkingWeekDialog(const SettingsStore& store, FileChooser& chooser, QDate today,
                      QWidget* parent = nullptr);

    // Reads the working days, the hour lists and the dates off; each problem
    // is shown as a warning. Call after connecting the signals.
    void load();

    // The states of chkWorkingDay1..7 at positions 1..7 (0 clear, 1 ticked, 2 greyed).
    WeekFlags checkedFlags() const;
    QString startsAtText() const;
    QString endsAtText() const;
    // The chosen entry's index, or -1 when none is chosen or the text was typed.
    static int position(const QComboBox& combo);
    // The dates off as the list shows them: sorted, each date once.
    const QList<DayOff>& daysOff() const { return m_daysOff; }

Q_SIGNALS:
    // Opening reloads the in-memory flags from the file, even when the dialog
    // is then cancelled.
    void weekReloaded(const taskloom::WeekFlags& flags);
    // The four files were written; the window stores the week, the hours and
    // the dates off and rebuilds before the dialog says "Done!" and closes.
    void saved(const taskloom::WeekFlags& flags, const QString& startsAt, const QString& endsAt,
               const QList<taskloom::DayOff>& daysOff);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void makeDaysOffControls();
    void loadWorkingDays();
    void loadHourLists();
    void loadDaysOff();
    // The picker's date with the typed label; a date already listed takes the new label.
    void addDayOff();
    void removeSelectedDaysOff();
    // "Import from .ics…": the all-day events of a holiday calendar, from this
    // year to ten years ahead, joined to the list as dates.
    void importDaysOff();
    void showDaysOff(QDate selected = {});
    // Save: the checks, the four files, the window told, "Done!", closed.
    void save();
    bool passesChecks();
    bool writeSettings();

    const SettingsStore& m_store;
    FileChooser& m_chooser;
    QDate m_today;
    std::array<QCheckBox*, 8> m_days{}; // 1..7, Monday first; 0 unused
    QComboBox* m_startsAt = nullptr;
    QComboBox* m_endsAt = nullptr;
    QList<DayOff> m_daysOff;
    QListWidget* m_daysOffList = nullptr;
    QDateEdit* m_dayOffDate = nullptr;
    QLineEdit* m_dayOffLabel = nullptr;
    QPushButton* m_removeDayOff = nullptr;
};

} // namespace taskloom
