// Publishing against a real CalDAV server (Radicale, started by the fixture)
// and, for answers Radicale never gives, a local server with canned answers.
#include "caldav/calendaraddress.h"
#include "plan/calendaritems.h"
#include "caldav/calendarpublisher.h"
#include "caldav/davdeletejob.h"
#include "caldav/davlistjob.h"
#include "caldav/davputjob.h"
#include "caldav/resourcename.h"
#include "cannedserver.h"
#include "engine/schedulebuilder.h"
#include "export/calendarics.h"
#include "radicaleserver.h"

#include <libical/ical.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QTest>

using namespace taskloom;
using taskloom::test::CannedServer;
using taskloom::test::RadicaleServer;
using Kind = DavError::Kind;

namespace {

const QString Kitchen = QStringLiteral("Kitchen");

// The plan's events as the iCalendar export makes them at 8:00 UTC, or at stamp: Monday to
// Friday from Monday 12/7/2026, 9:00 AM to 6:00 PM.
QList<CalendarItem> plan(const QString& tasks, const QString& project = Kitchen,
                         QTime stamp = QTime(8, 0))
{
    // clang-format off
    const BuildInputs inputs{tasks, project, StartOption::RightAway, {}, QDate(2026, 12, 7),
                             WorkingWeek::mondayToFriday(), true, "9:00 AM", "6:00 PM"};
    // clang-format on
    const CalendarIcs ics(project, project, QDateTime(QDate(2026, 12, 7), stamp, Qt::UTC));
    return CalendarItems::of(ScheduleBuilder::build(inputs).schedule(), ics);
}

// The resource a one-day task's event is stored as.
QString nameOf(const QString& task)
{
    return ResourceName::forUid(Kitchen, plan(task)[0].uid);
}

// The UID of each stored Kitchen event by "SUMMARY|DTSTART|RRULE count" as libical
// reads the files; "misnamed" marks a file whose name its UID does not give.
QMap<QString, QString> readBack(const QMap<QString, QByteArray>& files)
{
    QMap<QString, QString> events;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        if (!file.value().contains("SUMMARY:Kitchen: "))
            continue;
        const std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> calendar(
            icalparser_parse_string(file.value().constData()), &icalcomponent_free);
        icalcomponent* e = icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT);
        icalproperty* rule = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY);
        const QString uid = icalcomponent_get_uid(e);
        const QString key =
            QStringList{icalcomponent_get_summary(e),
                        icaltime_as_ical_string(icalcomponent_get_dtstart(e)),
                        rule ? QString::number(icalproperty_get_rrule(rule).count) : ""}
                .join('|');
        events.insert(ResourceName::forUid(Kitchen, uid) == file.key() ? key : "misnamed " + key,
                      uid);
    }
    return events;
}

QByteArray http(const QByteArray& status, const QByteArray& body = {}, const QByteArray& extra = {})
{
    return CannedServer::http(status, body, extra);
}

// One resource of a 207 answer and its properties, as the status says.
QByteArray response(const QByteArray& href, const QByteArray& props,
                    const QByteArray& status = "200 OK")
{
    return "<response><href>" + href + "</href><propstat><prop>" + props +
           "</prop><status>HTTP/1.1 " + status + "</status></propstat></response>";
}

QByteArray multistatus(const QByteArray& responses)
{
    return "<?xml version='1.0'?><multistatus xmlns='DAV:' "
           "xmlns:C='urn:ietf:params:xml:ns:caldav'>" +
           responses + "</multistatus>";
}

// The listing of the calendar at path holding these resources.
QByteArray listed(const QByteArray& path, const QByteArray& members = {})
{
    return http(
        "207 Multi-Status",
        multistatus(response(path, "<resourcetype><C:calendar/></resourcetype>") + members));
}

} // namespace

class TestCalDav : public QObject {
    Q_OBJECT
    RadicaleServer m_server;
    QNetworkAccessManager m_network;
    QString m_calendar; // a new one on Radicale for each test and row
    int m_calendars = 0;

