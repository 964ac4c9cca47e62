#pragma once

#include "davlistjob.h"

#include <QStringList>

namespace taskloom {

// A calendar-multiget REPORT on a collection for some of its resources: their
// ETags and their calendar data, read as a listing of the collection holding
// just those. A server that refuses such reports (403, 405, 501) is told by
// refused(), which is no error: publishing then writes without comparing.
class DavMultigetJob : public DavJob {
    Q_OBJECT
public:
    // The hrefs: the resources' paths, encoded, as sent.
    DavMultigetJob(QNetworkAccessManager* network, DavAccount account, QUrl collection,
                   QStringList hrefs, QObject* parent = nullptr);

    const DavListing& listing() const { return m_listing; }
    bool refused() const { return m_refused; }

protected:
    QNetworkReply* send() override;
    void readReply(QNetworkReply* reply) override;

private:
    QStringList m_hrefs;
    DavListing m_listing;
    bool m_refused = false;
};

} // namespace taskloom
