#include "timelinepainter.h"

#include "plan/timelinescene.h"
#include "timelinegeometry.h"
#include "timelinestyle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>

#include <algorithm>

namespace taskloom {

namespace {

constexpr qreal Padding = 4;
// Narrower than this, day-off columns and cell lines would only grey the
// chart over; a picture of years of work leaves them out.
constexpr qreal NarrowestShade = 2;
constexpr qreal NarrowestLine = 3;

// What the header's lower band counts in, from the most detailed down.
enum class Unit { Weekdays, Days, Weeks, Months };

// One paint of one view.
class Pass {
public:
    Pass(QPainter& painter, const TimelineScene& scene, const TimelineGeometry& geometry,
         const TimelineStyle& style)
        : m_p(painter), m_scene(scene), m_g(geometry), m_style(style), m_metrics(style.font),
          m_unit(unitFor(geometry.dayWidth()))
    {
    }

    void run()
    {
        m_p.save();
        m_p.setFont(m_style.font);
        m_p.setRenderHint(QPainter::Antialiasing, false);
        m_p.fillRect(QRectF(QPointF(0, 0), m_g.viewSize()), m_style.base);
        if (m_g.dayCount() > 0) {
            paintBody();
            paintBars();
            paintToday();
        }
        paintNames();
        paintHeader();
        paintCorner();
        m_p.restore();
    }

private:
    Unit unitFor(qreal dayWidth) const
    {
        const qreal number = m_metrics.horizontalAdvance(QStringLiteral("30")) + 2 * Padding;
        qreal weekday = 0;
        for (int day = 1; day <= 7; ++day)
            weekday = std::max(weekday, m_metrics.horizontalAdvance(
                                            m_style.locale.dayName(day, QLocale::ShortFormat)));
        weekday += m_metrics.horizontalAdvance(QStringLiteral(" 30")) + 2 * Padding;
        if (dayWidth >= weekday)
            return Unit::Weekdays;
        if (dayWidth >= number)
            return Unit::Days;
        if (7 * dayWidth >= number)
            return Unit::Weeks;
        return Unit::Months;
    }

    // The first day of the upper band's cell that holds the day, and of the
    // one after it: months, or years when the lower band counts months.
    QDate upperStart(QDate day) const
    {
        return m_unit == Unit::Months ? QDate(day.year(), 1, 1) : QDate(day.year(), day.month(), 1);
    }
    QDate upperNext(QDate start) const
    {
        return m_unit == Unit::Months ? start.addYears(1) : start.addMonths(1);
    }

    void paintBody()
    {
        const QRectF body = m_g.bodyRect();
        if (m_g.dayWidth() >= NarrowestShade) {
            const QList<QRectF> columns = m_g.dayOffColumns(m_scene.week());
            m_p.setPen(Qt::NoPen);
            m_p.setBrush(m_style.dayOff);
            m_p.drawRects(columns.constData(), static_cast<int>(columns.size()));
        }
        // A faint line where each month (or year) begins helps to read dates
        // off the bars.
        QList<QLineF> lines;
        const QDate last = m_g.lastDayInView();
        for (QDate start = upperNext(upperStart(m_g.firstDayInView())); start <= last;
             start = upperNext(start)) {
            const qreal x = m_g.xOf(start);
            if (x > body.left() && x < body.right())
                lines.append(QLineF(x, body.top(), x, body.bottom()));
        }
        m_p.setPen(QPen(m_style.grid, 0));
        m_p.drawLines(lines);
    }

    void paintBars()
    {
        // Tasks to come, then tasks done, each in its own colours.
        QList<QRectF> spans[2];
        QList<QRectF> pieces[2];
        QList<QRectF> markers;
        const int last = m_g.lastRowInView();
        for (int row = m_g.firstRowInView(); row <= last; ++row) {
            const TimelineGeometry::RowBars bars = m_g.rowBars(m_scene, row);
            const bool done = m_scene.schedule().rows.at(row).done;
            if (!bars.span.isEmpty())
                spans[done].append(bars.span);
            pieces[done].append(bars.pieces);
            if (!bars.marker.isEmpty())
                markers.append(bars.marker);
        }
        // One brush per layer: the SVG writer opens a group at every change.
        m_p.setPen(Qt::NoPen);
        const QColor light[] = {m_style.barLight, m_style.doneLight};
        const QColor solid[] = {m_style.barSolid, m_style.doneSolid};
        for (const int done : {0, 1}) {
            if (spans[done].isEmpty() && pieces[done].isEmpty())
                continue;
            m_p.setBrush(light[done]);
            m_p.drawRects(spans[done].constData(), static_cast<int>(spans[done].size()));
            m_p.setBrush(solid[done]);
            m_p.drawRects(pieces[done].constData(), static_cast<int>(pieces[done].size()));
        }
        m_p.setBrush(m_style.text);
        m_p.drawRects(markers.constData(), static_cast<int>(markers.size()));
    }

