#include "davmultigetjob.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace taskloom {

DavMultigetJob::DavMultigetJob(QNetworkAccessManager* network, DavAccount account, QUrl collection,
                               QStringList hrefs, QObject* parent)
    : DavJob(network, std::move(account), std::move(collection), parent), m_hrefs(std::move(hrefs))
{
}

QNetworkReply* DavMultigetJob::send()
{
    QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                      "<c:calendar-multiget xmlns:d=\"DAV:\" "
                      "xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
                      "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
    for (const QString& href : std::as_const(m_hrefs))
        body += "<d:href>" + href.toHtmlEscaped().toUtf8() + "</d:href>";
    body += "</c:calendar-multiget>";
    QNetworkRequest request = this->request();
    request.setRawHeader("Depth", "1");
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArray("application/xml; charset=utf-8"));
    return network()->sendCustomRequest(request, "REPORT", body);
}

void DavMultigetJob::readReply(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 403 || status == 405 || status == 501) {
        m_refused = true;
        setError({});
        return;
    }
    if (error().isError())
        return;
    const std::optional<DavListing> listing =
        status == 207 ? DavListJob::parse(reply->readAll(), url()) : std::nullopt;
    if (!listing) {
        setError({DavError::Kind::BadAnswer, status, QStringLiteral("not a calendar report")});
        return;
    }
    m_listing = *listing;
}

} // namespace taskloom
