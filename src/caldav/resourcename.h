#pragma once

#include <QString>

namespace taskloom {

// The names of a project's resources in a calendar collection:
// "taskloom-<first 8 hex digits of the SHA-1 of the project key>-<uuid>.ics".
// One listing of the collection then tells this project's resources from
// every other one without fetching any.
class ResourceName {
public:
    // "taskloom-1a2b3c4d-": what every resource of the project starts with.
    // projectKey: the project file's id, or the project name without a file.
    static QString prefix(const QString& projectKey);
    // The resource holding the event with this UID; the "@taskloom" ending of
    // the UID is left out.
    static QString forUid(const QString& projectKey, const QString& uid);
};

} // namespace taskloom
