#pragma once

#include <QPainter>
#include <QString>

namespace taskloom {

// What the schedule area says while it has nothing to show, the table and the
// timeline alike: one sentence, centred in the area and wrapped to it, in the
// painter's pen.
inline void paintEmptyPlanHint(QPainter& painter, const QRect& area)
{
    painter.drawText(area.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("Type your tasks and press \"Create Project!\" to see them "
                                    "here."));
}

} // namespace taskloom
