#include "accessiblecontrols.h"

#include "linklabel.h"
#include "viewswitch.h"

#include <QAbstractButton>
#include <QAccessibleWidget>

namespace taskloom {

namespace {

// A link or a switch: named by the text it shows, pressed by a screen
// reader's default action as by a click.
class ControlInterface : public QAccessibleWidget {
public:
    ControlInterface(QWidget* control, QAccessible::Role role) : QAccessibleWidget(control, role) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return widget()->property("text").toString();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget())) {
            state.checkable = true;
            state.checked = button->isChecked();
            // A switch that is on reads as a pressed button, as toggle buttons do.
            state.pressed = button->isChecked() || button->isDown();
        }
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override
    {
        if (action != pressAction() || !widget()->isEnabled()) {
            QAccessibleWidget::doAction(action);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget())) {
            button->click();
        } else if (auto* link = qobject_cast<LinkLabel*>(widget())) {
            Q_EMIT link->activated();
        }
    }
};

// Qt asks as soon as a control is announced, which happens while it is being
// made, before its objectName is set: the class alone decides.
QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    auto* control = qobject_cast<QWidget*>(object);
    if (!control)
        return nullptr;
    if (className == QLatin1String(LinkLabel::staticMetaObject.className()))
        return new ControlInterface(control, QAccessible::Link);
    if (className == QLatin1String(ViewSwitch::staticMetaObject.className()))
        return new ControlInterface(control, QAccessible::Button);
    return nullptr;
}

} // namespace

void AccessibleControls::install()
{
    QAccessible::installFactory(&makeInterface);
}

} // namespace taskloom
