#include "exportstamp.h"

#include <algorithm>
#include <cctype>

namespace taskloom {

std::optional<QDateTime> ExportStamp::choose(const QByteArray& sourceDateEpoch,
                                             const QDateTime& now)
{
    if (sourceDateEpoch.isEmpty())
        return now.toUTC();
    // Digits only: no sign, blank or exponent slips through toLongLong.
    if (!std::all_of(sourceDateEpoch.cbegin(), sourceDateEpoch.cend(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    // The last second a calendar date-time can hold: 9999-12-31 23:59:59 UTC.
    constexpr qint64 Latest = 253402300799;
    bool ok = false;
    const qint64 seconds = sourceDateEpoch.toLongLong(&ok);
    if (!ok || seconds > Latest)
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

} // namespace taskloom
