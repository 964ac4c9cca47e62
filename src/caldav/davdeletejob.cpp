#include "davdeletejob.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace taskloom {

DavDeleteJob::DavDeleteJob(QNetworkAccessManager* network, DavAccount account, QUrl url,
                           QString listedEtag, QObject* parent)
    : DavJob(network, std::move(account), std::move(url), parent),
      m_listedEtag(std::move(listedEtag))
{
}

QNetworkReply* DavDeleteJob::send()
{
    QNetworkRequest request = this->request();
    if (!m_listedEtag.isEmpty())
        request.setRawHeader("If-Match", m_listedEtag.toUtf8());
    return network()->deleteResource(request);
}

void DavDeleteJob::readReply(QNetworkReply* reply)
{
    refuseMultiStatus(reply);
    if (error().httpStatus == 404 || error().httpStatus == 410)
        setError({});
}

} // namespace taskloom
