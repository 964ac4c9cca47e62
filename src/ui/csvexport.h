#pragma once

#include <QString>

class QWidget;

namespace taskloom {

class PlanDocument;

// The calendar CSV export as the user meets it: the checks, the question
// before an earlier file is replaced, the write, the folder opened in the file
// browser and "Done!". The window only hands over what it shows.
class CsvExport {
public:
    // outputFolder receives project.csv; it is made when missing.
    CsvExport(QWidget* parent, QString outputFolder);

    // True when the file was written.
    bool run(const PlanDocument& plan, const QString& projectName) const;

private:
    QWidget* m_parent;
    QString m_outputFolder;
};

} // namespace taskloom
