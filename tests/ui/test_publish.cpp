// File > "Publish to Calendar Server…" as the user meets it: the checks, the
// dialog, the keychain, the progress dialog and the summary, against a real
// CalDAV server (Radicale).
#include "cannedserver.h"
#include "memorypasswordstore.h"
#include "modalanswerer.h"
#include "project/projectfile.h"
#include "radicaleserver.h"
#include "ui/mainwindow.h"
#include "ui/publishdialog.h"

#include <QTest>
#include <QtWidgets>

using namespace taskloom;
using taskloom::test::RadicaleServer;
using Box = QMessageBox;

namespace {

const QString Pass = RadicaleServer::Password;

// A started window over its own copy of the shipped files, with a keychain
// in memory, holding a project named Kitchen.
struct Planner {
    test::ModalAnswerer answers;
    QTemporaryDir folder;
    MainWindow window{AppFolders::beside(folder.path()), [] { return QDate(2026, 12, 7); }};
    test::MemoryPasswordStore* passwords = nullptr;

    explicit Planner(const QString& tasks)
    {
        for (const QFileInfo& data : QDir(qApp->applicationDirPath()).entryInfoList({"*.txt"}))
            QFile::copy(data.filePath(), folder.filePath(data.fileName()));
        auto store = std::make_unique<test::MemoryPasswordStore>();
        passwords = store.get();
        window.setPasswordStore(std::move(store));
        window.startUp();
        window.show();
        window.findChild<QLineEdit*>("txtProjectName")->setText("Kitchen");
        window.findChild<QPlainTextEdit*>("txtTodo")->setPlainText(tasks);
    }
    ~Planner() { QCOMPARE(answers.unexpectedCount(), 0); }
    template <typename T> T* in(const char* name) const
    {
        auto* dialog = window.findChild<PublishDialog*>();
        return dialog ? dialog->findChild<T*>(name) : nullptr;
    }
    // File > Publish to Calendar Server…, with the address, user and password
    // typed in where given.
    void open(const QString& address = {}, const QString& password = {})
    {
        window.findChild<QAction*>("actionPublish")->trigger();
        if (!address.isEmpty()) {
            QTest::keyClicks(in<QLineEdit>("txtCalendarAddress"), address);
            QTest::keyClicks(in<QLineEdit>("txtUserName"), "ann");
        }
        if (!password.isEmpty())
            QTest::keyClicks(in<QLineEdit>("txtPassword"), password);
    }
    // Presses Publish; the box shown at the end as "title | text".
    QString publish()
    {
        answers.clear();
        answers.answer(Box::Ok);
        QTest::mouseClick(in<QPushButton>("cmdPublish"), Qt::LeftButton);
        if (!answers.waitForAll(20000))
            return "no box";
        return answers.seen().at(0).title + " | " + answers.seen().at(0).text;
    }
};

} // namespace

class TestPublish : public QObject {
    Q_OBJECT
    RadicaleServer m_server;
    int m_calendars = 0;

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

    // After the Export submenu; the export checks before any dialog.
    void menuAndChecks()
    {
        Planner planner("");
        const QList<QAction*> items = planner.window.findChild<QMenu*>("menuFile")->actions();
        auto* action = planner.window.findChild<QAction*>("actionPublish");
        QCOMPARE(action->text(), "&Publish to Calendar Server…");
        QCOMPARE(items.indexOf(action),
                 items.indexOf(planner.window.findChild<QMenu*>("menuExport")->menuAction()) + 1);
        planner.answers.answer(Box::Ok);
        planner.answers.answer(Box::Ok);
        planner.open();
        planner.window.findChild<QPlainTextEdit*>("txtTodo")->setPlainText("Paint");
        planner.window.findChild<QLineEdit*>("txtProjectName")->clear();
        planner.open();
        QVERIFY(planner.answers.waitForAll());
        QCOMPARE(planner.answers.seen().at(0).title, "Missing Info");
        QCOMPARE(planner.answers.seen().at(0).text, "Please add some tasks to your project.");
        QCOMPARE(planner.answers.seen().at(1).text, "Please enter a project name.");
        QVERIFY(!planner.window.findChild<PublishDialog*>());
    }

