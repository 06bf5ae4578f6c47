#pragma once

#include "records/gridcolumns.h"
#include "records/fieldvalue.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <string_view>

namespace zent5 {

// The rows the grid shows, in the order it shows them. The table opened in
// the main window supplies them; with none the grid shows its titles only.
// A source answers from what it took at its last reload, so the grid sees
// the rows change only when the model is told.
class GridRowSource {
public:
    virtual ~GridRowSource() = default;
    virtual int rowCount() const = 0;
    virtual FieldValue value(int row, std::string_view field) const = 0;
    // Takes the rows afresh; called by the model inside its reset or
    // re-layout, never in between.
    virtual void reload() {}
    // Writes a typed value into a row. False when the source keeps no edits.
    virtual bool setValue(int row, std::string_view field, const FieldValue& value)
    {
        (void)row;
        (void)field;
        (void)value;
        return false;
    }
    // What identifies a row across a reload, and where that row is after
    // it (-1 when it is gone).
    virtual uint64_t rowKey(int row) const { return uint64_t(row); }
    virtual int rowOfKey(uint64_t key) const { return key < uint64_t(rowCount()) ? int(key) : -1; }
};

// The grid's item model: one model column per grid column (hidden ones
// included), cells formatted by their column, coloured by the column's
// colour and font. Only the editable columns take input: a comment of at
// most 100 characters that code page 1251 can hold, a number for the area.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridModel(const GridColumns& columns, QObject* parent = nullptr);

    // The source stays owned by the caller; nullptr shows no rows.
    void setRowSource(GridRowSource* source);
    GridRowSource* rowSource() const { return m_source; }
    // Re-reads the rows from the source; the view loses its current row
    // and selection.
    void refresh();
    // Re-reads rows that may have moved but not come or gone: the current
    // row, the selection and an open editor stay on the same rows.
    void reloadKeepingRows();
    // The columns' captions, colours, fonts or alignment changed; the view
    // repaints the cells.
    void columnsChanged();

    void setDecimalSeparator(char separator) { m_decimalSeparator = separator; }
    char decimalSeparator() const { return m_decimalSeparator; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const GridColumns& m_columns;
    GridRowSource* m_source = nullptr;
    char m_decimalSeparator;
};

} // namespace zent5