    // Publishes and waits for the one result; cancelled once `cancelAfter` requests were
    // answered, when given.
    PublishResult publish(const QUrl& url, const QList<CalendarItem>& items,
                          const QString& key = Kitchen,
                          const DavAccount& who = {RadicaleServer::User, RadicaleServer::Password},
                          int cancelAfter = 0)
    {
        CalendarPublisher publisher(&m_network);
        connect(&publisher, &CalendarPublisher::progress, this, [&](int done, int, const QString&) {
            if (cancelAfter > 0 && done >= cancelAfter)
                publisher.cancel();
        });
        QSignalSpy finished(&publisher, &CalendarPublisher::finished);
        publisher.start(url, who, key, items);
        PublishResult result;
        result.created = -1; // never finished
        if (finished.wait(30000) && finished.size() == 1)
            result = finished.at(0).at(0).value<PublishResult>();
        return result;
    }
    // A project's tasks published to the test's calendar.
    PublishResult publish(const QString& tasks, const QString& project = Kitchen)
    {
        return publish(m_server.url(m_calendar), plan(tasks, project), project);
    }
    QMap<QString, QByteArray> stored() const { return m_server.storedFiles(m_calendar); }
    // The resources of the test's calendar and their ETags, as a listing gives them.
    QHash<QString, QString> etags()
    {
        DavListJob job(&m_network, {RadicaleServer::User, RadicaleServer::Password},
                       m_server.url(m_calendar));
        QSignalSpy finished(&job, &DavJob::finished);
        job.start();
        return finished.wait(5000) ? job.listing().etags : QHash<QString, QString>();
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString problem = m_server.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void init()
    {
        m_calendar = QStringLiteral("ann/calendar%1/").arg(++m_calendars);
        QCOMPARE(m_server.makeCalendar(m_calendar), QString());
    }

    void address_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("url"); // as published to; empty when refused
        QTest::addColumn<Kind>("problem");
        // clang-format off
        QTest::newRow("https, slash added") << " https://dav.example.com/ann/work " << "https://dav.example.com/ann/work/" << Kind::None;
        QTest::newRow("http to localhost") << "http://localhost:5232/ann/" << "http://localhost:5232/ann/" << Kind::None;
        QTest::newRow("http to 127.0.0.1") << "HTTP://127.0.0.1/a" << "http://127.0.0.1/a/" << Kind::None;
        QTest::newRow("http, localhost lookalike") << "http://localhost.example.com/" << "" << Kind::InsecureAddress;
        QTest::newRow("no scheme") << "dav.example.com/ann/" << "" << Kind::BadAddress;
        QTest::newRow("password inside") << "https://ann:pw@dav.example.com/" << "" << Kind::BadAddress;
        // clang-format on
    }

    void address()
    {
        QFETCH(QString, typed);
        QFETCH(QString, url);
        const QUrl address = CalendarAddress::fromUserInput(typed);
        QTEST(CalendarAddress::problem(address).kind, "problem");
        if (!url.isEmpty())
            QCOMPARE(address.toString(), url);
    }

