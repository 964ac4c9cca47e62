#pragma once

#include "caldav/passwordstore.h"

#include <QMap>

namespace taskloom::test {

// The keychain of tests: a map, answering on the event loop as the real one
// does. `failing` makes every call fail, as a locked or missing keychain.
class MemoryPasswordStore : public PasswordStore {
public:
    void read(const QString& account, QObject* context, ReadDone done) override;
    void write(const QString& account, const QString& password, QObject* context,
               WriteDone done) override;
    void remove(const QString& account, QObject* context, WriteDone done) override;

    QMap<QString, QString> passwords;
    bool failing = false;
};

} // namespace taskloom::test
