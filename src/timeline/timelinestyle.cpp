#include "timelinestyle.h"

#include <QFontDatabase>
#include <QPalette>

#include <cmath>

namespace taskloom {

namespace {

const QColor Purple(128, 0, 128);

constexpr qreal TextContrast = 4.5;
constexpr qreal ShapeContrast = 3;

qreal luminance(const QColor& colour)
{
    const auto channel = [](qreal value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

// The colour itself when it reads well enough on the background, otherwise
// whichever of black and white reads better.
QColor readable(const QColor& colour, const QColor& background)
{
    if (TimelineStyle::contrast(colour, background) >= TextContrast)
        return colour;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return TimelineStyle::contrast(black, background) >= TimelineStyle::contrast(white, background)
               ? black
               : white;
}

// Moves a shape's colour towards the text colour until it stands out from
// the background.
QColor visible(const QColor& colour, const QColor& background, const QColor& text)
{
    QColor shape = colour;
    for (int step = 1; step <= 10 && TimelineStyle::contrast(shape, background) < ShapeContrast;
         ++step)
        shape = TimelineStyle::mix(colour, text, step / 10.0);
    return shape;
}

bool isDark(const QColor& colour)
{
    return luminance(colour) < 0.2;
}

} // namespace

TimelineStyle TimelineStyle::fromPalette(const QPalette& palette, const QColor& accent,
                                         const QFont& font, const QLocale& locale)
{
    TimelineStyle style;
    style.font = font;
    style.locale = locale;
    style.base = palette.color(QPalette::Base);
    style.text = readable(palette.color(QPalette::Text), style.base);
    // The header looks like the table's header: a row of buttons.
    style.headerBase = palette.color(QPalette::Button);
    style.headerText = readable(palette.color(QPalette::ButtonText), style.headerBase);
    style.grid = mix(style.base, style.text, 0.22);
    style.dayOff = mix(style.base, style.text, 0.09);
    style.rowLine = mix(style.base, style.text, 0.07);
    // A dark background turns the purple into a lighter one rather than a
    // muddy dark patch.
    const QColor bar = isDark(style.base) ? mix(accent, Qt::white, 0.45) : accent;
    style.barSolid = visible(bar, style.base, style.text);
    style.barLight = mix(style.base, style.barSolid, 0.3);
    style.doneSolid = visible(mix(style.base, style.text, 0.4), style.base, style.text);
    style.doneLight = mix(style.base, style.doneSolid, 0.3);
    const QColor red = isDark(style.base) ? QColor(255, 110, 110) : QColor(204, 0, 0);
    style.today = visible(red, style.base, style.text);
    return style;
}

TimelineStyle TimelineStyle::forPicture(int fontPixelSize, const QLocale& locale)
{
    QFont font(fontFamily());
    font.setPixelSize(fontPixelSize);
    // Window text, button, light, dark, mid, text, bright text, base, window.
    const QPalette light(Qt::black, QColor(240, 240, 240), Qt::white, Qt::darkGray, Qt::gray,
                         Qt::black, Qt::white, Qt::white, QColor(240, 240, 240));
    return fromPalette(light, Purple, font, locale);
}

QString TimelineStyle::fontFamily()
{
    // Looked up once: the font list does not change while the program runs.
    static const QString chosen =
        QFontDatabase::families().contains(QStringLiteral("Verdana"), Qt::CaseInsensitive)
            ? QStringLiteral("Verdana")
            : QStringLiteral("DejaVu Sans");
    return chosen;
}

qreal TimelineStyle::contrast(const QColor& a, const QColor& b)
{
    const qreal la = luminance(a);
    const qreal lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor TimelineStyle::mix(const QColor& a, const QColor& b, qreal amount)
{
    const auto blend = [amount](int x, int y) { return qRound(x + (y - x) * amount); };
    return {blend(a.red(), b.red()), blend(a.green(), b.green()), blend(a.blue(), b.blue())};
}

} // namespace taskloom
