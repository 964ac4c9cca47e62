#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

namespace taskloom {

// The one way to read a whole file the user hands us (daysoff.txt, a file
// named on the command line, a calendar chosen for import): whatever the path
// names, a regular file, a named pipe or a device, at most maxBytes are read,
// piece by piece, and the read ends within a time limit. A pipe fed without
// end or /dev/zero is refused once it passes the limit, without reading
// further; a writer that never finishes is given up on at the time limit.
//
//     const BoundedRead read = BoundedRead::read(path, SettingsStore::MaxFileBytes);
//     if (read.outcome != BoundedRead::Outcome::Read)
//         complain(QStringLiteral("Error: %1 cannot be read (%2).").arg(fileName, read.reason));
//
// which says, for instance, "Error: plan.txt cannot be read (it is larger than
// 64 MiB)." A caller for whom no file means nothing to read (daysoff.txt)
// tells Missing apart first.
struct BoundedRead {
    enum class Outcome {
        Read,     // bytes holds the whole file
        Missing,  // nothing at the path: a symlink to nothing, or a file in a folder's place
        TooLarge, // more than maxBytes are there
        Failed,   // a folder, no access, a read error, or not ended within the time limit
    };
    static constexpr std::chrono::milliseconds DefaultTimeLimit{10000};

    Outcome outcome = Outcome::Failed;
    QByteArray bytes; // the whole file when read; empty otherwise
    // When not read, why, worded to stand in "cannot be read (…)": "it is
    // larger than 64 MiB", "a folder stands in its place", "it did not end
    // within 10 s", or the system's reason ("Permission denied").
    QString reason;

    static BoundedRead read(const QString& path, qint64 maxBytes,
                            std::chrono::milliseconds timeLimit = DefaultTimeLimit);

    // A size as the reasons name it: "64 MiB", "4 KiB", "100 bytes".
    static QString sizeText(qint64 bytes);
};

} // namespace taskloom
