#include "commandlinepublish.h"

#include "caldav/calendarpublisher.h"
#include "caldav/passwordstore.h"

#include <QEventLoop>
#include <QNetworkAccessManager>

namespace taskloom {

std::optional<QString> CommandLinePublish::password(PasswordStore& keychain, const QString& account,
                                                    QString& problem)
{
    if (qEnvironmentVariableIsSet(PasswordVariable))
        return qEnvironmentVariable(PasswordVariable);

    QEventLoop loop;
    PasswordStore::ReadResult read;
    keychain.read(account, &loop, [&](const PasswordStore::ReadResult& result) {
        read = result;
        loop.quit();
    });
    loop.exec();
    if (read.status == PasswordStore::ReadResult::Status::Found)
        return read.password;
    problem = QStringLiteral("No password for %1: set %2, or publish once from the window "
                             "with \"Remember in the system keychain\" ticked.")
                  .arg(account, QLatin1StringView(PasswordVariable));
    // Without a keychain service the keychain's own reason is a bare "Unknown error".
    if (read.status == PasswordStore::ReadResult::Status::Failed)
        problem +=
            read.reason.isEmpty() || read.reason == QLatin1StringView("Unknown error")
                ? QStringLiteral(" (No system keychain is available.)")
                : QStringLiteral(" (The system keychain could not be read: %1.)").arg(read.reason);
    return std::nullopt;
}

PublishResult CommandLinePublish::run(const QUrl& address, const DavAccount& account,
                                      const QString& projectKey, const QList<CalendarItem>& items)
{
    QNetworkAccessManager network;
    CalendarPublisher publisher(&network);
    QEventLoop loop;
    PublishResult published;
    QObject::connect(&publisher, &CalendarPublisher::finished, &loop,
                     [&](const PublishResult& result) {
                         published = result;
                         loop.quit();
                     });
    publisher.start(address, account, projectKey, items);
    loop.exec();
    return published;
}

} // namespace taskloom
