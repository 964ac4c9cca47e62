#include "dialogfilechooser.h"

#include <QFileDialog>

namespace taskloom {

QString DialogFileChooser::openFile(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filters)
{
    return QFileDialog::getOpenFileName(parent, caption, folder, filters);
}

QString DialogFileChooser::saveFile(QWidget* parent, const QString& caption,
                                    const QString& suggestedPath, const QString& filters,
                                    QString* selectedFilter)
{
    return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filters, selectedFilter);
}

} // namespace taskloom
