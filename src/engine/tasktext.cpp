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

// The text without the blanks that the number reader skips wherever they are.
QString withoutBlanks(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (!isBlank(c))
            out.append(c);
    }
    return out;
}

double readRadixWholeNumber(QStringView digits, int radix)
{
    double value = 0;
    for (QChar c : digits) {
        const char16_t u = c.toLower().unicode();
        int digit = radix;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = 10 + (u - u'a');
        if (digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

} // namespace

QStringList TaskText::splitLines(const QString& text)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
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
    // The piece after a final line break is not a line of its own.
    if (begin < size)
        lines.append(text.mid(begin));
    return lines;
}

TaskLine TaskText::ParseTaskLine(const QString& line)
{
    TaskLine result;
    const qsizetype plus = line.indexOf(u'+');
    if (plus < 0) {
        result.text = line;
        result.duration = 1;
        return result;
    }
    result.text = line.left(plus);
    QString durationText = line.mid(plus + 1);
    // Plural before singular and the blank-led forms first, so "3 Days"
    // leaves "3" rather than "3s" or "3 ".
    static const char16_t* const dayWords[] = {u" Days", u" days", u" DAYS", u"Days",
                                               u"days",  u"DAYS",  u" Day",  u" day",
                                               u" DAY",  u"Day",   u"day",   u"DAY"};
    for (const char16_t* word : dayWords)
        durationText.remove(QString::fromUtf16(word), Qt::CaseSensitive);
    result.duration = readLeadingNumber(durationText);
    if (result.duration == 0)
        result.duration = 1;
    return result;
}

double TaskText::readLeadingNumber(QStringView text)
{
    const QString s = withoutBlanks(text);
    if (s.size() >= 2 && s.at(0) == u'&') {
        const QChar kind = s.at(1).toUpper();
        if (kind == u'H')
            return readRadixWholeNumber(QStringView(s).mid(2), 16);
        if (kind == u'O')
            return readRadixWholeNumber(QStringView(s).mid(2), 8);
        return 0;
    }

    // Collect the longest prefix that forms a number: sign, digits, one
    // decimal point, then an exponent only when digits follow it.
    std::string number;
    qsizetype i = 0;
    const qsizetype size = s.size();
    bool negative = false;
    if (i < size && (s.at(i) == u'+' || s.at(i) == u'-'))
        negative = s.at(i++) == u'-';
    bool digits = false;
    while (i < size && s.at(i).unicode() >= '0' && s.at(i).unicode() <= '9') {
        number += static_cast<char>(s.at(i++).unicode());
        digits = true;
    }
    if (i < size && s.at(i) == u'.') {
        number += '.';
        ++i;
        while (i < size && s.at(i).unicode() >= '0' && s.at(i).unicode() <= '9') {
            number += static_cast<char>(s.at(i++).unicode());
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < size && (s.at(i) == u'e' || s.at(i) == u'E')) {
        std::string exponent = "e";
        qsizetype j = i + 1;
        if (j < size && (s.at(j) == u'+' || s.at(j) == u'-'))
            exponent += static_cast<char>(s.at(j++).unicode());
        bool exponentDigits = false;
        while (j < size && s.at(j).unicode() >= '0' && s.at(j).unicode() <= '9') {
            exponent += static_cast<char>(s.at(j++).unicode());
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }
    // from_chars never consults the locale, so "." stays the decimal point
    // under any desktop language. Too large an exponent reads as an infinity,
    // which the builder refuses; too small a one as 0.
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        const bool tiny = number.find("e-") != std::string::npos;
        if (tiny)
            return 0;
        value = std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
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
