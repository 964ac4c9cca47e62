#include "scheduletableview.h"

#include "emptyplanhint.h"

namespace taskloom {

void ScheduleTableView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (model() && model()->rowCount() > 0)
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    paintEmptyPlanHint(painter, viewport()->rect());
}

} // namespace taskloom
