#pragma once

#include <QByteArray>
#include <QDateTime>
#include <optional>

namespace taskloom {

// The time a calendar file says it was made (its DTSTAMP). The callers read
// the environment and the clock and hand both in.
class ExportStamp {
public:
    // sourceDateEpoch: the value of SOURCE_DATE_EPOCH, empty when unset. Set,
    // it wins over now, so that the same plan gives a byte-identical file (the
    // reproducible-builds convention). No value when it is set but is not a
    // whole number of seconds since 1970-01-01 UTC up to the year 9999.
    static std::optional<QDateTime> choose(const QByteArray& sourceDateEpoch, const QDateTime& now);
};

} // namespace taskloom
