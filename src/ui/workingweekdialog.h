#pragma once

#include "engine/workingweek.h"

#include <QDialog>
#include <QString>
#include <array>

class QCheckBox;
class QComboBox;

namespace taskloom {

class SettingsStore;

// The Working Week dialog: the user's working days and the hours the working day begins
// and ends. Created for one opening; load() reads the settings files, Save
// checks the choice and writes them, Cancel and the title bar write nothing.
class WorkingWeekDialog : public QDialog {
    Q_OBJECT
public:
    explicit WorkingWeekDialog(const SettingsStore& store, QWidget* parent = nullptr);

    // Reads the working days, then the hour lists; each problem is shown as a
    // warning. Call after connecting the signals.
    void load();

    // The states of chkWorkingDay1..7 at positions 1..7 (0 clear, 1 ticked, 2 greyed).
    WeekFlags checkedFlags() const;
    QString startsAtText() const;
    QString endsAtText() const;
    // The chosen entry's index, or -1 when none is chosen or the text was typed.
    static int position(const QComboBox& combo);

Q_SIGNALS:
    // Opening reloads the in-memory flags from the file, even when the dialog
    // is then cancelled.
    void weekReloaded(const taskloom::WeekFlags& flags);
    // The three files were written; the window stores the week and the hours and
    // rebuilds before the dialog says "Done!" and closes.
    void saved(const taskloom::WeekFlags& flags, const QString& startsAt, const QString& endsAt);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void loadWorkingDays();
    void loadHourLists();
    // Save: the checks, the three files, the window told, "Done!", closed.
    void save();
    bool passesChecks();
    bool writeSettings();

    const SettingsStore& m_store;
    std::array<QCheckBox*, 8> m_days{}; // 1..7, Monday first; 0 unused
    QComboBox* m_startsAt = nullptr;
    QComboBox* m_endsAt = nullptr;
};

} // namespace taskloom
