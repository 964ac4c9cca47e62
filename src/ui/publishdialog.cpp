#include "publishdialog.h"

#include "caldav/calendaraddress.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace taskloom {

PublishDialog::PublishDialog(PasswordStore& passwords, QWidget* parent)
    : QDialog(parent), m_passwords(passwords)
{
    setObjectName(QStringLiteral("frmPublish"));
    setWindowTitle(QStringLiteral("Publish to Calendar Server"));

    auto* intro = new QLabel(
        QStringLiteral("Taskloom puts every event of the plan into one of your calendars and, "
                       "on every later publish, updates them and removes those of deleted "
                       "tasks. Nothing else in the calendar is touched."),
        this);
    intro->setWordWrap(true);

    m_addressBox = new QLineEdit(this);
    m_addressBox->setObjectName(QStringLiteral("txtCalendarAddress"));
    m_addressBox->setPlaceholderText(QStringLiteral("https://dav.example.com/calendars/ann/work/"));
    m_addressBox->setMinimumWidth(m_addressBox->fontMetrics().averageCharWidth() * 52);
    m_userBox = new QLineEdit(this);
    m_userBox->setObjectName(QStringLiteral("txtUserName"));
    m_passwordBox = new QLineEdit(this);
    m_passwordBox->setObjectName(QStringLiteral("txtPassword"));
    m_passwordBox->setEchoMode(QLineEdit::Password);
    m_rememberBox = new QCheckBox(QStringLiteral("Remember in the system keychain"), this);
    m_rememberBox->setObjectName(QStringLiteral("chkRememberPassword"));
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblPublishNote"));
    m_note->setWordWrap(true);
    // Room for the longest note from the start, so that none squeezes the form.
    m_note->setMinimumHeight(m_note->fontMetrics().lineSpacing() * 3);
    m_note->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* addressHint =
        new QLabel(QStringLiteral("The calendar's CalDAV address, as your calendar service "
                                  "shows it."),
                   this);
    addressHint->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Calendar &address:"), m_addressBox);
    form->addRow(QString(), addressHint);
    form->addRow(QStringLiteral("&User name:"), m_userBox);
    form->addRow(QStringLiteral("&Password:"), m_passwordBox);
    form->addRow(QString(), m_rememberBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_publishButton = buttons->addButton(QStringLiteral("Publish"), QDialogButtonBox::AcceptRole);
    m_publishButton->setObjectName(QStringLiteral("cmdPublish"));
    m_publishButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &PublishDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PublishDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(m_note);
    layout->addWidget(buttons);

    // The keychain is asked once typing pauses, so a kept password shows
    // up without leaving the box, and not once a keystroke.
    m_lookUpPause.setSingleShot(true);
    m_lookUpPause.setInterval(400);
    connect(&m_lookUpPause, &QTimer::timeout, this, &PublishDialog::lookUpPassword);
    for (QLineEdit* box : {m_addressBox, m_userBox}) {
        connect(box, &QLineEdit::textEdited, this, [this] {
            updatePublishButton();
            m_lookUpPause.start();
        });
        connect(box, &QLineEdit::editingFinished, this, &PublishDialog::lookUpPassword);
    }
    connect(m_passwordBox, &QLineEdit::textEdited, this, [this] {
        m_passwordFromKeychain = false;
        updatePublishButton();
    });
    updatePublishButton();
}

PublishDialog::~PublishDialog()
{
    stopAsking();
}

void PublishDialog::stopAsking()
{
    m_lookUpPause.stop();
    for (QLineEdit* box : {m_addressBox, m_userBox, m_passwordBox})
        box->disconnect(this);
}

void PublishDialog::done(int result)
{
    stopAsking();
    QDialog::done(result);
}

void PublishDialog::setTarget(const QString& address, const QString& user)
{
    m_addressBox->setText(address);
    m_userBox->setText(user);
    updatePublishButton();
    // The first box still empty takes the focus: that is where typing starts.
    for (QLineEdit* box : {m_addressBox, m_userBox, m_passwordBox}) {
        if (box->text().isEmpty()) {
            box->setFocus();
            break;
        }
    }
    lookUpPassword();
}

QUrl PublishDialog::address() const
{
    return CalendarAddress::fromUserInput(m_addressBox->text());
}

QString PublishDialog::user() const
{
    return m_userBox->text().trimmed();
}

QString PublishDialog::password() const
{
    return m_passwordBox->text();
}

bool PublishDialog::remember() const
{
    return m_rememberBox->isChecked();
}

void PublishDialog::accept()
{
    // The address is checked here, so a typing slip is mended in place.
    if (const DavError problem = CalendarAddress::problem(address()); problem.isError()) {
        m_note->setText(problem.message());
        m_addressBox->setFocus();
        return;
    }
    QDialog::accept();
}

void PublishDialog::lookUpPassword()
{
    m_lookUpPause.stop();
    if (m_noKeychain || user().isEmpty() || CalendarAddress::problem(address()).isError())
        return;
    const QString account = PasswordStore::account(user(), address());
    if (account == m_askedAccount)
        return;
    m_askedAccount = account;
    m_passwords.read(account, this, [this, account](const PasswordStore::ReadResult& result) {
        onPasswordRead(account, result);
    });
}

void PublishDialog::onPasswordRead(const QString& account, const PasswordStore::ReadResult& result)
{
    // An answer for an account no longer shown, or a password already typed,
    // changes nothing.
    if (account != m_askedAccount)
        return;
    const bool typed = !m_passwordBox->text().isEmpty() && !m_passwordFromKeychain;
    using Status = PasswordStore::ReadResult::Status;
    // Without a kept password for this account, the one the keychain gave
    // for the account shown before goes.
    if (result.status != Status::Found && m_passwordFromKeychain) {
        m_passwordBox->clear();
        m_passwordFromKeychain = false;
    }
    switch (result.status) {
    case Status::Found:
        if (typed)
            return;
        m_passwordBox->setText(result.password);
        m_passwordFromKeychain = true;
        m_rememberBox->setChecked(true);
        m_note->setText(QStringLiteral("The password comes from the system keychain."));
        break;
    case Status::NotFound:
        m_note->clear();
        break;
    case Status::Failed:
        // Said once and plainly: without a keychain service the keychain's own
        // reason is a bare "Unknown error". It is not asked again while the
        // dialog is open, and there is nothing to remember the password in.
        m_noKeychain = true;
        m_note->setText(QStringLiteral("No system keychain is available: Taskloom cannot remember "
                                       "the password and asks for it on every publish."));
        m_rememberBox->setChecked(false);
        m_rememberBox->setEnabled(false);
        break;
    }
    updatePublishButton();
}

void PublishDialog::updatePublishButton()
{
    m_publishButton->setEnabled(!m_addressBox->text().trimmed().isEmpty() && !user().isEmpty() &&
                                !m_passwordBox->text().isEmpty());
}

} // namespace taskloom
