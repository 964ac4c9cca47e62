#pragma once

#include "engine/calendarevent.h"

#include <QList>
#include <QString>
#include <optional>

namespace taskloom {

// The calendar file that the web calendar imports: a header and one line per
// event, nine fields, CR LF after every line, UTF-8 without a byte-order mark.
// Dates are MM/DD/YYYY, the form the import documents, whatever the locale; a
// field with a comma, a double quote, CR or LF is quoted, its quotes doubled.
class CalendarCsv {
public:
    static QString header();
    // The whole file as text; what the tests compare byte for byte.
    static QString toText(const QList<CalendarEvent>& events);

    // Writes the text to the path atomically, creating the folder when it is
    // missing; a pipe or a device there is refused, never replaced. On failure
    // returns the reason; the old file stays whole.
    static std::optional<QString> write(const QString& path, const QList<CalendarEvent>& events);
};

} // namespace taskloom
