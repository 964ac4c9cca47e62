#include "icsexport.h"

#include "alerts.h"
#include "csvexport.h"
#include "engine/schedule.h"
#include "export/calendarics.h"
#include "exportfilename.h"
#include "filechooser.h"

#include <QDir>

namespace taskloom {

IcsExport::IcsExport(QWidget* parent, FileChooser& chooser, QString outputFolder)
    : m_parent(parent), m_chooser(chooser), m_outputFolder(std::move(outputFolder))
{
}

bool IcsExport::run(const Schedule& schedule, const QString& projectName,
                    const QString& calendarKey, const QDateTime& stamp) const
{
    if (!CsvExport::hasWhatExportNeeds(m_parent, schedule, projectName))
        return false;

    const QString suggested =
        QDir(m_outputFolder)
            .filePath(ExportFileName::forProject(projectName, QStringLiteral(".ics")));
    const QString path =
        m_chooser.saveFile(m_parent, QStringLiteral("Export iCalendar File"), suggested,
                           QStringLiteral("iCalendar files (*.ics);;All files (*)"));
    if (path.isEmpty())
        return false;

    const CalendarIcs ics(projectName, calendarKey, stamp);
    if (const std::optional<QString> reason = ics.write(path, schedule)) {
        Alerts::writeFailed(m_parent, QStringLiteral("project"), path, *reason);
        return false;
    }
    Alerts::inform(m_parent, QStringLiteral("Done!"),
                   QStringLiteral("Done! The calendar file is saved as %1.")
                       .arg(QDir::toNativeSeparators(path)));
    return true;
}

} // namespace taskloom
