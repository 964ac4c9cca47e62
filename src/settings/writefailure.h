#pragma once

#include <QString>

namespace taskloom {

// A settings file that could not be written: which file, where, and the
// system's reason. The previous file is left whole.
struct WriteFailure {
    QString path;
    QString reason;
};

} // namespace taskloom
