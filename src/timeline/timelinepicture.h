#pragma once

#include <QByteArray>
#include <QPageSize>
#include <QString>

#include <optional>

namespace taskloom {

class TimelineGeometry;
class TimelineScene;
struct TimelineStyle;

// The whole plan as a picture file's bytes, ready for an atomic write: SVG,
// PNG or PDF, all drawn by the one timeline painting routine.
class TimelinePicture {
public:
    enum class Format { Svg, Png, Pdf };

    // PNG pictures past this size either way are refused: many viewers and
    // image libraries stop there, and memory grows with the square.
    static constexpr int MaxPngSide = 16384;
    static constexpr int DefaultWidth = 1600;
    // Text in pictures, in pixels: the window's 9 point at 96 dpi.
    static constexpr int FontPixels = 12;

    struct Options {
        Format format = Format::Svg;
        // SVG and PNG: the picture's width, the days scaled to fit it; or,
        // when dayWidth is given, as wide as the plan is at that day width.
        int width = DefaultWidth;
        qreal dayWidth = 0;
        // PDF: landscape pages of this size, the days at dayWidth (or the
        // default) and as many pages as the plan needs.
        QPageSize::PageSizeId paper = QPageSize::A4;
    };

    // The bytes, or why there are none (worded for the user).
    struct Result {
        QByteArray bytes;
        QString refusal;
    };

    // The format a file name asks for by its extension, in any letter case.
    static std::optional<Format> formatOf(const QString& path);
    static QString extensionOf(Format format);

    static Result render(const TimelineScene& scene, const TimelineStyle& style,
                         const Options& options);
    // The last line of a PDF page: the project, and the page (counted from 0) of so many.
    static QString pageFooter(const QString& projectName, qsizetype page, qsizetype pages);

private:
    static Result svg(const TimelineScene& scene, const TimelineStyle& style,
                      const TimelineGeometry& geometry);
    static Result png(const TimelineScene& scene, const TimelineStyle& style,
                      const TimelineGeometry& geometry);
    static Result pdf(const TimelineScene& scene, const TimelineStyle& style,
                      const Options& options);
};

} // namespace taskloom
