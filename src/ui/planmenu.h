#pragma once

#include <QMenu>

class QAction;
class QTableView;

namespace taskloom {

class ScheduleTableModel;

// The Plan menu: "Re-plan From Today" (Ctrl+R), and "Mark Done" or "Mark Not
// Done" for the schedule table's current row, whichever it is not. Space on
// the table and a tick in a task cell mark the same way. The window does the
// marking; the menu only asks.
class PlanMenu : public QMenu {
    Q_OBJECT
public:
    PlanMenu(QTableView* table, ScheduleTableModel* model, QWidget* parent);

Q_SIGNALS:
    void doneChosen(int row, bool done);
    void replanChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followCurrentRow();

    QTableView* m_table;
    ScheduleTableModel* m_model;
    QAction* m_mark;
};

} // namespace taskloom
