#include "csvexport.h"

#include "alerts.h"
#include "files/atomicfile.h"
#include "plan/plandocument.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace taskloom {

CsvExport::CsvExport(QWidget* parent, QString outputFolder)
    : m_parent(parent), m_outputFolder(std::move(outputFolder))
{
}

bool CsvExport::run(const PlanDocument& plan, const QString& projectName) const
{
    if (const std::optional<Problem> missing = plan.exportCheck(projectName)) {
        Alerts::inform(m_parent, *missing);
        return false;
    }

    const QString path = QDir(m_outputFolder).filePath(QStringLiteral("project.csv"));
    if (QFileInfo::exists(path) &&
        !Alerts::confirm(m_parent, QStringLiteral("Confirm"),
                         QStringLiteral("Overwrite the previous .csv file (maybe from another "
                                        "project)?")))
        return false;

    if (const std::optional<QString> reason = AtomicFile::write(path, plan.csvText())) {
        Alerts::writeFailed(m_parent, QStringLiteral("project"), path, *reason);
        return false;
    }

    // A desktop without a file browser is no reason to stop: the file is
    // written, and the message then says where.
    const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(m_outputFolder));
    QString done = QStringLiteral("Done! The software will now open a folder which contains a .csv "
                                  "file with your project info. You can now add this project "
                                  "(.csv) to your G calendar. For more details, please read the "
                                  "user manual.");
    if (!opened)
        done += QStringLiteral("\nThe file is ") +
                QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    Alerts::inform(m_parent, QStringLiteral("Done!"), done);
    return true;
}

} // namespace taskloom
