#include "icsexport.h"

#include "alerts.h"
#include "exportfilename.h"
#include "filechooser.h"
#include "files/atomicfile.h"
#include "plan/plandocument.h"

#include <QDir>

namespace taskloom {

IcsExport::IcsExport(QWidget* parent, FileChooser& chooser, QString outputFolder)
    : m_parent(parent), m_chooser(chooser), m_outputFolder(std::move(outputFolder))
{
}

bool IcsExport::run(const PlanDocument& plan, const QString& projectName) const
{
    if (const std::optional<Problem> missing = plan.exportCheck(projectName)) {
        Alerts::inform(m_parent, *missing);
        return false;
    }

    const QString suggested =
        QDir(m_outputFolder)
            .filePath(ExportFileName::forProject(projectName, QStringLiteral(".ics")));
    const QString path =
        m_chooser.saveFile(m_parent, QStringLiteral("Export iCalendar File"), suggested,
                           QStringLiteral("iCalendar files (*.ics);;All files (*)"));
    if (path.isEmpty())
        return false;

    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QByteArray text = plan.icsText(projectName, PlanDocument::exportStamp(now).value_or(now));
    if (const std::optional<QString> reason = AtomicFile::write(path, text)) {
        Alerts::writeFailed(m_parent, QStringLiteral("project"), path, *reason);
        return false;
    }
    Alerts::inform(m_parent, QStringLiteral("Done!"),
                   QStringLiteral("Done! The calendar file is saved as %1.")
                       .arg(QDir::toNativeSeparators(path)));
    return true;
}

} // namespace taskloom
