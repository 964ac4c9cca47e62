#pragma once

#include <QString>

class QWidget;

namespace taskloom {

class FileChooser;
class TimelineScene;
struct TimelineStyle;

// Saving the timeline as a picture, as the user meets it: the checks every
// export makes, the save dialog (SVG, PNG or PDF), a refusal when the picture
// cannot be made in the chosen format, and the atomic write.
class TimelineExport {
public:
    // The dialog starts in outputFolder; the window's chooser asks.
    TimelineExport(QWidget* parent, FileChooser& chooser, QString outputFolder);

    // The whole plan at the given day width (the view's zoom), drawn in the
    // picture look with the window's font family. projectName is the one the
    // window shows now, checked as every export checks it. True when a file
    // was written.
    bool run(const TimelineScene& scene, const QString& projectName, qreal dayWidth) const;

private:
    QWidget* m_parent;
    FileChooser& m_chooser;
    QString m_outputFolder;
};

} // namespace taskloom
