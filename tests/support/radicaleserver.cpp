#include "radicaleserver.h"
#include "testfiles.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace taskloom::test {

RadicaleServer::RadicaleServer()
{
    // The server must not outlive a test that crashes or is killed.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Debian's radicale runs on the system's python3; the one first on a
    // developer's PATH may lack its module, and these would lead it astray.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("PYTHONPATH"));
    environment.remove(QStringLiteral("PYTHONHOME"));
    m_process.setProcessEnvironment(environment);
}

RadicaleServer::~RadicaleServer()
{
    stop();
}

QString RadicaleServer::start()
{
    const QString users = m_dir.filePath(QStringLiteral("users"));
    const QString configPath = m_dir.filePath(QStringLiteral("config"));
    if (!put(users, QByteArray(User) + ':' + QByteArray(Password) + '\n'))
        return QStringLiteral("cannot write the user file");
    QString output;
    // Another program may take the probed port before the server binds it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        QTcpServer probe;
        m_port = probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
        probe.close();
        const QString config =
            QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n[auth]\ntype = htpasswd\n"
                           "htpasswd_filename = %2\nhtpasswd_encryption = plain\n"
                           "[rights]\ntype = owner_only\n[storage]\nfilesystem_folder = %3\n"
                           "[web]\ntype = none\n[logging]\nlevel = warning\n")
                .arg(m_port)
                .arg(users, m_dir.filePath(QStringLiteral("storage")));
        if (!put(configPath, config.toUtf8()))
            return QStringLiteral("cannot write the configuration");
        m_process.start(QStringLiteral("/usr/bin/radicale"), {"--config", configPath});
        if (!m_process.waitForStarted(5000))
            return QStringLiteral("radicale did not start: %1").arg(m_process.errorString());
        for (const QDeadlineTimer deadline(10000);
             m_process.state() == QProcess::Running && !deadline.hasExpired();
             QThread::msleep(20)) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(200))
                return {};
        }
        output = QString::fromUtf8(m_process.readAll());
        stop();
    }
    return QStringLiteral("radicale did not answer on a local port: %1").arg(output);
}

void RadicaleServer::stop()
{
    m_process.kill(); // its storage is thrown away, so nothing is lost
    m_process.waitForFinished(5000);
}

QUrl RadicaleServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path));
}

int RadicaleServer::request(const QByteArray& verb, const QString& path, const QByteArray& body)
{
    QNetworkRequest request(url(path));
    request.setRawHeader("Authorization",
                         "Basic " + (QByteArray(User) + ':' + QByteArray(Password)).toBase64());
    request.setTransferTimeout(10000);
    QNetworkReply* reply = m_network.sendCustomRequest(request, verb, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

QString RadicaleServer::makeCalendar(const QString& path)
{
    const int status = request("MKCALENDAR", path);
    return status == 201 ? QString()
                         : QStringLiteral("MKCALENDAR %1 gave HTTP %2").arg(path).arg(status);
}

QMap<QString, QByteArray> RadicaleServer::storedFiles(const QString& path) const
{
    // Radicale keeps each resource as one file under collection-root.
    const QDir folder(m_dir.filePath(QStringLiteral("storage/collection-root/") + path));
    QMap<QString, QByteArray> files;
    for (const QString& name : folder.entryList(QDir::Files))
        files.insert(name, bytesOf(folder.filePath(name)));
    return files;
}

} // namespace taskloom::test