    void resourceName_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("uid");
        QTest::addColumn<QString>("name");
        // The hashes: `printf KEY | sha1sum`, its first 8 hex digits.
        // clang-format off
        QTest::newRow("project name") << "Kitchen" << "0b5f3c1e-7d2a-5e4f-9a11-2b3c4d5e6f70@taskloom" << "taskloom-018618c0-0b5f3c1e-7d2a-5e4f-9a11-2b3c4d5e6f70.ics";
        QTest::newRow("non-ASCII name, as UTF-8") << "Küche" << "abc@taskloom" << "taskloom-a5e64103-abc.ics";
        // clang-format on
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
        const auto listing = [](const QByteArray& self, const QByteArray& members) {
            return multistatus(
                response("/ann/work/", "<resourcetype><collection/>" + self + "</resourcetype>") +
                members);
        };
        const QByteArray calendar = "<C:calendar/>";
        // clang-format off
        QTest::newRow("events, encoded names, whole addresses") << listing(calendar, response("/ann/work/a.ics", "<resourcetype/><getetag>\"1\"</getetag>") + response("https://dav.example.com/ann/work/b%20c.ics", "<getetag>W/\"2\"</getetag>")) << "calendar|a.ics=\"1\",b c.ics=W/\"2\"";
        QTest::newRow("sub-collection, other folder, failed ETag") << listing(calendar, response("/ann/work/sub/", "<resourcetype><collection/></resourcetype>") + response("/ann/other/o.ics", "<getetag>\"4\"</getetag>") + response("/ann/work/n.ics", "<getetag>\"3\"</getetag>", "404 Not Found")) << "calendar|n.ics=";
        QTest::newRow("not a listing") << QByteArray("<html><body>Welcome</body></html>") << "unreadable";
        // clang-format on
    }

    void listing()
    {
        QFETCH(QByteArray, xml);
        const std::optional<DavListing> listing =
            DavListJob::parse(xml, QUrl("https://dav.example.com/ann/work/"));
        QString found = "unreadable";
        if (listing) {
            QStringList etags;
            for (auto it = listing->etags.cbegin(); it != listing->etags.cend(); ++it)
                etags.append(it.key() + u'=' + it.value());
            etags.sort();
            found = (listing->isCalendar ? "calendar|" : "|") + etags.join(u',');
        }
        QTEST(found, "found");
    }

    // What each answer means, and the credentials sent with the first request.
    void answer_data()
    {
        QTest::addColumn<QByteArray>("verb");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("status");
        const QByteArray taken = "<error xmlns='DAV:' xmlns:C='urn:ietf:params:xml:ns:caldav'>"
                                 "<C:no-uid-conflict/></error>";
        // clang-format off
        QTest::newRow("UID taken, 403") << QByteArray("PUT") << http("403 Forbidden", taken, {}) << Kind::UidConflict << 403;
        QTest::newRow("forbidden") << QByteArray("PUT") << http("403 Forbidden") << Kind::Unauthorized << 403;
        QTest::newRow("moved, not followed") << QByteArray("PUT") << http("301 Moved", {}, "Location: https://elsewhere/\r\n") << Kind::Redirected << 301;
        QTest::newRow("delete: gone") << QByteArray("DELETE") << http("404 Not Found") << Kind::None << 0;
        QTest::newRow("listing: a web page") << QByteArray("PROPFIND") << http("200 OK", "<html/>", {}) << Kind::NotCalendar << 200;
        QTest::newRow("listing: over 64 MiB announced") << QByteArray("PROPFIND") << QByteArray("HTTP/1.1 207 Multi-Status\r\nContent-Length: 67108865\r\n\r\n<") << Kind::TooLarge << 0;
        QTest::newRow("listing: over 64 MiB sent") << QByteArray("PROPFIND") << "HTTP/1.1 207 Multi-Status\r\nConnection: close\r\n\r\n" + QByteArray(65 << 20, ' ') << Kind::TooLarge << 0;
        // clang-format on
    }

    void answer()
    {
        QFETCH(QByteArray, verb);
        QFETCH(QByteArray, answer);
        CannedServer server({answer});
        const QUrl url(QStringLiteral("http://127.0.0.1:%1/cal/x.ics").arg(server.serverPort()));
        const DavAccount who{"ann", "pw", 300};
        std::unique_ptr<DavJob> job;
        if (verb == "PUT")
            job = std::make_unique<DavPutJob>(&m_network, who, url, "ics", std::nullopt);
        else if (verb == "DELETE")
            job = std::make_unique<DavDeleteJob>(&m_network, who, url, "\"1\"");
        else
            job = std::make_unique<DavListJob>(&m_network, who, url);
        QSignalSpy finished(job.get(), &DavJob::finished);
        job->start();
        QVERIFY(finished.wait(5000));
        QTEST(job->error().kind, "kind");
        QTEST(job->error().httpStatus, "status");
        QVERIFY(server.received.startsWith(verb + " /cal/x.ics HTTP/1.1\r\n"));
        QVERIFY(server.received.contains("\r\nAuthorization: Basic YW5uOnB3\r\n")); // ann:pw
    }

    // A server that will not say what it holds gets the event written as listed. It changed
    // between the listing and the request: its ETag is asked for again and the request tried
    // once more, and once only, and never with an ETag that would add a header.
    void changedMeanwhile_data()
    {
        QTest::addColumn<QByteArray>("report"); // the answer to the REPORT
        QTest::addColumn<QByteArray>("etag");   // the one asked for again
        QTest::addColumn<QByteArray>("again");  // the answer to the second try
        QTest::addColumn<int>("updated");
        // clang-format off
        QTest::newRow("REPORT 405, sent again with the new ETag") << http("405 Method Not Allowed") << QByteArray("\"2\"") << http("204 No Content") << 1;
        QTest::newRow("REPORT 403, changed again: not a third time") << http("403 Forbidden") << QByteArray("\"2\"") << http("412 Precondition Failed") << 0;
        QTest::newRow("REPORT 501, the new ETag holding a line break") << http("501 Not Implemented") << QByteArray("\"2\"&#13;&#10;X-Injected: yes") << http("204 No Content") << 0;
        // clang-format on
    }

    void changedMeanwhile()
    {
        QFETCH(QByteArray, report);
        QFETCH(QByteArray, etag);
        QFETCH(QByteArray, again);
        const QByteArray paint =
            response("/ann/work/" + nameOf("Paint").toUtf8(), "<getetag>%1</getetag>");
        CannedServer server({listed("/ann/work/", QByteArray(paint).replace("%1", "\"1\"")), report,
                             http("412 Precondition Failed"),
                             http("207 Multi-Status", multistatus(paint).replace("%1", etag)),
                             again});
        const QUrl url(QStringLiteral("http://127.0.0.1:%1/ann/work/").arg(server.serverPort()));
        const PublishResult result = publish(url, plan("Paint"));
        QTEST(result.updated, "updated");
        QCOMPARE(result.failures.size(), 1 - result.updated);
        QCOMPARE(server.received.count("If-Match: \"1\"\r\n"), 1);
        QCOMPARE(server.received.count("If-Match: \"2\""), etag == "\"2\"" ? 1 : 0);
    }

    // Hostile answers to a publish of "Paint": the requests sent ("VERB path"), and the report.
    // "taskloom-018618c0-" starts every resource of Kitchen.
    void hostile_data()
    {
        QTest::addColumn<QString>("path");              // the calendar's
        QTest::addColumn<QList<QByteArray>>("answers"); // the listing's first
        QTest::addColumn<QString>("requests");
        QTest::addColumn<QString>("report");
        const QString paint = nameOf("Paint");
        const QByteArray listedPaint = "/cal/" + paint.toUtf8();
        const QString stale = "taskloom-018618c0-stale.ics";
        const QByteArray injecting = "<getetag>\"1\"&#13;&#10;X-Injected: yes</getetag>";
        const QString skipped = "Skipped: the server lists it with an ETag holding control "
                                "characters, which Taskloom never sends back, so it was neither "
                                "rewritten nor removed. Ask the server's administrator to look "
                                "into it.";
        const QString notSent = "1 event could not be published. Nothing was removed from the "
                                "calendar; publish again to finish.\n\n";
        const QString none = "0 events published, 0 updated, 0 removed, 0 unchanged.";
        // clang-format off
        QTest::newRow("%2F in a folder's name") << "/cal/a%2Fb/"
            << QList{listed("/cal/a%2Fb/", response("/cal/a%2Fb/" + stale.toUtf8(), "<getetag>\"1\"</getetag>") + response("/cal/a/b/taskloom-018618c0-other.ics", "<getetag>\"2\"</getetag>")), http("201 Created"), http("204 No Content")}
            << "PROPFIND /cal/a%2Fb/\nPUT /cal/a%2Fb/" + paint + "\nDELETE /cal/a%2Fb/" + stale << "1 event published, 0 updated, 1 removed, 0 unchanged.";
        QTest::newRow("ETags holding a line break, listed") << "/cal/"
            << QList{listed("/cal/", response(listedPaint, injecting) + response("/cal/" + stale.toUtf8(), injecting))}
            << "PROPFIND /cal/" << "1 event could not be published. 1 event could not be removed. Nothing was removed from the calendar; publish again to finish.\n\n" + skipped + "\n• Kitchen: Paint\n\n" + skipped + "\n• " + stale + "\n\n" + none;
        QTest::newRow("an ETag holding a line break, read back") << "/cal/"
            << QList{listed("/cal/", response(listedPaint, "<getetag>\"1\"</getetag>")), http("207 Multi-Status", multistatus(response(listedPaint, injecting + "<C:calendar-data>edited</C:calendar-data>")))}
            << "PROPFIND /cal/\nREPORT /cal/" << notSent + skipped + "\n• Kitchen: Paint\n\n" + none;
        QTest::newRow("PUT: 207, 507 inside") << "/cal/"
            << QList{listed("/cal/"), http("207 Multi-Status", multistatus(response(listedPaint, "", "507 Insufficient Storage")))}
            << "PROPFIND /cal/\nPUT /cal/" + paint << "The calendar has no room left: the server's storage quota is full (HTTP 507).\n\nNothing was removed from the calendar; publish again to finish.\n\n" + none;
        QTest::newRow("DELETE: 207, 423 inside; escapes in a name") << "/cal/"
            << QList{listed("/cal/", response("/cal/taskloom-018618c0-%1B[31m.ics", "<getetag>\"1\"</getetag>")), http("201 Created"), http("207 Multi-Status", multistatus(response("/cal/x", "", "423 Locked")))}
            << "PROPFIND /cal/\nPUT /cal/" + paint + "\nDELETE /cal/taskloom-018618c0-%1B%5B31m.ics" << "1 event could not be removed.\n\nRefused by the server (HTTP 423 Locked).\n• taskloom-018618c0-\\x1B[31m.ics\n\n1 event published, 0 updated, 0 removed, 0 unchanged.";
        QTest::newRow("escapes in the reason phrase") << "/cal/"
            << QList{listed("/cal/"), http("500 \x1b]0;pwned\x07\x1b[31mBoom")}
            << "PROPFIND /cal/\nPUT /cal/" + paint << notSent + "Refused by the server (HTTP 500 \\x1B]0;pwned\\x07\\x1B[31mBoom).\n• Kitchen: Paint\n\n" + none;
        // clang-format on
    }

    void hostile()
    {
        QFETCH(QString, path);
        QFETCH(QList<QByteArray>, answers);
        CannedServer server(answers);
        const QString address = QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort());
        QTEST(publish(QUrl(address.arg(path)), plan("Paint")).report(), "report");
        static const QRegularExpression requestLine("([A-Z]+ \\S+) HTTP/1.1\r\n");
        QStringList sent;
        for (const auto& line : requestLine.globalMatch(QString::fromUtf8(server.received)))
            sent.append(line.captured(1));
        QTEST(sent.join('\n'), "requests");
    }

    // Stopped at the listing: nothing stored, the reason is the whole report,
    // and it comes at once.
    void stopsEarly_data()
    {
        QTest::addColumn<QString>("where"); // a path on Radicale, or an address
        QTest::addColumn<QString>("password");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("status");
        const QString pass = RadicaleServer::Password;
        // clang-format off
        QTest::newRow("wrong password") << "calendar" << "wrong" << Kind::Unauthorized << 401;
        QTest::newRow("a folder, not a calendar") << "ann/" << pass << Kind::NotCalendar << 0;
        QTest::newRow("plain http elsewhere") << "http://dav.example.com/ann/" << pass << Kind::InsecureAddress << 0;
        QTest::newRow("stopped server") << "stopped" << pass << Kind::Unreachable << 0;
        QTest::newRow("silent server") << "silent" << pass << Kind::Timeout << 0;
        QTest::newRow("dripping server") << "dripping" << pass << Kind::Timeout << 0;
        QTest::newRow("untrusted certificate") << "tls" << pass << Kind::Tls << 0;
        // clang-format on
    }

    void stopsEarly()
    {
        QFETCH(QString, where);
        QFETCH(QString, password);
        CannedServer silent({QByteArray()});
        CannedServer dripping({http("207 Multi-Status", QByteArray(100000, ' '))}, 20);
        CannedServer stopped({});
        stopped.close();
        // A server with a certificate of its own making: not a byte of the
        // request, nor the password, may reach it.
        QSslServer tlsServer;
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QFile cert(DATA_DIR "/selfsigned.crt");
        QFile key(DATA_DIR "/selfsigned.key");
        QVERIFY(cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
        tls.setLocalCertificate(QSslCertificate(cert.readAll()));
        tls.setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
        tlsServer.setSslConfiguration(tls);
        QVERIFY(tlsServer.listen(QHostAddress::LocalHost));
        QByteArray received;
        connect(&tlsServer, &QTcpServer::pendingConnectionAvailable, &tlsServer, [&] {
            QTcpSocket* socket = tlsServer.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket,
                    [&, socket] { received += socket->readAll(); });
        });
        const QMap<QString, QString> local{
            {"stopped", QStringLiteral("http://127.0.0.1:%1/").arg(stopped.serverPort())},
            {"silent", QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort())},
            {"dripping", QStringLiteral("http://127.0.0.1:%1/").arg(dripping.serverPort())},
            {"tls", QStringLiteral("https://127.0.0.1:%1/ann/work/").arg(tlsServer.serverPort())}};
        QUrl url = m_server.url(where == "calendar" ? m_calendar : where);
        if (where.startsWith("http") || local.contains(where))
            url = QUrl(local.value(where, where));

        QElapsedTimer clock;
        clock.start();
        const PublishResult result =
            publish(url, plan("Paint"), Kitchen,
                    {RadicaleServer::User, password,
                     QStringList{"silent", "dripping"}.contains(where) ? 300 : 20000});
        QTEST(result.stopped.kind, "kind");
        QTEST(result.stopped.httpStatus, "status");
        QCOMPARE(result.stage, PublishResult::Stage::Listing);
        QCOMPARE(result.report(), result.stopped.message());
        QVERIFY(stored().isEmpty());
        QCOMPARE(received, QByteArray());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }

    // First publish; again unchanged, an hour later; then after someone moved an event in the
    // calendar and a task was lengthened: the plan's own events, read back from the server's
    // files with libical. Only events that differ from the plan are written; the lengthened
    // task keeps its events' names. Someone else's event and another project's stay.
    void publishThenKeepInStep()
    {
        const QByteArray dentist = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Ann//EN\r\n"
                                   "BEGIN:VEVENT\r\nUID:dentist@example.com\r\nDTSTAMP:20261201T08"
                                   "0000Z\r\nDTSTART:20261208T100000\r\nSUMMARY:Dentist\r\n"
                                   "END:VEVENT\r\nEND:VCALENDAR\r\n";
        QCOMPARE(m_server.request("PUT", m_calendar + "dentist.ics", dentist), 201);
        QVERIFY(publish("Dig\nSow", "Garden").succeeded());

        const QString tasks = "Clear the room + 2\nOrder tiles + 1\nLay the tiles + 3";
        QCOMPARE(publish(tasks).report(), "4 events published, 0 updated, 0 removed, 0 unchanged.");
        // Monday to Friday from Monday 12/7: Thursday, Friday and Monday are two runs.
        QMap<QString, QByteArray> files = stored();
        QCOMPARE(readBack(files).keys(),
                 QStringList({"Kitchen: Clear the room|20261207T090000|2",
                              "Kitchen: Lay the tiles  (2)|20261214T090000|",
                              "Kitchen: Lay the tiles|20261210T090000|2",
                              "Kitchen: Order tiles|20261209T090000|"}));
        const QHash<QString, QString> tags = etags();
        QCOMPARE(tags.size(), 7);
        QCOMPARE(publish(m_server.url(m_calendar), plan(tasks, Kitchen, QTime(9, 0))).report(),
                 "0 events published, 0 updated, 0 removed, 4 unchanged.");
        QCOMPARE(stored(), files);
        QCOMPARE(etags(), tags);

        const QString clear = nameOf("Clear the room + 2");
        QCOMPARE(m_server.request("PUT", m_calendar + clear,
                                  QByteArray(files[clear]).replace("T09", "T07")),
                 201);
        QCOMPARE(publish("Clear the room + 2\nOrder tiles + 1\nLay the tiles + 4").report(),
                 "0 events published, 2 updated, 0 removed, 2 unchanged.");
        // The moved event is back as first stored; of the rest, only the lengthened run differs.
        QMap<QString, QByteArray> now = stored();
        const QString lastRun = ResourceName::forUid(Kitchen, plan(tasks)[3].uid);
        QVERIFY(now.take(lastRun).contains("COUNT=2") && files.remove(lastRun) == 1);
        QCOMPARE(now, files);
    }

    // The user imported the exported file into this calendar earlier.
    void uidAlreadyImported()
    {
        QVERIFY(publish("Paint\nOld").succeeded());
        QCOMPARE(m_server.request("PUT", m_calendar + "imported.ics", plan("Tile")[0].ics), 201);
        const PublishResult result = publish("Paint\nTile\nGrout");
        QCOMPARE(result.failures.size(), 1);
        QCOMPARE(result.failures[0].what, "Kitchen: Tile");
        QCOMPARE(result.failures[0].error.kind, Kind::UidConflict);
        QCOMPARE(result.summary(), "1 event published, 0 updated, 0 removed, 1 unchanged.");
        QVERIFY(stored().contains(nameOf("Old")));
    }

    void interruptedThenFinished()
    {
        QVERIFY(publish("Stale").succeeded());
        QString tasks;
        for (int n = 1; n <= 12; ++n)
            tasks += QStringLiteral("Task %1\n").arg(n);

        // Cancelled once the listing and two events were answered.
        PublishResult result = publish(m_server.url(m_calendar), plan(tasks), Kitchen,
                                       {RadicaleServer::User, RadicaleServer::Password}, 3);
        QVERIFY(result.cancelled);
        QCOMPARE(result.removed, 0);
        QVERIFY(result.created >= 2 && result.created < 12);
        QVERIFY(stored().contains(nameOf("Stale")));

        result = publish(tasks);
        QVERIFY2(result.succeeded(), qPrintable(result.report()));
        QCOMPARE(result.removed, 1);
        QCOMPARE(result.created + result.updated + result.unchanged, 12);
        QCOMPARE(stored().size(), 12);
    }

    // Ten tasks named, then how many more.
    void reportOfManyFailures()
    {
        PublishResult result;
        result.stage = PublishResult::Stage::Sending;
        result.updated = 1;
        for (int n = 1; n <= 12; ++n)
            result.failures.append({QStringLiteral("Task %1").arg(n), false, {Kind::Server, 500}});
        QCOMPARE(result.report(),
                 "12 events could not be published. Nothing was removed from the calendar; "
                 "publish again to finish.\n\nRefused by the server (HTTP 500).\n• Task 1\n"
                 "• Task 2\n• Task 3\n• Task 4\n• Task 5\n• Task 6\n• Task 7\n• Task 8\n"
                 "• Task 9\n• Task 10\n• … and 2 more\n\n0 events published, 1 updated, 0 removed, "
                 "0 unchanged.");
    }
};

QTEST_GUILESS_MAIN(TestCalDav)
#include "test_caldav.moc"
