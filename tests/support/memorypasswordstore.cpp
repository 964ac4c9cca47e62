#include "memorypasswordstore.h"

#include <QTimer>

namespace taskloom::test {

namespace {
const QString Failure = QStringLiteral("The keychain is locked.");
}

void MemoryPasswordStore::read(const QString& account, QObject* context, ReadDone done)
{
    ReadResult result;
    if (failing)
        result = {ReadResult::Status::Failed, {}, Failure};
    else if (passwords.contains(account))
        result = {ReadResult::Status::Found, passwords.value(account), {}};
    QTimer::singleShot(0, context, [done = std::move(done), result] { done(result); });
}

void MemoryPasswordStore::write(const QString& account, const QString& password, QObject* context,
                                WriteDone done)
{
    if (!failing)
        passwords.insert(account, password);
    QTimer::singleShot(
        0, context,
        [done = std::move(done), reason = failing ? Failure : QString()] { done(reason); });
}

void MemoryPasswordStore::remove(const QString& account, QObject* context, WriteDone done)
{
    if (!failing)
        passwords.remove(account);
    QTimer::singleShot(
        0, context,
        [done = std::move(done), reason = failing ? Failure : QString()] { done(reason); });
}

} // namespace taskloom::test
