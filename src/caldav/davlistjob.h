#pragma once

#include "davjob.h"

#include <QHash>
#include <QString>

#include <optional>

namespace taskloom {

// What one listing of a collection tells: whether it is a calendar, and the
// resources directly inside it by name (the last part of their address,
// decoded) with their ETags (empty when the server gave none) and, when asked
// for, their calendar data.
struct DavListing {
    bool isCalendar = false;
    QHash<QString, QString> etags;
    QHash<QString, QString> calendarData;

    // An ETag that may go into an If-Match header: one holding control
    // characters would add lines of the server's choosing to the request.
    static bool usableEtag(const QString& etag);
};

// PROPFIND with Depth 1 on a collection, asking only for the resource type and
// the ETags: enough to tell new resources from existing ones without fetching
// any. A collection that is not a calendar fails as NotCalendar.
class DavListJob : public DavJob {
    Q_OBJECT
public:
    DavListJob(QNetworkAccessManager* network, DavAccount account, QUrl collection,
               QObject* parent = nullptr);

    const DavListing& listing() const { return m_listing; }

    // Reads a 207 multistatus answer; nullopt when it is not one.
    static std::optional<DavListing> parse(const QByteArray& xml, const QUrl& collection);

protected:
    QNetworkReply* send() override;
    void readReply(QNetworkReply* reply) override;

private:
    DavListing m_listing;
};

} // namespace taskloom
