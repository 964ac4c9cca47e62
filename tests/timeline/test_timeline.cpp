#include "engine/schedulebuilder.h"
#include "plan/timelinescene.h"
#include "timeline/timelinegeometry.h"
#include "timeline/timelinepicture.h"
#include "timeline/timelinestyle.h"

#include <QImage>
#include <QPalette>
#include <QRegularExpression>
#include <QTest>

using namespace taskloom;
using R = QRectF;
using Rects = QList<QRectF>;

namespace {

// Built on Wednesday 9 December 2026, right away. Monday to Friday:
//   Paint +3      Wed 9 - Fri 11, one run
//   //Order +4    Wed 9 - Mon 14, runs Wed 9 - Fri 11 and Mon 14; done, with those dates
//   Tiles +2.5    Tue 15 - Thu 17, one run Tue 15 - Wed 16 (the half day has none)
//   Check +0.5    Fri 18, no run: a marker
// The chart starts a day early: Tuesday 8 sits at x 216, the name column's width for
// 12-pixel text; rows are 22 high under a 44-pixel header, bars inset 4.
const QDate Today(2026, 12, 9);
const QString Small = "Paint + 3\n//Order + 4\nTiles + 2.5\nCheck + 0.5";

TimelineScene plan(const QString& tasks = Small, QDate dateOff = {})
{
    const BuildInputs inputs{.taskText = tasks,
                             .projectName = "Home",
                             .today = Today,
                             .weekFlags = WorkingWeek::mondayToFriday(),
                             .datesOff = dateOff.isValid() ? QList<QDate>{dateOff} : QList<QDate>{},
                             .doneTasks = {{"Order", 1, QDate(2026, 12, 9), QDate(2026, 12, 14)}}};
    return {ScheduleBuilder::build(inputs).schedule(), inputs.workingWeek(), Today, "Home"};
}

TimelinePicture::Result render(TimelinePicture::Format format, int width, qreal dayWidth = 0,
                               const QString& tasks = Small)
{
    return TimelinePicture::render(plan(tasks), TimelineStyle::forPicture(12, QLocale::c()),
                                   {format, width, dayWidth});
}

} // namespace

