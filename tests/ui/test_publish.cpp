// Publishing as the user meets it: the dialog, the keychain, the progress
// dialog and the summary, against a real CalDAV server (Radicale).
#include "caldav/calendarpublisher.h"
#include "caldav/resourcename.h"
#include "memorypasswordstore.h"
#include "modalanswerer.h"
#include "radicaleserver.h"
#include "ui/calendarserverpublish.h"
#include "ui/mainwindow.h"
#include "ui/publishdialog.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QtWidgets>

using namespace taskloom;
using taskloom::test::RadicaleServer;
using Box = QMessageBox;

namespace {

const QString Pass = QString::fromLatin1(RadicaleServer::Password);

CalendarItem item(int n, const QString& subject)
{
    const QString uid =
        QStringLiteral("9a7b0c1d-0000-5000-8000-%1@taskloom").arg(n, 12, 10, QLatin1Char('0'));
    return {uid, subject,
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Taskloom//Taskloom 1.4//EN\r\n"
            "BEGIN:VEVENT\r\nUID:" +
                uid.toUtf8() +
                "\r\nDTSTAMP:20261207T090000Z\r\nDTSTART;VALUE=DATE:20261207\r\n"
                "DTEND;VALUE=DATE:20261208\r\nSUMMARY:" +
                subject.toUtf8() + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"};
}

} // namespace

class TestPublish : public QObject {
    Q_OBJECT
    RadicaleServer m_server;
    QNetworkAccessManager m_network;
    int m_calendars = 0;

    struct Flow {
        test::ModalAnswerer answers;
        test::MemoryPasswordStore passwords;
        QWidget window;
        CalendarServerPublish publish;
        QSignalSpy finished{&publish, &CalendarServerPublish::finished};
        QSignalSpy chosen{&publish, &CalendarServerPublish::targetChosen};
        explicit Flow(QNetworkAccessManager* network) : publish(&window, network, &passwords)
        {
            window.resize(400, 300);
            window.show();
        }
        PublishDialog* dialog() const { return window.findChild<PublishDialog*>(); }
        template <typename T> T* in(const char* name) const
        {
            return dialog() ? dialog()->findChild<T*>(QLatin1String(name)) : nullptr;
        }
        QString seen()
        {
            answers.waitForAll();
            QStringList boxes;
            for (const test::SeenMessage& box : answers.seen())
                boxes << box.title + " | " + box.text;
            return boxes.join("\n----\n");
        }
    };

