#pragma once

#include <QColor>
#include <QFont>
#include <QLocale>

class QPalette;

namespace taskloom {

// Everything of a timeline's look, handed to the painting as a value: the
// window makes one from its palette, pictures use the light one.
struct TimelineStyle {
    QFont font;     // its pixel size sets the rows and the header
    QLocale locale; // month and day names
    QColor base;    // the chart body and the name column
    QColor text;    // task names
    QColor headerBase;
    QColor headerText;
    QColor grid;      // separators and month lines
    QColor rowLine;   // under each row, fainter
    QColor dayOff;    // columns of days off
    QColor barLight;  // a task's whole span, days off included
    QColor barSolid;  // its calendar events
    QColor doneLight; // the same for a task marked done: grey, so what is
    QColor doneSolid; // still to come stands out, yet still clear to read
    QColor today;     // today's line

    // From a palette and an accent (the bars' colour on a light background).
    // Text that would read at less than 4.5:1 on its background becomes black
    // or white, and bars and today's line keep at least 3:1 against the body,
    // so any palette, dark ones included, stays readable.
    static TimelineStyle fromPalette(const QPalette& palette, const QColor& accent,
                                     const QFont& font, const QLocale& locale);
    // Black on white with the program's purple, in fontFamily(): pictures
    // are printed and handed on, whatever the screen looks like.
    static TimelineStyle forPicture(int fontPixelSize, const QLocale& locale);
    // The program's one face, for the window and the pictures alike: Verdana
    // when installed, else DejaVu Sans (shipped with the program), so
    // pictures drawn on any machine without Verdana are the same.
    static QString fontFamily();

    // The contrast ratio of two colours, 1 to 21, as accessibility guidelines
    // measure it.
    static qreal contrast(const QColor& a, const QColor& b);
    // Part of the way from one colour to another: 0 gives a, 1 gives b.
    static QColor mix(const QColor& a, const QColor& b, qreal amount);
};

} // namespace taskloom
