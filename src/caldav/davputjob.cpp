#include "davputjob.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace taskloom {

DavPutJob::DavPutJob(QNetworkAccessManager* network, DavAccount account, QUrl url, QByteArray ics,
                     std::optional<QString> listedEtag, QObject* parent)
    : DavJob(network, std::move(account), std::move(url), parent), m_ics(std::move(ics)),
      m_listedEtag(std::move(listedEtag))
{
}

QNetworkReply* DavPutJob::send()
{
    QNetworkRequest request = this->request();
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArray("text/calendar; charset=utf-8"));
    if (!m_listedEtag)
        request.setRawHeader("If-None-Match", "*");
    else if (!m_listedEtag->isEmpty())
        request.setRawHeader("If-Match", m_listedEtag->toUtf8());
    return network()->put(request, m_ics);
}

void DavPutJob::readReply(QNetworkReply* reply)
{
    refuseMultiStatus(reply);
}

} // namespace taskloom
