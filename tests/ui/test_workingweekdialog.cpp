#include "settings/settingsstore.h"
#include "ui/workingweekdialog.h"

#include "modalanswerer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace taskloom;
using taskloom::test::ModalAnswerer;

namespace {

const QString WeekFile = QStringLiteral("workingweek.txt");
const QString StartsFile = QStringLiteral("workingday_starts_at.txt");
const QString EndsFile = QStringLiteral("workingday_ends_at.txt");
const QString HoursFile = QStringLiteral("hours.txt");
const QStringList SettingsFiles{WeekFile, StartsFile, EndsFile};

const QString EndsAtMessage = QStringLiteral("Your 'Ends At' Hour should be higher.");
const QString NoDayMessage =
    QStringLiteral("Please select 1 or more working days (for a better software performance we "
                   "recommend to select 4 at least).");
const QString DoneMessage = QStringLiteral("Done!");
QString daysQuestion(int n)
{
    return QStringLiteral(
               "Your working week has %1 working days. For a better software performance "
               "is recommended to increase this value to 4 (min.). Save your changes "
               "anyway?")
        .arg(n);
}
QString missingMessage(const QString& file)
{
    return QStringLiteral("Error: %1 file not found. Please reinstall the software.").arg(file);
}

// Title, icon and buttons each message must come with.
void verifyLooks(const test::SeenMessage& seen)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    QString title = QStringLiteral("Error");
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (seen.text == DoneMessage) {
        title = QStringLiteral("Done");
    } else if (seen.text.startsWith(QStringLiteral("Your working week has"))) {
        title = QStringLiteral("Important ");
        buttons = QMessageBox::Yes | QMessageBox::No;
    } else if (seen.text != EndsAtMessage && seen.text != NoDayMessage) {
        icon = QMessageBox::Warning; // a file that is missing or could not be written
    }
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.icon, icon);
    QCOMPARE(seen.buttons, buttons);
}

// A settings folder holding copies of the shipped files.
struct Folder {
    Folder()
    {
        const QDir bin(QCoreApplication::applicationDirPath());
        for (const QString& name : SettingsFiles + QStringList{HoursFile})
            QFile::copy(bin.filePath(name), path(name));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray read(const QString& name) const
    {
        if (QFileInfo(path(name)).isDir())
            return "<folder>";
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QList<QByteArray> snapshot() const
    {
        QList<QByteArray> files;
        for (const QString& name : SettingsFiles)
            files.append(read(name));
        return files;
    }

    QTemporaryDir dir;
    SettingsStore store{dir.path()};
};

struct Saved {
    WeekFlags flags;
    QString startsAt;
    QString endsAt;
    qsizetype messagesBefore;
};

// One opening of the dialog, with what it signalled; loadMessages are the
// boxes its start-up is expected to show.
struct Session {
    Session(const SettingsStore& store, int loadMessages = 0) : dialog(store)
    {
        QObject::connect(&dialog, &WorkingWeekDialog::weekReloaded,
                         [this](const WeekFlags& flags) { reloaded.append(flags); });
        QObject::connect(&dialog, &WorkingWeekDialog::saved,
                         [this](const WeekFlags& flags, const QString& from, const QString& to) {
                             saved.append({flags, from, to, answers.seen().size()});
                         });
        for (int i = 0; i < loadMessages; ++i)
            answers.answer(QMessageBox::Ok);
        dialog.load();
        dialog.show();
    }
    QCheckBox* day(int n) const
    {
        return dialog.findChild<QCheckBox*>(QStringLiteral("chkWorkingDay%1").arg(n));
    }
    QComboBox* combo(const char* name) const
    {
        return dialog.findChild<QComboBox*>(QString::fromLatin1(name));
    }
    void clickDay(int n) const
    {
        QCheckBox* box = day(n);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    // Ticks exactly the given weekdays, clicking the boxes that differ.
    void tickOnly(const QList<int>& days) const
    {
        for (int n = 1; n <= 7; ++n) {
            if (day(n)->isChecked() != days.contains(n))
                clickDay(n);
        }
    }
    void type(const char* comboName, const QString& text) const
    {
        QLineEdit* edit = combo(comboName)->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // Presses a button, answering the boxes it raises in turn.
    void press(const char* name, const QList<QMessageBox::StandardButton>& replies)
    {
        answers.clear();
        for (QMessageBox::StandardButton reply : replies)
            answers.answer(reply);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(name)),
                          Qt::LeftButton);
    }
    QStringList seenTexts() const
    {
        QStringList texts;
        for (const test::SeenMessage& seen : answers.seen()) {
            verifyLooks(seen);
            texts.append(seen.text);
        }
        return texts;
    }

    ModalAnswerer answers;
    WorkingWeekDialog dialog;
    QList<WeekFlags> reloaded;
    QList<Saved> saved;
};

QByteArray weekBytes(const QList<int>& days)
{
    QByteArray bytes;
    for (int n = 1; n <= 7; ++n)
        bytes += days.contains(n) ? "1\r\n" : "0\r\n";
    return bytes;
}

const QList<int> MondayToFriday{1, 2, 3, 4, 5};
using Replies = QList<QMessageBox::StandardButton>;

} // namespace

class TestWorkingWeekDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void saveChecks_data();
    void saveChecks();
    void mondayToFridayNineToSix();
    void preselection_data();
    void preselection();
    void missingFiles_data();
    void missingFiles();
    void failedWrite_data();
    void failedWrite();
    void readOnlyFolder();
    void leavingWritesNothing_data();
    void leavingWritesNothing();
    void greyedFlagRoundTrips();
};

