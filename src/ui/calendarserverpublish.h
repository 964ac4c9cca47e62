#pragma once

#include "export/calendaritem.h"
#include "caldav/publishresult.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QProgressBar;
class QProgressDialog;
class QWidget;

namespace taskloom {

class CalendarPublisher;
class PasswordStore;
class PublishDialog;

// Publishing to a calendar server as the user meets it: the dialog with the
// address, user name and password, the password kept in or dropped from the
// keychain, a progress dialog whose Cancel stops before the removals, and the
// summary at the end. Every step answers on the event loop, so the window
// stays responsive throughout and nothing waits in a loop of its own.
class CalendarServerPublish : public QObject {
    Q_OBJECT
public:
    CalendarServerPublish(QWidget* window, QNetworkAccessManager* network,
                          PasswordStore* passwords);
    // Closes its dialogs: the window deletes it before the keychain goes.
    ~CalendarServerPublish() override;

    // Opens the dialog with the remembered address and user; publishes the
    // items once the user presses Publish. projectKey: the project file's id,
    // or the project name without a file.
    void start(const QList<CalendarItem>& items, const QString& projectKey, const QString& address,
               const QString& user);
    bool isRunning() const;

Q_SIGNALS:
    // The address and user name the user published with, for the project to
    // remember.
    void targetChosen(const QString& address, const QString& user);

private:
    void onDialogAccepted();
    void onProgress(int done, int total, const QString& step);
    void onPublished(const PublishResult& result);
    // The summary waits for both the publish and the keychain.
    void showSummaryWhenDone();

    QWidget* m_window;
    PasswordStore* m_passwords;

    QList<CalendarItem> m_items;
    QString m_projectKey;
    QPointer<PublishDialog> m_dialog;
    QPointer<QProgressDialog> m_progress;
    QProgressBar* m_bar = nullptr;
    CalendarPublisher* m_publisher = nullptr;
    std::optional<PublishResult> m_result;
    bool m_keychainBusy = false;
    // Why the keychain could not keep the password, told at the end.
    QString m_keychainProblem;
};

} // namespace taskloom