    QString newCalendar()
    {
        const QString path = QStringLiteral("ann/window%1/").arg(++m_calendars);
        return m_server.makeCalendar(path).isEmpty() ? path : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString problem = m_server.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void publishWithPassword_data()
    {
        QTest::addColumn<QString>("kept");  // in the keychain before; "locked": it fails
        QTest::addColumn<QString>("typed"); // typed over whatever the box shows
        QTest::addColumn<bool>("remember");
        QTest::addColumn<QString>("keptAfter");
        QTest::addColumn<QString>("summary");
        const QString done = "Done! | 2 events published, 0 updated, 0 removed.";
        QTest::newRow("from the keychain") << Pass << "" << true << Pass << done;
        QTest::newRow("typed, kept") << "" << Pass << true << Pass << done;
        QTest::newRow("typed, not kept") << "" << Pass << false << "" << done;
        QTest::newRow("box unticked: forgotten") << Pass << "" << false << "" << done;
        QTest::newRow("keychain locked: typed, told")
            << "locked" << Pass << true << ""
            << done + "\n\nThe system keychain could not keep the password (The keychain is "
                      "locked.): Taskloom will ask for it next time.";
        QTest::newRow("wrong password in the keychain")
            << "wrong"
            << "" << true << "wrong"
            << "Error | The server did not accept the user name or password (HTTP 401).";
    }

    void publishWithPassword()
    {
        QFETCH(QString, kept);
        QFETCH(QString, typed);
        QFETCH(bool, remember);
        QFETCH(QString, keptAfter);
        QFETCH(QString, summary);
        const QString calendar = newCalendar();
        QVERIFY(!calendar.isEmpty());
        const QUrl address = m_server.url(calendar);
        const QString account = PasswordStore::account("ann", address);
        Flow flow(&m_network);
        flow.passwords.failing = kept == "locked";
        if (!kept.isEmpty() && !flow.passwords.failing)
            flow.passwords.passwords.insert(account, kept);

        flow.publish.start({item(1, "Kitchen: Paint"), item(2, "Kitchen: Tile")}, "Kitchen",
                           address.toString(), "ann");
        auto* password = flow.in<QLineEdit>("txtPassword");
        auto* publish = flow.in<QPushButton>("cmdPublish");
        QVERIFY(password && publish);
        if (flow.passwords.failing) {
            QTRY_COMPARE(flow.in<QLabel>("lblPublishNote")->text(),
                         "The system keychain could not be read (The keychain is locked.): type "
                         "the password.");
        } else if (!kept.isEmpty()) {
            QTRY_COMPARE(password->text(), kept);
            QVERIFY(flow.in<QCheckBox>("chkRememberPassword")->isChecked());
        }
        QCOMPARE(publish->isEnabled(), !password->text().isEmpty());
        if (!typed.isEmpty()) {
            password->clear();
            QTest::keyClicks(password, typed);
        }
        flow.in<QCheckBox>("chkRememberPassword")->setChecked(remember);
        flow.answers.answer(Box::Ok);
        QTest::mouseClick(publish, Qt::LeftButton);
        // Publish returns at once: the requests go on while the window works.
        QVERIFY(flow.publish.isRunning());
        QTRY_COMPARE_WITH_TIMEOUT(flow.finished.size(), 1, 20000);
        QCOMPARE(flow.seen(), summary);
        QCOMPARE(flow.passwords.passwords.value(account), keptAfter);
        QCOMPARE(flow.chosen.size(), 1);
        QCOMPARE(flow.chosen.at(0).at(0).toString(), address.toString());
    }

    void addressRefusedInTheDialog()
    {
        Flow flow(&m_network);
        flow.publish.start({item(1, "Kitchen: Paint")}, "Kitchen", "http://dav.example.com/ann/",
                           "ann");
        QTest::keyClicks(flow.in<QLineEdit>("txtPassword"), "secret");
        QTest::mouseClick(flow.in<QPushButton>("cmdPublish"), Qt::LeftButton);
        QVERIFY(flow.dialog()->isVisible());
        QVERIFY(flow.in<QLabel>("lblPublishNote")
                    ->text()
                    .startsWith("Taskloom sends your password only over an encrypted connection"));
        QVERIFY(flow.chosen.isEmpty());
        flow.dialog()->reject();
        QTRY_VERIFY(!flow.publish.isRunning());
        QVERIFY(flow.finished.isEmpty());
    }

    void cancelWhileWaiting()
    {
        QTcpServer silent; // takes the connection and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        Flow flow(&m_network);
        flow.publish.start({item(1, "Kitchen: Paint")}, "Kitchen",
                           QStringLiteral("http://127.0.0.1:%1/ann/work/").arg(silent.serverPort()),
                           "ann");
        QTest::keyClicks(flow.in<QLineEdit>("txtPassword"), "secret");
        flow.answers.answer(Box::Ok);
        QTest::mouseClick(flow.in<QPushButton>("cmdPublish"), Qt::LeftButton);
        auto* progress = flow.window.findChild<QProgressDialog*>("dlgPublishProgress");
        QVERIFY(progress && progress->isVisible());
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        QCOMPARE(progress->labelText(), "Reading the calendar…");
        QTest::qWait(100);
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        QTRY_COMPARE(flow.finished.size(), 1);
        QVERIFY(flow.finished.at(0).at(0).value<PublishResult>().cancelled);
        QCOMPARE(flow.seen(), "Publish to Calendar Server | Publishing was cancelled.");
    }

    // From the window: the menu item, the export checks, builds of what is
    // shown, and the calendar offered again on the next publish.
    void fromTheWindow()
    {
        const QString calendar = newCalendar();
        QVERIFY(!calendar.isEmpty());
        QTemporaryDir folder;
        for (const QFileInfo& data : QDir(qApp->applicationDirPath()).entryInfoList({"*.txt"}))
            QFile::copy(data.filePath(), folder.filePath(data.fileName()));
        test::ModalAnswerer answers;
        MainWindow window(AppFolders::beside(folder.path()), [] { return QDate(2026, 12, 7); });
        auto passwords = std::make_unique<test::MemoryPasswordStore>();
        test::MemoryPasswordStore* kept = passwords.get();
        window.setPasswordStore(std::move(passwords));
        window.startUp();
        window.show();

        auto* menu = window.findChild<QMenu*>("menuFile");
        auto* action = window.findChild<QAction*>("actionPublish");
        QVERIFY(action);
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.indexOf(action),
                 items.indexOf(window.findChild<QMenu*>("menuExport")->menuAction()) + 1);
        QCOMPARE(action->text(), "Publish to Calendar Server…");

        // No tasks: the export's check, and no dialog.
        answers.answer(Box::Ok);
        action->trigger();
        QVERIFY(answers.waitForAll());
        QCOMPARE(answers.seen().at(0).text, "Please add some tasks to your project.");
        QVERIFY(!window.findChild<PublishDialog*>());

        const auto publish = [&](const QString& address, const QString& user) {
            answers.clear();
            answers.answer(Box::Ok);
            action->trigger();
            auto* dialog = window.findChild<PublishDialog*>();
            if (!dialog)
                return QString("no dialog");
            if (!address.isEmpty()) {
                QTest::keyClicks(dialog->findChild<QLineEdit*>("txtCalendarAddress"), address);
                QTest::keyClicks(dialog->findChild<QLineEdit*>("txtUserName"), user);
                QTest::keyClicks(dialog->findChild<QLineEdit*>("txtPassword"), Pass);
                dialog->findChild<QCheckBox*>("chkRememberPassword")->setChecked(true);
            }
            auto* button = dialog->findChild<QPushButton*>("cmdPublish");
            if (!QTest::qWaitFor([&] { return button->isEnabled(); }))
                return QString("Publish stays disabled");
            QTest::mouseClick(button, Qt::LeftButton);
            if (!answers.waitForAll(20000))
                return QString("no summary");
            return answers.seen().at(0).title + " | " + answers.seen().at(0).text;
        };
        window.findChild<QLineEdit*>("txtProjectName")->setText("Kitchen");
        window.findChild<QPlainTextEdit*>("txtTodo")->setPlainText("Paint + 2\nTile + 1\nGrout");
        QCOMPARE(publish(m_server.url(calendar).toString(), "ann"),
                 "Done! | 3 events published, 0 updated, 0 removed.");
        QCOMPARE(kept->passwords.value(PasswordStore::account("ann", m_server.url(calendar))),
                 Pass);
        QCOMPARE(m_server.storedFiles(calendar).size(), 3);

        // Edited and not built: what the window shows is published, to the same calendar.
        window.findChild<QPlainTextEdit*>("txtTodo")->setPlainText("Paint + 2\nGrout");
        QCOMPARE(publish({}, {}), "Done! | 0 events published, 2 updated, 1 removed.");
        QCOMPARE(window.schedule().rows.size(), 2);
        QCOMPARE(answers.unexpectedCount(), 0);
    }
};

QTEST_MAIN(TestPublish)
#include "test_publish.moc"
