#include "tipsdialog.h"

#include "uilook.h"

#include <QLabel>
#include <QPushButton>

namespace taskloom {

TipsDialog::TipsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTips"));
    setWindowTitle(QStringLiteral("Tips"));
    setModal(true);
    setFixedSize(UiLook::px(12555), UiLook::px(4875));

    const QFont text = UiLook::font(9.75);
    const QColor example(0, 0, 192);
    UiLook::label(this, "Label1", QStringLiteral("Tips:"), UiLook::rect(450, 180, 8025, 465),
                  UiLook::font(14.25, true));
    UiLook::label(
        this, "Label2",
        QStringLiteral("You can set the duration of each task by adding a \"+ X days\"  of it."),
        UiLook::rect(450, 765, 11220, 465), text);
    UiLook::label(this, "Label3", QStringLiteral("Example: "), UiLook::rect(1755, 1215, 1185, 645),
                  text);
    UiLook::label(this, "Label7", QStringLiteral(" Do This + 7 Days"),
                  UiLook::rect(2970, 1215, 4965, 330), text, example);
    UiLook::label(this, "Label5", QStringLiteral("or "), UiLook::rect(1755, 1620, 420, 555), text);
    UiLook::label(this, "Label6", QStringLiteral(" Do This + 7"),
                  UiLook::rect(2250, 1620, 1770, 555), text, example);
    UiLook::label(this, "Label4",
                  QStringLiteral("This will set the duration of the task to 7 days."),
                  UiLook::rect(495, 2340, 11220, 555), text);
    QLabel* parallel = UiLook::label(
        this, "lblPro",
        QStringLiteral("Tasks that should begin on the same date: put // at the beginning of a "
                       "task line. That task then inherits the start date of the task before "
                       "it, for example \"//Order the tiles + 2\"."),
        UiLook::rect(495, 3015, 11220, 870), text);
    parallel->setWordWrap(true);

    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Command1"));
    close->setFont(UiLook::font(9.75, true));
    close->setGeometry(UiLook::rect(4680, 3915, 3300, 690));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace taskloom
