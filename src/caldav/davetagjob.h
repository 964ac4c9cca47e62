#pragma once

#include "davjob.h"

#include <optional>

namespace taskloom {

// PROPFIND with Depth 0 on one resource for its current ETag: what a PUT or
// DELETE refused with 412 (changed since the listing) needs to try once more.
class DavEtagJob : public DavJob {
    Q_OBJECT
public:
    DavEtagJob(QNetworkAccessManager* network, DavAccount account, QUrl url,
               QObject* parent = nullptr);

    // The resource's ETag (empty when the server gives none); nullopt when
    // the resource is not there.
    const std::optional<QString>& etag() const { return m_etag; }

protected:
    QNetworkReply* send() override;
    void readReply(QNetworkReply* reply) override;

private:
    std::optional<QString> m_etag;
};

} // namespace taskloom
