#include "app/datagrid.h"

#include "app/qtcolumnlook.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>

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
    : QTableView(parent), m_columns(GridColumns::measurement()), m_model(m_columns)
{
    setObjectName(QStringLiteral("DataGrid1"));
    setModel(&m_model);

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
    connect(titles, &QHeaderView::sectionResized, this, &DataGrid::onSectionResized);
    // The header moves its own arrow on a click; the marks of the columns
    // decide where it is.
    connect(titles, &QHeaderView::sortIndicatorChanged, this, [this] {
        if (!m_applying)
            showSortMark();
    });

    applyColumns();
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
    return current.isValid() ? current.column() : -1;
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

void DataGrid::onTitleClicked(int section)
{
    const bool ctrl = QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
    const bool changed = m_columns.titleClick(section, ctrl);
    showSortMark();
    if (changed)
        emit titleStateChanged(section);
}

void DataGrid::onSectionResized(int section, int oldSize, int newSize)
{
    if (m_applying || section < 0 || section >= m_columns.size())
        return;
    Applying applying(m_applying);
    if (m_autoFit) {
        // The dragged border takes its width from the next visible column,
        // so the columns still fill the grid.
        const std::vector<int> shown = m_columns.visibleIndexes();
        const auto it = std::find(shown.begin(), shown.end(), section);
        if (it != shown.end() && it + 1 != shown.end()) {
            const int next = *(it + 1);
            const int room = columnWidth(next) + oldSize - 2;
            const int width = std::clamp(newSize, 2, std::max(2, room));
            setColumnWidth(next, columnWidth(next) - (width - oldSize));
            setColumnWidth(section, width);
        } else {
            setColumnWidth(section, oldSize);
        }
    }
    for (int i : m_columns.visibleIndexes())
        m_columns[i].Width = columnWidth(i);
}

} // namespace zent5
