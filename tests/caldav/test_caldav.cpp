// Publishing against a real CalDAV server (Radicale, started by the fixture)
// and, for answers Radicale never gives, a local server with canned answers.
#include "caldav/calendaraddress.h"
#include "caldav/calendaritems.h"
#include "caldav/calendarpublisher.h"
#include "caldav/davdeletejob.h"
#include "caldav/davputjob.h"
#include "caldav/keychainpasswordstore.h"
#include "caldav/resourcename.h"
#include "engine/schedulebuilder.h"
#include "export/calendarics.h"
#include "radicaleserver.h"

#include <libical/ical.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace taskloom;
using taskloom::test::RadicaleServer;
using Kind = DavError::Kind;

namespace {

const QString Kitchen = QStringLiteral("Kitchen");
const QString Garden = QStringLiteral("Garden");

QString uidOf(int n)
{
    return QStringLiteral("6f1c2a3b-0000-5000-8000-%1@taskloom").arg(n, 12, 10, QLatin1Char('0'));
}

// An event as the iCalendar export writes one: a VCALENDAR holding its VEVENT.
CalendarItem planned(int n, const QString& subject, int day = 7)
{
    const QByteArray start = QDate(2026, 12, day).toString(u"yyyyMMdd").toLatin1();
    const QByteArray end = QDate(2026, 12, day + 1).toString(u"yyyyMMdd").toLatin1();
    const QByteArray ics =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Taskloom//Taskloom 1.4//EN\r\n"
        "BEGIN:VEVENT\r\nUID:" +
        uidOf(n).toUtf8() + "\r\nDTSTAMP:20261207T090000Z\r\nDTSTART;VALUE=DATE:" + start +
        "\r\nDTEND;VALUE=DATE:" + end + "\r\nSUMMARY:" +
        QString(subject).replace(QStringLiteral(","), QStringLiteral("\\,")).toUtf8() +
        "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    return {uidOf(n), subject, ics};
}

// The plan's events as the iCalendar export makes them: Monday to Friday from
// Monday 12/7/2026, 9:00 AM to 6:00 PM.
QList<CalendarItem> plan(const QString& tasks)
{
    const BuildInputs inputs{tasks, "Kitchen",          StartOption::RightAway,
                             {},    QDate(2026, 12, 7), WorkingWeek::mondayToFriday(),
                             true,  "9:00 AM",          "6:00 PM"};
    const CalendarIcs ics("Kitchen", "Kitchen",
                          QDateTime(QDate(2026, 12, 7), QTime(8, 0), Qt::UTC));
    return CalendarItems::of(ScheduleBuilder::build(inputs).schedule(), ics);
}

// The UID of each stored event by "SUMMARY|DTSTART|RRULE count" as libical
// reads the files; a file under a name its UID does not give counts as
// "misnamed".
QMap<QString, QString> readBack(const QMap<QString, QByteArray>& files)
{
    QMap<QString, QString> events;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        const std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> calendar(
            icalparser_parse_string(file.value().constData()), &icalcomponent_free);
        icalcomponent* e =
            calendar ? icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT)
                     : nullptr;
        if (!e) {
            events.insert("unreadable " + file.key(), {});
            continue;
        }
        icalproperty* rule = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY);
        const QString uid = icalcomponent_get_uid(e);
        const QString key =
            QStringList{icalcomponent_get_summary(e),
                        icaltime_as_ical_string(icalcomponent_get_dtstart(e)),
                        rule ? QString::number(icalproperty_get_rrule(rule).count) : ""}
                .join('|');
        events.insert(ResourceName::forUid("Kitchen", uid) == file.key() ? key : "misnamed " + key,
                      uid);
    }
    return events;
}

