#include "atomicfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace taskloom {

std::optional<QString> AtomicFile::write(const QString& path, const QByteArray& bytes)
{
    // A folder that cannot be made shows up below as the file's own failure,
    // which carries the system's reason.
    QDir().mkpath(QFileInfo(path).absolutePath());

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // QSaveFile buffers: only a flush tells whether the bytes reached the disk;
    // commit() would otherwise put a cut-off file in place of the old one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace taskloom
