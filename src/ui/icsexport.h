#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

namespace taskloom {

class FileChooser;
class PlanDocument;

// The iCalendar export as the user meets it: the checks, the save dialog
// (which asks before it replaces a file), the write and "Done!".
class IcsExport {
public:
    // outputFolder: where the save dialog starts.
    IcsExport(QWidget* parent, FileChooser& chooser, QString outputFolder);

    // calendarKey: the UIDs' first part; stamp: the time of the export, UTC.
    // True when the file was written.
    bool run(const PlanDocument& plan, const QString& projectName) const;

private:
    QWidget* m_parent;
    FileChooser& m_chooser;
    QString m_outputFolder;
};

} // namespace taskloom