// Answers each request with the next canned answer, the last one again
// when they run out; an empty answer leaves the request unanswered, as a
// server that hangs.
class CannedServer : public QTcpServer {
public:
    explicit CannedServer(QList<QByteArray> answers) : m_answers(std::move(answers))
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                QByteArray& request = m_pending[socket];
                request += socket->readAll();
                const qsizetype headEnd = request.indexOf("\r\n\r\n");
                if (headEnd < 0)
                    return;
                qsizetype length = 0;
                for (const QByteArray& line : request.left(headEnd).split('\n'))
                    if (line.toLower().startsWith("content-length:"))
                        length = line.mid(15).trimmed().toLongLong();
                if (request.size() < headEnd + 4 + length)
                    return;
                received += request;
                request.clear();
                const QByteArray answer =
                    m_answers.size() > 1 ? m_answers.takeFirst() : m_answers.value(0);
                if (!answer.isEmpty()) {
                    socket->write(answer);
                    socket->disconnectFromHost();
                }
            });
        });
    }
    QByteArray received;

private:
    QList<QByteArray> m_answers;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

QByteArray http(const QByteArray& status, const QByteArray& body = {}, const QByteArray& extra = {})
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n" + extra + "Connection: close\r\n\r\n" + body;
}

} // namespace

class TestCalDav : public QObject {
    Q_OBJECT
    RadicaleServer m_server;
    QNetworkAccessManager m_network;
    int m_calendars = 0;

    DavAccount account(const QString& password = QString::fromLatin1(RadicaleServer::Password))
    {
        return {QString::fromLatin1(RadicaleServer::User), password, 20000};
    }

    QString newCalendar()
    {
        const QString path = QStringLiteral("ann/calendar%1/").arg(++m_calendars);
        const QString problem = m_server.makeCalendar(path);
        return problem.isEmpty() ? path : QString();
    }

    // Publishes and waits for the one result; `during` sees each progress step.
    PublishResult publish(const QUrl& url, const QString& key, const QList<CalendarItem>& items,
                          const DavAccount& who,
                          const std::function<void(CalendarPublisher&, int)>& during = {})
    {
        CalendarPublisher publisher(&m_network);
        if (during)
            connect(&publisher, &CalendarPublisher::progress, this,
                    [&](int done, int, const QString&) { during(publisher, done); });
        QSignalSpy finished(&publisher, &CalendarPublisher::finished);
        publisher.start(url, who, key, items);
        if (!finished.wait(30000) || finished.size() != 1) {
            PublishResult lost;
            lost.stopped = {Kind::Timeout, 0, QStringLiteral("the test's wait")};
            return lost;
        }
        return finished.at(0).at(0).value<PublishResult>();
    }
    PublishResult publish(const QString& path, const QString& key, const QList<CalendarItem>& items)
    {
        return publish(m_server.url(path), key, items, account());
    }

    static QString nameOf(const QString& key, int n) { return ResourceName::forUid(key, uidOf(n)); }

private Q_SLOTS:
    void initTestCase()
    {
        qRegisterMetaType<PublishResult>();
        const QString problem = m_server.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void address_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("url");
        QTest::addColumn<Kind>("problem");
        QTest::newRow("https, slash added")
            << " https://dav.example.com/cal/ann/work "
            << "https://dav.example.com/cal/ann/work/" << Kind::None;
        QTest::newRow("http to localhost") << "http://localhost:5232/ann/work/"
                                           << "http://localhost:5232/ann/work/" << Kind::None;
        QTest::newRow("http to 127.0.0.1") << "HTTP://127.0.0.1/a"
                                           << "http://127.0.0.1/a/" << Kind::None;
        QTest::newRow("http elsewhere") << "http://dav.example.com/ann/"
                                        << "" << Kind::InsecureAddress;
        QTest::newRow("http, local network") << "http://192.168.1.5/ann/"
                                             << "" << Kind::InsecureAddress;
        QTest::newRow("http, localhost lookalike") << "http://localhost.example.com/"
                                                   << "" << Kind::InsecureAddress;
        QTest::newRow("no scheme") << "dav.example.com/ann/"
                                   << "" << Kind::BadAddress;
        QTest::newRow("ftp") << "ftp://dav.example.com/ann/"
                             << "" << Kind::BadAddress;
        QTest::newRow("password inside") << "https://ann:pw@dav.example.com/"
                                         << "" << Kind::BadAddress;
    }

