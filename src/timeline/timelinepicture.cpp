#include "timelinepicture.h"

#include "plan/exportcheck.h"
#include "plan/timelinescene.h"
#include "timelinegeometry.h"
#include "timelinepainter.h"
#include "timelinestyle.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>

namespace taskloom {

namespace {

// Pictures are measured in pixels of a 96 dpi screen, whatever the display.
constexpr int Dpi = 96;
constexpr qreal PageMarginMm = 10;

int fontPixels(const TimelineStyle& style)
{
    const int pixels = style.font.pixelSize();
    return pixels > 0 ? pixels : qRound(style.font.pointSizeF() * Dpi / 72);
}

// The whole plan at the asked day width, or scaled to the asked width.
std::optional<TimelineGeometry> planGeometry(const TimelineScene& scene, const TimelineStyle& style,
                                             const TimelinePicture::Options& options)
{
    const int pixels = fontPixels(style);
    if (options.dayWidth > 0)
        return TimelineGeometry(scene, options.dayWidth, pixels);
    const qreal nameWidth = TimelineGeometry(scene, 1, pixels).nameWidth();
    const qreal dayWidth = (options.width - nameWidth) / scene.dayCount();
    if (dayWidth <= 0)
        return std::nullopt;
    return TimelineGeometry(scene, dayWidth, pixels);
}

// Whole pixels that hold the plan: a width scaled to fit comes out a hair
// over or under the asked one.
QSize pixelSize(const TimelineGeometry& geometry)
{
    const QSizeF size = geometry.planSize();
    return {static_cast<int>(std::ceil(size.width() - 0.01)),
            static_cast<int>(std::ceil(size.height() - 0.01))};
}

QString sizeText(QSize size)
{
    const QLocale english(QLocale::English);
    return english.toString(size.width()) + QStringLiteral(" × ") + english.toString(size.height());
}

TimelinePicture::Result refused(const QString& text)
{
    return {QByteArray(), text};
}

} // namespace

std::optional<TimelinePicture::Format> TimelinePicture::formatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1StringView("svg"))
        return Format::Svg;
    if (suffix == QLatin1StringView("png"))
        return Format::Png;
    if (suffix == QLatin1StringView("pdf"))
        return Format::Pdf;
    return std::nullopt;
}

QString TimelinePicture::extensionOf(Format format)
{
    switch (format) {
    case Format::Svg:
        return QStringLiteral(".svg");
    case Format::Png:
        return QStringLiteral(".png");
    case Format::Pdf:
        return QStringLiteral(".pdf");
    }
    return {};
}

TimelinePicture::Result TimelinePicture::render(const TimelineScene& scene,
                                                const TimelineStyle& style, const Options& options)
{
    if (scene.isEmpty())
        return refused(ExportCheck::noTasks().text);
    if (options.format == Format::Pdf)
        return pdf(scene, style, options);
    const std::optional<TimelineGeometry> geometry = planGeometry(scene, style, options);
    if (!geometry)
        return refused(QStringLiteral("The picture is too narrow for the task names."));
    return options.format == Format::Svg ? svg(scene, style, *geometry)
                                         : png(scene, style, *geometry);
}

QString TimelinePicture::pageFooter(const QString& projectName, qsizetype page, qsizetype pages)
{
    return QStringLiteral("%1 · page %2 of %3")
        .arg(projectName, QString::number(page + 1), QString::number(pages));
}

TimelinePicture::Result TimelinePicture::svg(const TimelineScene& scene, const TimelineStyle& style,
                                             const TimelineGeometry& geometry)
{
    const QSize size = pixelSize(geometry);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(Dpi);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(scene.projectName());
    svg.setDescription(QStringLiteral("Timeline made with Taskloom"));
    QPainter painter(&svg);
    TimelinePainter::paint(painter, scene, geometry, style);
    painter.end();
    return {buffer.data(), QString()};
}

TimelinePicture::Result TimelinePicture::png(const TimelineScene& scene, const TimelineStyle& style,
                                             const TimelineGeometry& geometry)
{
    const QSize size = pixelSize(geometry);
    if (size.width() > MaxPngSide || size.height() > MaxPngSide)
        return refused(QStringLiteral("The picture would be %1 pixels, and a PNG picture can be "
                                      "at most %2 pixels either way. Please save it as SVG or "
                                      "PDF instead.")
                           .arg(sizeText(size), QLocale(QLocale::English).toString(MaxPngSide)));
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return refused(QStringLiteral("There is not enough memory for a picture of %1 pixels. "
                                      "Please save it as SVG or PDF instead.")
                           .arg(sizeText(size)));
    const int dotsPerMetre = qRound(Dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    TimelinePainter::paint(painter, scene, geometry, style);
    painter.end();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {buffer.data(), QString()};
}

TimelinePicture::Result TimelinePicture::pdf(const TimelineScene& scene, const TimelineStyle& style,
                                             const Options& options)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(
        QPageLayout(QPageSize(options.paper), QPageLayout::Landscape,
                    QMarginsF(PageMarginMm, PageMarginMm, PageMarginMm, PageMarginMm),
                    QPageLayout::Millimeter));
    writer.setResolution(Dpi);
    writer.setTitle(scene.projectName());
    writer.setCreator(QStringLiteral("Taskloom"));

    const qreal dayWidth =
        options.dayWidth > 0 ? options.dayWidth : TimelineGeometry::DefaultDayWidth;
    const TimelineGeometry plan(scene, dayWidth, fontPixels(style));
    // The last line of each page names the project and the page.
    const QRectF paper = writer.pageLayout().paintRectPixels(Dpi);
    const qreal footer = plan.rowHeight();
    const QList<TimelineGeometry> pages =
        plan.pages(scene, QSizeF(paper.width(), paper.height() - footer));

    QPainter painter(&writer);
    for (qsizetype page = 0; page < pages.size(); ++page) {
        if (page > 0)
            writer.newPage();
        TimelinePainter::paint(painter, scene, pages.at(page), style);
        painter.setFont(style.font);
        painter.setPen(style.text);
        painter.drawText(QRectF(0, paper.height() - footer, paper.width(), footer),
                         Qt::AlignRight | Qt::AlignVCenter,
                         pageFooter(scene.projectName(), page, pages.size()));
    }
    painter.end();
    return {buffer.data(), QString()};
}

} // namespace taskloom