    void paintToday()
    {
        if (const std::optional<qreal> x = m_g.todayX(m_scene.today())) {
            const QRectF body = m_g.bodyRect();
            m_p.setPen(QPen(m_style.today, 2));
            m_p.drawLine(QLineF(*x, body.top(), *x, body.bottom()));
        }
    }

    void paintNames()
    {
        const QRectF names = m_g.nameRect();
        m_p.fillRect(names, m_style.base);
        m_p.setPen(m_style.text);
        const int last = m_g.lastRowInView();
        const qreal width = names.width() - 2 * Padding;
        for (int row = m_g.firstRowInView(); row <= last; ++row) {
            const ScheduleRow& task = m_scene.schedule().rows.at(row);
            // A "//" task shows the mark it was typed with, a done one a tick.
            QString name = task.parallel ? QStringLiteral("// ") + m_scene.taskName(row)
                                         : m_scene.taskName(row);
            if (task.done)
                name.prepend(QStringLiteral("\u2713 "));
            const QRectF place(Padding, m_g.yOf(row), width, m_g.rowHeight());
            m_p.drawText(place, Qt::AlignLeft | Qt::AlignVCenter,
                         m_metrics.elidedText(name, Qt::ElideRight, width));
        }
        // A faint line under each row, so the eye finds a name's bar far to
        // the right; it runs below the bars, which keep clear of a row's edges.
        QList<QLineF> rowLines;
        const qreal right = m_g.bodyRect().right();
        for (int row = m_g.firstRowInView(); row <= last; ++row) {
            const qreal y = m_g.yOf(row + 1) - 1;
            if (y >= names.top() && y < names.bottom())
                rowLines.append(QLineF(names.left(), y, right, y));
        }
        m_p.setPen(QPen(m_style.rowLine, 0));
        m_p.drawLines(rowLines);
        m_p.setPen(QPen(m_style.grid, 0));
        m_p.drawLine(QLineF(names.right(), names.top(), names.right(), names.bottom()));
    }

