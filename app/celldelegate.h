#pragma once

#include "app/gridcolumns.h"

#include <QPointer>
#include <QStyledItemDelegate>

namespace zent5 {

// The grid's in-place editor: a line edit that refuses, as the user types,
// what the column cannot keep (a comment longer than 100 characters or with
// a character code page 1251 lacks; anything but a number for the area).
// It knows the editor it has open, so the grid can commit or drop it. The
// row of the cell cursor is filled like a selected row, whether or not it
// is selected: the selection is what the delete command takes.
class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CellDelegate(const GridColumns& columns, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

    QWidget* openEditor() const { return m_editor; }

private:
    const GridColumns& m_columns;
    mutable QPointer<QWidget> m_editor;
};

} // namespace zent5
