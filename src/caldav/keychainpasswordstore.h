#pragma once

#include "passwordstore.h"

namespace taskloom {

// Passwords in the system keychain through QtKeychain (Secret Service or
// KWallet on Linux), under the service "taskloom". There is deliberately no
// fallback to a plain file: without a keychain the password is asked for
// each time.
class KeychainPasswordStore : public PasswordStore {
public:
    void read(const QString& account, QObject* context, ReadDone done) override;
    void write(const QString& account, const QString& password, QObject* context,
               WriteDone done) override;
    void remove(const QString& account, QObject* context, WriteDone done) override;
};

} // namespace taskloom
