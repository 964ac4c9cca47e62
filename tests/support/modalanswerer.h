#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

namespace taskloom::test {

// What a message box showed.
struct SeenMessage {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton; // what Enter presses
};

// Answers the message boxes a test provokes. Queue one answer per expected box
// before the action; while it lives it watches for the active modal message
// box, records it and presses the queued button. A box with no answer queued
// is recorded as unexpected and dismissed, and shown() gives up after its
// timeout, so a test fails instead of hanging.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    explicit ModalAnswerer(QObject* parent = nullptr);

    void answer(QMessageBox::StandardButton button, qsizetype times = 1);
    void answer(const QList<QMessageBox::StandardButton>& buttons);
    // Answers with a key the way a hurried user does: pressed in the box, which
    // closes on the press, and released on releasedOn, where the focus goes back.
    void answerByKey(Qt::Key key, QWidget* releasedOn);
    const QList<SeenMessage>& seen() const { return m_seen; }
    int unexpectedCount() const { return m_unexpected; }
    void clear();

    // A box as one line, so a test states its title, text, icon, buttons and the button
    // Enter presses whole.
    static QString line(const QString& title, const QString& text,
                        QMessageBox::Icon icon = QMessageBox::Information,
                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                        QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
    // Waits for every queued answer, then gives the boxes seen as line()s, followed by
    // "<unanswered>" when an answer was never taken and "N unexpected" for boxes nobody
    // answered; starts afresh.
    QStringList shown(int timeoutMs = 5000);

private:
    void poll();

    struct Answer {
        QMessageBox::StandardButton button = QMessageBox::NoButton;
        Qt::Key key{};
        QPointer<QWidget> releasedOn;
    };

    QTimer m_timer;
    QList<Answer> m_answers;
    QList<SeenMessage> m_seen;
    int m_unexpected = 0;
};

} // namespace taskloom::test
