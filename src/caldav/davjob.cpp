#include "davjob.h"

#include "taskloomversion.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>

namespace taskloom {

namespace {

DavError timedOut(const QTimer& limit)
{
    return {DavError::Kind::Timeout, 0, QString::number(limit.interval() / 1000.0)};
}

} // namespace

DavJob::DavJob(QNetworkAccessManager* network, DavAccount account, QUrl url, QObject* parent)
    : QObject(parent), m_network(network), m_account(std::move(account)), m_url(std::move(url))
{
    m_silence.setSingleShot(true);
    m_silence.setInterval(m_account.timeoutMs);
    connect(&m_silence, &QTimer::timeout, this, [this] { stopReading(timedOut(m_silence)); });
    // A server that drips its answer a byte at a time is never silent.
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(3 * m_account.timeoutMs);
    connect(&m_deadline, &QTimer::timeout, this, [this] { stopReading(timedOut(m_deadline)); });
}

DavJob::~DavJob()
{
    if (m_reply) {
        // Quietly: nobody is left to hear about it.
        m_reply->disconnect(this);
        m_reply->abort();
        delete m_reply;
    }
}

QNetworkRequest DavJob::request() const
{
    QNetworkRequest request(m_url);
    // Sent with the first request rather than after a 401, and never put in
    // the address, where it would end up in logs.
    request.setRawHeader("Authorization",
                         "Basic " +
                             (m_account.user + u':' + m_account.password).toUtf8().toBase64());
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QByteArray("Taskloom/") + QByteArray(Version));
    // A moved calendar is reported, not followed: following would send the
    // password to wherever the answer points.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    return request;
}

QNetworkReply* DavJob::propfind(int depth, const QByteArray& properties) const
{
    QNetworkRequest request = this->request();
    request.setRawHeader("Depth", QByteArray::number(depth));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArray("application/xml; charset=utf-8"));
    return m_network->sendCustomRequest(request, "PROPFIND",
                                        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                        "<d:propfind xmlns:d=\"DAV:\"><d:prop>" +
                                            properties + "</d:prop></d:propfind>");
}

void DavJob::start()
{
    m_reply = send();
    connect(m_reply, &QNetworkReply::finished, this, &DavJob::onFinished);
    // Collected for the message; the errors are never ignored, so the
    // handshake then fails.
    connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError>& errors) {
        QStringList reasons;
        for (const QSslError& error : errors)
            reasons.append(error.errorString());
        m_tlsReasons = reasons.join(QStringLiteral("; "));
    });
    // One time limit is for silence: a slow but moving transfer goes on,
    // until the deadline.
    const auto stillTalking = [this] { m_silence.start(); };
    connect(m_reply, &QNetworkReply::uploadProgress, this, stillTalking);
    connect(m_reply, &QNetworkReply::downloadProgress, this, stillTalking);
    // The announced length comes with the headers, before any of the body;
    // what was received is checked as each piece of it comes.
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        if (m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > MaxAnswerBytes)
            stopReading({DavError::Kind::TooLarge});
    });
    connect(m_reply, &QNetworkReply::readyRead, this, [this] {
        if (m_reply->bytesAvailable() > MaxAnswerBytes)
            stopReading({DavError::Kind::TooLarge});
    });
    m_silence.start();
    m_deadline.start();
}

void DavJob::abort()
{
    if (!m_reply || m_reply->isFinished())
        return;
    m_cancelled = true;
    m_reply->abort();
}

void DavJob::readReply(QNetworkReply* /*reply*/) {}

void DavJob::refuseMultiStatus(QNetworkReply* reply)
{
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 207)
        setError(DavError::fromMultiStatus(reply->readAll()));
}

void DavJob::stopReading(DavError why)
{
    if (!m_reply || m_reply->isFinished())
        return;
    m_stoppedBy = std::move(why);
    m_reply->abort();
}

void DavJob::onFinished()
{
    m_silence.stop();
    m_deadline.stop();
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    if (m_cancelled) {
        m_error = DavError{DavError::Kind::Cancelled};
    } else if (m_stoppedBy.isError()) {
        m_error = m_stoppedBy;
    } else {
        m_error = DavError::fromReply(reply, m_tlsReasons, m_account.timeoutMs);
        readReply(reply);
    }
    reply->deleteLater();
    Q_EMIT finished(this);
}

} // namespace taskloom
