#include "dialogfilechooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

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
    // The export folder of an installed copy is made on first use; without it
    // the dialog would start in some other folder.
    QDir().mkpath(QFileInfo(suggestedPath).absolutePath());
    return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filters, selectedFilter);
}

} // namespace taskloom
