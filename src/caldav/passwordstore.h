#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QObject;

namespace taskloom {

// Where calendar passwords are kept between publishes: the system keychain in
// the program, a map in tests. Every call answers later, on the event loop,
// and only while `context` lives.
class PasswordStore {
public:
    struct ReadResult {
        enum class Status { Found, NotFound, Failed };
        Status status = Status::NotFound;
        QString password;
        QString reason; // why it failed, for Failed
    };
    using ReadDone = std::function<void(const ReadResult&)>;
    // An empty reason means done.
    using WriteDone = std::function<void(const QString& reason)>;

    virtual ~PasswordStore() = default;

    virtual void read(const QString& account, QObject* context, ReadDone done) = 0;
    virtual void write(const QString& account, const QString& password, QObject* context,
                       WriteDone done) = 0;
    // Forgets the password; one that was never kept counts as forgotten.
    virtual void remove(const QString& account, QObject* context, WriteDone done) = 0;

    // The key a password is kept under: the user at the server, so every
    // calendar of one account shares it ("ann@dav.example.com").
    static QString account(const QString& user, const QUrl& calendar)
    {
        QString server = calendar.host();
        if (calendar.port() != -1)
            server += u':' + QString::number(calendar.port());
        return user + u'@' + server;
    }
};

} // namespace taskloom
