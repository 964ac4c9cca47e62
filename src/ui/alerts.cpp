#include "alerts.h"

#include "engine/problem.h"

#include <QDir>

namespace taskloom {

QMessageBox::StandardButton Alerts::show(QWidget* parent, QMessageBox::Icon icon,
                                         const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void Alerts::inform(QWidget* parent, const QString& title, const QString& text)
{
    show(parent, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Alerts::inform(QWidget* parent, const Problem& refusal)
{
    inform(parent, refusal.title, refusal.text);
}

void Alerts::warn(QWidget* parent, const QString& title, const QString& text)
{
    show(parent, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Alerts::writeFailed(QWidget* parent, const QString& what, const QString& path,
                         const QString& reason)
{
    warn(parent, QStringLiteral("Error"),
         QStringLiteral("The %1 could not be written to %2.\n\n%3")
             .arg(what, QDir::toNativeSeparators(path), reason));
}

void Alerts::warn(QWidget* parent, const Problem& problem)
{
    warn(parent, problem.title, problem.text);
}

bool Alerts::confirm(QWidget* parent, const QString& title, const QString& text)
{
    return show(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::Yes) == QMessageBox::Yes;
}

bool Alerts::ask(QWidget* parent, const QString& title, const QString& text)
{
    return show(parent, QMessageBox::Information, title, text, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::Yes) == QMessageBox::Yes;
}

QMessageBox* Alerts::open(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                          const QString& text)
{
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

} // namespace taskloom
