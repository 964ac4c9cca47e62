#pragma once

#include <QString>

class QNetworkReply;

namespace taskloom {

// Why a request to the calendar server failed, as a value. message() words it
// for the user; every text the user reads about a failed request comes from
// there, so one kind of failure always reads the same.
struct DavError {
    enum class Kind {
        None,
        InsecureAddress, // plain http:// to another computer
        BadAddress,      // not an http(s) address with a server
        Unauthorized,    // 401/403: wrong user name or password
        NotCalendar,     // 404/405, or a collection without the calendar type
        Redirected,      // 3xx: the calendar lives elsewhere
        Unreachable,     // no connection: host unknown, refused, dropped
        Timeout,         // no answer within the request's time
        Tls,             // the certificate or the handshake failed
        QuotaFull,       // 507
        TooLarge,        // an answer longer than any calendar's: the server is broken or hostile
        BadAnswer,       // a listing that cannot be read
        UnsafeEtag,      // an ETag holding control characters: never sent back in a header
        UidConflict,     // the event's UID is already in the calendar under another name
        ChangedOnServer, // 412: the resource changed since it was listed
        Server,          // any other HTTP status
        Cancelled,
    };

    Kind kind = Kind::None;
    int httpStatus = 0;
    // What the message needs beyond the kind: the system's words for a
    // network or TLS failure, the new address of a moved calendar, the
    // server's reason phrase, the seconds waited for a timeout. It may hold
    // the server's words: message() shows it printable.
    QString detail = {};

    bool isError() const { return kind != Kind::None; }
    // Failures that make every further request pointless: the publish stops
    // instead of sending hundreds of requests bound to fail the same way.
    bool stopsPublish() const;
    QString message() const;

    // Reads a finished reply: the HTTP status, the network error and the TLS
    // reasons collected before it finished.
    static DavError fromReply(QNetworkReply* reply, const QString& tlsReasons, int timeoutMs);
    // A write answered 207 Multi-Status: the first failed status inside, or,
    // when none is, the 207 itself, which no write should get.
    static DavError fromMultiStatus(const QByteArray& xml);

    // A text from the server as it may be shown in a window or a terminal:
    // its control characters written out as \x1B, so none of them acts.
    static QString printable(const QString& serverText);
};

} // namespace taskloom
