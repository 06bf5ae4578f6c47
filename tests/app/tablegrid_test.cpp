#include "records/cellformat.h"
#include "tests/app/tablewindow.h"
#include "tests/common/programlocale.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QAction>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>
#include <functional>

namespace zent5 {
namespace {

using testing::TableWindow;

// Collects what the model tester finds; it reports through the Qt log.
class ModelFaults {
public:
    ModelFaults() { s_faults = &faults; s_previous = qInstallMessageHandler(&ModelFaults::handle); }
    ~ModelFaults()
    {
        qInstallMessageHandler(s_previous);
        s_faults = nullptr;
    }
    std::vector<std::string> faults;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (s_faults && context.category && std::string_view(context.category) == "qt.modeltest" &&
            type != QtDebugMsg && type != QtInfoMsg)
            s_faults->push_back(text.toStdString());
        else if (s_previous)
            s_previous(type, context, text);
    }
    static inline std::vector<std::string>* s_faults = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
};

using TableGrid = TableWindow;

TEST_F(TableGrid, TheModelOverARealTableHoldsUpThroughTheCommands)
{
    ModelFaults found;
    TForm1 w(prompts);
    show(w);
    QAbstractItemModelTester tester(grid(w).model(), QAbstractItemModelTester::FailureReportingMode::Warning);

    const std::string file = may();
    openByMenu(w, file);
    clickTitle(w, "COMMENT");
    // An edit that moves its row in the sorted view, posted by leaving the row.
    const QModelIndex at = grid(w).model()->index(0, column(w, "COMMENT"));
    grid(w).setCurrentIndex(at);
    grid(w).edit(at);
    auto* editor = grid(w).findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->clear();
    testing::type_text(editor, QStringLiteral("аа"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on its next turn
    grid(w).setCurrentIndex(grid(w).model()->index(1, 0));
    clickTitle(w, "P");
    w.N37->trigger();
    grid(w).selectRow(1);
    w.N21->trigger();
    w.N5->trigger();
    w.N33->trigger();
    w.N7->trigger();

    EXPECT_TRUE(found.faults.empty()) << found.faults.front();
    EXPECT_TRUE(errors.prompter.messages.empty());
}

TEST_F(TableGrid, AHundredThousandRowsOpenAndScrollReadingOnlyTheRowsShown)
{
    const std::string file = path("big.db");
    {
        DbfTable t;
        t.setFilePath(folder());
        t.setTableName("big.db");
        t.CreateNew();
        t.Open();
        for (int n = 1; n <= 100000; ++n) {
            t.Append();
            t.SetFieldValue("N", double(n));
            t.SetFieldValue("P", double(n % 97));
            t.Post();
        }
        t.Close();
    }
    TForm1 w(prompts);
    show(w);
    openByMenu(w, file);
    const TableRows* rows = grid(w).tableRows();
    ASSERT_NE(rows, nullptr);

    EXPECT_EQ(grid(w).model()->rowCount(), 100000);
    (void)w.grab();
    grid(w).scrollTo(grid(w).model()->index(50000, 0), QAbstractItemView::PositionAtTop);
    (void)w.grab();
    grid(w).verticalScrollBar()->setValue(grid(w).verticalScrollBar()->maximum());
    (void)w.grab();

    EXPECT_EQ(cell(w, 50000, "N"), "50001");
    EXPECT_EQ(cell(w, 99999, "N"), "100000");
    // Three screens of rows, read a block at a time, are a few hundred rows
    // of twelve values; the whole table would be 1,200,000.
    EXPECT_GT(rows->valuesRead(), 0u);
    EXPECT_LT(rows->valuesRead(), 12u * 1000u);
    EXPECT_TRUE(errors.prompter.messages.empty());
}

// The grid's numbers under the users' locale and two others: plain and fixed
// forms alike take the system's decimal separator.
TEST_F(TableGrid, NumbersShowWithTheSystemsDecimalSeparator)
{
    const std::string file = may();
    for (const auto& [locale, separator] : testing::kLocaleSeparators) {
        SCOPED_TRACE(locale);
        const testing::ProgramLocale scoped(locale);
        ASSERT_TRUE(scoped.ok()) << "locale not installed";
        const std::string point(1, separator);
        TForm1 w(prompts);
        w.Open_DB(file);
        EXPECT_EQ(cell(w, 1, "N"), "2");
        EXPECT_EQ(cell(w, 1, "P"), "50" + point + "00");
        EXPECT_EQ(cell(w, 1, "F"), "12" + point + "5");
        w.Close_DB();
    }
}

// What the grid shows after its rows are read again: the columns of the
// other system of units stay hidden, the visible ones fill the grid with no
// gap, and the widths the layout stores do not shrink, whatever re-read the
// rows (a reset of the model, a re-layout after a walk of the table, an edit
// posted by leaving its row, deleting, saving, switching the units).
TEST_F(TableGrid, ReadingTheRowsAgainKeepsTheUnitsColumnsHiddenAndTheWidths)
{
    for (const Units units : {Units::KiloNewton, Units::KiloGramForce}) {
        const Units other = units == Units::KiloGramForce ? Units::KiloNewton : Units::KiloGramForce;
        SCOPED_TRACE(units == Units::KiloGramForce ? "kgf" : "kN");
        settings.set("Dimension", units == Units::KiloGramForce ? 1 : 0);
        settings.set("Table_1", QString());
        TForm1 w(prompts);
        show(w);
        openByMenu(w, may());
        const std::vector<std::string> unitFields =
            units == Units::KiloGramForce ? std::vector<std::string>{"P_KG", "S_KG", "F_MM"}
                                          : std::vector<std::string>{"P", "S", "F"};
        QHeaderView* titles = grid(w).horizontalHeader();
        auto check = [&](const char* step) {
            SCOPED_TRACE(step);
            int shownWidth = 0;
            for (int i = 0; i < grid(w).columns().size(); ++i) {
                const GridColumn& c = grid(w).columns()[i];
                const bool unitColumn = c.field == "P" || c.field == "S" || c.field == "F" || c.field == "P_KG" ||
                                        c.field == "S_KG" || c.field == "F_MM";
                const bool shouldShow =
                    !unitColumn || std::find(unitFields.begin(), unitFields.end(), c.field) != unitFields.end();
                EXPECT_EQ(titles->isSectionHidden(i), !shouldShow) << c.field;
                if (!titles->isSectionHidden(i))
                    shownWidth += titles->sectionSize(i);
            }
            EXPECT_EQ(shownWidth, grid(w).viewport()->width()) << "the columns leave a gap or run past the grid";
        };
        std::vector<int> stored;
        for (const GridColumn& c : grid(w).columns())
            stored.push_back(c.Width);
        auto storedNow = [&] {
            std::vector<int> widths;
            for (const GridColumn& c : grid(w).columns())
                widths.push_back(c.Width);
            return widths;
        };
        check("opened");

        const struct {
            const char* name;
            std::function<void()> run;
        } steps[] = {
            {"model reset", [&] { grid(w).gridModel().refresh(); }},
            {"re-layout", [&] { grid(w).gridModel().reloadKeepingRows(); }},
            {"walk of the table, as the report makes", [&] {
                 w.Dbf1.Last();
                 w.grid_follow_table();
             }},
            {"comment typed, then Down", [&] {
                 QLineEdit* editor = openEditor(w, 0, "COMMENT");
                 ASSERT_NE(editor, nullptr);
                 testing::type_text(editor, QStringLiteral("х"));
                 QTest::keyClick(editor, Qt::Key_Down);
                 QCoreApplication::processEvents();
             }},
            {"rows deleted", [&] {
                 grid(w).selectRow(1);
                 w.N21->trigger();
             }},
            {"saved", [&] { w.N5->trigger(); }},
            {"sorted", [&] { clickTitle(w, "N"); }},
            {"units switched there and back", [&] {
                 w.state().dimension = other;
                 w.set_vis_on_dimens();
                 grid(w).gridModel().refresh();
                 w.state().dimension = units;
                 w.set_vis_on_dimens();
                 w.Dbf1.Last();
                 w.grid_follow_table();
             }},
        };
        for (const auto& step : steps) {
            step.run();
            check(step.name);
            EXPECT_EQ(storedNow(), stored) << step.name;
        }
        w.N7->trigger();
        prompts.answers = {MessageAnswer::No};
        TForm1 again(prompts);
        show(again);
        openByMenu(again, path("May.db"));
        std::vector<int> restored;
        for (const GridColumn& c : again.DataGrid1->columns())
            restored.push_back(c.Width);
        EXPECT_EQ(restored, stored) << "the layout stored other widths";
        again.N7->trigger();
        prompts.messages.clear();
    }
}

// What the user sees of the cell cursor and the selection: selected rows in
// the selection colour, the row of the cell cursor (not selected) tinted
// between the window colour and that, and a frame round the cell cursor.
TEST_F(TableGrid, TheCellCursorHasAFrameAndItsRowIsTintedPalerThanASelection)
{
    TForm1 w(prompts);
    show(w);
    openByMenu(w, may());
    DataGrid& g = grid(w);
    g.clearSelection();
    g.selectionModel()->select(g.model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    g.selectionModel()->setCurrentIndex(g.model()->index(3, column(w, "COMMENT")), QItemSelectionModel::NoUpdate);
    const QImage shot = g.viewport()->grab().toImage();
    auto at = [&](int row, const char* field, int dx, int dy) {
        const QRect r = g.visualRect(g.model()->index(row, column(w, field)));
        return shot.pixelColor(r.left() + dx, r.top() + dy);
    };
    const QColor highlight = g.palette().color(QPalette::Highlight);
    const QColor base = g.palette().color(QPalette::Base);
    EXPECT_EQ(at(0, "N", 4, 3), highlight) << "a selected row";
    EXPECT_EQ(at(2, "N", 4, 3), base) << "a row neither selected nor current";
    const QColor tinted = at(3, "N", 4, 3);
    EXPECT_NE(tinted, base) << "the current row looks like any other";
    EXPECT_NE(tinted, highlight) << "the current row looks like a selected one";
    EXPECT_EQ(at(3, "COMMENT", 1, 8), highlight) << "no frame round the cell cursor";
    EXPECT_EQ(at(3, "COMMENT", 5, 4), tinted);

    // On a selected row the frame takes the selection's text colour.
    g.selectionModel()->select(g.model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QImage selectedShot = g.viewport()->grab().toImage();
    const QRect cursor = g.visualRect(g.model()->index(3, column(w, "COMMENT")));
    EXPECT_EQ(selectedShot.pixelColor(cursor.left() + 1, cursor.top() + 8), g.palette().color(QPalette::HighlightedText));
    EXPECT_EQ(selectedShot.pixelColor(cursor.left() + 5, cursor.top() + 4), highlight);
}

// Dragging a title border wider takes the width from all the columns on its
// right in proportion, so its neighbour keeps most of its width.
TEST_F(TableGrid, DraggingATitleBorderTakesTheWidthFromTheColumnsOnItsRight)
{
    TForm1 w(prompts);
    show(w);
    openByMenu(w, may());
    DataGrid& g = grid(w);
    QHeaderView* titles = g.horizontalHeader();
    const int n = column(w, "N"), date = column(w, "DATE");
    const int dateBefore = titles->sectionSize(date);
    const int nBefore = titles->sectionSize(n);
    titles->resizeSection(n, nBefore + 300);
    EXPECT_EQ(titles->sectionSize(n), nBefore + 300);
    EXPECT_GT(titles->sectionSize(date), dateBefore * 2 / 3) << "the neighbour gave more than its share";
    int shown = 0;
    for (int i = 0; i < g.columns().size(); ++i)
        if (!titles->isSectionHidden(i)) {
            shown += titles->sectionSize(i);
            EXPECT_EQ(g.columns()[i].Width, titles->sectionSize(i)) << g.columns()[i].field;
        }
    EXPECT_EQ(shown, g.viewport()->width());
}

TEST(CellInput, TypedNumbers)
{
    const struct {
        const char* typed;
        bool number;
        double value; // NaN: blank, stored as null
        bool inProgress;
    } cases[] = {
        {"12,5", true, 12.5, true},     {"12.5", true, 12.5, true},   {" 7 ", true, 7, true},
        {"-0,25", true, -0.25, true},   {"+3", true, 3, true},        {"1e3", true, 1000, true},
        {",5", true, 0.5, true},        {"5,", true, 5, true},        {"", true, NAN, true},
        {"-", false, 0, true},          {"1e", false, 0, true},       {",", false, 0, true},
        {"1,2,3", false, 0, false},     {"abc", false, 0, false},     {"1 2", false, 0, false},
        {"e5", false, 0, false},        {"1e999", false, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::optional<FieldValue> got = typed_number(c.typed, ',');
        EXPECT_EQ(got.has_value(), c.number);
        if (got && std::isnan(c.value)) {
            EXPECT_TRUE(isNull(*got));
        } else if (got) {
            EXPECT_DOUBLE_EQ(std::get<double>(*got), c.value);
        }
        EXPECT_EQ(number_in_progress(c.typed, ','), c.inProgress);
    }
}

TEST(CellInput, CommentsThatFit)
{
    const std::pair<std::string, bool> cases[] = {
        {"", true},
        {"анкер №5 «А500» € ё", true},
        {std::string(100, 'x'), true},
        {std::string(101, 'x'), false},
        {QString(100, QChar(u'ж')).toStdString(), true}, // 200 bytes, 100 characters
        {QString(101, QChar(u'ж')).toStdString(), false},
        {"中", false},
        {"emoji 😀", false},
    };
    for (const auto& [text, fits] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(comment_fits(text), fits);
    }
}

} // namespace
} // namespace zent5