    void password_data()
    {
        QTest::addColumn<QString>("kept");  // in the keychain before; "locked": it fails
        QTest::addColumn<QString>("typed"); // over what the box shows
        QTest::addColumn<bool>("remember");
        QTest::addColumn<QString>("keptAfter");
        QTest::addColumn<QString>("summary");
        const QString done = "Done! | 2 events published, 0 updated, 0 removed.";
        // clang-format off
        QTest::newRow("from the keychain") << Pass << "" << true << Pass << done;
        QTest::newRow("typed, kept") << "" << Pass << true << Pass << done;
        QTest::newRow("typed, not kept") << "" << Pass << false << "" << done;
        QTest::newRow("box unticked: forgotten") << Pass << "" << false << "" << done;
        QTest::newRow("keychain locked: typed, told") << "locked" << Pass << true << ""
            << done + "\n\nThe system keychain could not keep the password (The keychain is locked.): Taskloom will ask for it next time.";
        QTest::newRow("wrong password kept") << "wrong" << "" << true << "wrong"
            << "Error | The server did not accept the user name or password (HTTP 401).";
        // clang-format on
    }

    void password()
    {
        QFETCH(QString, kept);
        QFETCH(QString, typed);
        QFETCH(bool, remember);
        QFETCH(QString, keptAfter);
        QFETCH(QString, summary);
        const QUrl address = newCalendar();
        const QString account = PasswordStore::account("ann", address);
        Planner planner("Paint + 2\nTile");
        planner.passwords->failing = kept == "locked";
        if (!kept.isEmpty() && !planner.passwords->failing)
            planner.passwords->passwords.insert(account, kept);

        planner.open(address.toString());
        auto* password = planner.in<QLineEdit>("txtPassword");
        if (planner.passwords->failing)
            QTRY_COMPARE(planner.in<QLabel>("lblPublishNote")->text(),
                         "The system keychain could not be read (The keychain is locked.): type "
                         "the password.");
        else if (!kept.isEmpty())
            QTRY_COMPARE(password->text(), kept);
        QCOMPARE(planner.in<QPushButton>("cmdPublish")->isEnabled(),
                 !kept.isEmpty() && kept != "locked");
        if (!typed.isEmpty()) {
            password->clear();
            QTest::keyClicks(password, typed);
        }
        planner.in<QCheckBox>("chkRememberPassword")->setChecked(remember);
        QCOMPARE(planner.publish(), summary);
        QCOMPARE(planner.passwords->passwords.value(account), keptAfter);
    }

    // The dialog stays open to mend the address. Then the window closes
    // with the dialog open while the user name is being typed.
    void addressRefusedInTheDialog()
    {
        Planner planner("Paint");
        planner.open("http://dav.example.com/ann/", "secret");
        QTest::mouseClick(planner.in<QPushButton>("cmdPublish"), Qt::LeftButton);
        auto* dialog = planner.window.findChild<PublishDialog*>();
        QVERIFY(dialog->isVisible());
        QVERIFY(planner.in<QLabel>("lblPublishNote")
                    ->text()
                    .startsWith("Taskloom sends your password only over an encrypted connection"));
        planner.in<QLineEdit>("txtCalendarAddress")->setText("http://localhost/ann/");
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        planner.in<QLineEdit>("txtUserName")->setFocus();
        QTest::keyClicks(planner.in<QLineEdit>("txtUserName"), "e");
        QCOMPARE(QApplication::focusWidget(), planner.in<QLineEdit>("txtUserName"));
    }

