#pragma once

#include "caldav/davjob.h"
#include "caldav/publishresult.h"
#include "export/calendaritem.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace taskloom {

class PasswordStore;

// Publishing from a terminal: the same publisher as the window, waited for
// in an event loop of its own, which a command line may do.
class CommandLinePublish {
public:
    static constexpr const char* PasswordVariable = "TASKLOOM_CALDAV_PASSWORD";

    // The password from TASKLOOM_CALDAV_PASSWORD, or, only when it is unset,
    // from the keychain. Without one, nullopt and `problem` says why, worded
    // for the user.
    static std::optional<QString> password(PasswordStore& keychain, const QString& account,
                                           QString& problem);

    static PublishResult run(const QUrl& address, const DavAccount& account,
                             const QString& projectKey, const QList<CalendarItem>& items);
};

} // namespace taskloom
