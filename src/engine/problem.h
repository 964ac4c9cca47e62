#pragma once

#include <QString>

namespace taskloom {

// Something the user must be told, as a title and a text: a build that was
// refused, a settings file that is missing or damaged. The window shows it in
// a message box, the command line prints the text.
struct Problem {
    QString title;
    QString text;

    friend bool operator==(const Problem&, const Problem&) = default;
};

} // namespace taskloom
