// File > "Publish to Calendar Server…" as the user meets it: the checks, the
// dialog, the keychain, the progress dialog and the summary, against a real
// CalDAV server (Radicale).
#include "cannedserver.h"
#include "memorypasswordstore.h"
#include "planner.h"
#include "radicaleserver.h"
#include "ui/publishdialog.h"

using namespace taskloom;
using namespace taskloom::test;

namespace {

const QString Pass = RadicaleServer::Password;

// A window on Monday 7 December with a keychain in memory, holding a project named Kitchen.
struct Publisher : Planner {
    MemoryPasswordStore* passwords = new MemoryPasswordStore; // the window owns it

    Publisher(Text folder, Text tasks) : Planner(folder, 0, QDate(2026, 12, 7))
    {
        window.setPasswordStore(std::unique_ptr<PasswordStore>(passwords));
        name("Kitchen");
        type(tasks);
    }
    template <typename T> T* in(const char* name) const
    {
        auto* dialog = window.findChild<PublishDialog*>();
        return dialog ? dialog->findChild<T*>(name) : nullptr;
    }
    // File > Publish to Calendar Server…, with the address, user and password typed in where
    // given.
    void open(Text address = {}, Text password = {})
    {
        get<QAction>("actionPublish")->trigger();
        if (!address.isEmpty()) {
            QTest::keyClicks(in<QLineEdit>("txtCalendarAddress"), address);
            QTest::keyClicks(in<QLineEdit>("txtUserName"), "ann");
        }
        if (!password.isEmpty())
            QTest::keyClicks(in<QLineEdit>("txtPassword"), password);
    }
    // Presses Publish; the first box shown as "title | text".
    QString publish()
    {
        answers.answer(Box::Ok);
        QTest::mouseClick(in<QPushButton>("cmdPublish"), Qt::LeftButton);
        return answers.shown(20000).value(0, "no box").section(" | icon", 0, 0);
    }
};

} // namespace

class TestPublish : public QObject {
    Q_OBJECT
    RadicaleServer m_server;
    int m_calendars = 0;
    std::optional<ShippedFolder> m_dir;
    QString dir() const { return m_dir->path(); }

