#include "helpmenu.h"

#include "alerts.h"
#include "settings/appfolders.h"
#include "taskloomversion.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextBrowser>

namespace taskloom {

HelpMenu::HelpMenu(QWidget* window)
    : QMenu(QStringLiteral("&Help"), window), m_window(window),
      m_browser([](const QUrl& page) { return QDesktopServices::openUrl(page); })
{
    setObjectName(QStringLiteral("menuHelp"));
    QAction* handbook = addAction(QStringLiteral("Taskloom &Handbook"));
    handbook->setObjectName(QStringLiteral("actionHandbook"));
    handbook->setShortcut(QKeySequence::HelpContents);
    connect(handbook, &QAction::triggered, this, &HelpMenu::showHandbook);
    addSeparator();
    QAction* about = addAction(QStringLiteral("&About Taskloom"));
    about->setObjectName(QStringLiteral("actionAbout"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &HelpMenu::showAbout);
    QAction* aboutQt = addAction(QStringLiteral("About &Qt"));
    aboutQt->setObjectName(QStringLiteral("actionAboutQt"));
    aboutQt->setMenuRole(QAction::AboutQtRole);
    connect(aboutQt, &QAction::triggered, qApp, &QApplication::aboutQt);
}

void HelpMenu::showHandbook()
{
    // Found from where the program runs, as its settings are: nothing of the
    // build's or the install's paths is kept in the program.
    const QString index = AppFolders::handbook(QCoreApplication::applicationDirPath());
    if (index.isEmpty()) {
        Alerts::warn(m_window, QStringLiteral("Error"),
                     QStringLiteral("Error: the handbook was not found beside the program nor "
                                    "among the installed files. Please reinstall the software."));
        return;
    }
    if (!m_browser(QUrl::fromLocalFile(index)))
        readHere(index);
}

void HelpMenu::readHere(const QString& index)
{
    if (!m_reader) {
        m_reader = new QTextBrowser(m_window);
        m_reader->setObjectName(QStringLiteral("handbookReader"));
        m_reader->setWindowFlag(Qt::Window);
        m_reader->setAttribute(Qt::WA_DeleteOnClose);
        m_reader->setWindowTitle(QStringLiteral("Taskloom Handbook"));
        m_reader->setOpenExternalLinks(true);
        m_reader->resize(760, 640);
    }
    // Pictures and links are relative to the handbook's folder.
    m_reader->setSearchPaths({QFileInfo(index).absolutePath()});
    m_reader->setSource(QUrl::fromLocalFile(index));
    m_reader->show();
    m_reader->raise();
    m_reader->activateWindow();
}

void HelpMenu::showAbout()
{
    QMessageBox::about(
        m_window, QStringLiteral("About Taskloom"),
        QStringLiteral(
            "<h3>Taskloom %1</h3>"
            "<p>Lays a task list over your working days and puts it into your calendar.</p>"
            "<p>Taskloom is free software: you can redistribute it and/or modify it under the "
            "terms of the GNU General Public License as published by the Free Software "
            "Foundation, either version 3 of the License, or (at your option) any later "
            "version (GPL-3.0-or-later). It comes with ABSOLUTELY NO WARRANTY; see "
            "<a href=\"https://www.gnu.org/licenses/gpl-3.0.html\">the licence</a> for "
            "details.</p>"
            "<p>It stands on Qt %2 (LGPL-3.0), libical (LGPL-2.1 or MPL-2.0) and QtKeychain "
            "(BSD-3-Clause).</p>")
            .arg(QString::fromLatin1(Version), QString::fromLatin1(qVersion())));
}

} // namespace taskloom
