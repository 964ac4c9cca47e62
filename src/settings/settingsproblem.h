#pragma once

#include <QString>

namespace taskloom {

// Something wrong with a settings file, worded for the user. The window shows
// it with the exclamation icon and OK; the command line prints the text.
struct SettingsProblem {
    QString title; // "Error"
    QString text;

    friend bool operator==(const SettingsProblem&, const SettingsProblem&) = default;
};

} // namespace taskloom
