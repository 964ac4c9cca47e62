#pragma once

#include "timeline/timelinegeometry.h"
#include "plan/timelinescene.h"
#include "timeline/timelinestyle.h"

#include <QAbstractScrollArea>

#include <optional>

class QAbstractItemModel;
class QToolButton;

namespace taskloom {

// The schedule as bars on a calendar, in the window beside the table. Scrolls
// with the wheel and the scroll bars under a fixed header and name column,
// zooms with Ctrl+wheel (and zoomIn/zoomOut), and names a bar's task, dates
// and duration when hovered.
class TimelineView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // accent: the bars' colour on a light background.
    explicit TimelineView(const QColor& accent, QWidget* parent = nullptr);

    void setScene(TimelineScene scene);
    // Hover texts take the dates and durations from the table's model, so
    // both read alike in any locale; its rows are the scene's rows.
    void setTableModel(const QAbstractItemModel* table) { m_table = table; }
    const TimelineScene& scene() const { return m_scene; }

    qreal dayWidth() const { return m_dayWidth; }
    // Keeps the day at the given viewport x where it is; the body's middle
    // when none is given.
    void setDayWidth(qreal dayWidth, std::optional<qreal> anchorX = std::nullopt);
    void zoomIn();
    void zoomOut();

    // Where everything falls in the viewport as it is scrolled now.
    TimelineGeometry geometryInView() const;
    // The hover text for a viewport point: the task, its dates and duration
    // over a bar, the whole name over a name; empty elsewhere.
    QString toolTipAt(QPointF point) const;

Q_SIGNALS:
    // The picture button was pressed.
    void exportRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int fontPixels() const;
    void updateStyle();
    void updateScrollBars();
    void placeExportButton();

    QColor m_accent;
    const QAbstractItemModel* m_table = nullptr;
    TimelineScene m_scene;
    TimelineStyle m_style;
    qreal m_dayWidth = TimelineGeometry::DefaultDayWidth;
    QToolButton* m_exportButton = nullptr;
};

} // namespace taskloom
