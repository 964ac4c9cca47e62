#pragma once

#include <QLabel>

namespace taskloom {

// A caption that works as a link ("Tips", "Settings"): a left click on it, or
// Return, Enter or Space once Tab has reached it, emits activated. It looks
// like the plain caption it is, with a dotted frame while it has the focus.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

Q_SIGNALS:
    void activated();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace taskloom
