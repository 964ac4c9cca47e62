#pragma once

#include <QTableView>

namespace taskloom {

// The schedule as a table. Empty, it says how to fill it, as the timeline does.
class ScheduleTableView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace taskloom
