#include "app/datagrid.h"

#include "app/errorbox.h"
#include "app/qtcolumnlook.h"
#include "app/tablerows.h"
#include "table/dbftable.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>

#include <algorithm>

namespace zent5 {

namespace {

// Restores m_applying when a programmatic change of the sections ends, so
// the header's signals can tell the user's drags from our own changes.
class Applying {
public:
    explicit Applying(bool& flag) : m_flag(flag), m_before(flag) { m_flag = true; }
    ~Applying() { m_flag = m_before; }

private:
    bool& m_flag;
    bool m_before;
};

} // namespace

DataGrid::DataGrid(QWidget* parent)
    : QTableView(parent), m_columns(GridColumns::measurement()), m_model(m_columns), m_delegate(m_columns)
{
    setObjectName(QStringLiteral("DataGrid1"));
    setModel(&m_model);
    setItemDelegate(&m_delegate);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &DataGrid::onCurrentChanged);
    // While the rows are read again the header may rebuild its sections;
    // they are no drag of the user's, and afterwards the columns show again
    // as the collection holds them (hidden ones hidden, widths fitted).
    connect(&m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { ++m_rowsChanging; });
    connect(&m_model, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] { ++m_rowsChanging; });
    connect(&m_model, &QAbstractItemModel::modelReset, this, [this] {
        rowsChanged();
        followTable();
    });
    connect(&m_model, &QAbstractItemModel::layoutChanged, this, &DataGrid::rowsChanged);

    ColumnFont gridFont;
    setFont(qt_font(gridFont));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    setSortingEnabled(false);
    setWordWrap(false);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: #c0c0c0; }"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionsMovable(false);
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setMinimumSectionSize(2);
    titles->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter) | Qt::Alignment(Qt::TextWordWrap));
    titles->setFixedHeight(2 * titles->fontMetrics().lineSpacing() + 8);
    titles->setSortIndicatorShown(true);

    connect(titles, &QHeaderView::sectionClicked, this, &DataGrid::onTitleClicked);
    titles->viewport()->installEventFilter(this);
    connect(titles, &QHeaderView::sectionResized, this, &DataGrid::onSectionResized);
    // The header moves its own arrow on a click; the marks of the columns
    // decide where it is.
    connect(titles, &QHeaderView::sortIndicatorChanged, this, [this] {
        if (!m_applying)
            showSortMark();
    });

    applyColumns();
}

DataGrid::~DataGrid()
{
    // The editor and the model must not reach the table while the view
    // comes down; the table may be gone already.
    m_table = nullptr;
    m_model.setRowSource(nullptr);
}

void DataGrid::setTable(DbfTable* table)
{
    dropPendingEdit();
    m_table = table;
    std::unique_ptr<TableRows> rows;
    if (table) {
        std::vector<std::string> fields;
        for (const GridColumn& c : m_columns)
            fields.push_back(c.field);
        rows = std::make_unique<TableRows>(*table, std::move(fields));
    }
    // The rows shown before stay alive until the model has let go of them.
    const std::unique_ptr<TableRows> before = std::move(m_tableRows);
    m_tableRows = std::move(rows);
    m_model.setRowSource(m_tableRows.get());
}

void DataGrid::refreshRows() { m_model.refresh(); }

void DataGrid::rowsChanged()
{
    if (m_rowsChanging > 0)
        --m_rowsChanging;
    Applying applying(m_applying);
    for (int i = 0; i < m_columns.size(); ++i)
        setColumnHidden(i, !m_columns[i].visible);
    fitSections();
}

int DataGrid::firstVisibleColumn() const
{
    const std::vector<int> shown = m_columns.visibleIndexes();
    return shown.empty() ? 0 : shown.front();
}

void DataGrid::followTable()
{
    if (!m_tableRows || !m_table || !m_table->Active())
        return;
    const int row = m_tableRows->rowOf(m_table->RecNo());
    if (row < 0)
        return;
    int column = currentColumn();
    if (column < 0 || column >= m_columns.size() || isColumnHidden(column))
        column = firstVisibleColumn();
    const QModelIndex index = m_model.index(row, column);
    // Only the cell cursor moves: the selection stays what the user chose.
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index);
}