    QUrl newCalendar()
    {
        const QString path = QStringLiteral("ann/window%1/").arg(++m_calendars);
        return m_server.makeCalendar(path).isEmpty() ? m_server.url(path) : QUrl();
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString problem = m_server.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
    void init() { m_dir.emplace(); }

    // After the Export submenu; the export checks before any dialog. An address that would
    // send the password unencrypted keeps the dialog open to mend it, and the window closes
    // with the dialog open while the user name is being typed.
    void menuChecksAndAddress()
    {
        Publisher p(dir(), "");
        const QList<QAction*> items = p.get<QMenu>("menuFile")->actions();
        auto* action = p.get<QAction>("actionPublish");
        QCOMPARE(action->text(), "&Publish to Calendar Server…");
        QCOMPARE(items.indexOf(action),
                 items.indexOf(p.get<QMenu>("menuExport")->menuAction()) + 1);
        p.answers.answer(Box::Ok);
        p.open();
        QCOMPARE(p.answers.shown(),
                 QStringList{box("Missing Info", "Please add some tasks to your project.")});
        QVERIFY(!p.window.findChild<PublishDialog*>());
        p.type("Paint");
        p.open("http://dav.example.com/ann/", "secret");
        QTest::mouseClick(p.in<QPushButton>("cmdPublish"), Qt::LeftButton);
        auto* dialog = p.window.findChild<PublishDialog*>();
        QVERIFY(dialog->isVisible());
        QVERIFY(p.in<QLabel>("lblPublishNote")
                    ->text()
                    .startsWith("Taskloom sends your password only over an encrypted connection"));
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        p.in<QLineEdit>("txtUserName")->setFocus();
        QTest::keyClicks(p.in<QLineEdit>("txtUserName"), "e");
        QCOMPARE(QApplication::focusWidget(), p.in<QLineEdit>("txtUserName"));
    }

    void password_data()
    {
        QTest::addColumn<QString>("kept");  // in the keychain before; "locked": it fails
        QTest::addColumn<QString>("typed"); // over what the box shows
        QTest::addColumn<bool>("remember");
        QTest::addColumn<QString>("keptAfter");
        QTest::addColumn<QString>("summary");
        const QString done = "Done! | 2 events published, 0 updated, 0 removed, 0 unchanged.";
        // clang-format off
        QTest::newRow("from the keychain") << Pass << "" << true << Pass << done;
        QTest::newRow("typed, kept") << "" << Pass << true << Pass << done;
        QTest::newRow("typed, not kept") << "" << Pass << false << "" << done;
        QTest::newRow("box unticked: forgotten") << Pass << "" << false << "" << done;
        // Told once, in the dialog: nothing to remember in, nothing more to say.
        QTest::newRow("no keychain: typed, told") << "locked" << Pass << true << "" << done;
        QTest::newRow("wrong password kept") << "wrong" << "" << true << "wrong"
            << "Error | The server did not accept the user name or password (HTTP 401).";
        // clang-format on
    }
    void password()
    {
        QFETCH(QString, kept);
        QFETCH(QString, typed);
        QFETCH(bool, remember);
        const QUrl address = newCalendar();
        const QString account = PasswordStore::account("ann", address);
        Publisher p(dir(), "Paint + 2\nTile");
        p.passwords->failing = kept == "locked";
        if (!kept.isEmpty() && !p.passwords->failing)
            p.passwords->passwords.insert(account, kept);
        p.open(address.toString());
        auto* password = p.in<QLineEdit>("txtPassword");
        if (p.passwords->failing)
            QTRY_COMPARE(p.in<QLabel>("lblPublishNote")->text(),
                         "No system keychain is available: Taskloom cannot remember the password "
                         "and asks for it on every publish.");
        else if (!kept.isEmpty())
            QTRY_COMPARE(password->text(), kept);
        QCOMPARE(p.in<QPushButton>("cmdPublish")->isEnabled(), !kept.isEmpty() && kept != "locked");
        if (!typed.isEmpty()) {
            password->clear();
            QTest::keyClicks(password, typed);
        }
        auto* keep = p.in<QCheckBox>("chkRememberPassword");
        QCOMPARE(keep->isEnabled(), !p.passwords->failing);
        keep->setChecked(remember && keep->isEnabled());
        QTEST(p.publish(), "summary");
        QTEST(p.passwords->passwords.value(account), "keptAfter");
    }

    // The progress dialog blocks only this window; Cancel stops at once.
    void cancelWhileWaiting()
    {
        test::CannedServer silent({QByteArray()});
        Publisher p(dir(), "Paint");
        p.open(QStringLiteral("http://127.0.0.1:%1/ann/").arg(silent.serverPort()), "secret");
        p.answers.answer(Box::Ok);
        QTest::mouseClick(p.in<QPushButton>("cmdPublish"), Qt::LeftButton);
        // Publish returned at once: the request goes on while the window works.
        auto* progress = p.get<QProgressDialog>("dlgPublishProgress");
        QVERIFY(progress && progress->isVisible());
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        QCOMPARE(progress->labelText(), "Reading the calendar…");
        QTRY_VERIFY(!silent.received.isEmpty());
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        QCOMPARE(p.answers.shown().value(0).section(" | icon", 0, 0),
                 "Publish to Calendar Server | Publishing was cancelled.");
    }

    // The next publish offers the same calendar and sends what the window shows, built first;
    // a renamed project keeps its events only when it has a file, whose id names them.
    void publishAgain_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QString>("name");  // then
        QTest::addColumn<QString>("tasks"); // then
        QTest::addColumn<QString>("summary");
        QTest::addColumn<int>("stored");
        const QString tasks = "Paint + 2\nTile + 1\nGrout";
        // clang-format off
        QTest::newRow("edited, not built") << false << "Kitchen" << "Paint + 2\nGrout" << "0 events published, 1 updated, 1 removed, 1 unchanged." << 2;
        QTest::newRow("a file, renamed: the same events") << true << "Kitchen 2" << tasks << "0 events published, 3 updated, 0 removed, 0 unchanged." << 3;
        QTest::newRow("no file, renamed: new events, the old stay") << false << "Kitchen 2" << tasks << "3 events published, 0 updated, 0 removed, 0 unchanged." << 6;
        // clang-format on
    }
    void publishAgain()
    {
        QFETCH(bool, fromFile);
        QFETCH(QString, name);
        QFETCH(QString, tasks);
        QFETCH(QString, summary);
        const QUrl address = newCalendar();
        Publisher p(dir(), "Paint + 2\nTile + 1\nGrout");
        if (fromFile) { // saved: the project's id names its events from now on
            p.chooser->paths << m_dir->filePath("Kitchen.taskloom");
            p.get<QAction>("actionSave")->trigger();
        }
        p.open(address.toString(), Pass);
        p.in<QCheckBox>("chkRememberPassword")->setChecked(true);
        QCOMPARE(p.publish(), "Done! | 3 events published, 0 updated, 0 removed, 0 unchanged.");
        p.name(name);
        p.type(tasks);
        p.open();
        QCOMPARE(p.in<QLineEdit>("txtCalendarAddress")->text(), address.toString());
        QCOMPARE(p.in<QLineEdit>("txtUserName")->text(), "ann");
        QTRY_COMPARE(p.in<QLineEdit>("txtPassword")->text(), Pass);
        QCOMPARE(p.publish(), "Done! | " + summary);
        QTEST(int(m_server.storedFiles(address.path().mid(1)).size()), "stored");
    }
};

QTEST_MAIN(TestPublish)
#include "test_publish.moc"
