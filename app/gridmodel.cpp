#include "app/gridmodel.h"

#include "app/cellformat.h"
#include "app/qtcolumnlook.h"
#include "records/text.h"

#include <QBrush>

namespace zent5 {

GridModel::GridModel(const GridColumns& columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns), m_decimalSeparator(text::decimalSeparator())
{
}

void GridModel::setRowSource(const GridRowSource* source)
{
    beginResetModel();
    m_source = source;
    endResetModel();
}

void GridModel::refresh()
{
    beginResetModel();
    endResetModel();
}

void GridModel::columnsChanged()
{
    if (columnCount() == 0)
        return;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_source)
        return 0;
    return m_source->rowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_columns.size(); }

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_source || index.column() >= m_columns.size())
        return {};
    const GridColumn& column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(
            cell_text(m_source->value(index.row(), column.field), column.format, m_decimalSeparator));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(qt_alignment(column.Alignment));
    case Qt::BackgroundRole:
        if (column.Color == clNone)
            return {};
        return QBrush(color_from_bgr(column.Color));
    case Qt::ForegroundRole:
        return QBrush(color_from_bgr(column.Font.color));
    case Qt::FontRole:
        return qt_font(column.Font);
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(m_columns[section].caption);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter) | Qt::Alignment(Qt::TextWordWrap));
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_columns[index.column()].editable)
        f |= Qt::ItemIsEditable;
    return f;
}

} // namespace zent5
