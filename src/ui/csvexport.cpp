#include "csvexport.h"

#include "alerts.h"
#include "engine/schedule.h"
#include "export/calendarcsv.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace taskloom {

CsvExport::CsvExport(QWidget* parent, QString outputFolder)
    : m_parent(parent), m_outputFolder(std::move(outputFolder))
{
}

bool CsvExport::hasWhatExportNeeds(QWidget* parent, const Schedule& schedule,
                                   const QString& projectName)
{
    if (schedule.rows.isEmpty()) {
        Alerts::inform(parent, QStringLiteral("Missing Info"),
                       QStringLiteral("Please add some tasks to your project."));
        return false;
    }
    if (projectName.isEmpty()) {
        Alerts::inform(parent, QStringLiteral("Missing Info"),
                       QStringLiteral("Please enter a project name."));
        return false;
    }
    return true;
}

bool CsvExport::run(const Schedule& schedule, const QString& projectName) const
{
    if (!hasWhatExportNeeds(m_parent, schedule, projectName))
        return false;

    const QString path = QDir(m_outputFolder).filePath(QStringLiteral("project.csv"));
    if (QFileInfo::exists(path) &&
        !Alerts::confirm(m_parent, QStringLiteral("Confirm"),
                         QStringLiteral("Overwrite the previous .csv file (maybe from another "
                                        "project)?")))
        return false;

    if (const std::optional<QString> reason = CalendarCsv::write(path, schedule.events)) {
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
