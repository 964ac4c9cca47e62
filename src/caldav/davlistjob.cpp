#include "davlistjob.h"

#include <QNetworkReply>
#include <QXmlStreamReader>

#include <algorithm>

namespace taskloom {

namespace {

const QString DavNs = QStringLiteral("DAV:");
const QString CalDavNs = QStringLiteral("urn:ietf:params:xml:ns:caldav");

// What the 2xx propstats of one response said.
struct Properties {
    bool calendar = false;
    bool collection = false;
    QString etag;
    std::optional<QString> calendarData;
};

bool isSuccessStatusLine(const QString& line)
{
    // "HTTP/1.1 200 OK"
    const QStringList parts = line.simplified().split(u' ');
    return parts.size() >= 2 && parts.at(1).startsWith(u'2');
}

QString withTrailingSlash(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

} // namespace

bool DavListing::usableEtag(const QString& etag)
{
    return std::none_of(etag.cbegin(), etag.cend(),
                        [](QChar c) { return c.category() == QChar::Other_Control; });
}

DavListJob::DavListJob(QNetworkAccessManager* network, DavAccount account, QUrl collection,
                       QObject* parent)
    : DavJob(network, std::move(account), std::move(collection), parent)
{
}

QNetworkReply* DavListJob::send()
{
    return propfind(1, "<d:resourcetype/><d:getetag/>");
}

void DavListJob::readReply(QNetworkReply* reply)
{
    if (error().isError())
        return;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // A plain web page answers 200: whatever it is, it is not a calendar.
    if (status != 207) {
        setError({DavError::Kind::NotCalendar, status});
        return;
    }
    const std::optional<DavListing> listing = parse(reply->readAll(), url());
    if (!listing) {
        setError({DavError::Kind::BadAnswer, status, QStringLiteral("not a WebDAV listing")});
        return;
    }
    m_listing = *listing;
    if (!m_listing.isCalendar)
        setError({DavError::Kind::NotCalendar, 0});
}

std::optional<DavListing> DavListJob::parse(const QByteArray& xml, const QUrl& collection)
{
    // Paths are compared encoded: a "%2F" inside a folder's name is no "/".
    const QString collectionPath = withTrailingSlash(collection.path(QUrl::FullyEncoded));
    QXmlStreamReader reader(xml);
    DavListing listing;
    bool multistatus = false;

    QStringList open; // the enclosing elements, "ns|name"
    QString href;
    bool responseFailed = false;
    Properties accepted;
    Properties current;
    bool propstatOk = false;

    const auto inside = [&open](const QString& ns, QStringView name) {
        return !open.isEmpty() && open.constLast() == ns + u'|' + name.toString();
    };

    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QString ns = reader.namespaceUri().toString();
            const QStringView name = reader.name();
            const bool dav = ns == DavNs;
            if (dav && name == u"multistatus") {
                multistatus = true;
            } else if (dav && name == u"response") {
                href.clear();
                responseFailed = false;
                accepted = {};
            } else if (dav && name == u"propstat") {
                current = {};
                propstatOk = false;
            } else if (inside(DavNs, u"resourcetype")) {
                current.calendar |= ns == CalDavNs && name == u"calendar";
                current.collection |= dav && name == u"collection";
            }
            if (dav && name == u"href" && inside(DavNs, u"response")) {
                href = reader.readElementText().trimmed();
                continue;
            }
            if (dav && name == u"getetag" && inside(DavNs, u"prop")) {
                current.etag = reader.readElementText().trimmed();
                continue;
            }
            if (ns == CalDavNs && name == u"calendar-data" && inside(DavNs, u"prop")) {
                current.calendarData = reader.readElementText();
                continue;
            }
            if (dav && name == u"status") {
                const bool ok = isSuccessStatusLine(reader.readElementText());
                if (inside(DavNs, u"propstat"))
                    propstatOk = ok;
                else if (inside(DavNs, u"response"))
                    responseFailed = !ok;
                continue;
            }
            open.append(ns + u'|' + name.toString());
        } else if (token == QXmlStreamReader::EndElement) {
            if (open.isEmpty())
                break;
            const QString closing = open.takeLast();
            if (closing == DavNs + QStringLiteral("|propstat") && propstatOk) {
                accepted.calendar |= current.calendar;
                accepted.collection |= current.collection;
                if (!current.etag.isEmpty())
                    accepted.etag = current.etag;
                if (current.calendarData)
                    accepted.calendarData = current.calendarData;
            } else if (closing == DavNs + QStringLiteral("|response") && !href.isEmpty() &&
                       !responseFailed) {
                // Servers give hrefs as paths or as whole addresses.
                const QString path = collection.resolved(QUrl(href)).path(QUrl::FullyEncoded);
                if (withTrailingSlash(path) == collectionPath) {
                    listing.isCalendar = accepted.calendar;
                } else if (path.startsWith(collectionPath) && !accepted.collection) {
                    const QString encoded = path.mid(collectionPath.size());
                    const QString name = QUrl::fromPercentEncoding(encoded.toLatin1());
                    if (!encoded.isEmpty() && !encoded.contains(u'/')) {
                        listing.etags.insert(name, accepted.etag);
                        if (accepted.calendarData)
                            listing.calendarData.insert(name, *accepted.calendarData);
                    }
                }
            }
        }
    }
    if (reader.hasError() || !multistatus)
        return std::nullopt;
    return listing;
}

} // namespace taskloom
