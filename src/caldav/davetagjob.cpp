#include "davetagjob.h"

#include "davlistjob.h"

#include <QNetworkReply>

namespace taskloom {

DavEtagJob::DavEtagJob(QNetworkAccessManager* network, DavAccount account, QUrl url,
                       QObject* parent)
    : DavJob(network, std::move(account), std::move(url), parent)
{
}

QNetworkReply* DavEtagJob::send()
{
    return propfind(0, "<d:getetag/>");
}

void DavEtagJob::readReply(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 404 || status == 410) {
        setError({});
        return;
    }
    if (error().isError())
        return;
    // Read as a listing of the resource's folder that holds just the resource.
    const QString name = url().fileName(QUrl::FullyDecoded);
    const std::optional<DavListing> listing =
        DavListJob::parse(reply->readAll(), url().resolved(QUrl(QStringLiteral("."))));
    if (!listing || !listing->etags.contains(name)) {
        setError({DavError::Kind::BadAnswer, status, QStringLiteral("no ETag for %1").arg(name)});
        return;
    }
    m_etag = listing->etags.value(name);
    if (!DavListing::usableEtag(*m_etag))
        setError({DavError::Kind::UnsafeEtag});
}

} // namespace taskloom