void TestWorkingWeekDialog::saveChecks_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("typedStart"); // typed over the chosen entry when set
    QTest::addColumn<QString>("typedEnd");
    QTest::addColumn<QList<int>>("days");
    QTest::addColumn<Replies>("replies");
    QTest::addColumn<QStringList>("messages");

    const QString none;
    const Replies ok{QMessageBox::Ok};
    // Positions 18 and 36 are 9:00 AM and 6:00 PM in the shipped hours.
    QTest::newRow("same position")
        << 18 << 18 << none << none << MondayToFriday << ok << QStringList{EndsAtMessage};
    QTest::newRow("end before start")
        << 20 << 18 << none << none << MondayToFriday << ok << QStringList{EndsAtMessage};
    QTest::newRow("end one later")
        << 18 << 19 << none << none << MondayToFriday << ok << QStringList{DoneMessage};
    QTest::newRow("no day") << 18 << 36 << none << none << QList<int>{} << ok
                            << QStringList{NoDayMessage};
    QTest::newRow("three days, No") << 18 << 36 << none << none << QList<int>{1, 3, 5}
                                    << Replies{QMessageBox::No} << QStringList{daysQuestion(3)};
    QTest::newRow("three days, Yes")
        << 18 << 36 << none << none << QList<int>{1, 3, 5}
        << Replies{QMessageBox::Yes, QMessageBox::Ok} << QStringList{daysQuestion(3), DoneMessage};
    QTest::newRow("one day, Yes") << 18 << 36 << none << none << QList<int>{7}
                                  << Replies{QMessageBox::Yes, QMessageBox::Ok}
                                  << QStringList{daysQuestion(1), DoneMessage};
    QTest::newRow("four days, no question")
        << 18 << 36 << none << none << QList<int>{1, 2, 6, 7} << ok << QStringList{DoneMessage};
    QTest::newRow("typed start passes") << 18 << 18 << QStringLiteral("8:15 AM") << none
                                        << MondayToFriday << ok << QStringList{DoneMessage};
    QTest::newRow("typed end fails") << 18 << 36 << none << QStringLiteral("6:15 PM")
                                     << MondayToFriday << ok << QStringList{EndsAtMessage};
    QTest::newRow("typed end equal to a later entry")
        << 18 << 18 << none << QStringLiteral("10:00 AM") << MondayToFriday << ok
        << QStringList{DoneMessage};
}

