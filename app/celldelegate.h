#pragma once

#include "records/gridcolumns.h"

#include <QPointer>
#include <QStyledItemDelegate>

namespace zent5 {

// The grid's in-place editor: a line edit that keeps, as the user types or
// pastes, what the column can store: of a comment the characters code page
// 1251 holds, up to 100, with a note at the editor on what it left out; of
// the area only a number.
// It knows the editor it has open, so the grid can commit or drop it.
// Selected rows are filled with the selection colour; the row of the cell
// cursor, when not selected, with a paler tint of it, and the cell cursor
// itself has a frame.
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
