#pragma once

#include "davjob.h"

namespace taskloom {

// DELETE of one calendar resource, with If-Match: its listed ETag so a copy
// changed meanwhile stays. A resource already gone (404, 410) counts as done;
// a 207 Multi-Status answer is a failure, told by the status inside.
class DavDeleteJob : public DavJob {
    Q_OBJECT
public:
    DavDeleteJob(QNetworkAccessManager* network, DavAccount account, QUrl url, QString listedEtag,
                 QObject* parent = nullptr);

protected:
    QNetworkReply* send() override;
    void readReply(QNetworkReply* reply) override;

private:
    QString m_listedEtag;
};

} // namespace taskloom