void TestWorkingWeekDialog::saveChecks()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, typedStart);
    QFETCH(QString, typedEnd);
    QFETCH(QList<int>, days);
    QFETCH(Replies, replies);
    QFETCH(QStringList, messages);

    Folder folder;
    Session session(folder.store);
    const QList<QByteArray> before = folder.snapshot();
    session.tickOnly(days);
    session.combo("cboStartsAt")->setCurrentIndex(start);
    session.combo("cboEndsAt")->setCurrentIndex(end);
    if (!typedStart.isEmpty())
        session.type("cboStartsAt", typedStart);
    if (!typedEnd.isEmpty())
        session.type("cboEndsAt", typedEnd);
    const QString startsAt = session.dialog.startsAtText();
    const QString endsAt = session.dialog.endsAtText();
    QCOMPARE(startsAt,
             typedStart.isEmpty() ? session.combo("cboStartsAt")->itemText(start) : typedStart);

    session.press("Command1", replies);
    QVERIFY(session.answers.waitForAll());
    QCOMPARE(session.seenTexts(), messages);
    QCOMPARE(session.answers.unexpectedCount(), 0);

    const bool saves = messages.last() == DoneMessage;
    QCOMPARE(session.dialog.isVisible(), !saves);
    QCOMPARE(session.saved.size(), saves ? 1 : 0);
    if (!saves) {
        QCOMPARE(folder.snapshot(), before);
        QCOMPARE(session.dialog.startsAtText(), startsAt); // the choices stay in place
        return;
    }
    QCOMPARE(folder.read(WeekFile), weekBytes(days));
    QCOMPARE(folder.read(StartsFile), startsAt.toUtf8());
    QCOMPARE(folder.read(EndsFile), endsAt.toUtf8());
}

void TestWorkingWeekDialog::mondayToFridayNineToSix()
{
    Folder folder;
    folder.write(WeekFile, "0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1\r\n");
    folder.write(StartsFile, "7:00 AM");
    folder.write(EndsFile, "3:00 PM\r\n");
    Session session(folder.store);
    session.tickOnly(MondayToFriday);
    session.combo("cboStartsAt")->setCurrentIndex(18);
    session.combo("cboEndsAt")->setCurrentIndex(36);

    session.press("Command1", {QMessageBox::Ok});
    QVERIFY(session.answers.waitForAll());
    QCOMPARE(session.seenTexts(), QStringList{DoneMessage});
    QCOMPARE(folder.read(WeekFile), QByteArray("1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"));
    QCOMPARE(folder.read(StartsFile), QByteArray("9:00 AM"));
    QCOMPARE(folder.read(EndsFile), QByteArray("6:00 PM"));

    QCOMPARE(session.saved.size(), 1);
    const Saved& saved = session.saved.first();
    QCOMPARE(saved.flags, (WeekFlags{0, 1, 1, 1, 1, 1, 0, 0}));
    QCOMPARE(saved.startsAt, QStringLiteral("9:00 AM"));
    QCOMPARE(saved.endsAt, QStringLiteral("6:00 PM"));
    QCOMPARE(saved.messagesBefore, 0); // the window rebuilds before "Done!"
    QCOMPARE(session.dialog.result(), int(QDialog::Accepted));
}

void TestWorkingWeekDialog::preselection_data()
{
    QTest::addColumn<QByteArray>("hours"); // empty: the shipped list
    QTest::addColumn<QByteArray>("storedStart");
    QTest::addColumn<QByteArray>("storedEnd");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");

    QTest::newRow("shipped, 11:00 AM")
        << QByteArray() << QByteArray("11:00 AM") << QByteArray("6:00 PM") << 22 << 36;
    QTest::newRow("stored line breaks")
        << QByteArray() << QByteArray("11:00 AM\r\n") << QByteArray("11:30 PM\n") << 22 << 47;
    QTest::newRow("contained, earliest entry")
        << QByteArray("1\r\n12\r\n") << QByteArray("11") << QByteArray("x12") << 0 << 0;
    QTest::newRow("equal entry wins")
        << QByteArray("1\r\n12\r\n") << QByteArray("12") << QByteArray("1") << 1 << 0;
    QTest::newRow("no match, last entry")
        << QByteArray("1\r\n12\r\n") << QByteArray("7") << QByteArray() << 1 << 1;
    QTest::newRow("empty list") << QByteArray("") << QByteArray("9:00 AM") << QByteArray("6:00 PM")
                                << -1 << -1;
}

