#include "modalanswerer.h"

#include <QApplication>
#include <QMetaEnum>
#include <QPushButton>
#include <QTest>

namespace taskloom::test {

ModalAnswerer::ModalAnswerer()
{
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(10);
}

QStringList ModalAnswerer::shown(int timeoutMs)
{
    const bool answered = QTest::qWaitFor([this] { return m_answers.isEmpty(); }, timeoutMs);
    QStringList lines = std::exchange(m_seen, {});
    if (!answered)
        lines << QStringLiteral("<unanswered>");
    m_answers.clear();
    return lines;
}

void ModalAnswerer::poll()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    QString line = box->windowTitle() + QStringLiteral(" | ") + box->text();
    if (box->icon() != QMessageBox::Information)
        line += QStringLiteral(" | ") +
                QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon());
    if (box->standardButtons() != QMessageBox::Ok) {
        const QMetaEnum names = QMetaEnum::fromType<QMessageBox::StandardButtons>();
        line +=
            QStringLiteral(" | %1, Enter %2")
                .arg(QString(names.valueToKeys(box->standardButtons().toInt())).replace(u'|', u' '),
                     names.valueToKey(box->standardButton(box->defaultButton())));
    }
    m_seen << line;
    const Answer wanted = m_answers.isEmpty() ? Answer{} : m_answers.takeFirst();
    if (wanted.releasedOn) {
        // From a timer of its own: while this one runs, it cannot fire again to answer a
        // box the release may open.
        QTimer::singleShot(0, box, [box, wanted] {
            QTest::keyPress(box, wanted.key);
            if (wanted.releasedOn)
                QTest::keyRelease(wanted.releasedOn, wanted.key);
        });
    } else if (QAbstractButton* button = box->button(wanted.button)) {
        button->click();
    } else {
        box->defaultButton() ? box->defaultButton()->click() : box->reject();
    }
}

} // namespace taskloom::test
