#include "uilook.h"

#include "timeline/timelinestyle.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>
#include <QtMath>

namespace taskloom {

int UiLook::px(int twips)
{
    return qRound(static_cast<double>(twips) / TwipsPerPixel);
}

QRect UiLook::rect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

QString UiLook::family()
{
    return TimelineStyle::fontFamily();
}

QList<QKeySequence> UiLook::keysFor(QKeySequence::StandardKey key, const char* fallback)
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty())
        keys.append(QKeySequence(QString::fromLatin1(fallback)));
    return keys;
}

QFont UiLook::font(double pointSize, bool bold, bool underline)
{
    QFont f(family());
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QLabel* UiLook::label(QWidget* parent, const char* name, const QString& text, QRect place,
                      const QFont& font, const QColor& colour)
{
    auto* caption = new QLabel(text, parent);
    dress(caption, name, place, font, colour);
    return caption;
}

void UiLook::dress(QLabel* caption, const char* name, QRect place, const QFont& font,
                   const QColor& colour)
{
    caption->setObjectName(QLatin1String(name));
    // Plain text: quotes and blanks in the captions are meant as they stand.
    caption->setTextFormat(Qt::PlainText);
    caption->setFont(font);
    caption->setGeometry(place);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(caption, colour);
}

void UiLook::setBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    // Buttons fill with their own role, panels with the window's.
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void UiLook::setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    // Captions only: a check box draws its tick in the Text colour, and a
    // white tick on its white box would hide whether it is ticked.
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

} // namespace taskloom
