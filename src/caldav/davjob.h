#pragma once

#include "daverror.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

namespace taskloom {

// Who talks to the server and how long a request may stay silent.
struct DavAccount {
    QString user;
    QString password;
    // A request with no answer for this long fails as a timeout, and so does
    // one still going after three times as long, however slowly it moves.
    int timeoutMs = 20000;
};

// One request to the calendar server: start() sends it, finished() comes once,
// with error() set when it failed. The job owns its reply; the network manager
// is the caller's. Deleting a running job aborts its request quietly.
class DavJob : public QObject {
    Q_OBJECT
public:
    // The most read of any answer, far beyond a calendar of events: a longer
    // one is stopped as soon as it is announced or received.
    static constexpr qint64 MaxAnswerBytes = qint64(64) * 1024 * 1024;

    ~DavJob() override;

    void start();
    // Stops the request; finished() follows with a Cancelled error.
    void abort();

    const DavError& error() const { return m_error; }
    const QUrl& url() const { return m_url; }

Q_SIGNALS:
    void finished(taskloom::DavJob* job);

protected:
    DavJob(QNetworkAccessManager* network, DavAccount account, QUrl url, QObject* parent);

    // The request with the credentials and the headers every request carries.
    QNetworkRequest request() const;
    // A PROPFIND of the job's address asking for these DAV properties
    // ("<d:getetag/>"), for the address alone (depth 0) or its members too (1).
    QNetworkReply* propfind(int depth, const QByteArray& properties) const;
    // Sends this job's request; each kind of job says which.
    virtual QNetworkReply* send() = 0;
    // Reads a reply that came back, after error() was set from its status
    // (any 2xx is success); a job may read a result or change the error.
    virtual void readReply(QNetworkReply* reply);

    // For a write: a 207 Multi-Status answer failed, with the status inside.
    void refuseMultiStatus(QNetworkReply* reply);

    QNetworkAccessManager* network() const { return m_network; }
    void setError(DavError error) { m_error = std::move(error); }

private:
    void onFinished();
    // Ends the request for that reason: a time limit passed, or the answer
    // grew too large.
    void stopReading(DavError why);

    QNetworkAccessManager* m_network;
    DavAccount m_account;
    QUrl m_url;
    QPointer<QNetworkReply> m_reply;
    QTimer m_silence;
    QTimer m_deadline;
    QString m_tlsReasons;
    DavError m_stoppedBy;
    bool m_cancelled = false;
    DavError m_error;
};

} // namespace taskloom
