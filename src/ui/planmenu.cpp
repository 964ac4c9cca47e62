#include "planmenu.h"

#include "scheduletablemodel.h"

#include <QKeyEvent>
#include <QTableView>

namespace taskloom {

PlanMenu::PlanMenu(QTableView* table, ScheduleTableModel* model, QWidget* parent)
    : QMenu(QStringLiteral("&Plan"), parent), m_table(table), m_model(model)
{
    setObjectName(QStringLiteral("menuPlan"));
    QAction* replan = addAction(QStringLiteral("&Re-plan From Today"));
    replan->setObjectName(QStringLiteral("actionReplan"));
    replan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(replan, &QAction::triggered, this, &PlanMenu::replanChosen);
    m_mark = addAction(QStringLiteral("Mark &Done"));
    m_mark->setObjectName(QStringLiteral("actionMarkDone"));
    connect(m_mark, &QAction::triggered, this, [this] {
        const int row = m_table->currentIndex().row();
        if (row >= 0)
            Q_EMIT doneChosen(row, !m_model->rows().at(row).done);
    });
    // Handed on once the tick's own event is over: the build resets the table.
    connect(m_model, &ScheduleTableModel::doneToggled, this, &PlanMenu::doneChosen,
            Qt::QueuedConnection);
    connect(m_model, &QAbstractItemModel::modelReset, this, &PlanMenu::followCurrentRow);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PlanMenu::followCurrentRow);
    m_table->installEventFilter(this);
    followCurrentRow();
}

void PlanMenu::followCurrentRow()
{
    const int row = m_table->currentIndex().row();
    const bool done = row >= 0 && m_model->rows().at(row).done;
    m_mark->setText(done ? QStringLiteral("Mark &Not Done") : QStringLiteral("Mark &Done"));
    m_mark->setEnabled(row >= 0);
}

bool PlanMenu::eventFilter(QObject* watched, QEvent* event)
{
    // Space ticks the current row's task, whichever of its cells has the focus.
    if (watched == m_table && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        if (m_mark->isEnabled())
            m_mark->trigger();
        return true;
    }
    return QMenu::eventFilter(watched, event);
}

} // namespace taskloom
