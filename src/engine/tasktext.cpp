#include "tasktext.h"

#include <charconv>
#include <limits>
#include <string>

namespace taskloom {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Walks a text the way the number reader sees it: blanks anywhere are skipped.
class BlankSkippingCursor {
public:
    explicit BlankSkippingCursor(QStringView text) : m_text(text) { skipBlanks(); }

    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }
    QChar take()
    {
        const QChar c = peek();
        ++m_pos;
        skipBlanks();
        return c;
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && isBlank(m_text.at(m_pos)))
            ++m_pos;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

double readRadixWholeNumber(BlankSkippingCursor& cursor, int radix)
{
    double value = 0;
    while (!cursor.atEnd()) {
        const char16_t u = cursor.peek().toLower().unicode();
        int digit = radix;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = 10 + (u - u'a');
        if (digit >= radix)
            break;
        cursor.take();
        value = value * radix + digit;
    }
    return value;
}

} // namespace

QStringList TaskText::splitLines(const QString& text)
{
    QStringList lines;
    for (QStringView line : splitLineViews(text))
        lines.append(line.toString());
    return lines;
}

QList<QStringView> TaskText::splitLineViews(QStringView text)
{
    QList<QStringView> lines;
    qsizetype begin = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(begin, i - begin));
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        begin = i + 1;
    }
    // The piece after a final line break is not a line of its own, and an
    // empty text holds no line at all.
    if (begin < size)
        lines.append(text.mid(begin));
    return lines;
}

QList<QStringView> TaskText::taskLines(QStringView text)
{
    QList<QStringView> lines = splitLineViews(text);
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList TaskText::taskLineTexts(QStringView text)
{
    QStringList lines;
    for (QStringView line : taskLines(text))
        lines.append(line.toString());
    return lines;
}

TaskLine TaskText::parseTaskLine(QStringView line)
{
    TaskLine result;
    const qsizetype plus = line.indexOf(u'+');
    if (plus < 0) {
        result.text = line.toString();
        result.duration = 1;
        return result;
    }
    result.text = line.left(plus).toString();
    const QStringView durationView = line.mid(plus + 1);
    // Plural before singular and the blank-led forms first, so "3 Days"
    // leaves "3" rather than "3s" or "3 ".
    static const QString dayWords[] = {
        QStringLiteral(" Days"), QStringLiteral(" days"), QStringLiteral(" DAYS"),
        QStringLiteral("Days"),  QStringLiteral("days"),  QStringLiteral("DAYS"),
        QStringLiteral(" Day"),  QStringLiteral(" day"),  QStringLiteral(" DAY"),
        QStringLiteral("Day"),   QStringLiteral("day"),   QStringLiteral("DAY")};
    // Every day word holds a "d" or a "D"; most duration texts need no search at all.
    if (durationView.contains(u'd', Qt::CaseInsensitive)) {
        QString durationText = durationView.toString();
        for (const QString& word : dayWords)
            durationText.remove(word, Qt::CaseSensitive);
        result.duration = readLeadingNumber(durationText);
    } else {
        result.duration = readLeadingNumber(durationView);
    }
    if (result.duration == 0)
        result.duration = 1;
    return result;
}

double TaskText::readLeadingNumber(QStringView text)
{
    BlankSkippingCursor cursor(text);
    if (cursor.peek() == u'&') {
        cursor.take();
        const QChar kind = cursor.take().toUpper();
        if (kind == u'H')
            return readRadixWholeNumber(cursor, 16);
        if (kind == u'O')
            return readRadixWholeNumber(cursor, 8);
        return 0;
    }

    // Collect the longest prefix that forms a number: sign, digits, one
    // decimal point, then an exponent only when digits follow it.
    bool negative = false;
    if (cursor.peek() == u'+' || cursor.peek() == u'-')
        negative = cursor.take() == u'-';
    std::string number;
    bool digits = false;
    while (isDigit(cursor.peek())) {
        number += static_cast<char>(cursor.take().unicode());
        digits = true;
    }
    if (cursor.peek() == u'.') {
        number += static_cast<char>(cursor.take().unicode());
        while (isDigit(cursor.peek())) {
            number += static_cast<char>(cursor.take().unicode());
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (cursor.peek() == u'e' || cursor.peek() == u'E') {
        // Only an exponent with digits counts; otherwise the "e" ends the number.
        BlankSkippingCursor lookahead = cursor;
        std::string exponent(1, 'e');
        lookahead.take();
        if (lookahead.peek() == u'+' || lookahead.peek() == u'-')
            exponent += static_cast<char>(lookahead.take().unicode());
        bool exponentDigits = false;
        while (isDigit(lookahead.peek())) {
            exponent += static_cast<char>(lookahead.take().unicode());
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }
    // from_chars never consults the locale, so "." stays the decimal point
    // under any desktop language. Too large an exponent reads as an infinity,
    // which the builder refuses; too small a one as 0.
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value =
            number.find("e-") != std::string::npos ? 0 : std::numeric_limits<double>::infinity();
    return negative ? -value : value;
}

QString TaskText::durationText(double days, const QLocale& locale)
{
    // "1500", not "1,500": the number reads as it was typed.
    if (locale.numberOptions().testFlag(QLocale::OmitGroupSeparator))
        return locale.toString(days, 'g', 15);
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(days, 'g', 15);
}

QString TaskText::taskName(const QString& taskText)
{
    QString name = taskText;
    return name.remove(QStringLiteral("//"));
}

bool TaskText::isParallel(const QString& taskText)
{
    return taskText.startsWith(QStringLiteral("//"));
}

} // namespace taskloom
