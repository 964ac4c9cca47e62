#pragma once

#include <QMenu>
#include <QPointer>
#include <QUrl>

#include <functional>

class QTextBrowser;

namespace taskloom {

// The Help menu: the handbook (F1), opened in the user's browser or, when no
// browser opens, in a window of Taskloom's own; and the About boxes.
class HelpMenu : public QMenu {
    Q_OBJECT
public:
    explicit HelpMenu(QWidget* window);

    // Opens a page in the user's browser; false when none could be opened.
    using Browser = std::function<bool(const QUrl& page)>;
    // Tests stand in for the desktop's browser.
    void setBrowser(Browser browser) { m_browser = std::move(browser); }

    void showHandbook();
    void showAbout();

private:
    void readHere(const QString& index);

    QWidget* m_window;
    Browser m_browser;
    QPointer<QTextBrowser> m_reader; // the own window, once opened
};

} // namespace taskloom
