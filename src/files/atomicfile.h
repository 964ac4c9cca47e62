#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace taskloom {

// Every file the program writes goes through here: the bytes are written
// aside and put in place only once they all reached the disk, so a full disk
// or a crash never leaves a cut-off file where a whole one was.
class AtomicFile {
public:
    // Writes the bytes to the path, making its folder when missing. On
    // failure returns the system's reason; the old file stays whole.
    static std::optional<QString> write(const QString& path, const QByteArray& bytes);
};

} // namespace taskloom
