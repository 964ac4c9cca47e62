#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFileDevice;

namespace taskloom {

// Every file the program writes goes through here: the bytes are written
// aside and put in place only once they all reached the disk, so a full disk
// or a crash never leaves a cut-off file where a whole one was.
class AtomicFile {
public:
    // What to do when the path names something that is there but is not a
    // regular file (a named pipe, a device, a folder). It is never replaced:
    // renaming over it would turn a pipe or a device into a plain file.
    enum class SpecialTarget {
        Refuse,    // give a reason and write nothing (the window: a pipe would block it)
        WriteInto, // write the bytes into it as a stream (the command line: a pipe,
                   // /dev/null); a folder is still refused
    };

    // Writes the bytes to the path, making its folder when missing. A symlink
    // is followed: its target is replaced and the link kept. On failure
    // returns the reason; the old file stays whole.
    static std::optional<QString> write(const QString& path, const QByteArray& bytes,
                                        SpecialTarget special = SpecialTarget::Refuse);

    // Why the path must not be replaced: it is there and is not a regular file
    // (a symlink counts as what it points to). None for a regular file or a
    // missing one. For writers that put several files in place together.
    static std::optional<QString> specialTargetReason(const QString& path);

    // Why a write or flush on the file failed; error is errno taken right
    // after the failed call. Qt 6.4 loses the reason of a failed buffered
    // write ("Unknown error") while the system's (a full disk, a file too
    // large) is still there.
    static QString failureReason(const QFileDevice& file, int error);
};

} // namespace taskloom
