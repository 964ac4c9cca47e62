#pragma once

#include "daverror.h"

#include <QList>
#include <QString>

namespace taskloom {

// An event that could not be published, or a resource that could not be
// removed, and why.
struct PublishFailure {
    QString what; // the event's subject, or the removed resource's name
    bool removal = false;
    DavError error;
};

// How one publish went.
struct PublishResult {
    // The steps of a publish, in order; removing comes only after every
    // event was sent.
    enum class Stage { Listing, Sending, Removing, Done };

    Stage stage = Stage::Listing; // the last step it reached
    int created = 0;
    int updated = 0;
    int removed = 0;
    int unchanged = 0; // held by the calendar as the plan has them: not written
    // The failure that ended the publish early (wrong password, no
    // calendar, server gone...); None when it ran to its end.
    DavError stopped;
    // Single events that failed while the others went on.
    QList<PublishFailure> failures;
    bool cancelled = false;

    bool succeeded() const { return !stopped.isError() && failures.isEmpty() && !cancelled; }

    // "12 events published, 3 updated, 2 removed, 170 unchanged."
    QString summary() const;
    // What the user reads at the end: the summary alone after a success,
    // otherwise what went wrong, event by event, and what to do. The
    // server's words in it are made printable.
    QString report() const;
};

} // namespace taskloom