void DataGrid::commitPendingEdit()
{
    if (QWidget* editor = m_delegate.openEditor()) {
        commitData(editor);
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    if (m_tableRows && m_tableRows->postPending())
        m_model.reloadKeepingRows();
}

void DataGrid::dropPendingEdit()
{
    if (QWidget* editor = m_delegate.openEditor())
        QTableView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void DataGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Tab and Shift+Tab in the editor move to the next cell without
    // opening an editor there.
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        const QModelIndex next = moveCursor(hint == QAbstractItemDelegate::EditNextItem ? MoveNext : MovePrevious,
                                            Qt::NoModifier);
        if (next.isValid())
            selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    QTableView::closeEditor(editor, hint);
}

void DataGrid::onCurrentChanged(const QModelIndex& current, const QModelIndex&)
{
    // The whole row of the cell cursor is painted as current.
    viewport()->update();
    if (!current.isValid())
        return;
    m_lastColumn = current.column();
    if (!m_tableRows)
        return;
    run_guarded([&] {
        // Leaving a row posts its edit, and a sorted view may place the
        // row elsewhere.
        if (m_tableRows->follow(current.row()))
            m_model.reloadKeepingRows();
    });
}

void DataGrid::applyColumns()
{
    Applying applying(m_applying);
    for (int i = 0; i < m_columns.size(); ++i)
        setColumnHidden(i, !m_columns[i].visible);
    showSortMark();
    fitSections();
    m_model.columnsChanged();
    viewport()->update();
}

void DataGrid::setAutoFit(bool on)
{
    m_autoFit = on;
    applyColumns();
}

int DataGrid::shownWidth(int column) const
{
    if (column < 0 || column >= m_columns.size() || isColumnHidden(column))
        return 0;
    return columnWidth(column);
}

int DataGrid::currentColumn() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : m_lastColumn;
}

std::vector<int> DataGrid::selectedRows() const
{
    std::vector<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool DataGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool wasEditing = state() == QAbstractItemView::EditingState;
    const bool editing = QTableView::edit(index, trigger, event);
    if (editing && !wasEditing && state() == QAbstractItemView::EditingState)
        emit editStarted();
    return editing;
}

bool DataGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize && m_autoFit) {
        Applying applying(m_applying);
        fitSections();
    }
    return QTableView::viewportEvent(event);
}

void DataGrid::fitSections()
{
    Applying applying(m_applying);
    const std::vector<int> shown = m_columns.visibleIndexes();
    if (!m_autoFit) {
        for (int i : shown)
            setColumnWidth(i, m_columns[i].Width);
        return;
    }
    std::vector<int> widths;
    for (int i : shown)
        widths.push_back(m_columns[i].Width);
    const std::vector<int> fitted = auto_fit_widths(widths, viewport()->width());
    for (size_t k = 0; k < shown.size(); ++k)
        setColumnWidth(shown[k], fitted[k]);
}

void DataGrid::showSortMark()
{
    Applying applying(m_applying);
    for (int i = 0; i < m_columns.size(); ++i) {
        // An up mark sorts the largest values first, like the arrow it shows.
        switch (m_columns[i].TitleState) {
        case GridTitleState::tsSortedUp:
            horizontalHeader()->setSortIndicator(i, Qt::DescendingOrder);
            return;
        case GridTitleState::tsSortedDown:
            horizontalHeader()->setSortIndicator(i, Qt::AscendingOrder);
            return;
        case GridTitleState::tsSortedNone:
            break;
        }
    }
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event)
{
    // The header reports a click without its keys; the release that makes
    // the click carries them.
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_titleClickKeys.reset();
        else if (event->type() == QEvent::MouseButtonRelease)
            m_titleClickKeys = static_cast<QMouseEvent*>(event)->modifiers();
    }
    return QTableView::eventFilter(watched, event);
}

void DataGrid::onTitleClicked(int section)
{
    const Qt::KeyboardModifiers keys = m_titleClickKeys.value_or(QGuiApplication::keyboardModifiers());
    m_titleClickKeys.reset();
    const bool ctrl = keys.testFlag(Qt::ControlModifier);
    const bool changed = m_columns.titleClick(section, ctrl);
    showSortMark();
    if (changed)
        emit titleStateChanged(section);
}

void DataGrid::onSectionResized(int section, int oldSize, int newSize)
{
    if (m_applying || m_rowsChanging > 0 || section < 0 || section >= m_columns.size())
        return;
    Applying applying(m_applying);
    if (m_autoFit) {
        // The columns right of the dragged border give or take its width
        // together, so the columns still fill the grid and no single
        // neighbour is squeezed to nothing.
        const std::vector<int> shown = m_columns.visibleIndexes();
        const auto it = std::find(shown.begin(), shown.end(), section);
        if (it != shown.end()) {
            std::vector<int> widths;
            for (int i : shown)
                widths.push_back(i == section ? oldSize : columnWidth(i));
            // A few characters, or what the narrowest column has already.
            const int minimum =
                std::min(std::max(horizontalHeader()->minimumSectionSize(), 3 * fontMetrics().averageCharWidth()),
                         *std::min_element(widths.begin(), widths.end()));
            const std::vector<int> dragged = drag_border_widths(widths, size_t(it - shown.begin()), newSize, minimum);
            for (size_t k = 0; k < shown.size(); ++k)
                setColumnWidth(shown[k], dragged[k]);
        }
    }
    for (int i : m_columns.visibleIndexes())
        m_columns[i].Width = columnWidth(i);
}

} // namespace zent5
