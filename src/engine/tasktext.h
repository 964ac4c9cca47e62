#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace taskloom {

// One task line read into its task text and its duration in working days.
struct TaskLine {
    QString text;
    double duration = 1;
};

// The task-line grammar: "Paint the hall + 3 days", "//Order tiles + 2".
class TaskText {
public:
    // Cuts the task box into lines. CR LF, LF and CR all end a line; a final
    // line break adds no line, and an empty text holds none.
    static QStringList splitLines(const QString& text);
    // The same lines as views into the text, which must outlive them.
    static QList<QStringView> splitLineViews(QStringView text);
    // The task lines of the task box: its lines without the empty ones at the
    // end, which are only where the cursor went on. An empty line before a
    // task, or a line of blanks, is still a task; only line breaks hold none.
    static QList<QStringView> taskLines(QStringView text);
    // The same task lines as texts of their own: what a project file keeps.
    static QStringList taskLineTexts(QStringView text);

    // The task text is everything before the first "+", the duration the
    // number after it once the day words are gone; no number or zero gives 1.
    static TaskLine parseTaskLine(QStringView line);

    // Reads the number at the start of a text the way durations have always
    // been read: blanks anywhere are skipped, "." is the decimal point whatever
    // the locale, reading stops at the first character that cannot continue,
    // "&H" and "&O" read hexadecimal and octal whole numbers; no number is 0.
    static double readLeadingNumber(QStringView text);

    // A duration as the tables show it: 15 significant digits, no group
    // separator, the locale's decimal separator (the command line passes the
    // C locale for ".").
    static QString durationText(double days, const QLocale& locale);

    // The task name shown in the tables: every "//" removed.
    static QString taskName(const QString& taskText);
    static bool isParallel(const QString& taskText);
};

} // namespace taskloom
