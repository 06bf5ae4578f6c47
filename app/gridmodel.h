#pragma once

#include "app/gridcolumns.h"
#include "records/fieldvalue.h"

#include <QAbstractTableModel>

#include <string_view>

namespace zent5 {

// The rows the grid shows, in the order it shows them. The table opened in
// the main window supplies them; with none the grid shows its titles only.
class GridRowSource {
public:
    virtual ~GridRowSource() = default;
    virtual int rowCount() const = 0;
    virtual FieldValue value(int row, std::string_view field) const = 0;
};

// The grid's item model: one model column per grid column (hidden ones
// included), cells formatted by their column, coloured by the column's
// colour and font.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridModel(const GridColumns& columns, QObject* parent = nullptr);

    // The source stays owned by the caller; nullptr shows no rows.
    void setRowSource(const GridRowSource* source);
    const GridRowSource* rowSource() const { return m_source; }
    // Re-reads the rows from the source.
    void refresh();
    // The columns' captions, colours, fonts or alignment changed.
    void columnsChanged();

    void setDecimalSeparator(char separator) { m_decimalSeparator = separator; }
    char decimalSeparator() const { return m_decimalSeparator; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const GridColumns& m_columns;
    const GridRowSource* m_source = nullptr;
    char m_decimalSeparator;
};

} // namespace zent5
