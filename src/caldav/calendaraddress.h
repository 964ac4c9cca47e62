#pragma once

#include "daverror.h"

#include <QUrl>

namespace taskloom {

// The address of the calendar collection to publish into, as the user gives it.
class CalendarAddress {
public:
    // The typed address with blanks trimmed and a "/" ending its path, so
    // that resource names resolve inside the collection.
    static QUrl fromUserInput(const QString& text);

    // Why the address cannot be published to: not an http(s) address with a
    // server, a user name or password inside it, or plain http:// to another
    // computer (the password would cross the network readable). None when fine.
    static DavError problem(const QUrl& address);
};

} // namespace taskloom
