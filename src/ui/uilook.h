#pragma once

#include <QColor>
#include <QFont>
#include <QKeySequence>
#include <QList>
#include <QRect>

class QLabel;
class QWidget;

namespace taskloom {

// The program's look in one place: positions are designed in twips at 15 twips
// per pixel (Qt scales pixels for the screen), texts in Verdana or the closest
// sans face the machine has.
class UiLook {
public:
    static constexpr int TwipsPerPixel = 15;

    static int px(int twips);
    static QRect rect(int left, int top, int width, int height);

    static QString family();
    static QFont font(double pointSize, bool bold = false, bool underline = false);

    // A plain-text caption at its designed place, its text at the top left so a
    // box that runs under the control below it never hides the text.
    static QLabel* label(QWidget* parent, const char* name, const QString& text, QRect place,
                         const QFont& font, const QColor& colour = Qt::black);
    // The same look for a caption already made (a link).
    static void dress(QLabel* caption, const char* name, QRect place, const QFont& font,
                      const QColor& colour);

    // The platform's keys for a standard action, or ours where it has none
    // (the offscreen and X11 platforms know no Save As or Quit key).
    static QList<QKeySequence> keysFor(QKeySequence::StandardKey key, const char* fallback);

    static void setBackground(QWidget* widget, const QColor& colour);
    static void setTextColour(QWidget* widget, const QColor& colour);
};

} // namespace taskloom
