#pragma once

#include <QDate>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace taskloom {

class TimelineScene;
class WorkingWeek;

// Where everything of a timeline falls, in pixels of the painted area: the
// header band on top, the name column at the left, the chart body in the rest.
// The body shows the plan from a scroll offset; header and names stay put.
// Only this class turns dates into x and rows into y; painting, hit tests and
// page splitting all ask it.
class TimelineGeometry {
public:
    static constexpr qreal DefaultDayWidth = 24;
    static constexpr qreal MinDayWidth = 3;

    // The bars of one row, already cut to the body: an empty rectangle is not
    // in view.
    struct RowBars {
        QRectF span;          // start to end date, drawn light
        QList<QRectF> pieces; // one per calendar event, drawn solid
        QRectF marker;        // a row without events: a thin mark on its start
    };

    TimelineGeometry() = default;
    // The whole plan of the scene; row height, header and name column follow
    // the text's pixel size. The view is the whole plan until setView says
    // otherwise.
    TimelineGeometry(const TimelineScene& scene, qreal dayWidth, int fontPixelSize);

    // The painted area's size and how far the body is scrolled into the plan.
    void setView(QSizeF size, QPointF scroll);

    QDate origin() const { return m_origin; }
    int dayCount() const { return m_dayCount; }
    qreal dayWidth() const { return m_dayWidth; }
    qreal rowHeight() const { return m_rowHeight; }
    qreal nameWidth() const { return m_nameWidth; }
    qreal headerHeight() const { return m_headerHeight; }
    QSizeF viewSize() const { return m_viewSize; }
    QPointF scroll() const { return m_scroll; }
    // The widest a day gets: as wide as the name column, a row of text.
    qreal maxDayWidth() const { return m_nameWidth; }

    // The whole plan unscrolled: what a picture of it measures.
    QSizeF planSize() const;
    QRectF bodyRect() const;
    QRectF headerRect() const;
    QRectF nameRect() const;

    qreal xOf(QDate day) const;
    qreal yOf(int row) const;
    // The day or row under a point of the body; an invalid date or -1 outside.
    QDate dayAt(qreal x) const;
    int rowAt(qreal y) const;

    // The days and rows at least partly in the body, within the plan; no rows
    // gives last < first.
    QDate firstDayInView() const;
    QDate lastDayInView() const;
    int firstRowInView() const;
    int lastRowInView() const;

    // One run of consecutive days off in view, as a column over the body.
    QList<QRectF> dayOffColumns(const WorkingWeek& week) const;
    RowBars rowBars(const TimelineScene& scene, int row) const;
    // Down the middle of today's column; nothing when today is out of view.
    std::optional<qreal> todayX(QDate today) const;

    // The plan cut into pages of the given size, each a view of its own:
    // rows as many as fit under the header, and for each band of rows the
    // days its bars take, as many pages across as they need. Every page keeps
    // the header and the name column.
    QList<TimelineGeometry> pages(const TimelineScene& scene, QSizeF pageSize) const;

private:
    QRectF bar(int row, QDate first, QDate last) const;
    // The part of a shape in the body; an empty rectangle when none is.
    QRectF inBody(const QRectF& shape) const;

    QDate m_origin;
    int m_dayCount = 0;
    int m_rowCount = 0;
    qreal m_dayWidth = DefaultDayWidth;
    qreal m_rowHeight = 0;
    qreal m_nameWidth = 0;
    qreal m_headerHeight = 0;
    qreal m_barInset = 0;
    QSizeF m_viewSize;
    QPointF m_scroll;
};

} // namespace taskloom
