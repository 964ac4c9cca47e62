#pragma once

#include "davjob.h"
#include "davlistjob.h"
#include "davmultigetjob.h"
#include "export/calendaritem.h"
#include "publishresult.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;

namespace taskloom {

// Brings one project's events in a calendar collection in step with the plan:
// lists the collection, reads what the server holds for the events it already
// has (a calendar-multiget REPORT), sends the events that are new or differ
// from it, and only when every one of them succeeded, removes this project's
// resources that the plan no longer has. Unchanged events are not written, so
// their ETags stay and the calendars that sync them download nothing. A
// server that refuses the REPORT gets every event written. Resources whose
// names do not start with the project's prefix are never touched, nor is one
// of the project's whose ETag cannot be sent back (it fails as skipped).
//
// Everything runs on the event loop; progress() reports each request and
// finished() comes exactly once, always after start() returned.
class CalendarPublisher : public QObject {
    Q_OBJECT
public:
    // Requests in flight at once: enough to hide a distant server's round
    // trips, few enough not to crowd a small one.
    static constexpr int MaxInFlight = 4;
    // Resources read back by one REPORT: its answer stays far below the
    // limit on answers.
    static constexpr int ComparedAtOnce = 100;

    explicit CalendarPublisher(QNetworkAccessManager* network, QObject* parent = nullptr);
    ~CalendarPublisher() override;

    // collection: the calendar's address (see CalendarAddress); projectKey:
    // the project file's id, or the project name without a file.
    void start(const QUrl& collection, const DavAccount& account, const QString& projectKey,
               const QList<CalendarItem>& items);
    // Stops the requests under way and sends no more; nothing is removed
    // from then on. finished() follows with the result so far.
    void cancel();

    bool isRunning() const { return m_running; }

Q_SIGNALS:
    // done of total requests answered; step says what is under way.
    void progress(int done, int total, const QString& step);
    void finished(const taskloom::PublishResult& result);

private:
    struct Removal {
        QString name;
        QString etag;
    };
    // An event to write; etag: as listed or read back, nullopt for a new one.
    struct Send {
        int index;
        std::optional<QString> etag;
    };

    void onListed(DavListJob* job);
    // Keeps MaxInFlight requests going: the reports that read back the
    // events the calendar holds, then the events to write, then, once all
    // were sent without a failure, the removals.
    void startJobs();
    void startCompare(const QList<int>& indexes);
    void onCompared(DavMultigetJob* job, const QList<int>& indexes);
    // etag: as listed, or fresh for a retry; nullopt for a new resource.
    void startPut(int index, const std::optional<QString>& etag, bool retry);
    void startDelete(const Removal& removal, bool retry);
    void onSent(DavJob* job, int index, bool existed, bool retry);
    void onRemoved(DavJob* job, const Removal& removal, bool retry);
    // A resource of this project changed since the listing (412): another
    // publish, or one cancelled a moment ago whose last requests the server
    // still carried out. Asks for its ETag now and tries once more.
    void retryAfterChange(const QString& name, const PublishFailure& ifNot,
                          const std::function<void(const std::optional<QString>&)>& retry);
    // Counts an answered request; false once the publish is stopping.
    bool answered(DavJob* job);
    void stop(const DavError& error);
    // Sends nothing more and ends the requests under way.
    void abortAll();
    void finishWhenIdle();
    QUrl resourceUrl(const QString& name) const;
    void track(DavJob* job);

    QNetworkAccessManager* m_network;
    QUrl m_collection;
    DavAccount m_account;
    QString m_projectKey;
    QList<CalendarItem> m_items;
    DavListing m_listing;
    QList<QList<int>> m_compared; // the events listed, in batches to read back
    QList<Send> m_sends;
    QList<Removal> m_removals;
    qsizetype m_nextCompared = 0;
    qsizetype m_nextSend = 0;
    qsizetype m_nextRemoval = 0;
    QSet<DavJob*> m_inFlight;
    int m_done = 0;
    int m_total = 0;
    bool m_running = false;
    bool m_stopping = false;
    PublishResult m_result;
};

} // namespace taskloom
