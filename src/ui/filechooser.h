#pragma once

#include <QString>

class QWidget;

namespace taskloom {

// The file dialogs the window and its dialogs open, behind one small
// interface so that tests can answer them without a real dialog.
class FileChooser {
public:
    virtual ~FileChooser() = default;

    // An existing file to read; empty when the user cancels.
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                             const QString& filters) = 0;
    // A file to write, suggested as suggestedPath; the chooser itself asks
    // before an existing file is replaced. selectedFilter, when given, starts
    // as the filter to offer first and receives the one the user chose. Empty
    // when the user cancels.
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& suggestedPath,
                             const QString& filters, QString* selectedFilter = nullptr) = 0;
};

} // namespace taskloom
