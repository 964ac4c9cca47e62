#include "calendaraddress.h"

namespace taskloom {

QUrl CalendarAddress::fromUserInput(const QString& text)
{
    QUrl address(text.trimmed(), QUrl::StrictMode);
    if (address.isValid() && !address.path().endsWith(u'/'))
        address.setPath(address.path() + u'/');
    return address;
}

DavError CalendarAddress::problem(const QUrl& address)
{
    const QString scheme = address.scheme().toLower();
    const bool web = scheme == u"https" || scheme == u"http";
    if (!address.isValid() || !web || address.host().isEmpty() || !address.userInfo().isEmpty())
        return {DavError::Kind::BadAddress, 0, address.toDisplayString(QUrl::RemoveUserInfo)};
    const QString host = address.host().toLower();
    if (scheme == u"http" && host != u"localhost" && host != u"127.0.0.1")
        return {DavError::Kind::InsecureAddress};
    return {};
}

} // namespace taskloom
