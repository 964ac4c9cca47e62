#include "publishresult.h"

namespace taskloom {

namespace {

// Past this many, a list of events in a message names only the first ones.
constexpr int ListedAtMost = 10;

QString eventCount(int count, const char* what)
{
    return count == 1 ? QStringLiteral("1 event %1").arg(QLatin1StringView(what))
                      : QStringLiteral("%1 events %2").arg(count).arg(QLatin1StringView(what));
}

} // namespace

QString PublishResult::summary() const
{
    return QStringLiteral("%1, %2 updated, %3 removed, %4 unchanged.")
        .arg(eventCount(created, "published"))
        .arg(updated)
        .arg(removed)
        .arg(unchanged);
}

QString PublishResult::report() const
{
    if (succeeded())
        return summary();

    QStringList paragraphs;
    if (stopped.isError())
        paragraphs.append(stopped.message());
    if (cancelled)
        paragraphs.append(DavError{DavError::Kind::Cancelled}.message());

    QStringList failed;
    const auto notSent = std::count_if(failures.cbegin(), failures.cend(),
                                       [](const PublishFailure& f) { return !f.removal; });
    if (notSent > 0)
        failed.append(eventCount(int(notSent), "could not be published."));
    if (notSent < failures.size())
        failed.append(eventCount(int(failures.size() - notSent), "could not be removed."));
    if (stage == Stage::Sending)
        failed.append(QStringLiteral("Nothing was removed from the calendar; publish again to "
                                     "finish."));
    if (!failed.isEmpty())
        paragraphs.append(failed.join(u' '));

    // One paragraph per reason, naming the events it hit: a calendar that
    // holds an earlier import fails every event the same way.
    QList<PublishFailure> left = failures;
    while (!left.isEmpty()) {
        const PublishFailure first = left.constFirst();
        QStringList lines{first.error.message()};
        int named = 0;
        int more = 0;
        for (auto it = left.begin(); it != left.end();) {
            if (it->removal != first.removal || it->error.message() != first.error.message()) {
                ++it;
                continue;
            }
            if (named < ListedAtMost) {
                // A removed resource is named as the server listed it.
                lines.append(QStringLiteral("• ") + DavError::printable(it->what));
                ++named;
            } else {
                ++more;
            }
            it = left.erase(it);
        }
        if (more > 0)
            lines.append(QStringLiteral("• … and %1 more").arg(more));
        paragraphs.append(lines.join(u'\n'));
    }

    if (stage != Stage::Listing)
        paragraphs.append(summary());
    return paragraphs.join(QStringLiteral("\n\n"));
}

} // namespace taskloom