void TestWorkingWeekDialog::preselection()
{
    QFETCH(QByteArray, hours);
    QFETCH(QByteArray, storedStart);
    QFETCH(QByteArray, storedEnd);
    QFETCH(int, start);
    QFETCH(int, end);

    Folder folder;
    if (!hours.isNull())
        folder.write(HoursFile, hours);
    folder.write(StartsFile, storedStart);
    folder.write(EndsFile, storedEnd);
    Session session(folder.store);
    QCOMPARE(WorkingWeekDialog::position(*session.combo("cboStartsAt")), start);
    QCOMPARE(WorkingWeekDialog::position(*session.combo("cboEndsAt")), end);
    QCOMPARE(session.answers.seen().size(), 0);
}

void TestWorkingWeekDialog::missingFiles_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<bool>("weekRead");
    QTest::addColumn<QString>("saveMessage");

    QTest::newRow("week") << WeekFile << false << NoDayMessage;
    QTest::newRow("start hour") << StartsFile << true << EndsAtMessage;
    QTest::newRow("end hour") << EndsFile << true << EndsAtMessage;
    QTest::newRow("hours") << HoursFile << true << EndsAtMessage;
}

void TestWorkingWeekDialog::missingFiles()
{
    QFETCH(QString, missing);
    QFETCH(bool, weekRead);
    QFETCH(QString, saveMessage);

    Folder folder;
    QVERIFY(QFile::remove(folder.path(missing)));
    const QList<QByteArray> before = folder.snapshot();
    Session session(folder.store, 1);
    QVERIFY(session.answers.waitForAll());
    QCOMPARE(session.seenTexts(), QStringList{missingMessage(missing)});
    QCOMPARE(session.reloaded.size(), weekRead ? 1 : 0);
    QCOMPARE(session.dialog.checkedFlags() == WeekFlags{}, !weekRead);
    const bool listsRead = missing == WeekFile;
    QCOMPARE(session.combo("cboStartsAt")->count(), listsRead ? 48 : 0);
    QCOMPARE(WorkingWeekDialog::position(*session.combo("cboEndsAt")), listsRead ? 36 : -1);

    for (int attempt = 0; attempt < 2; ++attempt) {
        session.press("Command1", {QMessageBox::Ok});
        QVERIFY(session.answers.waitForAll());
        QCOMPARE(session.seenTexts(), QStringList{saveMessage});
    }
    QVERIFY(session.dialog.isVisible());
    QCOMPARE(folder.snapshot(), before);
}

void TestWorkingWeekDialog::failedWrite_data()
{
    QTest::addColumn<QString>("blocked");
    QTest::newRow("week file") << WeekFile;
    QTest::newRow("start-hour file") << StartsFile;
    QTest::newRow("end-hour file") << EndsFile;
}

void TestWorkingWeekDialog::failedWrite()
{
    QFETCH(QString, blocked);

    Folder folder;
    Session session(folder.store);
    session.tickOnly({1, 2, 3, 4, 6});
    session.combo("cboStartsAt")->setCurrentIndex(16);
    session.combo("cboEndsAt")->setCurrentIndex(34);
    // A folder where the file belongs: even root cannot replace it.
    QVERIFY(QFile::remove(folder.path(blocked)));
    QVERIFY(QDir(folder.dir.path()).mkdir(blocked));
    const QList<QByteArray> before = folder.snapshot();

    session.press("Command1", {QMessageBox::Ok});
    QVERIFY(session.answers.waitForAll());
    const QStringList seen = session.seenTexts();
    QCOMPARE(seen.size(), 1);
    QVERIFY2(seen.first().contains(blocked) && seen.first().contains(folder.path(blocked)),
             qPrintable(seen.first()));
    QVERIFY(session.dialog.isVisible());
    QVERIFY(session.saved.isEmpty());
    QCOMPARE(folder.snapshot(), before);

    // The choices are still there: once the way is clear, Save stores them.
    QVERIFY(QDir(folder.dir.path()).rmdir(blocked));
    session.press("Command1", {QMessageBox::Ok});
    QVERIFY(session.answers.waitForAll());
    QCOMPARE(session.seenTexts(), QStringList{DoneMessage});
    QCOMPARE(folder.read(WeekFile), weekBytes({1, 2, 3, 4, 6}));
    QCOMPARE(folder.read(StartsFile), QByteArray("8:00 AM"));
    QCOMPARE(folder.read(EndsFile), QByteArray("5:00 PM"));
}