    // The progress dialog blocks only this window; Cancel stops at once.
    void cancelWhileWaiting()
    {
        test::CannedServer silent({QByteArray()});
        Planner planner("Paint");
        planner.open(QStringLiteral("http://127.0.0.1:%1/ann/").arg(silent.serverPort()), "secret");
        planner.answers.answer(Box::Ok);
        QTest::mouseClick(planner.in<QPushButton>("cmdPublish"), Qt::LeftButton);
        // Publish returned at once: the request goes on while the window works.
        auto* progress = planner.window.findChild<QProgressDialog*>("dlgPublishProgress");
        QVERIFY(progress && progress->isVisible());
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        QCOMPARE(progress->labelText(), "Reading the calendar…");
        QTRY_VERIFY(!silent.received.isEmpty());
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        QVERIFY(planner.answers.waitForAll());
        QCOMPARE(planner.answers.seen().at(0).text, "Publishing was cancelled.");
        QCOMPARE(planner.answers.seen().at(0).title, "Publish to Calendar Server");
    }

    // The next publish offers the same calendar (kept in the project file)
    // and sends what the window shows, built first; a renamed project keeps
    // its events only when it has a file, whose id names them.
    void publishAgain_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QString>("name");  // then
        QTest::addColumn<QString>("tasks"); // then
        QTest::addColumn<QString>("summary");
        QTest::addColumn<int>("stored");
        const QString tasks = "Paint + 2\nTile + 1\nGrout";
        // clang-format off
        QTest::newRow("edited, not built") << false << "Kitchen" << "Paint + 2\nGrout" << "0 events published, 2 updated, 1 removed." << 2;
        QTest::newRow("a file, renamed: the same events") << true << "Kitchen 2" << tasks << "0 events published, 3 updated, 0 removed." << 3;
        QTest::newRow("no file, renamed: new events, the old stay") << false << "Kitchen 2" << tasks << "3 events published, 0 updated, 0 removed." << 6;
        // clang-format on
    }

    void publishAgain()
    {
        QFETCH(bool, fromFile);
        QFETCH(QString, name);
        QFETCH(QString, tasks);
        QFETCH(QString, summary);
        QFETCH(int, stored);
        const QUrl address = newCalendar();
        Planner planner("Paint + 2\nTile + 1\nGrout");
        if (fromFile) {
            Project project;
            project.id = "3f2b8c1e-0d4a-4c3e-9a57-1b2c3d4e5f60";
            project.name = "Kitchen";
            project.tasks = Project::tasksOf("Paint + 2\nTile + 1\nGrout");
            project.calendarUrl = address.toString();
            project.calendarUser = "ann";
            const QString path = planner.folder.filePath("Kitchen.taskloom");
            QCOMPARE(ProjectFile::write(path, project), std::nullopt);
            planner.answers.answer(Box::Discard); // the typed plan is not saved
            QVERIFY(planner.window.openProject(path));
            planner.open({}, Pass);
        } else {
            planner.open(address.toString(), Pass);
        }
        planner.in<QCheckBox>("chkRememberPassword")->setChecked(true);
        QCOMPARE(planner.publish(), "Done! | 3 events published, 0 updated, 0 removed.");

        planner.window.findChild<QLineEdit*>("txtProjectName")->setText(name);
        planner.window.findChild<QPlainTextEdit*>("txtTodo")->setPlainText(tasks);
        planner.open();
        QCOMPARE(planner.in<QLineEdit>("txtCalendarAddress")->text(), address.toString());
        QCOMPARE(planner.in<QLineEdit>("txtUserName")->text(), "ann");
        QTRY_COMPARE(planner.in<QLineEdit>("txtPassword")->text(), Pass);
        QCOMPARE(planner.publish(), "Done! | " + summary);
        QCOMPARE(m_server.storedFiles(address.path().mid(1)).size(), stored);
    }
};

QTEST_MAIN(TestPublish)
#include "test_publish.moc"