    // One cell of a header band from first to last day: its left line, and
    // the first of the labels that fits. A month or year label keeps to the
    // left of the cell's part in view, so it stays named while scrolling; a
    // day or week label keeps to its cell, or a half-hidden week would seem
    // to start where it does not.
    void headerCell(qreal top, QDate first, QDate last, const QStringList& labels, bool sticky,
                    bool centred = false)
    {
        const QRectF header = m_g.headerRect();
        const qreal left = m_g.xOf(first);
        const qreal right = m_g.xOf(last.addDays(1));
        const qreal shownLeft = sticky ? std::max(left, header.left()) : left;
        const qreal shownRight = sticky ? std::min(right, header.right()) : right;
        if (right <= header.left() || left >= header.right())
            return;
        if (right - left >= NarrowestLine && left >= header.left())
            m_cellLines.append(QLineF(left, top, left, top + m_g.rowHeight()));
        if (!sticky && (left < header.left() || right > header.right()))
            return;
        for (const QString& label : labels) {
            const qreal width = m_metrics.horizontalAdvance(label);
            if (width + 2 * Padding > shownRight - shownLeft)
                continue;
            const QRectF place =
                centred ? QRectF(shownLeft, top, shownRight - shownLeft, m_g.rowHeight())
                        : QRectF(shownLeft + Padding, top, width + Padding, m_g.rowHeight());
            m_p.drawText(
                place, label,
                QTextOption((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter));
            break;
        }
    }

    void paintHeader()
    {
        const QRectF header = m_g.headerRect();
        m_p.fillRect(header, m_style.headerBase);
        m_cellLines.clear();
        if (m_g.dayCount() > 0) {
            m_p.setPen(m_style.headerText);
            paintUpperBand();
            paintLowerBand();
            paintTodayMark();
        }
        m_p.setPen(QPen(m_style.grid, 0));
        m_cellLines.append(QLineF(header.left(), m_g.rowHeight(), header.right(), m_g.rowHeight()));
        m_cellLines.append(QLineF(header.left(), header.bottom(), header.right(), header.bottom()));
        m_p.drawLines(m_cellLines);
    }

    void paintUpperBand()
    {
        const QLocale& locale = m_style.locale;
        const QDate last = m_g.lastDayInView();
        for (QDate start = upperStart(m_g.firstDayInView()); start <= last;
             start = upperNext(start)) {
            const QStringList labels =
                m_unit == Unit::Months
                    ? QStringList{locale.toString(start, QStringLiteral("yyyy"))}
                    : QStringList{locale.toString(start, QStringLiteral("MMMM yyyy")),
                                  locale.toString(start, QStringLiteral("MMM yyyy")),
                                  locale.toString(start, QStringLiteral("MMM"))};
            headerCell(0, start, upperNext(start).addDays(-1), labels, true);
        }
    }

    void paintLowerBand()
    {
        const QLocale& locale = m_style.locale;
        const qreal top = m_g.rowHeight();
        const QDate first = m_g.firstDayInView();
        const QDate last = m_g.lastDayInView();
        switch (m_unit) {
        case Unit::Weekdays:
        case Unit::Days:
            for (QDate day = first; day <= last; day = day.addDays(1)) {
                const QString number = QString::number(day.day());
                const QStringList labels =
                    m_unit == Unit::Days
                        ? QStringList{number}
                        : QStringList{locale.dayName(day.dayOfWeek(), QLocale::ShortFormat) + u' ' +
                                          number,
                                      number};
                headerCell(top, day, day, labels, false, true);
            }
            break;
        case Unit::Weeks:
            // Weeks from Monday, each named by its Monday's day of the month.
            for (QDate monday = first.addDays(1 - first.dayOfWeek()); monday <= last;
                 monday = monday.addDays(7))
                headerCell(top, monday, monday.addDays(6), {QString::number(monday.day())}, false);
            break;
        case Unit::Months:
            for (QDate month(first.year(), first.month(), 1); month <= last;
                 month = month.addMonths(1)) {
                const QString name = locale.toString(month, QStringLiteral("MMM"));
                headerCell(top, month, month.addMonths(1).addDays(-1), {name, name.left(1)}, false);
            }
            break;
        }
    }

    // Today's column marked along the bottom of the header.
    void paintTodayMark()
    {
        const QDate today = m_scene.today();
        if (!today.isValid() || today < m_g.firstDayInView() || today > m_g.lastDayInView())
            return;
        const QRectF header = m_g.headerRect();
        const QRectF mark(m_g.xOf(today), header.bottom() - 3, std::max<qreal>(m_g.dayWidth(), 2),
                          3);
        m_p.fillRect(mark.intersected(header), m_style.today);
    }

    void paintCorner()
    {
        const QRectF corner(0, 0, m_g.nameWidth(), m_g.headerHeight());
        m_p.fillRect(corner, m_style.headerBase);
        QFont bold = m_style.font;
        bold.setBold(true);
        m_p.setFont(bold);
        m_p.setPen(m_style.headerText);
        const qreal width = corner.width() - 2 * Padding;
        m_p.drawText(QRectF(Padding, 0, width, m_g.rowHeight()), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(bold).elidedText(m_scene.projectName(), Qt::ElideRight, width));
        m_p.setFont(m_style.font);
        m_p.setPen(QPen(m_style.grid, 0));
        m_p.drawLine(QLineF(corner.right(), corner.top(), corner.right(), corner.bottom()));
        m_p.drawLine(QLineF(corner.left(), corner.bottom(), corner.right(), corner.bottom()));
    }

    QPainter& m_p;
    const TimelineScene& m_scene;
    const TimelineGeometry& m_g;
    const TimelineStyle& m_style;
    QFontMetricsF m_metrics;
    Unit m_unit;
    QList<QLineF> m_cellLines;
};

} // namespace

void TimelinePainter::paint(QPainter& painter, const TimelineScene& scene,
                            const TimelineGeometry& geometry, const TimelineStyle& style)
{
    Pass(painter, scene, geometry, style).run();
}

} // namespace taskloom
