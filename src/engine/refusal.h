#pragma once

#include <QString>

namespace taskloom {

// Why a build did not happen, worded for the user: the window shows it in an
// information box, the command line prints it.
struct Refusal {
    QString title;
    QString text;

    friend bool operator==(const Refusal&, const Refusal&) = default;
};

} // namespace taskloom
