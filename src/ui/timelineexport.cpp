#include "timelineexport.h"

#include "alerts.h"
#include "exportfilename.h"
#include "filechooser.h"
#include "files/atomicfile.h"
#include "plan/exportcheck.h"
#include "plan/timelinescene.h"
#include "timeline/timelinepicture.h"
#include "timeline/timelinestyle.h"

#include <QDir>
#include <QFileInfo>

namespace taskloom {

namespace {

// The dialog's choices, in the order offered; a name typed without an
// extension gets the chosen one's.
struct Choice {
    QString filter;
    TimelinePicture::Format format;
    QPageSize::PageSizeId paper;
};

const QList<Choice>& choices()
{
    using Format = TimelinePicture::Format;
    static const QList<Choice> all{
        {QStringLiteral("SVG Picture (*.svg)"), Format::Svg, QPageSize::A4},
        {QStringLiteral("PNG Picture (*.png)"), Format::Png, QPageSize::A4},
        {QStringLiteral("PDF Document, A4 Landscape (*.pdf)"), Format::Pdf, QPageSize::A4},
        {QStringLiteral("PDF Document, A3 Landscape (*.pdf)"), Format::Pdf, QPageSize::A3},
    };
    return all;
}

} // namespace

TimelineExport::TimelineExport(QWidget* parent, FileChooser& chooser, QString outputFolder)
    : m_parent(parent), m_chooser(chooser), m_outputFolder(std::move(outputFolder))
{
}

bool TimelineExport::run(const TimelineScene& scene, const QString& projectName,
                         qreal dayWidth) const
{
    if (const std::optional<Problem> missing = ExportCheck::of(scene.schedule(), projectName)) {
        Alerts::inform(m_parent, *missing);
        return false;
    }

    QStringList filters;
    for (const Choice& choice : choices())
        filters << choice.filter;
    QString selected = filters.first();
    const QString suggested =
        QDir(m_outputFolder)
            .filePath(ExportFileName::forProject(
                projectName, TimelinePicture::extensionOf(choices().first().format)));
    QString path = m_chooser.saveFile(m_parent, QStringLiteral("Export Timeline Picture"),
                                      suggested, filters.join(QStringLiteral(";;")), &selected);
    if (path.isEmpty())
        return false;

    const Choice& chosen = choices().at(std::max<qsizetype>(0, filters.indexOf(selected)));
    TimelinePicture::Options options;
    options.dayWidth = dayWidth;
    options.paper = chosen.paper;
    if (const std::optional<TimelinePicture::Format> typed = TimelinePicture::formatOf(path)) {
        options.format = *typed;
    } else {
        options.format = chosen.format;
        path += TimelinePicture::extensionOf(chosen.format);
        // The dialog asked about the name as typed, not about this one.
        if (QFileInfo::exists(path) &&
            !Alerts::confirm(m_parent, QStringLiteral("Confirm"),
                             QStringLiteral("Replace the existing file %1?")
                                 .arg(QDir::toNativeSeparators(path))))
            return false;
    }

    const TimelineStyle style = TimelineStyle::forPicture(TimelinePicture::FontPixels, QLocale());
    const TimelinePicture::Result picture = TimelinePicture::render(scene, style, options);
    if (!picture.refusal.isEmpty()) {
        Alerts::inform(m_parent, QStringLiteral("Ooops!"), picture.refusal);
        return false;
    }
    if (const std::optional<QString> reason = AtomicFile::write(path, picture.bytes)) {
        Alerts::writeFailed(m_parent, QStringLiteral("picture"), path, *reason);
        return false;
    }
    Alerts::inform(m_parent, QStringLiteral("Done!"),
                   QStringLiteral("The timeline picture is saved as %1.")
                       .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
    return true;
}

} // namespace taskloom
