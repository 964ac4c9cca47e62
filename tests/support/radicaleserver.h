#pragma once

#include <QMap>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

namespace taskloom::test {

// A real CalDAV server for tests and benchmarks: Debian's Radicale, started
// with a configuration of its own (the system's /etc/radicale/config stays
// out) on a free local port, with a temporary storage folder and one user
// whose password is kept in plain text. The server stops when the object
// goes, and also when the test process dies.
class RadicaleServer {
public:
    static constexpr const char* User = "ann";
    static constexpr const char* Password = "pass word";

    RadicaleServer();
    ~RadicaleServer();

    // Starts the server and waits until it accepts connections; an empty
    // text, or why it did not start.
    QString start();

    // http://127.0.0.1:<port>/<path>
    QUrl url(const QString& path) const;

    // One request as the user, answered before it returns (a test may wait); its HTTP status.
    int request(const QByteArray& verb, const QString& path, const QByteArray& body = {});
    // A new calendar at path ("ann/work/"); an empty text, or why not.
    QString makeCalendar(const QString& path);
    // The calendar files a collection ("ann/work/") holds on disk, by name.
    QMap<QString, QByteArray> storedFiles(const QString& path) const;

private:
    void stop();

    QTemporaryDir m_dir;
    QProcess m_process;
    QNetworkAccessManager m_network;
    quint16 m_port = 0;
};

} // namespace taskloom::test
