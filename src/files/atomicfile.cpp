#include "atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>

namespace taskloom {

namespace {

// The bytes straight into a pipe or a device, the way a shell redirection
// writes: unbuffered, so a device that takes nothing (a full disk) says so.
std::optional<QString> writeInto(const QString& path, const QByteArray& bytes)
{
    QFile target(path);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return target.errorString();
    errno = 0;
    if (target.write(bytes) != bytes.size())
        return AtomicFile::failureReason(target, errno);
    return std::nullopt;
}

} // namespace

std::optional<QString> AtomicFile::specialTargetReason(const QString& path)
{
    struct stat info {};
    // stat follows a symlink, so a link to a regular file counts as one; a
    // path that cannot be looked at is for the write itself to fail on.
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return std::nullopt;
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("It is a folder, not a file; please move it away");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("It is a named pipe, not a file; please move it away");
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return QStringLiteral("It is a device, not a file; please move it away");
    return QStringLiteral("It is not a regular file; please move it away");
}

QString AtomicFile::failureReason(const QFileDevice& file, int error)
{
    if (error != 0 && file.errorString() == QLatin1String("Unknown error"))
        return qt_error_string(error);
    return file.errorString();
}

std::optional<QString> AtomicFile::write(const QString& path, const QByteArray& bytes,
                                         SpecialTarget special)
{
    if (std::optional<QString> reason = specialTargetReason(path)) {
        if (special == SpecialTarget::Refuse || QFileInfo(path).isDir())
            return reason;
        return writeInto(path, bytes);
    }

    // A folder that cannot be made shows up below as the file's own failure,
    // which carries the system's reason.
    QDir().mkpath(QFileInfo(path).absolutePath());

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // QSaveFile buffers: only a flush tells whether the bytes reached the disk;
    // commit() would otherwise put a cut-off file in place of the old one.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = failureReason(file, errno);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace taskloom
