#include "calendarpublisher.h"

#include "calendaraddress.h"
#include "davdeletejob.h"
#include "davetagjob.h"
#include "davputjob.h"
#include "ical/icscontent.h"
#include "resourcename.h"

#include <QTimer>

namespace taskloom {

CalendarPublisher::CalendarPublisher(QNetworkAccessManager* network, QObject* parent)
    : QObject(parent), m_network(network)
{
}

CalendarPublisher::~CalendarPublisher()
{
    // The jobs are children: deleting them aborts their requests quietly.
    qDeleteAll(m_inFlight);
}

void CalendarPublisher::start(const QUrl& collection, const DavAccount& account,
                              const QString& projectKey, const QList<CalendarItem>& items)
{
    Q_ASSERT(!m_running);
    m_collection = collection;
    m_account = account;
    m_projectKey = projectKey;
    m_items = items;
    m_listing = {};
    m_compared.clear();
    m_sends.clear();
    m_removals.clear();
    m_nextCompared = 0;
    m_nextSend = 0;
    m_nextRemoval = 0;
    m_done = 0;
    m_total = 1 + int(items.size());
    m_running = true;
    m_stopping = false;
    m_result = {};

    if (const DavError problem = CalendarAddress::problem(collection); problem.isError()) {
        // Nothing is sent to an address that would expose the password.
        m_result.stopped = problem;
        m_stopping = true;
        QTimer::singleShot(0, this, &CalendarPublisher::finishWhenIdle);
        return;
    }

    auto* job = new DavListJob(m_network, m_account, m_collection, this);
    connect(job, &DavJob::finished, this, [this, job] { onListed(job); });
    track(job);
    Q_EMIT progress(m_done, m_total, QStringLiteral("Reading the calendar…"));
}

void CalendarPublisher::cancel()
{
    if (!m_running || m_stopping)
        return;
    m_result.cancelled = true;
    abortAll();
}

void CalendarPublisher::track(DavJob* job)
{
    m_inFlight.insert(job);
    job->start();
}

bool CalendarPublisher::answered(DavJob* job)
{
    m_inFlight.remove(job);
    job->deleteLater();
    ++m_done;
    if (m_stopping) {
        finishWhenIdle();
        return false;
    }
    return true;
}

void CalendarPublisher::stop(const DavError& error)
{
    m_result.stopped = error;
    abortAll();
}

void CalendarPublisher::abortAll()
{
    m_stopping = true;
    // Aborted jobs answer at once, and leave the set as they do.
    const QSet<DavJob*> running = m_inFlight;
    for (DavJob* job : running)
        job->abort();
    finishWhenIdle();
}

void CalendarPublisher::onListed(DavListJob* job)
{
    if (!answered(job))
        return;
    if (job->error().isError()) {
        stop(job->error());
        return;
    }
    m_listing = job->listing();

    // The plan's events the calendar holds are read back and compared; the
    // others are new.
    QSet<QString> planned;
    QList<int> listed;
    for (int index = 0; index < m_items.size(); ++index) {
        const QString name = ResourceName::forUid(m_projectKey, m_items.at(index).uid);
        planned.insert(name);
        const auto etag = m_listing.etags.constFind(name);
        if (etag == m_listing.etags.cend())
            m_sends.append({index, std::nullopt});
        else if (!DavListing::usableEtag(*etag))
            m_result.failures.append(
                {m_items.at(index).subject, false, {DavError::Kind::UnsafeEtag}});
        else
            listed.append(index);
    }
    for (qsizetype i = 0; i < listed.size(); i += ComparedAtOnce)
        m_compared.append(listed.mid(i, ComparedAtOnce));
    // This project's resources that no event of the plan will fill again.
    const QString ours = ResourceName::prefix(m_projectKey);
    for (auto it = m_listing.etags.cbegin(); it != m_listing.etags.cend(); ++it) {
        if (!it.key().startsWith(ours) || planned.contains(it.key()))
            continue;
        if (DavListing::usableEtag(it.value()))
            m_removals.append({it.key(), it.value()});
        else
            m_result.failures.append({it.key(), true, {DavError::Kind::UnsafeEtag}});
    }
    // Removed in name order, so runs and tests see the same sequence.
    std::sort(m_removals.begin(), m_removals.end(),
              [](const Removal& a, const Removal& b) { return a.name < b.name; });
    m_total = 1 + int(m_compared.size() + m_sends.size() + listed.size() + m_removals.size());
    startJobs();
}

void CalendarPublisher::startJobs()
{
    if (m_stopping)
        return;
    if (m_result.stage == PublishResult::Stage::Listing) {
        while (m_inFlight.size() < MaxInFlight && m_nextCompared < m_compared.size())
            startCompare(m_compared.at(m_nextCompared++));
        if (!m_inFlight.isEmpty())
            return;
        // Sent in the plan's order, however the reports came back.
        std::sort(m_sends.begin(), m_sends.end(),
                  [](const Send& a, const Send& b) { return a.index < b.index; });
        m_result.stage = PublishResult::Stage::Sending;
    }
    if (m_result.stage == PublishResult::Stage::Sending) {
        while (m_inFlight.size() < MaxInFlight && m_nextSend < m_sends.size()) {
            const Send send = m_sends.at(m_nextSend++);
            startPut(send.index, send.etag, false);
        }
        if (!m_inFlight.isEmpty())
            return;
        // Removing starts only once every event was sent without a failure.
        if (!m_result.failures.isEmpty()) {
            finishWhenIdle();
            return;
        }
        m_result.stage = PublishResult::Stage::Removing;
    }
    while (m_inFlight.size() < MaxInFlight && m_nextRemoval < m_removals.size())
        startDelete(m_removals.at(m_nextRemoval++), false);
    if (!m_inFlight.isEmpty())
        return;
    m_result.stage = PublishResult::Stage::Done;
    finishWhenIdle();
}

void CalendarPublisher::startCompare(const QList<int>& indexes)
{
    QStringList hrefs;
    for (int index : indexes) {
        const QString name = ResourceName::forUid(m_projectKey, m_items.at(index).uid);
        hrefs.append(resourceUrl(name).path(QUrl::FullyEncoded));
    }
    auto* job = new DavMultigetJob(m_network, m_account, m_collection, hrefs, this);
    connect(job, &DavJob::finished, this, [this, job, indexes] { onCompared(job, indexes); });
    track(job);
    Q_EMIT progress(m_done, m_total, QStringLiteral("Reading the events the calendar holds…"));
}

void CalendarPublisher::onCompared(DavMultigetJob* job, const QList<int>& indexes)
{
    if (!answered(job))
        return;
    const DavError error = job->error();
    if (error.stopsPublish() && error.kind != DavError::Kind::BadAnswer) {
        stop(error);
        return;
    }
    // A report refused or unreadable read nothing back: those events are
    // written, as they were before any was compared.
    const DavListing& held = job->listing();
    for (int index : indexes) {
        const CalendarItem& item = m_items.at(index);
        const QString name = ResourceName::forUid(m_projectKey, item.uid);
        const auto data = held.calendarData.constFind(name);
        const QString etag = held.etags.value(name);
        if (data == held.calendarData.cend()) {
            m_sends.append({index, m_listing.etags.value(name)});
        } else if (!DavListing::usableEtag(etag)) {
            m_result.failures.append({item.subject, false, {DavError::Kind::UnsafeEtag}});
            --m_total;
        } else if (IcsContent::same(data->toUtf8(), item.ics)) {
            ++m_result.unchanged;
            --m_total;
        } else {
            // Someone else's edit, or the plan's: the plan's version goes back.
            m_sends.append({index, etag.isEmpty() ? m_listing.etags.value(name) : etag});
        }
    }
    startJobs();
}

void CalendarPublisher::startPut(int index, const std::optional<QString>& etag, bool retry)
{
    const CalendarItem& item = m_items.at(index);
    const QString name = ResourceName::forUid(m_projectKey, item.uid);
    auto* job = new DavPutJob(m_network, m_account, resourceUrl(name), item.ics, etag, this);
    connect(job, &DavJob::finished, this, [this, job, index, existed = etag.has_value(), retry] {
        onSent(job, index, existed, retry);
    });
    track(job);
    Q_EMIT progress(m_done, m_total, QStringLiteral("Sending “%1”…").arg(item.subject));
}

void CalendarPublisher::startDelete(const Removal& removal, bool retry)
{
    auto* job =
        new DavDeleteJob(m_network, m_account, resourceUrl(removal.name), removal.etag, this);
    connect(job, &DavJob::finished, this,
            [this, job, removal, retry] { onRemoved(job, removal, retry); });
    track(job);
    Q_EMIT progress(m_done, m_total, QStringLiteral("Removing an event of a deleted task…"));
}

void CalendarPublisher::onSent(DavJob* job, int index, bool existed, bool retry)
{
    if (!answered(job))
        return;
    const DavError error = job->error();
    const CalendarItem& item = m_items.at(index);
    if (error.kind == DavError::Kind::ChangedOnServer && !retry) {
        const QString name = ResourceName::forUid(m_projectKey, item.uid);
        retryAfterChange(
            name, {item.subject, false, error},
            [this, index](const std::optional<QString>& etag) { startPut(index, etag, true); });
        return;
    }
    if (error.stopsPublish()) {
        stop(error);
        return;
    }
    if (error.isError())
        m_result.failures.append({item.subject, false, error});
    else if (existed)
        ++m_result.updated;
    else
        ++m_result.created;
    Q_EMIT progress(m_done, m_total, QStringLiteral("Sent “%1”.").arg(item.subject));
    startJobs();
}

void CalendarPublisher::onRemoved(DavJob* job, const Removal& removal, bool retry)
{
    if (!answered(job))
        return;
    const DavError error = job->error();
    if (error.kind == DavError::Kind::ChangedOnServer && !retry) {
        retryAfterChange(removal.name, {removal.name, true, error},
                         [this, name = removal.name](const std::optional<QString>& etag) {
                             if (etag) {
                                 startDelete({name, *etag}, true);
                                 return;
                             }
                             ++m_result.removed; // gone meanwhile: as good as removed
                             startJobs();
                         });
        return;
    }
    if (error.stopsPublish()) {
        stop(error);
        return;
    }
    if (error.isError())
        m_result.failures.append({removal.name, true, error});
    else
        ++m_result.removed;
    Q_EMIT progress(m_done, m_total, QStringLiteral("Removed an event of a deleted task."));
    startJobs();
}

void CalendarPublisher::retryAfterChange(
    const QString& name, const PublishFailure& ifNot,
    const std::function<void(const std::optional<QString>&)>& retry)
{
    // The ETag request and the second try.
    m_total += 2;
    auto* job = new DavEtagJob(m_network, m_account, resourceUrl(name), this);
    connect(job, &DavJob::finished, this, [this, job, ifNot, retry] {
        if (!answered(job))
            return;
        const DavError& error = job->error();
        if (error.stopsPublish() && error.kind != DavError::Kind::BadAnswer) {
            stop(error);
            return;
        }
        if (error.isError()) {
            --m_total;
            m_result.failures.append(error.kind == DavError::Kind::UnsafeEtag
                                         ? PublishFailure{ifNot.what, ifNot.removal, error}
                                         : ifNot);
            startJobs();
            return;
        }
        retry(job->etag());
    });
    track(job);
}

void CalendarPublisher::finishWhenIdle()
{
    if (!m_running || !m_inFlight.isEmpty())
        return;
    m_running = false;
    Q_EMIT finished(m_result);
}

QUrl CalendarPublisher::resourceUrl(const QString& name) const
{
    // The collection's path as it was given, encoded: a "%2F" in a folder's
    // name stays one, and a name cannot add folders.
    QUrl url = m_collection;
    url.setPath(m_collection.path(QUrl::FullyEncoded) +
                    QString::fromLatin1(QUrl::toPercentEncoding(name)),
                QUrl::StrictMode);
    return url;
}

} // namespace taskloom
