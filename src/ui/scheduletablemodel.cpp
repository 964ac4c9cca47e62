#include "scheduletablemodel.h"

#include "engine/tasktext.h"

#include <QRegularExpression>

namespace taskloom {

ScheduleTableModel::ScheduleTableModel(QObject* parent)
    : QAbstractTableModel(parent), m_dateFormat(shortDateFormat(m_locale))
{
    // Set once, so the duration of every cell needs no copy of the locale.
    m_locale.setNumberOptions(QLocale::OmitGroupSeparator);
}

void ScheduleTableModel::setRows(const QList<ScheduleRow>& rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

QString ScheduleTableModel::shortDateFormat(const QLocale& locale)
{
    // Qt's short forms often write the year with two digits ("M/d/yy"); a
    // schedule may run past a century boundary, so widen a lone "yy".
    QString format = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    return format;
}

int ScheduleTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ScheduleTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ScheduleTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const ScheduleRow& row = m_rows.at(index.row());
    if (role == Qt::CheckStateRole && index.column() == TaskColumn)
        return row.done ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case TaskColumn:
        return row.task;
    case StartColumn:
        return m_locale.toString(row.start, m_dateFormat);
    case EndColumn:
        return m_locale.toString(row.end, m_dateFormat);
    case DurationColumn:
        return TaskText::durationText(row.duration, m_locale);
    default:
        return {};
    }
}

QVariant ScheduleTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TaskColumn:
        return QStringLiteral("Task");
    case StartColumn:
        return QStringLiteral("Start Date");
    case EndColumn:
        return QStringLiteral("End Date");
    case DurationColumn:
        return QStringLiteral("Task Duration");
    default:
        return {};
    }
}

Qt::ItemFlags ScheduleTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == TaskColumn ? flags | Qt::ItemIsUserCheckable : flags;
}

bool ScheduleTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != TaskColumn ||
        index.row() >= m_rows.size())
        return false;
    Q_EMIT doneToggled(index.row(), value.toInt() == Qt::Checked);
    return true;
}

} // namespace taskloom
