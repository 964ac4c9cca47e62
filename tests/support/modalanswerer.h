#pragma once

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace taskloom::test {

// Answers the message boxes a test provokes: while it lives it watches for the active modal
// message box, notes it and presses the next queued answer, or when none is queued the
// button Enter presses. shown() waits for the queued answers to be taken, giving up after
// its timeout, so a test fails instead of hanging.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    ModalAnswerer();

    void answer(QMessageBox::StandardButton button) { m_answers.append(Answer{button}); }
    // Answers with a key the way a hurried user does: pressed in the box, which
    // closes on the press, and released on releasedOn, where the focus goes back.
    void answerByKey(Qt::Key key, QWidget* releasedOn)
    {
        m_answers.append(Answer{{}, key, releasedOn});
    }
    // Waits for every queued answer, then gives the boxes seen, "<unanswered>" after them
    // when an answer was never taken; starts afresh. A box is "title | text", then its icon
    // unless Information, then its buttons and the one Enter presses unless OK alone:
    // "Confirm | Go on? | Question | Yes No, Enter Yes".
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
    QStringList m_seen;
};

} // namespace taskloom::test
