#include "app/gridmodel.h"

#include "records/cellformat.h"
#include "app/errorbox.h"
#include "app/qtcolumnlook.h"
#include "records/text.h"

#include <QBrush>

#include <vector>

namespace zent5 {

GridModel::GridModel(const GridColumns& columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns), m_decimalSeparator(text::decimalSeparator())
{
}

void GridModel::setRowSource(GridRowSource* source)
{
    beginResetModel();
    m_source = source;
    if (m_source)
        m_source->reload();
    endResetModel();
}

void GridModel::refresh()
{
    beginResetModel();
    if (m_source)
        m_source->reload();
    endResetModel();
}

void GridModel::reloadKeepingRows()
{
    if (!m_source)
        return;
    const int before = m_source->rowCount();
    // Only rows move: said so, the title row keeps its sections (hidden
    // ones, widths) instead of rebuilding them from the first row's cells.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList from = persistentIndexList();
    std::vector<uint64_t> keys;
    keys.reserve(size_t(from.size()));
    for (const QModelIndex& index : from)
        keys.push_back(m_source->rowKey(index.row()));
    m_source->reload();
    QModelIndexList to;
    to.reserve(from.size());
    for (qsizetype i = 0; i < from.size(); ++i) {
        const int row = m_source->rowOfKey(keys[size_t(i)]);
        to.push_back(row < 0 ? QModelIndex() : index(row, from[i].column()));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    // Rows came or went: a re-layout cannot say so, a reset can.
    if (m_source->rowCount() != before)
        refresh();
}

void GridModel::columnsChanged()
{
    if (columnCount() == 0)
        return;
    // Only the look of the cells changed, and the grid repaints them itself:
    // a change of their data would fill an open editor with the stored
    // value again, over what the user has typed.
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
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

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !m_source || index.row() >= rowCount() ||
        !(flags(index) & Qt::ItemIsEditable))
        return false;
    const GridColumn& column = m_columns[index.column()];
    const std::string typed = value.toString().toStdString();
    FieldValue stored;
    if (column.format == GridFormat::Text) {
        if (!comment_fits(typed))
            return false;
        stored = typed;
    } else {
        const std::optional<FieldValue> number = typed_number(typed, m_decimalSeparator);
        if (!number)
            return false;
        stored = *number;
    }
    bool written = false;
    run_guarded([&] { written = m_source->setValue(index.row(), column.field, stored); });
    if (written)
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return written;
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
