#include "timelineview.h"

#include "emptyplanhint.h"
#include "timeline/timelinepainter.h"

#include <QAbstractItemModel>
#include <QFontInfo>
#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace taskloom {

namespace {

// One zoom step: five steps double the day width (about).
constexpr qreal ZoomStep = 1.15;

} // namespace

TimelineView::TimelineView(const QColor& accent, QWidget* parent)
    : QAbstractScrollArea(parent), m_accent(accent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    m_exportButton = new QToolButton(this);
    m_exportButton->setObjectName(QStringLiteral("cmdExportTimeline"));
    m_exportButton->setText(QStringLiteral("Export Picture…"));
    m_exportButton->setToolTip(
        QStringLiteral("Save the whole timeline as an SVG, PNG or PDF file"));
    connect(m_exportButton, &QToolButton::clicked, this, &TimelineView::exportRequested);
    m_exportButton->hide(); // until there is a plan to export
    updateStyle();
}

void TimelineView::setScene(TimelineScene scene)
{
    m_scene = std::move(scene);
    m_exportButton->setVisible(!m_scene.isEmpty());
    updateScrollBars();
    viewport()->update();
}

int TimelineView::fontPixels() const
{
    return QFontInfo(font()).pixelSize();
}

TimelineGeometry TimelineView::geometryInView() const
{
    TimelineGeometry geometry(m_scene, m_dayWidth, fontPixels());
    geometry.setView(viewport()->size(),
                     QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    return geometry;
}

void TimelineView::setDayWidth(qreal dayWidth, std::optional<qreal> anchorX)
{
    const TimelineGeometry before = geometryInView();
    dayWidth = std::clamp(dayWidth, TimelineGeometry::MinDayWidth, before.maxDayWidth());
    if (dayWidth == m_dayWidth)
        return;
    // The plan's position under the anchor, in days, stays under it.
    const qreal anchor = anchorX.value_or(before.bodyRect().center().x()) - before.nameWidth();
    const qreal days = (before.scroll().x() + anchor) / m_dayWidth;
    m_dayWidth = dayWidth;
    updateScrollBars();
    horizontalScrollBar()->setValue(qRound(days * m_dayWidth - anchor));
    viewport()->update();
}

void TimelineView::zoomIn()
{
    setDayWidth(m_dayWidth * ZoomStep);
}

void TimelineView::zoomOut()
{
    setDayWidth(m_dayWidth / ZoomStep);
}

QString TimelineView::toolTipAt(QPointF point) const
{
    const TimelineGeometry geometry = geometryInView();
    const int row = geometry.rowAt(point.y());
    if (row < 0)
        return {};
    const ScheduleRow& task = m_scene.schedule().rows.at(row);
    if (point.x() >= geometry.nameWidth()) {
        const TimelineGeometry::RowBars bars = geometry.rowBars(m_scene, row);
        // A marker is thin; its whole day answers the mouse.
        const QRectF markerDay(geometry.xOf(task.start), bars.marker.top(), geometry.dayWidth(),
                               bars.marker.height());
        const bool onBar =
            bars.span.contains(point) || (!bars.marker.isEmpty() && markerDay.contains(point));
        if (!onBar)
            return {};
    }
    QStringList lines{m_scene.taskName(row)};
    if (m_table && row < m_table->rowCount()) {
        for (int column = 1; column < m_table->columnCount(); ++column)
            lines << m_table->headerData(column, Qt::Horizontal).toString() + QStringLiteral(": ") +
                         m_table->index(row, column).data().toString();
    }
    if (task.parallel)
        lines << QStringLiteral("Runs beside the task before it (\"//\").");
    return lines.join(u'\n');
}

void TimelineView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(viewport());
    if (m_scene.isEmpty()) {
        painter.fillRect(viewport()->rect(), m_style.base);
        painter.setPen(m_style.text);
        paintEmptyPlanHint(painter, viewport()->rect());
        return;
    }
    TimelinePainter::paint(painter, m_scene, geometryInView(), m_style);
}

void TimelineView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    placeExportButton();
}

void TimelineView::wheelEvent(QWheelEvent* event)
{
    const qreal steps = event->angleDelta().y() / 120.0;
    if (event->modifiers() & Qt::ControlModifier) {
        setDayWidth(m_dayWidth * std::pow(ZoomStep, steps), event->position().x());
        event->accept();
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() - qRound(steps * 3 * bar->singleStep()));
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void TimelineView::scrollContentsBy(int /*dx*/, int /*dy*/)
{
    viewport()->update();
}

bool TimelineView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, viewport());
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TimelineView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::LocaleChange) {
        updateStyle();
        updateScrollBars();
        placeExportButton();
        viewport()->update();
    }
}

void TimelineView::updateStyle()
{
    m_style = TimelineStyle::fromPalette(palette(), m_accent, font(), locale());
}

void TimelineView::updateScrollBars()
{
    const TimelineGeometry geometry = geometryInView();
    const QSizeF plan = geometry.planSize();
    const QRectF body = geometry.bodyRect();
    const int width = static_cast<int>(std::ceil(plan.width() - geometry.nameWidth()));
    const int height = static_cast<int>(std::ceil(plan.height() - geometry.headerHeight()));
    const int bodyWidth = static_cast<int>(body.width());
    const int bodyHeight = static_cast<int>(body.height());
    horizontalScrollBar()->setRange(0, std::max(0, width - bodyWidth));
    horizontalScrollBar()->setPageStep(bodyWidth);
    horizontalScrollBar()->setSingleStep(std::max(1, qRound(m_dayWidth)));
    verticalScrollBar()->setRange(0, std::max(0, height - bodyHeight));
    verticalScrollBar()->setPageStep(bodyHeight);
    verticalScrollBar()->setSingleStep(qRound(geometry.rowHeight()));
}

void TimelineView::placeExportButton()
{
    // In the corner above the names, below the project's name.
    const TimelineGeometry geometry = geometryInView();
    const QPoint corner = viewport()->geometry().topLeft();
    const int row = qRound(geometry.rowHeight());
    m_exportButton->setGeometry(corner.x() + 2, corner.y() + row + 1,
                                qRound(geometry.nameWidth()) - 4, row - 2);
}

} // namespace taskloom
