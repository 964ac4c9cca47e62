#include "timelinegeometry.h"

#include "engine/workingweek.h"
#include "plan/timelinescene.h"

#include <algorithm>
#include <cmath>

namespace taskloom {

TimelineGeometry::TimelineGeometry(const TimelineScene& scene, qreal dayWidth, int fontPixelSize)
    : m_origin(scene.firstDay()), m_dayCount(scene.dayCount()), m_rowCount(scene.rowCount()),
      m_dayWidth(dayWidth)
{
    // A line of text with room above and below; the header holds two of
    // them (months over days), the name column about thirty characters.
    m_rowHeight = fontPixelSize + 10;
    m_headerHeight = 2 * m_rowHeight;
    m_nameWidth = fontPixelSize * 18;
    m_barInset = std::floor(m_rowHeight / 5);
    m_viewSize = planSize();
}

void TimelineGeometry::setView(QSizeF size, QPointF scroll)
{
    m_viewSize = size;
    m_scroll = scroll;
}

QSizeF TimelineGeometry::planSize() const
{
    return {m_nameWidth + m_dayCount * m_dayWidth, m_headerHeight + m_rowCount * m_rowHeight};
}

QRectF TimelineGeometry::bodyRect() const
{
    return {m_nameWidth, m_headerHeight, std::max<qreal>(0, m_viewSize.width() - m_nameWidth),
            std::max<qreal>(0, m_viewSize.height() - m_headerHeight)};
}

QRectF TimelineGeometry::headerRect() const
{
    return {m_nameWidth, 0, std::max<qreal>(0, m_viewSize.width() - m_nameWidth), m_headerHeight};
}

QRectF TimelineGeometry::nameRect() const
{
    return {0, m_headerHeight, m_nameWidth,
            std::max<qreal>(0, m_viewSize.height() - m_headerHeight)};
}

qreal TimelineGeometry::xOf(QDate day) const
{
    return m_nameWidth + static_cast<qreal>(m_origin.daysTo(day)) * m_dayWidth - m_scroll.x();
}

qreal TimelineGeometry::yOf(int row) const
{
    return m_headerHeight + row * m_rowHeight - m_scroll.y();
}

QDate TimelineGeometry::dayAt(qreal x) const
{
    const QRectF body = bodyRect();
    if (x < body.left() || x >= body.right())
        return {};
    const auto index =
        static_cast<qint64>(std::floor((x - m_nameWidth + m_scroll.x()) / m_dayWidth));
    if (index < 0 || index >= m_dayCount)
        return {};
    return m_origin.addDays(index);
}

int TimelineGeometry::rowAt(qreal y) const
{
    const QRectF body = bodyRect();
    if (y < body.top() || y >= body.bottom())
        return -1;
    const auto row =
        static_cast<qint64>(std::floor((y - m_headerHeight + m_scroll.y()) / m_rowHeight));
    return row >= 0 && row < m_rowCount ? static_cast<int>(row) : -1;
}

QDate TimelineGeometry::firstDayInView() const
{
    if (m_dayCount == 0)
        return {};
    const auto index = static_cast<qint64>(std::floor(m_scroll.x() / m_dayWidth));
    return m_origin.addDays(std::clamp<qint64>(index, 0, m_dayCount - 1));
}

QDate TimelineGeometry::lastDayInView() const
{
    if (m_dayCount == 0)
        return {};
    const qreal right = m_scroll.x() + bodyRect().width();
    const auto index = static_cast<qint64>(std::ceil(right / m_dayWidth)) - 1;
    return m_origin.addDays(std::clamp<qint64>(index, 0, m_dayCount - 1));
}

int TimelineGeometry::firstRowInView() const
{
    const auto row = static_cast<qint64>(std::floor(m_scroll.y() / m_rowHeight));
    return static_cast<int>(std::clamp<qint64>(row, 0, m_rowCount));
}

int TimelineGeometry::lastRowInView() const
{
    const qreal bottom = m_scroll.y() + bodyRect().height();
    const auto row = static_cast<qint64>(std::ceil(bottom / m_rowHeight)) - 1;
    return static_cast<int>(std::min<qint64>(row, m_rowCount - 1));
}

QList<QRectF> TimelineGeometry::dayOffColumns(const WorkingWeek& week) const
{
    QList<QRectF> columns;
    const QDate last = lastDayInView();
    const QRectF body = bodyRect();
    QDate runStart;
    for (QDate day = firstDayInView(); day.isValid() && day <= last.addDays(1);
         day = day.addDays(1)) {
        const bool off = day <= last && !week.isWorkingDay(day);
        if (off && !runStart.isValid()) {
            runStart = day;
        } else if (!off && runStart.isValid()) {
            // One rectangle for each run, so a weekend is a single column.
            const QRectF run(xOf(runStart), body.top(),
                             static_cast<qreal>(runStart.daysTo(day)) * m_dayWidth, body.height());
            columns.append(run.intersected(body));
            runStart = QDate();
        }
    }
    return columns;
}

QRectF TimelineGeometry::bar(int row, QDate first, QDate last) const
{
    return inBody({xOf(first), yOf(row) + m_barInset,
                   static_cast<qreal>(first.daysTo(last) + 1) * m_dayWidth,
                   m_rowHeight - 2 * m_barInset});
}

QRectF TimelineGeometry::inBody(const QRectF& shape) const
{
    const QRectF inView = shape.intersected(bodyRect());
    return inView.isEmpty() ? QRectF() : inView;
}

TimelineGeometry::RowBars TimelineGeometry::rowBars(const TimelineScene& scene, int row) const
{
    RowBars bars;
    const ScheduleRow& task = scene.schedule().rows.at(row);
    const std::span<const CalendarEvent> events = scene.eventsOf(row);
    if (events.empty()) {
        // As thin as a line yet never lost between pixels, on the start day.
        const qreal width = std::clamp<qreal>(m_dayWidth / 4, 2, 4);
        bars.marker = inBody({xOf(task.start) + (m_dayWidth - width) / 2, yOf(row) + m_barInset / 2,
                              width, m_rowHeight - m_barInset});
        return bars;
    }
    bars.span = bar(row, task.start, task.end);
    if (bars.span.isEmpty())
        return bars;
    // Only the events that reach into view: a long task may have thousands.
    const QDate first = firstDayInView();
    const QDate last = lastDayInView();
    auto event = std::lower_bound(events.begin(), events.end(), first,
                                  [](const CalendarEvent& e, QDate d) { return e.endDate < d; });
    for (; event != events.end() && event->startDate <= last; ++event) {
        const QRectF piece = bar(row, event->startDate, event->endDate);
        if (!piece.isEmpty())
            bars.pieces.append(piece);
    }
    return bars;
}

std::optional<qreal> TimelineGeometry::todayX(QDate today) const
{
    if (m_dayCount == 0 || today < firstDayInView() || today > lastDayInView())
        return std::nullopt;
    const qreal x = xOf(today) + m_dayWidth / 2;
    const QRectF body = bodyRect();
    if (x < body.left() || x >= body.right())
        return std::nullopt;
    return x;
}

QList<TimelineGeometry> TimelineGeometry::pages(const TimelineScene& scene, QSizeF pageSize) const
{
    QList<TimelineGeometry> pages;
    const int rowsPerPage = std::max(
        1, static_cast<int>(std::floor((pageSize.height() - m_headerHeight) / m_rowHeight)));
    const int daysPerPage =
        std::max(1, static_cast<int>(std::floor((pageSize.width() - m_nameWidth) / m_dayWidth)));
    const QDate lastDay = m_origin.addDays(m_dayCount - 1);
    for (int band = 0; band < m_rowCount; band += rowsPerPage) {
        const int rows = std::min(rowsPerPage, m_rowCount - band);
        QDate first = scene.schedule().rows.at(band).start;
        QDate last = scene.lastDrawnDay(band);
        for (int row = band + 1; row < band + rows; ++row) {
            first = std::min(first, scene.schedule().rows.at(row).start);
            last = std::max(last, scene.lastDrawnDay(row));
        }
        // The same day of margin either side as the whole plan has.
        first = std::max(first.addDays(-1), m_origin);
        last = std::min(last.addDays(1), lastDay);
        for (QDate from = first; from <= last; from = from.addDays(daysPerPage)) {
            const auto days = std::min<qint64>(daysPerPage, from.daysTo(last) + 1);
            TimelineGeometry page = *this;
            page.setView(
                {m_nameWidth + static_cast<qreal>(days) * m_dayWidth,
                 m_headerHeight + rows * m_rowHeight},
                {static_cast<qreal>(m_origin.daysTo(from)) * m_dayWidth, band * m_rowHeight});
            pages.append(page);
        }
    }
    return pages;
}

} // namespace taskloom