void TestWorkingWeekDialog::readOnlyFolder()
{
    if (geteuid() == 0)
        QSKIP("root writes into a read-only folder");
    Folder folder;
    Session session(folder.store);
    session.tickOnly({1, 2, 3, 4});
    const QList<QByteArray> before = folder.snapshot();
    QFile::Permissions writable = QFile::permissions(folder.dir.path());
    QVERIFY(QFile::setPermissions(folder.dir.path(), QFile::ReadOwner | QFile::ExeOwner));

    session.press("Command1", {QMessageBox::Ok});
    QVERIFY(session.answers.waitForAll());
    QFile::setPermissions(folder.dir.path(), writable);
    QCOMPARE(session.answers.seen().size(), 1);
    QVERIFY(session.answers.seen().first().text.contains(StartsFile));
    QVERIFY(session.dialog.isVisible());
    QVERIFY(session.saved.isEmpty());
    QCOMPARE(folder.snapshot(), before);
}

void TestWorkingWeekDialog::leavingWritesNothing_data()
{
    QTest::addColumn<bool>("byCancel");
    QTest::newRow("Cancel") << true;
    QTest::newRow("title bar") << false;
}

void TestWorkingWeekDialog::leavingWritesNothing()
{
    QFETCH(bool, byCancel);

    Folder folder;
    folder.write(WeekFile, "1\r\n0\r\n1\r\n0\r\n1\r\n0\r\n1\r\n");
    const QList<QByteArray> before = folder.snapshot();
    Session session(folder.store);
    QCOMPARE(session.reloaded, QList<WeekFlags>{(WeekFlags{0, 1, 0, 1, 0, 1, 0, 1})});
    session.tickOnly(MondayToFriday);
    session.type("cboStartsAt", QStringLiteral("6:00 AM"));
    if (byCancel)
        session.press("Command2", {});
    else
        session.dialog.close();

    QVERIFY(!session.dialog.isVisible());
    QCOMPARE(session.dialog.result(), int(QDialog::Rejected));
    QVERIFY(session.saved.isEmpty());
    QCOMPARE(session.answers.seen().size(), 0);
    QCOMPARE(folder.snapshot(), before);
}

void TestWorkingWeekDialog::greyedFlagRoundTrips()
{
    Folder folder;
    // 2 is greyed; 5 has no box state and shows clear.
    folder.write(WeekFile, "1\r\n2\r\n1\r\n1\r\n1\r\n0\r\n5\r\n");
    Session session(folder.store);
    QCOMPARE(session.reloaded, QList<WeekFlags>{(WeekFlags{0, 1, 2, 1, 1, 1, 0, 5})});
    QCOMPARE(session.day(2)->checkState(), Qt::PartiallyChecked);
    QCOMPARE(session.day(7)->checkState(), Qt::Unchecked);
    QCOMPARE(session.dialog.checkedFlags(), (WeekFlags{0, 1, 2, 1, 1, 1, 0, 0}));

    // Four days at 1: no question; the 2 goes back as it came.
    session.press("Command1", {QMessageBox::Ok});
    QVERIFY(session.answers.waitForAll());
    QCOMPARE(session.seenTexts(), QStringList{DoneMessage});
    QCOMPARE(folder.read(WeekFile), QByteArray("1\r\n2\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"));

    // Clicked by the user, the greyed box turns into a two-state box.
    Session again(folder.store);
    QList<Qt::CheckState> states;
    for (int click = 0; click < 3; ++click) {
        again.clickDay(2);
        states.append(again.day(2)->checkState());
    }
    QCOMPARE(states, (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
}

QTEST_MAIN(TestWorkingWeekDialog)
#include "test_workingweekdialog.moc"
