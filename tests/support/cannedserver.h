#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>

class QTcpSocket;

namespace taskloom::test {

// A local HTTP server with canned answers, for what a real calendar server
// rarely says: each request gets the next answer, the last one again when
// they run out; an empty answer leaves the request unanswered, as a server
// that hangs. With dripMs, each answer's body goes out a byte every dripMs
// after its head, as a server that is never silent and never done.
class CannedServer : public QTcpServer {
public:
    explicit CannedServer(QList<QByteArray> answers, int dripMs = 0);

    // An answer with its status line ("412 Precondition Failed"), body and
    // extra header lines, each ending in CR LF.
    static QByteArray http(const QByteArray& status, const QByteArray& body = {},
                           const QByteArray& headers = {});

    // Every request received whole, one after another.
    QByteArray received;

private:
    void onReadyRead(QTcpSocket* socket);

    QList<QByteArray> m_answers;
    int m_dripMs;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

} // namespace taskloom::test
