#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace taskloom::test {

ModalAnswerer::ModalAnswerer(QObject* parent) : QObject(parent)
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

void ModalAnswerer::answer(QMessageBox::StandardButton button, qsizetype times)
{
    for (qsizetype n = 0; n < times; ++n)
        m_answers.append(Answer{button, {}, nullptr});
}

void ModalAnswerer::answer(const QList<QMessageBox::StandardButton>& buttons)
{
    for (QMessageBox::StandardButton button : buttons)
        answer(button);
}

void ModalAnswerer::answerByKey(Qt::Key key, QWidget* releasedOn)
{
    m_answers.append(Answer{QMessageBox::NoButton, key, releasedOn});
}

void ModalAnswerer::clear()
{
    m_answers.clear();
    m_seen.clear();
    m_unexpected = 0;
}

QString ModalAnswerer::line(const QString& title, const QString& text, QMessageBox::Icon icon,
                            QMessageBox::StandardButtons buttons,
                            QMessageBox::StandardButton defaultButton)
{
    // Joined, not filled in: a text may hold a "%1" of its own.
    return title + QStringLiteral(" | ") + text +
           QStringLiteral(" | icon %1 | buttons %2 | default %3")
               .arg(icon)
               .arg(buttons.toInt())
               .arg(defaultButton);
}

QStringList ModalAnswerer::shown(int timeoutMs)
{
    QStringList lines;
    const bool answered = QTest::qWaitFor([this] { return m_answers.isEmpty(); }, timeoutMs);
    for (const SeenMessage& seen : std::as_const(m_seen))
        lines << line(seen.title, seen.text, seen.icon, seen.buttons, seen.defaultButton);
    if (!answered)
        lines << QStringLiteral("<unanswered>");
    if (m_unexpected > 0)
        lines << QStringLiteral("%1 unexpected").arg(m_unexpected);
    clear();
    return lines;
}

void ModalAnswerer::poll()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    m_seen.append({box->text(), box->windowTitle(), box->icon(), box->standardButtons(),
                   box->standardButton(box->defaultButton())});
    if (m_answers.isEmpty()) {
        ++m_unexpected;
        box->reject();
        return;
    }
    const Answer wanted = m_answers.takeFirst();
    if (wanted.releasedOn) {
        // From a timer of its own: while this one runs, it cannot fire again to answer a
        // box the release may open.
        QTimer::singleShot(0, box, [box, wanted] {
            QTest::keyPress(box, wanted.key);
            if (wanted.releasedOn)
                QTest::keyRelease(wanted.releasedOn, wanted.key);
        });
        return;
    }
    QAbstractButton* button = box->button(wanted.button);
    if (button) {
        button->click();
    } else {
        // The box lacks the button the test expected: note it and close it.
        ++m_unexpected;
        box->reject();
    }
}

} // namespace taskloom::test
