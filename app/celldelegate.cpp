#include "app/celldelegate.h"

#include "records/cellformat.h"
#include "app/commentinput.h"
#include "app/gridmodel.h"
#include "records/text.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPainter>
#include <QPen>
#include <QPointer>
#include <QToolTip>
#include <QValidator>

#include <algorithm>

namespace zent5 {

namespace {

// Keeps what a comment can store of what is typed or pasted, and says at
// the editor what it left out.
class CommentValidator : public QValidator {
public:
    explicit CommentValidator(QLineEdit* editor) : QValidator(editor), m_editor(editor) {}
    State validate(QString& input, int& cursor) const override
    {
        const CommentFit fit = fit_comment(input.toStdString());
        if (!fit.refused && !fit.cut)
            return Acceptable;
        // The cursor stays after the characters before it that were kept.
        const QString kept = QString::fromStdString(fit.text);
        const qsizetype before = QString::fromStdString(fit_comment(input.left(cursor).toStdString()).text).size();
        input = kept;
        cursor = int(std::min(before, kept.size()));
        if (m_editor) {
            const QString notice = QString::fromStdString(comment_notice(fit));
            m_editor->setToolTip(notice);
            QToolTip::showText(m_editor->mapToGlobal(QPoint(0, m_editor->height())), notice, m_editor);
        }
        return Acceptable;
    }

private:
    QPointer<QLineEdit> m_editor;
};

class NumberValidator : public QValidator {
public:
    NumberValidator(char decimalSeparator, QObject* parent) : QValidator(parent), m_separator(decimalSeparator) {}
    State validate(QString& input, int&) const override
    {
        const std::string typed = input.toStdString();
        if (typed_number(typed, m_separator))
            return Acceptable;
        return number_in_progress(typed, m_separator) ? Intermediate : Invalid;
    }

private:
    char m_separator;
};

} // namespace

CellDelegate::CellDelegate(const GridColumns& columns, QObject* parent) : QStyledItemDelegate(parent), m_columns(columns)
{
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem look(option);
    // The cell cursor gets a frame of its own below.
    look.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, look, index);

    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const QModelIndex current = view ? view->currentIndex() : QModelIndex();
    if (!current.isValid() || current.row() != index.row())
        return;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    painter->save();
    if (!selected) {
        // The row of the cell cursor, when it is not selected, is tinted
        // paler than a selected row: deleting takes the selected rows only.
        QColor tint = option.palette.color(QPalette::Highlight);
        tint.setAlpha(64);
        painter->fillRect(option.rect, tint);
    }
    if (current.column() == index.column()) {
        // The cell that typing and the column commands take.
        QPen frame(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Highlight));
        frame.setWidth(2);
        frame.setJoinStyle(Qt::MiterJoin);
        painter->setPen(frame);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
    }
    painter->restore();
}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor); line && index.column() < m_columns.size()) {
        if (m_columns[index.column()].format == GridFormat::Text) {
            // No length limit of the editor's own: it would cut a paste
            // without a word; the validator cuts and says so.
            line->setValidator(new CommentValidator(line));
        } else {
            const auto* model = qobject_cast<const GridModel*>(index.model());
            const char separator = model ? model->decimalSeparator() : text::decimalSeparator();
            line->setValidator(new NumberValidator(separator, line));
        }
    }
    m_editor = editor;
    return editor;
}

void CellDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (m_editor == editor)
        m_editor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

} // namespace zent5
