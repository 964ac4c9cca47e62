#pragma once

#include <QByteArray>

namespace taskloom {

// What an iCalendar text says, apart from how it is written: calendar servers
// store an event and hand it back re-serialised, its properties in another
// order, its lines folded elsewhere and ended with LF alone.
class IcsContent {
public:
    // True when both texts parse and hold the same components with the same
    // properties, each with the same value and parameters, in any order.
    // DTSTAMP is left out: it tells when the text was made, not what it holds.
    static bool same(const QByteArray& a, const QByteArray& b);
};

} // namespace taskloom
