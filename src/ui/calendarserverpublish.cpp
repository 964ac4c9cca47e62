#include "calendarserverpublish.h"

#include "alerts.h"
#include "caldav/calendarpublisher.h"
#include "caldav/passwordstore.h"
#include "publishdialog.h"

#include <QProgressBar>
#include <QProgressDialog>

namespace taskloom {

namespace {
const QString Title = QStringLiteral("Publish to Calendar Server");
// Characters of a progress step shown whole.
constexpr int StepWidth = 60;
} // namespace

CalendarServerPublish::CalendarServerPublish(QWidget* window, QNetworkAccessManager* network,
                                             PasswordStore* passwords)
    : QObject(window), m_window(window), m_passwords(passwords),
      m_publisher(new CalendarPublisher(network, this))
{
    connect(m_publisher, &CalendarPublisher::progress, this, &CalendarServerPublish::onProgress);
    connect(m_publisher, &CalendarPublisher::finished, this, &CalendarServerPublish::onPublished);
}

CalendarServerPublish::~CalendarServerPublish()
{
    // The dialogs are the window's children but use the keychain, which may
    // go before the window's children do.
    delete m_dialog;
    delete m_progress;
}

bool CalendarServerPublish::isRunning() const
{
    return m_dialog || m_publisher->isRunning() || m_result;
}

void CalendarServerPublish::start(const QList<CalendarItem>& items, const QString& projectKey,
                                  const QString& address, const QString& user)
{
    if (isRunning())
        return;
    m_items = items;
    m_projectKey = projectKey;
    m_dialog = new PublishDialog(*m_passwords, m_window);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog->setTarget(address, user);
    connect(m_dialog, &QDialog::accepted, this, &CalendarServerPublish::onDialogAccepted);
    m_dialog->open();
}

void CalendarServerPublish::onDialogAccepted()
{
    const QUrl address = m_dialog->address();
    const QString user = m_dialog->user();
    const QString password = m_dialog->password();
    const bool remember = m_dialog->remember();
    const QString account = PasswordStore::account(user, address);
    m_dialog = nullptr; // it deletes itself on closing

    // Kept when asked for, otherwise forgotten: unticking the box is how a
    // user takes a password out of the keychain. Only a failure to keep it is
    // told; without a keychain there is nothing to forget.
    m_keychainProblem.clear();
    m_keychainBusy = true;
    const auto told = [this, remember](const QString& reason) {
        m_keychainBusy = false;
        if (remember)
            m_keychainProblem = reason;
        showSummaryWhenDone();
    };
    if (remember)
        m_passwords->write(account, password, this, told);
    else
        m_passwords->remove(account, this, told);
    Q_EMIT targetChosen(address.toString(), user);

    m_progress = new QProgressDialog(m_window);
    m_progress->setObjectName(QStringLiteral("dlgPublishProgress"));
    m_progress->setWindowTitle(Title);
    m_progress->setWindowModality(Qt::WindowModal);
    // Its own bar, moved directly: a modal QProgressDialog's setValue()
    // processes events, which would run the publisher inside itself.
    m_bar = new QProgressBar(m_progress);
    m_progress->setBar(m_bar);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setLabelText(QStringLiteral("Reading the calendar…"));
    m_progress->setMinimumWidth(m_progress->fontMetrics().averageCharWidth() * StepWidth);
    m_bar->setRange(0, int(m_items.size()) + 1);
    m_bar->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, m_publisher, &CalendarPublisher::cancel);
    m_progress->show();

    m_publisher->start(address, DavAccount{user, password}, m_projectKey, m_items);
}

void CalendarServerPublish::onProgress(int done, int total, const QString& step)
{
    if (!m_progress)
        return;
    m_bar->setRange(0, total);
    m_bar->setValue(done);
    // A long task name is cut in the middle rather than stretching the dialog.
    const QFontMetrics metrics = m_progress->fontMetrics();
    m_progress->setLabelText(
        metrics.elidedText(step, Qt::ElideMiddle, metrics.averageCharWidth() * StepWidth));
}

void CalendarServerPublish::onPublished(const PublishResult& result)
{
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
    }
    m_result = result;
    showSummaryWhenDone();
}

void CalendarServerPublish::showSummaryWhenDone()
{
    if (!m_result || m_keychainBusy)
        return;
    const PublishResult result = *m_result;
    m_result.reset();
    QString text = result.report();
    if (!m_keychainProblem.isEmpty())
        text += QStringLiteral("\n\nThe system keychain could not keep the password (%1): "
                               "Taskloom will ask for it next time.")
                    .arg(m_keychainProblem);
    if (result.succeeded())
        Alerts::open(m_window, QMessageBox::Information, QStringLiteral("Done!"), text);
    else if (result.cancelled && result.failures.isEmpty() && !result.stopped.isError())
        Alerts::open(m_window, QMessageBox::Information, Title, text);
    else
        Alerts::open(m_window, QMessageBox::Warning, QStringLiteral("Error"), text);
}

} // namespace taskloom
