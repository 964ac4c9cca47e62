#pragma once

#include "caldav/passwordstore.h"

#include <QDialog>
#include <QTimer>
#include <QUrl>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace taskloom {

// "Publish to Calendar Server…": the calendar's address, the user name and
// the password, which comes from the system keychain when it is kept there.
// Publish closes the dialog only with an address that may be published to.
class PublishDialog : public QDialog {
    Q_OBJECT
public:
    PublishDialog(PasswordStore& passwords, QWidget* parent = nullptr);
    ~PublishDialog() override;

    // Fills in the remembered address and user, then asks the keychain for
    // their password.
    void setTarget(const QString& address, const QString& user);

    QUrl address() const;
    QString user() const;
    QString password() const;
    bool remember() const;

    void accept() override;
    void done(int result) override;

private:
    // Asks the keychain for the password of the account now shown, unless it
    // asked for that one already.
    void lookUpPassword();
    void onPasswordRead(const QString& account, const PasswordStore::ReadResult& result);
    void updatePublishButton();
    // Closing moves the focus out of a box, which would ask the keychain
    // again, perhaps while the window and its keychain are going.
    void stopAsking();

    PasswordStore& m_passwords;
    QLineEdit* m_addressBox = nullptr;
    QLineEdit* m_userBox = nullptr;
    QLineEdit* m_passwordBox = nullptr;
    QCheckBox* m_rememberBox = nullptr;
    QLabel* m_note = nullptr;
    QPushButton* m_publishButton = nullptr;
    QTimer m_lookUpPause;
    QString m_askedAccount;
    // The password box holds what the keychain gave, not what the user typed.
    bool m_passwordFromKeychain = false;
    // The keychain failed to answer: no keychain is asked or offered any more.
    bool m_noKeychain = false;
};

} // namespace taskloom
