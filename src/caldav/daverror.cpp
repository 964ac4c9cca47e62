#include "daverror.h"

#include <QNetworkReply>
#include <QXmlStreamReader>

namespace taskloom {

namespace {

// Servers report a UID already in the calendar as a failed CalDAV
// precondition, with 409 (Radicale) or 403 (RFC 4791's choice).
bool isUidConflict(const QByteArray& answer)
{
    return answer.contains("no-uid-conflict");
}

// The failure a refusal stands for; answer: its body, or its start.
DavError fromStatus(int status, const QString& reason, const QByteArray& answer)
{
    using Kind = DavError::Kind;
    switch (status) {
    case 401:
    case 403:
        return {isUidConflict(answer) ? Kind::UidConflict : Kind::Unauthorized, status};
    case 404:
    case 405:
        return {Kind::NotCalendar, status};
    case 409:
        if (isUidConflict(answer))
            return {Kind::UidConflict, status};
        break;
    case 412:
        return {Kind::ChangedOnServer, status};
    case 507:
        return {Kind::QuotaFull, status};
    default:
        break;
    }
    return {Kind::Server, status, reason.trimmed()};
}

} // namespace

bool DavError::stopsPublish() const
{
    switch (kind) {
    case Kind::None:
    case Kind::UidConflict:
    case Kind::UnsafeEtag:
    case Kind::ChangedOnServer:
    case Kind::Server:
        return false;
    default:
        return true;
    }
}

DavError DavError::fromReply(QNetworkReply* reply, const QString& tlsReasons, int timeoutMs)
{
    if (!tlsReasons.isEmpty())
        return {Kind::Tls, 0, tlsReasons};

    const QVariant statusValue = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (statusValue.isValid()) {
        const int status = statusValue.toInt();
        if (status >= 200 && status < 300)
            return {};
        if (status >= 300 && status < 400)
            return {Kind::Redirected, status, QString::fromUtf8(reply->rawHeader("Location"))};
        return fromStatus(status,
                          reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString(),
                          reply->peek(qint64(64) * 1024));
    }

    switch (reply->error()) {
    case QNetworkReply::NoError:
        return {};
    case QNetworkReply::OperationCanceledError:
        return {Kind::Cancelled, 0};
    case QNetworkReply::TimeoutError:
        return {Kind::Timeout, 0, QString::number(timeoutMs / 1000.0)};
    case QNetworkReply::SslHandshakeFailedError:
        return {Kind::Tls, 0, reply->errorString()};
    default:
        return {Kind::Unreachable, 0, reply->errorString()};
    }
}

DavError DavError::fromMultiStatus(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"status" ||
            reader.namespaceUri() != u"DAV:")
            continue;
        // "HTTP/1.1 423 Locked"
        const QString line = reader.readElementText().simplified();
        const int status = line.section(u' ', 1, 1).toInt();
        if (status < 200 || status >= 300)
            return fromStatus(status, line.section(u' ', 2), xml);
    }
    return {Kind::Server, 207, QStringLiteral("Multi-Status")};
}

QString DavError::printable(const QString& serverText)
{
    QString shown;
    shown.reserve(serverText.size());
    for (const QChar c : serverText) {
        if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x") +
                     QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            shown += c;
    }
    return shown;
}

QString DavError::message() const
{
    const QString shown = printable(detail);
    switch (kind) {
    case Kind::None:
        return {};
    case Kind::InsecureAddress:
        return QStringLiteral("Taskloom sends your password only over an encrypted connection: "
                              "the address must start with https://. Plain http:// is for a "
                              "server on this computer only (localhost or 127.0.0.1).");
    case Kind::BadAddress:
        return QStringLiteral("\"%1\" is not a calendar address. Give the calendar's own address, "
                              "such as https://example.com/calendars/ann/work/.")
            .arg(shown);
    case Kind::Unauthorized:
        return QStringLiteral("The server did not accept the user name or password (HTTP %1).")
            .arg(httpStatus);
    case Kind::NotCalendar:
        return httpStatus != 0
                   ? QStringLiteral("The address is not a calendar on this server (HTTP %1). "
                                    "Check it: it is the calendar's own address, such as "
                                    "https://example.com/calendars/ann/work/.")
                         .arg(httpStatus)
                   : QStringLiteral("The address is not a calendar on this server: it names "
                                    "a folder that holds no calendar events. Check it: it is the "
                                    "calendar's own address, such as "
                                    "https://example.com/calendars/ann/work/.");
    case Kind::Redirected:
        return QStringLiteral("The server says the calendar is at another address (HTTP %1): "
                              "publish to %2.")
            .arg(httpStatus)
            .arg(shown.isEmpty() ? QStringLiteral("the address it gives") : shown);
    case Kind::Unreachable:
        return QStringLiteral("The server could not be reached: %1.").arg(shown);
    case Kind::Timeout:
        return QStringLiteral("The server did not answer within %1 seconds.").arg(shown);
    case Kind::Tls:
        return QStringLiteral("The secure connection to the server could not be verified: %1. "
                              "Taskloom does not send anything over a connection it cannot "
                              "verify.")
            .arg(shown);
    case Kind::QuotaFull:
        return QStringLiteral("The calendar has no room left: the server's storage quota is full "
                              "(HTTP 507).");
    case Kind::TooLarge:
        return QStringLiteral("The server's answer was too large (over 64 MiB), far beyond any "
                              "calendar's: Taskloom stopped reading it.");
    case Kind::BadAnswer:
        return QStringLiteral("The server's answer could not be read (%1).").arg(shown);
    case Kind::UidConflict:
        return QStringLiteral("Already in the calendar under another name, most likely from an "
                              ".ics file imported earlier: remove the imported copies from the "
                              "calendar, or publish to another calendar.");
    case Kind::UnsafeEtag:
        return QStringLiteral("Skipped: the server lists it with an ETag holding control "
                              "characters, which Taskloom never sends back, so it was neither "
                              "rewritten nor removed. Ask the server's administrator to look "
                              "into it.");
    case Kind::ChangedOnServer:
        return QStringLiteral("Changed on the server while publishing (HTTP 412): publish again.");
    case Kind::Server:
        return shown.isEmpty() ? QStringLiteral("Refused by the server (HTTP %1).").arg(httpStatus)
                               : QStringLiteral("Refused by the server (HTTP %1 %2).")
                                     .arg(httpStatus)
                                     .arg(shown);
    case Kind::Cancelled:
        return QStringLiteral("Publishing was cancelled.");
    }
    return {};
}

} // namespace taskloom
