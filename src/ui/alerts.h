#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace taskloom {

struct Problem;

// Every message box of the program goes through here, so each kind of message
// keeps one icon, one button set and one title style.
class Alerts {
public:
    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton);

    // Information icon, OK: "Ooops!", "Missing Info", "Done!", "Done", "Error" checks.
    static void inform(QWidget* parent, const QString& title, const QString& text);
    static void inform(QWidget* parent, const Problem& refusal);
    // Exclamation icon, OK: a settings file missing or damaged, a write that failed.
    static void warn(QWidget* parent, const QString& title, const QString& text);
    static void warn(QWidget* parent, const Problem& problem);
    // The same for a file the user asked for that could not be written: what
    // it held ("project", "picture"), where, and the system's reason.
    static void writeFailed(QWidget* parent, const QString& what, const QString& path,
                            const QString& reason);
    // Question icon, Yes (default) and No: true for Yes.
    static bool confirm(QWidget* parent, const QString& title, const QString& text);
    // Information icon, Yes and No: true for Yes.
    static bool ask(QWidget* parent, const QString& title, const QString& text);
    // An OK box shown without waiting for it: for flows that run on the event
    // loop, which must not wait in a loop of their own. It deletes itself
    // when closed.
    static QMessageBox* open(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                             const QString& text);
};

} // namespace taskloom
