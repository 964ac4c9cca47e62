// File > "Publish to Calendar Server…" as the user meets it: the checks, the
// dialog, the keychain, the progress dialog and the summary, against a real
// CalDAV server (Radicale) or one of canned answers.
#include "cannedserver.h"
#include "memorypasswordstore.h"
#include "planner.h"
#include "radicaleserver.h"
#include "ui/publishdialog.h"

using namespace taskloom;
using namespace taskloom::test;

class TestPublish : public QObject {
    Q_OBJECT
    RadicaleServer m_server;
    int m_calendars = 0;

private Q_SLOTS:
    void initTestCase()
    {
        const QString problem = m_server.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // The window on Monday 7 December worked step by step (see Script), with steps of its own:
    // "keychain USER=PASSWORD,…" gives it a keychain holding those ("locked": failing from
    // now on) and names the project Kitchen; $CAL is a new calendar of ann's on the server,
    // $SILENT the port of a server that never answers, $REFUSING of one that refuses events;
    // "cancel" presses the progress dialog's Cancel, showing its modality and text first. What
    // shows: "password" (the one in the box once the keychain answered), "summary" (the box that
    // ends the publish), "kept" (the keychain), "stored" (the events in the calendar),
    // "modified".
    void steps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("result");
        const QString
            tiles = "set txtTodo Paint + 2\nTile|",
            publish = "click actionPublish|set txtCalendarAddress ",
            cal = publish + "$CAL|set txtUserName ann|", remember = "click chkRememberPassword|",
            press = "click cmdPublish|summary",
            done = "Done! | 2 events published, 0 updated, 0 removed, 0 unchanged.",
            wrong =
                "Error | The server did not accept the user name or password (HTTP 401). | Warning";
        // clang-format off
        QTest::newRow("no tasks") << "keychain |click actionPublish|boxes" << "Missing Info | Please add some tasks to your project.";
        // The address is checked in the dialog, so it is mended there; the window closes with the dialog
        // open while the user name is being typed.
        QTest::newRow("unencrypted") << "keychain |" + tiles + publish + "http://dav.example.com/ann/|set txtUserName ann|set txtPassword secret|"
            "click cmdPublish|text lblPublishNote|set txtUserName e" << "Taskloom sends your password only over an encrypted connection: the address "
            "must start with https://. Plain http:// is for a server on this computer only (localhost or 127.0.0.1).";
        QTest::newRow("from the keychain") << "keychain ann=pass word|" + tiles + cal + "password|" + press + "|kept" << "pass word\n" + done + "\nkept ann=pass word";
        QTest::newRow("typed, kept") << "keychain |" + tiles + cal + "set txtPassword pass word|" + remember + press + "|kept" << done + "\nkept ann=pass word";
        QTest::newRow("typed, not kept") << "keychain |" + tiles + cal + "set txtPassword pass word|" + press + "|kept" << done + "\nkept ";
        QTest::newRow("box unticked: forgotten") << "keychain ann=pass word|" + tiles + cal + remember + press + "|kept" << done + "\nkept ";
        // Told once, in the dialog: nothing to remember in, nothing more to say.
        QTest::newRow("no keychain") << "keychain locked|" + tiles + cal + "text lblPublishNote|set txtPassword pass word|" + remember + press + "|kept"
            << "No system keychain is available: Taskloom cannot remember the password and asks for it on every publish.\n" + done + "\nkept ";
        QTest::newRow("wrong password kept") << "keychain ann=wrong|" + tiles + cal + "password|" + press + "|kept" << "wrong\n" + wrong + "\nkept ann=wrong";
        QTest::newRow("another account, both kept") << "keychain ann=pass word,bob=wrong|" + tiles + publish + "$CAL|set txtUserName bob|password|"
            "set txtUserName ann|password|" + press << "wrong\npass word\n" + done;
        QTest::newRow("another account, none kept: the box emptied") << "keychain ann=pass word|" + tiles + cal + "password|set txtUserName carl|password"
            << "pass word\n";
        QTest::newRow("keychain fails to keep") << "keychain |" + tiles + cal + "set txtPassword pass word|" + remember + "keychain locked|" + press + "|kept"
            << done + "\n\nThe system keychain could not keep the password (The keychain is locked.): Taskloom will ask for it next time.\nkept ";
        QTest::newRow("keychain fails to forget, Remember unticked") << "keychain ann=pass word|" + tiles + cal + remember + "keychain locked|" + press + "|kept"
            << done + "\nkept ann=pass word";
        // A server that never answers is cancelled at once from the progress dialog, which blocks only this
        // window; one event refused is an error.
        QTest::newRow("silent, cancelled") << "keychain |set txtTodo Paint|" + publish + "http://127.0.0.1:$SILENT/ann/|set txtUserName ann|set txtPassword secret|click cmdPublish|"
            "cancel|summary" << "window modal: Reading the calendar…\nPublish to Calendar Server | Publishing was cancelled.";
        QTest::newRow("one event refused") << "keychain |set txtTodo Paint|" + publish + "http://127.0.0.1:$REFUSING/ann/|set txtUserName ann|set txtPassword secret|" + press
            << "Error | 1 event could not be published. Nothing was removed from the calendar; publish again to finish.\n\nRefused by the server "
               "(HTTP 500 Boom).\n• Kitchen: Paint\n\n0 events published, 0 updated, 0 removed, 0 unchanged. | Warning";
        // The next publish offers the same calendar and sends what the window shows, built first; a renamed
        // project keeps its events only when it has a file, whose id names them. The same calendar as
        // another user (one the server does not know) is a new target: it marks the window, and is offered.
        const QString first = "set txtTodo Paint + 2\nTile + 1\nGrout|" + cal + "set txtPassword pass word|" + remember + press + '|',
                      saved = "keychain |choose Kitchen.taskloom|click actionSave|",
                      again = "|click actionPublish|text txtCalendarAddress|text txtUserName|password|" + press + "|stored",
                      three = "Done! | 3 events published, 0 updated, 0 removed, 0 unchanged.\n", offered = "$CAL\nann\npass word\nDone! | ";
        QTest::newRow("edited, not built") << "keychain |" + first + "set txtTodo Paint + 2\nGrout" + again
            << three + offered + "0 events published, 1 updated, 1 removed, 1 unchanged.\n2";
        QTest::newRow("a file, renamed: the same events") << saved + first + "set txtProjectName Kitchen 2" + again
            << three + offered + "0 events published, 3 updated, 0 removed, 0 unchanged.\n3";
        QTest::newRow("no file, renamed: new events, the old stay") << "keychain |" + first + "set txtProjectName Kitchen 2" + again
            << three + offered + "3 events published, 0 updated, 0 removed, 0 unchanged.\n6";
        QTest::newRow("a file, another user") << saved + first + "click actionSave|modified|click actionPublish|set txtUserName ann2|"
            "set txtPassword pass word|" + press + "|modified|click actionPublish|text txtUserName" << three + "no\n" + wrong + "\nyes\nann2";
        // clang-format on
    }
    void steps()
    {
        QFETCH(QString, steps);
        QFETCH(QString, result);
        const QString cal =
            m_server.url(QStringLiteral("ann/window%1/").arg(++m_calendars)).toString();
        QCOMPARE(m_server.makeCalendar(QUrl(cal).path().mid(1)), QString());
        // clang-format off
        CannedServer silent({QByteArray()}), refusing({CannedServer::http("207 Multi-Status", "<multistatus xmlns='DAV:' xmlns:C='urn:ietf:params:xml:ns:caldav'>"
            "<response><href>/ann/</href><propstat><prop><resourcetype><C:calendar/></resourcetype></prop><status>HTTP/1.1 200 OK</status></propstat>"
            "</response></multistatus>"), CannedServer::http("500 Boom")});
        // clang-format on
        steps.replace("$CAL", cal)
            .replace("$SILENT", QString::number(silent.serverPort()))
            .replace("$REFUSING", QString::number(refusing.serverPort()));
        const ShippedFolder dir;
        Script script{dir.path(), {}, QDate(2026, 12, 7)};
        MemoryPasswordStore* keychain = nullptr;
        script.more = [&](Text step) -> QString {
            Planner& p = *script.p;
            const QString word = step.section(' ', 0, 0), text = step.section(' ', 1);
            auto* progress = p.get<QProgressDialog>("dlgPublishProgress");
            if (word == "keychain" && !keychain) {
                p.window.setPasswordStore(
                    std::unique_ptr<PasswordStore>(keychain = new MemoryPasswordStore));
                p.get<QLineEdit>("txtProjectName")->setText("Kitchen");
            }
            if (word == "keychain") {
                keychain->failing = text == "locked";
                for (const QString& pair : text.split(',', Qt::SkipEmptyParts))
                    if (pair.contains('='))
                        keychain->passwords.insert(
                            PasswordStore::account(pair.section('=', 0, 0), QUrl(cal)),
                            pair.section('=', 1));
            } else if (word == "password") {
                QTest::qWait(20); // the keychain answers
                return p.get<QLineEdit>("txtPassword")->text();
            } else if (word == "cancel") { // what the progress dialog shows first, then Cancel
                const QString shown =
                    (progress->isVisible() && progress->windowModality() == Qt::WindowModal
                         ? "window modal: "
                         : "") +
                    progress->labelText();
                if (!QTest::qWaitFor([&] { return !silent.received.isEmpty(); }))
                    return "nothing reached the silent server";
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
                return shown;
            } else if (word == "summary") {
                p.answers.answer(Box::Ok);
                return p.answers.shown(20000).join('\n');
            } else if (word == "kept") {
                QStringList kept;
                for (auto it = keychain->passwords.cbegin(); it != keychain->passwords.cend(); ++it)
                    kept << it.key().section('@', 0, 0) + '=' + it.value();
                return "kept " + kept.join(',');
            } else if (word == "stored") {
                return QString::number(m_server.storedFiles(QUrl(cal).path().mid(1)).size());
            } else if (word == "modified") {
                return p.window.isWindowModified() ? "yes" : "no";
            }
            return {};
        };
        QCOMPARE(script.run(steps), result.replace("$CAL", cal));
    }
};

QTEST_MAIN(TestPublish)
#include "test_publish.moc"
