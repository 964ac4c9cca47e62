#pragma once

#include "filechooser.h"

namespace taskloom {

// The real thing: Qt's file dialogs.
class DialogFileChooser : public FileChooser {
public:
    QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filters) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& suggestedPath,
                     const QString& filters, QString* selectedFilter = nullptr) override;
};

} // namespace taskloom