class TestTimeline : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Where each row's bars fall (its span, then its runs; a marker when it has none), the
    // day-off columns, today's line, and the day and row under a point as hovering asks
    // (none past the body's right or bottom edge, nor over the names).
    void geometry_data()
    {
        QTest::addColumn<QDate>("dateOff"); // a holiday, or none
        QTest::addColumn<qreal>("dayWidth");
        QTest::addColumn<QRectF>("view"); // scroll and size; empty: the whole plan
        QTest::addColumn<Rects>("bars");
        QTest::addColumn<Rects>("daysOff");
        QTest::addColumn<qreal>("todayX"); // -1: out of view
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<QString>("under"); // the day and the row, -1 for none
        // clang-format off
        QTest::newRow("whole plan, 20 px a day") << QDate() << 20.0 << R()
            << Rects{R(236, 48, 60, 14), R(236, 48, 60, 14), R(236, 70, 120, 14), R(236, 70, 60, 14), R(336, 70, 20, 14),
                     R(356, 92, 60, 14), R(356, 92, 40, 14), R(424, 112, 4, 18)}
            << Rects{R(296, 44, 40, 88), R(436, 44, 20, 88)} << 246.0 << QPointF(455.9, 131.9) << "2026-12-19 3";
        // The body shows 84 x 56 from (50, 10): Thu 10 to Mon 14, rows 0 to 2.
        QTest::newRow("scrolled view, cut to the body") << QDate() << 20.0 << R(50, 10, 300, 100)
            << Rects{R(216, 44, 30, 8), R(216, 44, 30, 8), R(216, 60, 84, 14), R(216, 60, 30, 14), R(286, 60, 14, 14)}
            << Rects{R(246, 44, 40, 56)} << -1.0 << QPointF(300, 100) << " -1";
        // Thursday 17 off: Tiles runs Tue 15 - Fri 18, light over the holiday, and Check
        // moves to Monday 21; the chart runs to Tuesday 22.
        QTest::newRow("a holiday inside Tiles") << QDate(2026, 12, 17) << 20.0 << R()
            << Rects{R(236, 48, 60, 14), R(236, 48, 60, 14), R(236, 70, 120, 14), R(236, 70, 60, 14), R(336, 70, 20, 14),
                     R(356, 92, 80, 14), R(356, 92, 40, 14), R(484, 112, 4, 18)}
            << Rects{R(296, 44, 40, 88), R(396, 44, 20, 88), R(436, 44, 40, 88)} << 246.0 << QPointF(215.9, 50) << " 0";
        QTest::newRow("zoomed out to 6 px: the marker keeps 2 px") << QDate() << 6.0 << R()
            << Rects{R(222, 48, 18, 14), R(222, 48, 18, 14), R(222, 70, 36, 14), R(222, 70, 18, 14), R(252, 70, 6, 14),
                     R(258, 92, 18, 14), R(258, 92, 12, 14), R(278, 112, 2, 18)}
            << Rects{R(240, 44, 12, 88), R(282, 44, 6, 88)} << 225.0 << QPointF(216, 44) << "2026-12-08 0";
        // clang-format on
    }
    void geometry()
    {
        QFETCH(QDate, dateOff);
        QFETCH(qreal, dayWidth);
        QFETCH(QRectF, view);
        QFETCH(QPointF, point);
        const TimelineScene scene = plan(Small, dateOff);
        TimelineGeometry g(scene, dayWidth, 12);
        if (!view.isEmpty())
            g.setView(view.size(), view.topLeft());
        Rects bars;
        for (int row = 0; row < scene.rowCount(); ++row) {
            const TimelineGeometry::RowBars b = g.rowBars(scene, row);
            bars << Rects{b.span} + b.pieces << b.marker;
            bars.removeAll(QRectF());
        }
        QTEST(bars, "bars");
        QTEST(g.dayOffColumns(scene.week()), "daysOff");
        QTEST(g.todayX(Today).value_or(-1), "todayX");
        QTEST(g.dayAt(point.x()).toString(Qt::ISODate) + ' ' + QString::number(g.rowAt(point.y())),
              "under");
    }

    // PDF pages: rows as many as fit, each band of rows as many pages across as its days
    // need. Given as (scroll x, scroll y, width, height) of each page's view.
    void pages_data()
    {
        QTest::addColumn<QSizeF>("page");
        QTest::addColumn<Rects>("views");
        // 2 rows and 5 days a page. Rows 0-1 take Tue 8 - Tue 15 (with the day either side):
        // Tue 8 - Sat 12, Sun 13 - Tue 15. Rows 2-3 take Mon 14 - Sat 19.
        // clang-format off
        QTest::newRow("2 rows, 5 days") << QSizeF(323, 98)
            << Rects{R(0, 0, 316, 88), R(100, 0, 276, 88), R(120, 44, 316, 88), R(220, 44, 236, 88)};
        // Not even a row fits under the header: one row a page, 4 days across.
        // Paint Tue 8 - Sat 12, Order Tue 8 - Tue 15, Tiles Mon 14 - Fri 18, Check Thu 17 - Sat 19.
        QTest::newRow("too low for a row") << QSizeF(300, 20)
            << Rects{R(0, 0, 296, 66), R(80, 0, 236, 66), R(0, 22, 296, 66), R(80, 22, 296, 66),
                     R(120, 44, 296, 66), R(200, 44, 236, 66), R(180, 66, 276, 66)};
        // clang-format on
    }
    void pages()
    {
        QFETCH(QSizeF, page);
        const TimelineScene scene = plan();
        Rects views;
        for (const TimelineGeometry& view : TimelineGeometry(scene, 20, 12).pages(scene, page))
            views << R(view.scroll(), view.viewSize());
        QTEST(views, "views");
    }

    // A rendered PNG, 20 px a day: sampled pixels of bars and shading (text varies). A task
    // to come is purple, light where it does not work; a done one grey, as light.
    void png_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("colour");
        // clang-format off
        QTest::newRow("Order, done: its first run") << QPoint(240, 75) << QColor(138, 138, 138);
        QTest::newRow("Order, done: over the weekend") << QPoint(300, 75) << QColor(220, 220, 220);
        QTest::newRow("Tiles, to come: its run") << QPoint(370, 97) << QColor(128, 0, 128);
        QTest::newRow("Tiles, to come: its half day") << QPoint(405, 97) << QColor(217, 179, 217);
        QTest::newRow("Saturday 12 below the bars") << QPoint(300, 125) << QColor(232, 232, 232);
        QTest::newRow("Check's marker") << QPoint(425, 120) << QColor(Qt::black);
        QTest::newRow("today's line") << QPoint(246, 125) << QColor(204, 0, 0);
        QTest::newRow("today marked along the header's foot") << QPoint(240, 42) << QColor(204, 0, 0);
        // clang-format on
    }
    void png()
    {
        QFETCH(QPoint, pixel);
        const QImage image = QImage::fromData(render(TimelinePicture::Format::Png, 0, 20).bytes);
        QCOMPARE(image.size(), QSize(456, 132));
        QTEST(image.pixelColor(pixel), "colour");
    }

    // Either way past 16,384 pixels a PNG is refused; SVG and PDF take any size. A small
    // plan fits one A4 page, whose footer names the project and the page.
    void pictureFiles()
    {
        using F = TimelinePicture::Format;
        QVERIFY(!render(F::Png, 16384).bytes.isEmpty() && !render(F::Svg, 16385).bytes.isEmpty());
        QCOMPARE(render(F::Png, 16385).refusal,
                 "The picture would be 16,385 × 132 pixels, and a PNG picture can be at most "
                 "16,384 pixels either way. Please save it as SVG or PDF instead.");
        static const QRegularExpression page("/Type\\s*/Page\\b(?!s)");
        QCOMPARE(QString::fromLatin1(render(F::Pdf, 0).bytes).count(page), 1);
        QCOMPARE(TimelinePicture::pageFooter("Home", 0, 2), "Home · page 1 of 2");
    }

    // The words of an SVG in the order they are drawn: the names (a done one ticked), the
    // months, the days or weeks, the project; each label only where it fits its cell.
    void svgTexts_data()
    {
        QTest::addColumn<QString>("tasks");
        QTest::addColumn<qreal>("dayWidth"); // 0: 1600 pixels wide, 115 px a day
        QTest::addColumn<QString>("texts");
        const QString names = "Paint|✓ // Order|Tiles|Check|December 2026|";
        // clang-format off
        QTest::newRow("weekdays") << Small << 0.0
            << names + "Tue 8|Wed 9|Thu 10|Fri 11|Sat 12|Sun 13|Mon 14|Tue 15|Wed 16|Thu 17|Fri 18|Sat 19|Home";
        QTest::newRow("days, 30 px") << Small << 30.0 << names + "8|9|10|11|12|13|14|15|16|17|18|19|Home";
        // Wed 9 December to Tue 2 February, drawn Tue 8 to Wed 3: weeks from Monday named by
        // its day, the weeks of 7 December and 1 February cut by the ends, and no month
        // name fits February's three days.
        QTest::newRow("weeks, 6 px") << "Long + 40" << 6.0 << "Long|December 2026|January 2027|14|21|28|4|11|18|25|Home";
        // Wed 9 December to Tue 27 April, 100 working days, at 2 px a day: years over months,
        // December and April cut by the ends.
        QTest::newRow("months, 2 px") << "Long + 100" << 2.0 << "Long|2026|2027|Jan|Feb|Mar|Home";
        // clang-format on
    }
    void svgTexts()
    {
        QFETCH(QString, tasks);
        QFETCH(qreal, dayWidth);
        const QByteArray svg = render(TimelinePicture::Format::Svg, 1600, dayWidth, tasks).bytes;
        static const QRegularExpression text("<text\\b[^>]*>([^<]*)</text>");
        QStringList texts;
        for (const auto& m : text.globalMatch(QString::fromUtf8(svg)))
            texts << m.captured(1).trimmed();
        QTEST(texts.join('|'), "texts");
    }

    // Text reads at 4.5:1 or better on its background, bars stand out at 3:1, under any
    // palette (the light one: the PNG's colours). Given: base, text; shown: text, bar. Grey
    // 120 is dark (luminance 0.19): the purple lightened, then stepped 7 tenths towards black
    // for 3:1.
    void style_data()
    {
        QTest::addColumn<QList<QColor>>("given");
        QTest::addColumn<QList<QColor>>("shown");
        // clang-format off
        QTest::newRow("dark: a lighter purple") << QList<QColor>{QColor(30, 30, 30), QColor(230, 230, 230)}
                                                << QList<QColor>{QColor(230, 230, 230), QColor(185, 115, 185)};
        QTest::newRow("grey on grey: black text") << QList<QColor>{QColor(120, 120, 120), QColor(128, 128, 128)}
                                                  << QList<QColor>{Qt::black, QColor(56, 35, 56)};
        // clang-format on
    }

    void style()
    {
        QFETCH(QList<QColor>, given);
        // Window text, button, light, dark, mid, text, bright text, base, window.
        const QPalette palette(given[1], given[0].lighter(110), Qt::white, Qt::black, Qt::gray,
                               given[1], Qt::white, given[0], given[0]);
        const TimelineStyle s =
            TimelineStyle::fromPalette(palette, QColor(128, 0, 128), QFont(), QLocale::c());
        QTEST((QList<QColor>{s.text, s.barSolid}), "shown");
    }
};

QTEST_MAIN(TestTimeline)
#include "test_timeline.moc"
