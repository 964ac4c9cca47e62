#pragma once

#include "engine/schedulerow.h"

#include <QAbstractTableModel>
#include <QList>
#include <QLocale>
#include <QString>

namespace taskloom {

// The schedule table's rows as the engine built them, shown read-only in four
// columns, the task cell with a box that says whether the task is done.
// Every build replaces all rows at once, so the view resets instead of
// inserting row by row.
class ScheduleTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TaskColumn, StartColumn, EndColumn, DurationColumn, ColumnCount };

    explicit ScheduleTableModel(QObject* parent = nullptr);

    void setRows(const QList<ScheduleRow>& rows);
    const QList<ScheduleRow>& rows() const { return m_rows; }

    // The locale's short date with the year written out in full.
    static QString shortDateFormat(const QLocale& locale);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A tick set or cleared is handed on, not kept: the plan records it and
    // the build that follows brings the rows.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

Q_SIGNALS:
    void doneToggled(int row, bool done);

private:
    QList<ScheduleRow> m_rows;
    QLocale m_locale;
    QString m_dateFormat;
};

} // namespace taskloom
