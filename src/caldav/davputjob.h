#pragma once

#include "davjob.h"

#include <optional>

namespace taskloom {

// PUT of one calendar resource. A new one is sent with If-None-Match: * so it
// never replaces a resource that appeared meanwhile; an existing one with
// If-Match: its listed ETag so it never replaces a copy changed meanwhile.
// A 207 Multi-Status answer is a failure, told by the status inside.
class DavPutJob : public DavJob {
    Q_OBJECT
public:
    // listedEtag: nullopt for a resource the listing did not hold; an empty
    // ETag (a server that gave none) sends the resource without a condition.
    DavPutJob(QNetworkAccessManager* network, DavAccount account, QUrl url, QByteArray ics,
              std::optional<QString> listedEtag, QObject* parent = nullptr);

protected:
    QNetworkReply* send() override;
    void readReply(QNetworkReply* reply) override;

private:
    QByteArray m_ics;
    std::optional<QString> m_listedEtag;
};

} // namespace taskloom