    void address()
    {
        QFETCH(QString, typed);
        QFETCH(QString, url);
        QFETCH(Kind, problem);
        const QUrl address = CalendarAddress::fromUserInput(typed);
        QCOMPARE(CalendarAddress::problem(address).kind, problem);
        if (!url.isEmpty())
            QCOMPARE(address.toString(), url);
    }

    void resourceName_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("uid");
        QTest::addColumn<QString>("name");
        // The hashes: `printf KEY | sha1sum`, first 8 hex digits.
        QTest::newRow("project name")
            << "Kitchen"
            << "0b5f3c1e-7d2a-5e4f-9a11-2b3c4d5e6f70@taskloom"
            << "taskloom-018618c0-0b5f3c1e-7d2a-5e4f-9a11-2b3c4d5e6f70.ics";
        QTest::newRow("project file id")
            << "3f2b8c1e-0d4a-4c3e-9a57-1b2c3d4e5f60"
            << "0b5f3c1e-7d2a-5e4f-9a11-2b3c4d5e6f70@taskloom"
            << "taskloom-ea57f44a-0b5f3c1e-7d2a-5e4f-9a11-2b3c4d5e6f70.ics";
        QTest::newRow("non-ASCII name, hashed as UTF-8") << "Küche"
                                                         << "abc@taskloom"
                                                         << "taskloom-a5e64103-abc.ics";
        QTest::newRow("UID without a domain") << "Kitchen"
                                              << "abc"
                                              << "taskloom-018618c0-abc.ics";
    }

    void resourceName()
    {
        QFETCH(QString, key);
        QFETCH(QString, uid);
        QFETCH(QString, name);
        QCOMPARE(ResourceName::forUid(key, uid), name);
        QVERIFY(name.startsWith(ResourceName::prefix(key)));
    }

    void listing_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("found"); // "calendar|name=etag,..." or "unreadable"
        const QByteArray calendar = "<resourcetype><C:calendar/><collection/></resourcetype>";
        const auto multistatus = [](const QByteArray& responses) {
            return "<?xml version='1.0'?><multistatus xmlns='DAV:' "
                   "xmlns:C='urn:ietf:params:xml:ns:caldav'>" +
                   responses + "</multistatus>";
        };
        const auto response = [](const QByteArray& href, const QByteArray& prop,
                                 const QByteArray& status = "HTTP/1.1 200 OK") {
            return "<response><href>" + href + "</href><propstat><prop>" + prop +
                   "</prop><status>" + status + "</status></propstat></response>";
        };
        QTest::newRow("calendar, two events, paths")
            << multistatus(response("/ann/work/", calendar) +
                           response("/ann/work/a.ics", "<resourcetype/><getetag>\"1\"</getetag>") +
                           response("/ann/work/b%20c.ics", "<getetag>\"2\"</getetag>"))
            << "calendar|a.ics=\"1\",b c.ics=\"2\"";
        QTest::newRow("whole addresses, other prefixes")
            << multistatus(
                   "<D:response xmlns:D='DAV:'><D:href>https://dav.example.com/ann/work</D:href>"
                   "<D:propstat><D:prop><D:resourcetype><cal:calendar "
                   "xmlns:cal='urn:ietf:params:xml:ns:caldav'/></D:resourcetype></D:prop>"
                   "<D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>" +
                   response("https://dav.example.com/ann/work/x.ics", "<getetag>W/\"9\"</getetag>"))
            << "calendar|x.ics=W/\"9\"";
        QTest::newRow("a sub-collection and a missing ETag skipped or kept")
            << multistatus(
                   response("/ann/work/", calendar) +
                   response("/ann/work/sub/", "<resourcetype><collection/></resourcetype>") +
                   response("/ann/work/n.ics", "<getetag>\"3\"</getetag>",
                            "HTTP/1.1 404 Not Found") +
                   response("/ann/other/o.ics", "<getetag>\"4\"</getetag>"))
            << "calendar|n.ics=";
        QTest::newRow("a collection that is no calendar")
            << multistatus(response("/ann/work/", "<resourcetype><collection/></resourcetype>"))
            << "|";
        QTest::newRow("a calendar type in a failed propstat")
            << multistatus(response("/ann/work/", calendar, "HTTP/1.1 403 Forbidden")) << "|";
        QTest::newRow("not a listing")
            << QByteArray("<html><body>Welcome</body></html>") << "unreadable";
        QTest::newRow("cut off") << multistatus(response("/ann/work/", calendar)).chopped(5)
                                 << "unreadable";
    }

    void listing()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, found);
        const std::optional<DavListing> listing =
            DavListJob::parse(xml, QUrl("https://dav.example.com/ann/work/"));
        if (!listing) {
            QCOMPARE(QStringLiteral("unreadable"), found);
            return;
        }
        QStringList etags;
        for (auto it = listing->etags.cbegin(); it != listing->etags.cend(); ++it)
            etags.append(it.key() + u'=' + it.value());
        etags.sort();
        QCOMPARE((listing->isCalendar ? QStringLiteral("calendar|") : QStringLiteral("|")) +
                     etags.join(u','),
                 found);
    }

    void answer_data()
    {
        QTest::addColumn<QByteArray>("verb");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("status");
        const QByteArray uidConflict =
            "<error xmlns='DAV:' "
            "xmlns:C='urn:ietf:params:xml:ns:caldav'><C:no-uid-conflict/></error>";
        QTest::newRow("created") << QByteArray("PUT") << http("201 Created") << Kind::None << 201;
        QTest::newRow("replaced") << QByteArray("PUT") << http("204 No Content") << Kind::None
                                  << 204;
        QTest::newRow("wrong password")
            << QByteArray("PUT") << http("401 Unauthorized") << Kind::Unauthorized << 401;
        QTest::newRow("forbidden")
            << QByteArray("PUT") << http("403 Forbidden") << Kind::Unauthorized << 403;
        QTest::newRow("UID taken, 403")
            << QByteArray("PUT") << http("403 Forbidden", uidConflict) << Kind::UidConflict << 403;
        QTest::newRow("UID taken, 409")
            << QByteArray("PUT") << http("409 Conflict", uidConflict) << Kind::UidConflict << 409;
        QTest::newRow("other conflict")
            << QByteArray("PUT") << http("409 Conflict") << Kind::Server << 409;
        QTest::newRow("changed meanwhile")
            << QByteArray("PUT") << http("412 Precondition Failed") << Kind::ChangedOnServer << 412;
        QTest::newRow("quota") << QByteArray("PUT") << http("507 Insufficient Storage")
                               << Kind::QuotaFull << 507;
        QTest::newRow("moved, not followed")
            << QByteArray("PUT") << http("301 Moved", {}, "Location: https://elsewhere/cal/\r\n")
            << Kind::Redirected << 301;
        QTest::newRow("server fault")
            << QByteArray("PUT") << http("500 Internal Server Error") << Kind::Server << 500;
        QTest::newRow("silent server") << QByteArray("PUT") << QByteArray() << Kind::Timeout << 0;
        QTest::newRow("delete: gone")
            << QByteArray("DELETE") << http("404 Not Found") << Kind::None << 404;
        QTest::newRow("delete: gone for good")
            << QByteArray("DELETE") << http("410 Gone") << Kind::None << 410;
        QTest::newRow("delete: changed meanwhile")
            << QByteArray("DELETE") << http("412 Precondition Failed") << Kind::ChangedOnServer
            << 412;
        QTest::newRow("listing: a web page")
            << QByteArray("PROPFIND") << http("200 OK", "<html/>") << Kind::NotCalendar << 200;
        QTest::newRow("listing: not found")
            << QByteArray("PROPFIND") << http("404 Not Found") << Kind::NotCalendar << 404;
        QTest::newRow("listing: no PROPFIND")
            << QByteArray("PROPFIND") << http("405 Method Not Allowed") << Kind::NotCalendar << 405;
        QTest::newRow("listing: unreadable")
            << QByteArray("PROPFIND") << http("207 Multi-Status", "<multistatus") << Kind::BadAnswer
            << 207;
    }

    void answer()
    {
        QFETCH(QByteArray, verb);
        QFETCH(QByteArray, answer);
        QFETCH(Kind, kind);
        QFETCH(int, status);
        CannedServer server({answer});
        const QUrl url(QStringLiteral("http://127.0.0.1:%1/cal/x.ics").arg(server.serverPort()));
        const DavAccount who{QStringLiteral("ann"), QStringLiteral("pw"), 300};
        std::unique_ptr<DavJob> job;
        if (verb == "PUT")
            job = std::make_unique<DavPutJob>(&m_network, who, url, "ics", std::nullopt);
        else if (verb == "DELETE")
            job = std::make_unique<DavDeleteJob>(&m_network, who, url, QStringLiteral("\"1\""));
        else
            job = std::make_unique<DavListJob>(&m_network, who, url);
        QSignalSpy finished(job.get(), &DavJob::finished);
        QElapsedTimer clock;
        clock.start();
        job->start();
        QVERIFY(finished.wait(5000));
        QCOMPARE(job->error().kind, kind);
        QCOMPARE(job->error().httpStatus, kind == Kind::None ? 0 : status);
        if (kind == Kind::Timeout)
            QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        if (kind == Kind::Redirected)
            QVERIFY(job->error().message().contains("publish to https://elsewhere/cal/"));
        // The credentials go with the first request, as Basic "ann:pw".
        QVERIFY(server.received.contains("\r\nAuthorization: Basic YW5uOnB3\r\n"));
        QVERIFY(server.received.startsWith(verb + " /cal/x.ics HTTP/1.1\r\n"));
    }

    // A resource of the project changed between the listing and the request:
    // its ETag is asked for again and the request tried once more.
    void changedMeanwhile_data()
    {
        QTest::addColumn<bool>("inPlan");
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<QString>("report");
        const QByteArray a = "/ann/work/" + nameOf(Kitchen, 1).toLatin1();
        const auto listing = [&](const QByteArray& etag, bool withCollection) {
            return http(
                "207 Multi-Status",
                "<multistatus xmlns='DAV:' xmlns:C='urn:ietf:params:xml:ns:caldav'>" +
                    QByteArray(withCollection
                                   ? "<response><href>/ann/work/</href><propstat><prop>"
                                     "<resourcetype><collection/><C:calendar/></resourcetype>"
                                     "</prop><status>HTTP/1.1 200 OK</status></propstat>"
                                     "</response>"
                                   : "") +
                    "<response><href>" + a + "</href><propstat><prop><getetag>" + etag +
                    "</getetag></prop><status>HTTP/1.1 200 OK</status></propstat>"
                    "</response></multistatus>");
        };
        const QByteArray changed = http("412 Precondition Failed");
        QTest::newRow("sent again with the new ETag")
            << true
            << QList<QByteArray>{listing("\"1\"", true), changed, listing("\"2\"", false),
                                 http("204 No Content")}
            << "0 events published, 1 updated, 0 removed.";
        QTest::newRow("removed by someone else meanwhile")
            << false << QList<QByteArray>{listing("\"1\"", true), changed, http("404 Not Found")}
            << "0 events published, 0 updated, 1 removed.";
        QTest::newRow("changed again: tried once only")
            << true
            << QList<QByteArray>{listing("\"1\"", true), changed, listing("\"2\"", false), changed}
            << "1 event could not be published. Nothing was removed from the calendar; publish "
               "again to finish.\n\nChanged on the server while publishing (HTTP 412): publish "
               "again.\n• Kitchen: Paint\n\n0 events published, 0 updated, 0 removed.";
    }

    void changedMeanwhile()
    {
        QFETCH(bool, inPlan);
        QFETCH(QList<QByteArray>, answers);
        QFETCH(QString, report);
        CannedServer server(answers);
        const QUrl url(QStringLiteral("http://127.0.0.1:%1/ann/work/").arg(server.serverPort()));
        QList<CalendarItem> plan;
        if (inPlan)
            plan.append(planned(1, "Kitchen: Paint"));
        const PublishResult result = publish(url, Kitchen, plan, account());
        QCOMPARE(result.report(), report);
        QCOMPARE(server.received.count("If-Match: \"1\"\r\n"), 1);
        QCOMPARE(server.received.count("If-Match: \"2\"\r\n"), answers.size() - 3);
    }

    void untrustedCertificate()
    {
        QSslServer server;
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QFile cert(QStringLiteral(DATA_DIR "/selfsigned.crt"));
        QFile key(QStringLiteral(DATA_DIR "/selfsigned.key"));
        QVERIFY(cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
        tls.setLocalCertificate(QSslCertificate(cert.readAll()));
        tls.setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
        server.setSslConfiguration(tls);
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QByteArray received;
        connect(&server, &QTcpServer::pendingConnectionAvailable, &server, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket,
                    [&, socket] { received += socket->readAll(); });
        });

        const QUrl url(QStringLiteral("https://127.0.0.1:%1/ann/work/").arg(server.serverPort()));
        const PublishResult result = publish(url, Kitchen, {planned(1, "Paint")}, account());
        QCOMPARE(result.stopped.kind, Kind::Tls);
        QVERIFY2(result.stopped.message().contains("self signed") ||
                     result.stopped.message().contains("self-signed"),
                 qPrintable(result.stopped.message()));
        QCOMPARE(received, QByteArray()); // not a byte of the request, nor the password
    }

    void stopsEarly_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("password");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("status");
        QTest::newRow("wrong password") << "calendar"
                                        << "wrong" << Kind::Unauthorized << 401;
        QTest::newRow("a folder, not a calendar") << "ann/"
                                                  << "" << Kind::NotCalendar << 0;
        QTest::newRow("no such calendar") << "ann/none/"
                                          << "" << Kind::NotCalendar << 404;
        QTest::newRow("plain http to another computer") << "http://dav.example.com/ann/work/"
                                                        << "" << Kind::InsecureAddress << 0;
        QTest::newRow("stopped server") << "stopped"
                                        << "" << Kind::Unreachable << 0;
        QTest::newRow("silent server") << "silent"
                                       << "" << Kind::Timeout << 0;
    }

    void stopsEarly()
    {
        QFETCH(QString, where);
        QFETCH(QString, password);
        QFETCH(Kind, kind);
        QFETCH(int, status);
        const QString calendar = newCalendar();
        QVERIFY(!calendar.isEmpty());
        CannedServer silent({QByteArray()});
        quint16 stoppedPort = 0;
        {
            QTcpServer gone;
            QVERIFY(gone.listen(QHostAddress::LocalHost));
            stoppedPort = gone.serverPort();
        }
        QUrl url = m_server.url(where == "calendar" ? calendar : where);
        if (where.startsWith("http"))
            url = QUrl(where);
        if (where == "stopped" || where == "silent")
            url = QUrl(QStringLiteral("http://127.0.0.1:%1/ann/work/")
                           .arg(where == "silent" ? silent.serverPort() : stoppedPort));
        DavAccount who =
            account(password.isEmpty() ? QString::fromLatin1(RadicaleServer::Password) : password);
        if (where == "silent")
            who.timeoutMs = 300;

        QElapsedTimer clock;
        clock.start();
        const PublishResult result = publish(url, Kitchen, {planned(1, "Paint")}, who);
        QCOMPARE(result.stopped.kind, kind);
        QCOMPARE(result.stopped.httpStatus, status);
        QCOMPARE(result.stage, PublishResult::Stage::Listing);
        QCOMPARE(result.created + result.updated + result.removed, 0);
        QCOMPARE(result.report(), result.stopped.message());
        QVERIFY(m_server.storedFiles(calendar).isEmpty());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }

    // First publish, then one after editing, removing and adding tasks: the
    // plan's own events, read back from the server's files with libical.
    void publishThenKeepInStep()
    {
        const QString calendar = newCalendar();
        QVERIFY(!calendar.isEmpty());
        PublishResult result = publish(
            calendar, Kitchen, plan("Clear the room + 2\nOrder tiles + 1\nLay the tiles + 3"));
        QCOMPARE(result.report(), "4 events published, 0 updated, 0 removed.");
        // Monday to Friday from Monday 12/7: Thursday, Friday and Monday are two runs.
        const QMap<QString, QString> first = readBack(m_server.storedFiles(calendar));
        QCOMPARE(QStringList(first.keys()),
                 QStringList({"Kitchen: Clear the room|20261207T090000|2",
                              "Kitchen: Lay the tiles  (2)|20261214T090000|",
                              "Kitchen: Lay the tiles|20261210T090000|2",
                              "Kitchen: Order tiles|20261209T090000|"}));

        // Clear the room grows into Order tiles' day, which goes; Lay the tiles
        // keeps its days; Clean up is new.
        result =
            publish(calendar, Kitchen, plan("Clear the room + 3\nLay the tiles + 3\nClean up"));
        QCOMPARE(result.report(), "1 event published, 3 updated, 1 removed.");
        const QMap<QString, QString> second = readBack(m_server.storedFiles(calendar));
        QCOMPARE(QStringList(second.keys()),
                 QStringList({"Kitchen: Clean up|20261215T090000|",
                              "Kitchen: Clear the room|20261207T090000|3",
                              "Kitchen: Lay the tiles  (2)|20261214T090000|",
                              "Kitchen: Lay the tiles|20261210T090000|2"}));
        // The same UIDs for the tasks that stayed, a new one for the new task.
        const QStringList kept = first.values();
        QCOMPARE(second.value("Kitchen: Clear the room|20261207T090000|3"),
                 first.value("Kitchen: Clear the room|20261207T090000|2"));
        QCOMPARE(second.value("Kitchen: Lay the tiles|20261210T090000|2"),
                 first.value("Kitchen: Lay the tiles|20261210T090000|2"));
        QVERIFY(!kept.contains(second.value("Kitchen: Clean up|20261215T090000|")));
    }

    void othersLeftAlone()
    {
        const QString calendar = newCalendar();
        QVERIFY(!calendar.isEmpty());
        const CalendarItem own = planned(90, "Dentist");
        QCOMPARE(m_server.request("PUT", calendar + "dentist.ics", own.ics).status, 201);
        QVERIFY(publish(calendar, Garden, {planned(50, "Garden: Dig"), planned(51, "Garden: Sow")})
                    .succeeded());
        QVERIFY(
            publish(calendar, Kitchen, {planned(1, "Kitchen: Paint"), planned(2, "Kitchen: Tile")})
                .succeeded());
        const QMap<QString, QByteArray> before = m_server.storedFiles(calendar);

        const PublishResult result = publish(calendar, Kitchen, {planned(2, "Kitchen: Tile")});
        QCOMPARE(result.report(), "0 events published, 1 updated, 1 removed.");
        QMap<QString, QByteArray> after = m_server.storedFiles(calendar);
        QVERIFY(!after.contains(nameOf(Kitchen, 1)));
        for (const QString& untouched :
             {QStringLiteral("dentist.ics"), nameOf(Garden, 50), nameOf(Garden, 51)})
            QCOMPARE(after.value(untouched), before.value(untouched));
        QCOMPARE(after.size(), 4);
    }

    // The user imported the exported file into this calendar earlier.
    void uidAlreadyImported()
    {
        const QString calendar = newCalendar();
        QVERIFY(!calendar.isEmpty());
        QVERIFY(
            publish(calendar, Kitchen, {planned(1, "Kitchen: Paint"), planned(9, "Kitchen: Old")})
                .succeeded());
        QCOMPARE(m_server.request("PUT", calendar + "imported.ics", planned(2, "Kitchen: Tile").ics)
                     .status,
                 201);

        const PublishResult result =
            publish(calendar, Kitchen,
                    {planned(1, "Kitchen: Paint"), planned(2, "Kitchen: Tile"),
                     planned(3, "Kitchen: Grout")});
        QCOMPARE(result.failures.size(), 1);
        QCOMPARE(result.failures.at(0).what, "Kitchen: Tile");
        QCOMPARE(result.failures.at(0).error.kind, Kind::UidConflict);
        QCOMPARE(result.report(),
                 "1 event could not be published. Nothing was removed from the calendar; publish "
                 "again to finish.\n\n"
                 "Already in the calendar under another name, most likely from an .ics file "
                 "imported earlier: remove the imported copies from the calendar, or publish to "
                 "another calendar.\n• Kitchen: Tile\n\n"
                 "1 event published, 1 updated, 0 removed.");
        QVERIFY(m_server.storedFiles(calendar).contains(nameOf(Kitchen, 9)));
    }

    void interruptedThenFinished()
    {
        const QString calendar = newCalendar();
        QVERIFY(!calendar.isEmpty());
        QVERIFY(publish(calendar, Kitchen, {planned(1, "Kitchen: Stale")}).succeeded());
        QList<CalendarItem> plan;
        for (int n = 2; n <= 13; ++n)
            plan.append(planned(n, QStringLiteral("Kitchen: Task %1").arg(n)));

        // Cancelled once the listing and two events were answered.
        PublishResult result = publish(m_server.url(calendar), Kitchen, plan, account(),
                                       [](CalendarPublisher& publisher, int done) {
                                           if (done >= 3)
                                               publisher.cancel();
                                       });
        QVERIFY(result.cancelled);
        QCOMPARE(result.removed, 0);
        QVERIFY(result.created >= 2 && result.created < 12);
        QVERIFY(m_server.storedFiles(calendar).contains(nameOf(Kitchen, 1)));

        result = publish(calendar, Kitchen, plan);
        QVERIFY2(result.succeeded(), qPrintable(result.report()));
        QCOMPARE(result.removed, 1);
        QCOMPARE(result.created + result.updated, 12);
        QCOMPARE(m_server.storedFiles(calendar).size(), 12);
    }

    void reportOfManyFailures()
    {
        PublishResult result;
        result.stage = PublishResult::Stage::Sending;
        result.updated = 1;
        const DavError taken{Kind::UidConflict, 409};
        for (int n = 1; n <= 12; ++n)
            result.failures.append({QStringLiteral("Task %1").arg(n), false, taken});
        result.failures.insert(1, {QStringLiteral("Odd one"), false, {Kind::Server, 500, "Oops"}});
        QCOMPARE(result.report(),
                 "13 events could not be published. Nothing was removed from the calendar; "
                 "publish again to finish.\n\n" +
                     taken.message() +
                     "\n• Task 1\n• Task 2\n• Task 3\n• Task 4\n• Task 5\n• Task 6\n• Task 7\n"
                     "• Task 8\n• Task 9\n• Task 10\n• … and 2 more\n\n"
                     "Refused by the server (HTTP 500 Oops).\n• Odd one\n\n"
                     "0 events published, 1 updated, 0 removed.");
    }

    // Without a Secret Service a read fails at once; that is not "no password".
    void keychainWithoutService()
    {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/taskloom-test-bus");
        KeychainPasswordStore store;
        std::optional<PasswordStore::ReadResult> read;
        store.read(QStringLiteral("ann@127.0.0.1"), this,
                   [&](const PasswordStore::ReadResult& result) { read = result; });
        QTRY_VERIFY_WITH_TIMEOUT(read.has_value(), 10000);
        QCOMPARE(read->status, PasswordStore::ReadResult::Status::Failed);
        QVERIFY(read->password.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCalDav)
#include "test_caldav.moc"
