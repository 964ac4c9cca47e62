#include "boundedread.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace taskloom {

namespace {

BoundedRead failed(BoundedRead::Outcome outcome, QString reason)
{
    return {outcome, {}, std::move(reason)};
}

BoundedRead tooLarge(qint64 maxBytes)
{
    return failed(BoundedRead::Outcome::TooLarge,
                  QStringLiteral("it is larger than %1").arg(BoundedRead::sizeText(maxBytes)));
}

BoundedRead timedOut(std::chrono::milliseconds timeLimit)
{
    return failed(BoundedRead::Outcome::Failed,
                  QStringLiteral("it did not end within %1 s")
                      .arg(QString::number(double(timeLimit.count()) / 1000)));
}

} // namespace

BoundedRead BoundedRead::read(const QString& path, qint64 maxBytes,
                              std::chrono::milliseconds timeLimit)
{
    const QDeadlineTimer deadline(timeLimit);
    // Not blocking: opening a pipe would wait for a writer, and reading it for
    // data, past any time limit. A terminal is not taken as our own.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        return failed(missing ? Outcome::Missing : Outcome::Failed, qt_error_string(errno));
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });

    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return failed(Outcome::Failed, qt_error_string(errno));
    if (S_ISDIR(info.st_mode))
        return failed(Outcome::Failed, QStringLiteral("a folder stands in its place"));
    BoundedRead read{Outcome::Read, {}, {}};
    // A regular file tells its size: one too large is not read at all.
    if (S_ISREG(info.st_mode)) {
        if (info.st_size > maxBytes)
            return tooLarge(maxBytes);
        read.bytes.reserve(info.st_size + 1);
    }

    std::vector<char> piece(64 * 1024);
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        const qint64 wait = deadline.remainingTime(); // -1: no limit
        const int polled = ::poll(&ready, 1, int(std::min<qint64>(wait, INT_MAX)));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled < 0)
            return failed(Outcome::Failed, qt_error_string(errno));
        if (polled == 0)
            return timedOut(timeLimit);
        const qint64 wanted =
            std::min<qint64>(qint64(piece.size()), maxBytes + 1 - read.bytes.size());
        const ssize_t got = ::read(fd, piece.data(), std::size_t(wanted));
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0)
            return failed(Outcome::Failed, qt_error_string(errno));
        if (got == 0)
            return read; // the end, or a pipe whose writers are all gone
        read.bytes.append(piece.data(), qsizetype(got));
        if (read.bytes.size() > maxBytes)
            return tooLarge(maxBytes);
        // A regular file never makes poll wait; a slow one is stopped here.
        if (deadline.hasExpired())
            return timedOut(timeLimit);
    }
}

QString BoundedRead::sizeText(qint64 bytes)
{
    if (bytes > 0 && bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    if (bytes > 0 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace taskloom
