#pragma once
// Files as the tests write and read them: whole, in one go.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace taskloom::test {

// Writes the bytes, making the folder first; false when any of it failed.
inline bool put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A file's bytes; none when no plain file is there. A pipe is never opened:
// that would wait for a writer.
inline QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                      : QByteArray();
}

} // namespace taskloom::test
