#include "cannedserver.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

namespace taskloom::test {

CannedServer::CannedServer(QList<QByteArray> answers, int dripMs)
    : m_answers(std::move(answers)), m_dripMs(dripMs)
{
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
        QTcpSocket* socket = nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    });
}

QByteArray CannedServer::http(const QByteArray& status, const QByteArray& body,
                              const QByteArray& headers)
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n" + headers + "Connection: close\r\n\r\n" + body;
}

void CannedServer::onReadyRead(QTcpSocket* socket)
{
    QByteArray& request = m_pending[socket];
    request += socket->readAll();
    // Whole once its head and the body its Content-Length gives are in.
    const qsizetype headEnd = request.indexOf("\r\n\r\n");
    static const QRegularExpression length("\r\ncontent-length: *(\\d+)\r\n",
                                           QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(request.left(headEnd + 2));
    if (headEnd < 0 || request.size() < headEnd + 4 + length.match(head).captured(1).toLongLong())
        return;
    received += request;
    request.clear();
    const QByteArray answer = m_answers.size() > 1 ? m_answers.takeFirst() : m_answers.value(0);
    if (m_dripMs > 0) {
        qsizetype sent = answer.indexOf("\r\n\r\n") + 4;
        socket->write(answer.first(sent));
        auto* drip = new QTimer(socket);
        connect(drip, &QTimer::timeout, socket,
                [socket, answer, sent]() mutable { socket->write(answer.mid(sent++, 1)); });
        drip->start(m_dripMs);
    } else if (!answer.isEmpty()) {
        socket->write(answer);
        socket->disconnectFromHost();
    }
}

} // namespace taskloom::test
