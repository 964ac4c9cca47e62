#pragma once

#include <QString>

class QWidget;

namespace taskloom {

struct Schedule;

// The calendar CSV export as the user meets it: the checks, the question
// before an earlier file is replaced, the write, the folder opened in the file
// browser and "Done!". The window only hands over what it shows.
class CsvExport {
public:
    // outputFolder receives project.csv; it is made when missing.
    CsvExport(QWidget* parent, QString outputFolder);

    // True when the file was written.
    bool run(const Schedule& schedule, const QString& projectName) const;

    // The checks every export makes first: tasks, then a project name (a name
    // of blanks passes). A failed check is told as "Missing Info".
    static bool hasWhatExportNeeds(QWidget* parent, const Schedule& schedule,
                                   const QString& projectName);

private:
    QWidget* m_parent;
    QString m_outputFolder;
};

} // namespace taskloom
