#include "resourcename.h"

#include <QCryptographicHash>

namespace taskloom {

QString ResourceName::prefix(const QString& projectKey)
{
    const QByteArray hash =
        QCryptographicHash::hash(projectKey.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("taskloom-") + QString::fromLatin1(hash.left(8)) + u'-';
}

QString ResourceName::forUid(const QString& projectKey, const QString& uid)
{
    const qsizetype at = uid.lastIndexOf(u'@');
    return prefix(projectKey) + (at < 0 ? uid : uid.left(at)) + QStringLiteral(".ics");
}

} // namespace taskloom
