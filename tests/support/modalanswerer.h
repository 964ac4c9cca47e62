#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

namespace taskloom::test {

// What a message box showed.
struct SeenMessage {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the message boxes a test provokes. Queue one answer per expected box
// before the action; while it lives it watches for the active modal message
// box, records it and presses the queued button. A box with no answer queued
// is recorded as unexpected and dismissed, and waitForAll() gives up after its
// timeout, so a test fails instead of hanging.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    explicit ModalAnswerer(QObject* parent = nullptr);

    void answer(QMessageBox::StandardButton button);
    // Waits until every queued answer was given; false after the timeout.
    bool waitForAll(int timeoutMs = 5000);

    const QList<SeenMessage>& seen() const { return m_seen; }
    int unexpectedCount() const { return m_unexpected; }
    void clear();

private:
    void poll();

    QTimer m_timer;
    QList<QMessageBox::StandardButton> m_answers;
    QList<SeenMessage> m_seen;
    int m_unexpected = 0;
};

} // namespace taskloom::test
