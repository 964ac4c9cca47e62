#include "icsexport.h"

#include "alerts.h"
#include "csvexport.h"
#include "engine/schedule.h"
#include "export/calendarics.h"
#include "filechooser.h"

#include <QDir>

namespace taskloom {

namespace {

// The name the save dialog suggests: the project's, without the characters a
// file name cannot hold, and ".ics".
QString suggestedFileName(const QString& projectName)
{
    QString name;
    name.reserve(projectName.size());
    for (const QChar c : projectName) {
        // Slashes would make folders, the rest trouble other systems the
        // file is copied to.
        if (c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c))
            name += u'_';
        else
            name += c;
    }
    name = name.trimmed();
    // A hidden file, or none at all, is not what anyone asked for.
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    return (name.isEmpty() ? QStringLiteral("project") : name) + QStringLiteral(".ics");
}

} // namespace

IcsExport::IcsExport(QWidget* parent, FileChooser& chooser, QString outputFolder)
    : m_parent(parent), m_chooser(chooser), m_outputFolder(std::move(outputFolder))
{
}

bool IcsExport::run(const Schedule& schedule, const QString& projectName,
                    const QString& calendarKey, const QDateTime& stamp) const
{
    if (!CsvExport::hasWhatExportNeeds(m_parent, schedule, projectName))
        return false;

    const QString suggested = QDir(m_outputFolder).filePath(suggestedFileName(projectName));
    const QString path =
        m_chooser.saveFile(m_parent, QStringLiteral("Export iCalendar File"), suggested,
                           QStringLiteral("iCalendar files (*.ics);;All files (*)"));
    if (path.isEmpty())
        return false;

    const CalendarIcs ics(projectName, calendarKey, stamp);
    if (const std::optional<QString> reason = ics.write(path, schedule)) {
        Alerts::warn(m_parent, QStringLiteral("Error"),
                     QStringLiteral("The project could not be written to %1.\n\n%2")
                         .arg(QDir::toNativeSeparators(path), *reason));
        return false;
    }
    Alerts::inform(m_parent, QStringLiteral("Done!"),
                   QStringLiteral("Done! The calendar file is saved as %1.")
                       .arg(QDir::toNativeSeparators(path)));
    return true;
}

} // namespace taskloom
