#include "app/celldelegate.h"

#include "app/cellformat.h"
#include "app/gridmodel.h"
#include "records/text.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QValidator>

namespace zent5 {

namespace {

class CommentValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        return comment_fits(input.toStdString()) ? Acceptable : Invalid;
    }
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
    if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget))
        if (view->currentIndex().isValid() && view->currentIndex().row() == index.row())
            look.state |= QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, look, index);
}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor); line && index.column() < m_columns.size()) {
        if (m_columns[index.column()].format == GridFormat::Text) {
            line->setMaxLength(comment_max_length);
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
