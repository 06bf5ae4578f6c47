#include "app/datagrid.h"
#include "records/gridcolumns.h"
#include "app/gridprocedures.h"
#include "app/qtcolumnlook.h"

#include <QBrush>
#include <QHeaderView>

#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <optional>

namespace zent5 {
namespace {

using A = ColumnAlignment;
using D = GridFormat;
// The system of units that shows a column; nothing: both do.
const std::optional<Units> kBoth;
const std::optional<Units> kKiloNewton = Units::KiloNewton;
const std::optional<Units> kKiloGramForce = Units::KiloGramForce;

TEST(GridColumns, TheTwelveColumnsInGridOrder)
{
    struct Expected {
        const char* field;
        const char* caption;
        int width;
        A alignment;
        D format;
        bool editable;
        std::optional<Units> units;
    };
    const Expected expected[] = {
        {"N", "N", 143, A::taCenter, D::General, false, kBoth},
        {"DATE", "Дата", 133, A::taCenter, D::Text, false, kBoth},
        {"TIME", "Время", 124, A::taCenter, D::Text, false, kBoth},
        {"TYPE", "Тип арматуры", 118, A::taCenter, D::Text, false, kBoth},
        {"D", "d, мм", 116, A::taRightJustify, D::General, false, kBoth},
        {"P", "F, кН", 116, A::taRightJustify, D::Fixed2, false, kKiloNewton},
        {"P_KG", "F, кГс", 114, A::taRightJustify, D::General, false, kKiloGramForce},
        {"S", "б, МПа", 110, A::taRightJustify, D::Fixed1, false, kKiloNewton},
        {"S_KG", "б, кГс/кв.см", 110, A::taRightJustify, D::General, false, kKiloGramForce},
        {"F_MM", "S, кв.см", 70, A::taRightJustify, D::General, false, kKiloGramForce},
        {"F", "S, кв.мм", 56, A::taRightJustify, D::General, true, kKiloNewton},
        {"COMMENT", "Примечание", 111, A::taCenter, D::Text, true, kBoth},
    };
    const GridColumns columns = GridColumns::measurement();
    ASSERT_EQ(columns.size(), 12);
    for (int i = 0; i < 12; ++i) {
        const Expected& e = expected[i];
        const GridColumn& c = columns[i];
        SCOPED_TRACE(e.field);
        EXPECT_EQ(c.field, e.field);
        EXPECT_EQ(c.caption, e.caption);
        EXPECT_EQ(c.Width, e.width);
        EXPECT_EQ(c.Alignment, e.alignment);
        EXPECT_EQ(c.format, e.format);
        EXPECT_EQ(c.editable, e.editable);
        EXPECT_EQ(c.units, e.units);
        EXPECT_EQ(c.Color, clNone);
        EXPECT_EQ(c.LayoutIndex, i);
    }
    EXPECT_EQ(columns.indexOf("SERIAL"), -1) << "the serial number has no column";
}

TEST(GridColumns, FieldNamesMatchWithoutRegardToCase)
{
    GridColumns columns = GridColumns::measurement();
    EXPECT_EQ(columns.indexOf("comment"), 11);
    EXPECT_EQ(columns.indexOf("p_kg"), 6);
    EXPECT_EQ(columns.indexOf("COMMENTS"), -1);
    ASSERT_NE(columns.find("f_mm"), nullptr);
    EXPECT_EQ(columns.find("f_mm")->caption, "S, кв.см");
}

TEST(GridColumns, SwitchingUnitsKeepsTheOtherPropertiesOfHiddenColumns)
{
    GridColumns columns = GridColumns::measurement();
    columns.find("P")->Color = 0x0000FF;
    columns.find("P")->Width = 40;
    columns.showUnits(Units::KiloGramForce);
    columns.showUnits(Units::KiloNewton);
    EXPECT_TRUE(columns.find("P")->visible);
    EXPECT_EQ(columns.find("P")->Color, 0x0000FFu);
    EXPECT_EQ(columns.find("P")->Width, 40);
}

TEST(GridColumns, TitleClicksCycleTheOnlySortMark)
{
    using T = GridTitleState;
    struct Click {
        int column;
        bool ctrl;
        bool changed;
        T mark;
    };
    const Click clicks[] = {
        {5, false, true, T::tsSortedUp},
        {5, false, true, T::tsSortedDown},
        {5, false, true, T::tsSortedUp},
        {5, true, true, T::tsSortedNone},
        {5, true, false, T::tsSortedNone},
        {1, false, true, T::tsSortedUp},
        {11, false, true, T::tsSortedUp}, // moves the only mark
    };
    GridColumns columns = GridColumns::measurement();
    columns.clearSortMarks();
    int step = 0;
    for (const Click& c : clicks) {
        SCOPED_TRACE(step++);
        EXPECT_EQ(columns.titleClick(c.column, c.ctrl), c.changed);
        for (int i = 0; i < columns.size(); ++i)
            EXPECT_EQ(columns[i].TitleState, i == c.column ? c.mark : T::tsSortedNone) << i;
    }
}

TEST(AutoFit, ScalesToFillTheWidthKeepingProportions)
{
    struct Case {
        std::vector<int> widths;
        int available;
        std::vector<int> fitted;
    };
    const Case cases[] = {
        {{100, 100, 100}, 300, {100, 100, 100}},
        {{1, 3}, 8, {2, 6}},
        {{5, 5, 5}, 10, {4, 3, 3}},
        {{100, 100, 100, 100, 100, 100, 100, 100, 100}, 1198, {134, 133, 133, 133, 133, 133, 133, 133, 133}},
        {{10, 20}, 0, {0, 0}},
        {{}, 500, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.available);
        EXPECT_EQ(auto_fit_widths(c.widths, c.available), c.fitted);
    }
}

TEST(DragBorder, TheColumnsOnTheRightShareTheChange)
{
    struct Case {
        const char* name;
        std::vector<int> widths;
        size_t column;
        int wanted;
        std::vector<int> result;
    };
    const Case cases[] = {
        {"wider: the right columns give in proportion", {100, 100, 200, 100}, 0, 180, {180, 80, 160, 80}},
        {"narrower: they take in proportion", {100, 100, 200, 100}, 1, 60, {100, 60, 227, 113}},
        {"no right column below the minimum", {100, 100, 30, 100}, 0, 250, {250, 30, 20, 30}},
        {"held where they can give no more", {100, 100, 100}, 0, 1000, {260, 20, 20}},
        {"not below the minimum itself", {100, 100, 100}, 1, 5, {100, 20, 180}},
        {"the last column keeps its width", {100, 100, 100}, 2, 150, {100, 100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<int> result = drag_border_widths(c.widths, c.column, c.wanted, 20);
        EXPECT_EQ(result, c.result);
        int before = 0, after = 0;
        for (size_t i = 0; i < c.widths.size(); ++i) {
            before += c.widths[i];
            after += result[i];
        }
        EXPECT_EQ(after, before);
    }
}

class Grid : public ::testing::Test {
protected:
    DataGrid grid;

    std::vector<std::string> shownCaptions() const
    {
        std::vector<std::string> captions;
        for (int i = 0; i < grid.model()->columnCount(); ++i)
            if (!grid.isColumnHidden(i))
                captions.push_back(grid.model()->headerData(i, Qt::Horizontal).toString().toStdString());
        return captions;
    }
};

TEST_F(Grid, UnitsShowTheirThreeColumnsAndTheOtherSixStay)
{
    set_vis_on_dimens(grid, Units::KiloGramForce);
    EXPECT_EQ(shownCaptions(), (std::vector<std::string>{"N", "Дата", "Время", "Тип арматуры", "d, мм", "F, кГс",
                                                         "б, кГс/кв.см", "S, кв.см", "Примечание"}));
    set_vis_on_dimens(grid, Units::KiloNewton);
    EXPECT_EQ(shownCaptions(), (std::vector<std::string>{"N", "Дата", "Время", "Тип арматуры", "d, мм", "F, кН",
                                                         "б, МПа", "S, кв.мм", "Примечание"}));
}

TEST_F(Grid, FittingSetsEveryWidthToATwelfthThenFillsTheGridEqually)
{
    set_vis_on_dimens(grid, Units::KiloNewton);
    grid.resize(1200, 400);
    fit_columns(grid);

    for (const GridColumn& c : grid.columns())
        EXPECT_EQ(c.Width, 100) << c.field;
    EXPECT_TRUE(grid.autoFit());
    std::vector<int> shown;
    for (int i : grid.columns().visibleIndexes())
        shown.push_back(grid.shownWidth(i));
    ASSERT_EQ(shown.size(), 9u);
    EXPECT_EQ(std::accumulate(shown.begin(), shown.end(), 0), grid.viewport()->width());
    EXPECT_LE(*std::max_element(shown.begin(), shown.end()) - *std::min_element(shown.begin(), shown.end()), 1);
}

TEST_F(Grid, FittingANarrowGridKeepsTwoPixels)
{
    grid.resize(12, 100);
    fit_columns(grid);
    for (const GridColumn& c : grid.columns())
        EXPECT_EQ(c.Width, 2) << c.field;
}

TEST_F(Grid, AutoFitKeepsTheDesignProportions)
{
    set_vis_on_dimens(grid, Units::KiloNewton);
    grid.resize(1000, 400);
    grid.applyColumns();
    const int available = grid.viewport()->width();
    int sum = 0;
    for (int i : grid.columns().visibleIndexes())
        sum += grid.shownWidth(i);
    EXPECT_EQ(sum, available);
    int total = 0;
    for (int i : grid.columns().visibleIndexes())
        total += grid.columns()[i].Width;
    for (int i : grid.columns().visibleIndexes()) {
        const double exact = double(grid.columns()[i].Width) * available / total;
        EXPECT_NEAR(grid.shownWidth(i), exact, 1.0) << grid.columns()[i].field;
    }
}

TEST_F(Grid, ClearingMarksRemovesTheTitleArrowWithoutATitleEvent)
{
    std::vector<int> titleEvents;
    QObject::connect(&grid, &DataGrid::titleStateChanged, [&](int column) { titleEvents.push_back(column); });
    grid.columns()[5].TitleState = GridTitleState::tsSortedUp;
    grid.applyColumns();
    EXPECT_EQ(grid.horizontalHeader()->sortIndicatorSection(), 5);

    clear_sort_marks(grid);
    for (const GridColumn& c : grid.columns())
        EXPECT_EQ(c.TitleState, GridTitleState::tsSortedNone);
    EXPECT_TRUE(titleEvents.empty());
}

TEST_F(Grid, ATitleClickRaisesTheTitleEventOnlyWhenTheMarkChanges)
{
    clear_sort_marks(grid);
    std::vector<int> titleEvents;
    QObject::connect(&grid, &DataGrid::titleStateChanged, [&](int column) { titleEvents.push_back(column); });
    emit grid.horizontalHeader()->sectionClicked(5);
    EXPECT_EQ(titleEvents, std::vector<int>{5});
    EXPECT_EQ(grid.columns()[5].TitleState, GridTitleState::tsSortedUp);
    EXPECT_EQ(grid.horizontalHeader()->sortIndicatorSection(), 5);
}

TEST_F(Grid, TitlesAreTwoLinesHighAndRowsAreSelectedSeveralAtATime)
{
    const QFontMetrics metrics = grid.horizontalHeader()->fontMetrics();
    EXPECT_GE(grid.horizontalHeader()->height(), 2 * metrics.lineSpacing());
    EXPECT_EQ(grid.selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_FALSE(grid.horizontalHeader()->sectionsMovable());
}

class Rows : public GridRowSource {
public:
    std::vector<std::map<std::string, FieldValue, std::less<>>> rows;
    int rowCount() const override { return int(rows.size()); }
    FieldValue value(int row, std::string_view field) const override
    {
        const auto& r = rows.at(size_t(row));
        const auto it = r.find(field);
        return it == r.end() ? FieldValue{} : it->second;
    }
};

TEST_F(Grid, CellsShowTheirColumnsFormatColourAndAlignment)
{
    Rows rows;
    rows.rows.push_back({{"N", 1.0},
                         {"DATE", std::string("05.03.2014")},
                         {"P", 12.345},
                         {"S", FieldValue{}},
                         {"F", 12.566370614359172},
                         {"COMMENT", std::string("анкер 3")}});
    grid.gridModel().setDecimalSeparator(',');
    grid.gridModel().setRowSource(&rows);
    grid.columns().find("COMMENT")->Color = 0x00FFFF; // yellow
    grid.applyColumns();

    const QAbstractItemModel& model = *grid.model();
    auto text = [&](const char* field) {
        return model.index(0, grid.columns().indexOf(field)).data().toString().toStdString();
    };
    EXPECT_EQ(text("N"), "1");
    EXPECT_EQ(text("DATE"), "05.03.2014");
    EXPECT_EQ(text("P"), "12,35");
    EXPECT_EQ(text("S"), "");
    EXPECT_EQ(text("F"), "12,5663706143592");
    EXPECT_EQ(text("COMMENT"), "анкер 3");

    const QModelIndex comment = model.index(0, 11);
    EXPECT_EQ(comment.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 0));
    EXPECT_FALSE(model.index(0, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(model.index(0, 5).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(model.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::Alignment(Qt::AlignCenter));

    std::vector<std::string> editable;
    for (int i = 0; i < 12; ++i)
        if (model.flags(model.index(0, i)) & Qt::ItemIsEditable)
            editable.push_back(grid.columns()[i].field);
    EXPECT_EQ(editable, (std::vector<std::string>{"F", "COMMENT"}));
}

TEST(ColumnColours, TravelAsBlueGreenRed)
{
    EXPECT_EQ(color_from_bgr(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(color_from_bgr(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(bgr_from_color(QColor(0x12, 0x34, 0x56)), 0x563412u);
}

} // namespace
} // namespace zent5

namespace zent5 {
namespace {

TEST_F(Grid, OnlyTheAreaAndCommentCellsStartAnEdit)
{
    Rows rows;
    rows.rows.push_back({{"N", 1.0}, {"F", 12.5}, {"COMMENT", std::string("")}});
    grid.gridModel().setRowSource(&rows);
    grid.resize(1000, 300);
    grid.show();
    int started = 0;
    QObject::connect(&grid, &DataGrid::editStarted, [&] { ++started; });

    for (const char* field : {"N", "DATE", "P", "S", "TYPE"}) {
        grid.edit(grid.model()->index(0, grid.columns().indexOf(field)));
        EXPECT_EQ(started, 0) << field;
    }
    grid.edit(grid.model()->index(0, grid.columns().indexOf("COMMENT")));
    EXPECT_EQ(started, 1);
    grid.edit(grid.model()->index(0, grid.columns().indexOf("COMMENT")));
    EXPECT_EQ(started, 1) << "an edit already open does not start again";
}

} // namespace
} // namespace zent5
