#include "app/commentinput.h"
#include "tests/app/tablewindow.h"

#include <QBrush>
#include <QAction>
#include <QLineEdit>

namespace zent5 {
namespace {

using testing::read_table;
using testing::ScriptedPrompter;
using testing::TableWindow;

class ViewCommands : public TableWindow {
protected:
    void SetUp() override
    {
        file = may();
        show(w);
        openByMenu(w, file);
        ASSERT_TRUE(w.state().table_open);
    }
    void TearDown() override { EXPECT_TRUE(errors.prompter.messages.empty()) << errors.prompter.messageLines()[0]; }

    GridTitleState mark(const char* field) { return grid(w).columns().find(field)->TitleState; }
    bool sortFileExists() { return exists(path("May.mdx")); }
    void select(std::initializer_list<int> rows)
    {
        grid(w).clearSelection();
        for (int row : rows)
            grid(w).selectionModel()->select(grid(w).model()->index(row, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void setCurrent(int row, const char* field)
    {
        grid(w).selectionModel()->setCurrentIndex(grid(w).model()->index(row, column(w, field)),
                                                  QItemSelectionModel::NoUpdate);
    }

    TForm1 w{prompts};
    std::string file;
};

// Forces in file order: 30, 50, 10, 50, 20 (N 1 to 5).
TEST_F(ViewCommands, TitleClicksOnForceSortLargestFirstThenSmallestAndCtrlClickRestoresFileOrder)
{
    using T = GridTitleState;
    struct Step {
        Qt::KeyboardModifiers keys;
        T mark;
        std::vector<int> ns;
        bool sortFile;
    };
    const Step steps[] = {
        {Qt::NoModifier, T::tsSortedUp, {2, 4, 1, 5, 3}, true},
        {Qt::NoModifier, T::tsSortedDown, {3, 5, 1, 2, 4}, true},
        {Qt::NoModifier, T::tsSortedUp, {2, 4, 1, 5, 3}, true},
        {Qt::ControlModifier, T::tsSortedNone, {1, 2, 3, 4, 5}, false},
        {Qt::ControlModifier, T::tsSortedNone, {1, 2, 3, 4, 5}, false},
    };
    int step = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(++step);
        clickTitle(w, "P", s.keys);
        EXPECT_EQ(mark("P"), s.mark);
        EXPECT_EQ(shownNs(w), s.ns);
        EXPECT_EQ(sortFileExists(), s.sortFile);
    }
    EXPECT_FALSE(w.state().table_changed) << "sorting is not an edit";
}

TEST_F(ViewCommands, ClickingAnotherTitleMovesTheOnlyMarkAndSortsByThatColumn)
{
    clickTitle(w, "P");
    clickTitle(w, "N");
    EXPECT_EQ(mark("P"), GridTitleState::tsSortedNone);
    EXPECT_EQ(mark("N"), GridTitleState::tsSortedUp);
    EXPECT_EQ(shownNs(w), (std::vector<int>{5, 4, 3, 2, 1}));
}

TEST_F(ViewCommands, TheCellCursorStaysOnItsRecordWhenTheOrderChanges)
{
    setCurrent(2, "COMMENT"); // N 3, the smallest force
    clickTitle(w, "P");
    EXPECT_EQ(grid(w).currentIndex().row(), 4);
    EXPECT_EQ(grid(w).currentIndex().column(), column(w, "COMMENT"));
    EXPECT_EQ(w.Dbf1.RecNo(), 3u);
}

TEST_F(ViewCommands, RemovingTheSortGivesFileOrderAndDropsTheIndexFile)
{
    clickTitle(w, "P");
    w.N33->trigger();
    EXPECT_EQ(mark("P"), GridTitleState::tsSortedNone);
    EXPECT_EQ(shownNs(w), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(sortFileExists());
    EXPECT_EQ(w.Dbf1.IndexName(), "");
    w.N33->trigger(); // nothing to remove
    EXPECT_EQ(shownNs(w), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(ViewCommands, DeletingTwoSelectedRowsAsksNothingAndPacksTheFile)
{
    clickTitle(w, "P");
    select({0, 2}); // N 2 and N 1 in the sorted view
    w.DataGrid1InitEdit();

    w.N21->trigger();

    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(shownNs(w), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(mark("P"), GridTitleState::tsSortedNone);
    EXPECT_FALSE(sortFileExists());
    EXPECT_FALSE(w.state().table_changed);
    EXPECT_TRUE(grid(w).selectedRows().empty());
    EXPECT_EQ(w.Dbf1.RecordCount(), 3u);

    w.N7->trigger();
    const testing::StoredTable stored = read_table(file);
    EXPECT_EQ(stored.records, 3u) << "the deleted records left the file";
    EXPECT_EQ(stored.ns, (std::vector<int>{3, 4, 5}));
    EXPECT_TRUE(prompts.messages.empty());
}

// A comment still in the open editor, on a row that is not deleted, is
// written before the rows go, as saving and renumbering write it.
TEST_F(ViewCommands, DeletingRowsKeepsACommentStillBeingTyped)
{
    QLineEdit* editor = openEditor(w, 3, "COMMENT"); // N 4
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    testing::type_text(editor, QStringLiteral("дописано"));
    ASSERT_TRUE(grid(w).isEditing());
    grid(w).selectionModel()->select(grid(w).model()->index(0, 0),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    w.N21->trigger();

    EXPECT_FALSE(grid(w).isEditing());
    EXPECT_EQ(shownNs(w), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(cell(w, 2, "COMMENT"), "дописано");
    EXPECT_FALSE(w.state().table_changed);
    w.N7->trigger();
    EXPECT_TRUE(prompts.messages.empty()) << "nothing is left to save";
    const testing::StoredTable stored = read_table(file);
    EXPECT_EQ(stored.ns, (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(stored.comments, (std::vector<std::string>{"второй", "третий", "дописано", "пятый"}));
}

// The commands that change only how the columns look leave an open editor
// with what the user has typed; saving then writes it.
TEST_F(ViewCommands, ColumnCommandsLeaveTheTypedCommentInTheEditor)
{
    prompts.colors = {0x00FF00};
    for (QAction* command : {w.N17, w.N18, w.N19, w.N23, w.N33}) {
        SCOPED_TRACE(command->text().toStdString());
        QLineEdit* editor = openEditor(w, 1, "COMMENT");
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        const QString typed = command->objectName() + QStringLiteral(" набрано");
        testing::type_text(editor, typed);
        command->trigger();
        w.N5->trigger();
        EXPECT_EQ(read_table(file).comments[1], typed.toStdString());
    }
}

TEST_F(ViewCommands, DeletingWithoutASelectionTakesTheCurrentRow)
{
    grid(w).clearSelection();
    setCurrent(3, "N");
    w.PopupDelete->trigger();
    EXPECT_EQ(shownNs(w), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(read_table(file).records, 4u) << "packed at once";
}

TEST_F(ViewCommands, DeletingTheLastRowsEmptiesTheTableAndThenReportsTheEmptyTable)
{
    select({0, 1, 2, 3, 4});
    w.N21->trigger();
    EXPECT_EQ(grid(w).model()->rowCount(), 0);
    EXPECT_TRUE(w.state().table_open);

    w.N21->trigger();
    ASSERT_EQ(errors.prompter.messages.size(), 1u);
    EXPECT_EQ(errors.prompter.messages[0].text, "Cannot perform this operation on an empty dataset.");
    errors.prompter.messages.clear();
}

TEST_F(ViewCommands, RenumberingWhileSortedByForceNumbersInTheShownOrder)
{
    clickTitle(w, "P");
    w.N37->trigger();
    EXPECT_EQ(shownNs(w), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(mark("P"), GridTitleState::tsSortedUp) << "renumbering keeps the sort";
    EXPECT_TRUE(sortFileExists());
    EXPECT_FALSE(w.state().table_changed);

    w.N7->trigger();
    EXPECT_TRUE(prompts.messages.empty()) << "renumbering is not an edit";
    EXPECT_EQ(read_table(file).ns, (std::vector<int>{3, 1, 5, 2, 4}));
    openByMenu(w, file);
    EXPECT_EQ(shownNs(w), (std::vector<int>{3, 1, 5, 2, 4})) << "file order with the new numbers";
}

TEST_F(ViewCommands, RenumberingWhileSortedByTheNumberGivesEachRowOneNumber)
{
    // Shown 5, 4, 3, 2, 1: the row numbered 1 moves to the end of the view
    // at once, and a walk of the live view would meet it again.
    clickTitle(w, "N");
    w.N37->trigger();
    EXPECT_EQ(shownNs(w), (std::vector<int>{5, 4, 3, 2, 1}));
    EXPECT_EQ(read_table(file).ns, (std::vector<int>{5, 4, 3, 2, 1}));
}

TEST_F(ViewCommands, AColourOnTheCommentColumnSurvivesCloseReopenAndRestart)
{
    const int comment = column(w, "COMMENT");
    setCurrent(0, "COMMENT");
    prompts.colors = {0x00FF00, std::nullopt, 0x0000FF};
    w.N17->trigger();
    EXPECT_EQ(grid(w).columns()[comment].Color, 0x00FF00u);
    EXPECT_EQ(grid(w).model()->index(1, comment).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0, 255, 0));
    w.PopupSetColor->trigger(); // cancelled
    EXPECT_EQ(grid(w).columns()[comment].Color, 0x00FF00u);
    EXPECT_EQ(prompts.colorRequests, (std::vector<uint32_t>{0x000000, 0x00FF00})) << "black first, then the last chosen";
    EXPECT_FALSE(w.state().table_changed) << "colours are not edits";

    w.N7->trigger();
    EXPECT_TRUE(prompts.messages.empty());
    openByMenu(w, file);
    EXPECT_EQ(grid(w).columns()[comment].Color, 0x00FF00u);
    w.N7->trigger();

    ScriptedPrompter asked;
    TForm1 restarted(asked);
    asked.files.push_back(file);
    restarted.N3->trigger();
    EXPECT_EQ(restarted.DataGrid1->columns()[comment].Color, 0x00FF00u);
    EXPECT_EQ(restarted.DataGrid1->columns().find("N")->Color, clNone);
}

TEST_F(ViewCommands, RemovingColoursTakesTheCurrentColumnOrAllIncludingHiddenOnes)
{
    grid(w).columns().find("P_KG")->Color = 0x0000FF; // hidden with kN
    grid(w).columns().find("D")->Color = 0x0000FF;
    grid(w).columns().find("COMMENT")->Color = 0x0000FF;
    grid(w).applyColumns();

    setCurrent(0, "D");
    w.N18->trigger();
    EXPECT_EQ(grid(w).columns().find("D")->Color, clNone);
    EXPECT_EQ(grid(w).columns().find("COMMENT")->Color, 0x0000FFu);

    w.PopupRemoveColors->trigger();
    for (const GridColumn& c : grid(w).columns())
        EXPECT_EQ(c.Color, clNone) << c.field;
}

TEST_F(ViewCommands, FittingGivesTheShownColumnsEqualWidths)
{
    w.N23->trigger();
    std::vector<int> widths;
    for (int i = 0; i < grid(w).columns().size(); ++i)
        if (!grid(w).isColumnHidden(i))
            widths.push_back(grid(w).columnWidth(i));
    ASSERT_EQ(widths.size(), 9u);
    const auto [least, most] = std::minmax_element(widths.begin(), widths.end());
    EXPECT_LE(*most - *least, 1);
}

TEST_F(ViewCommands, TheCommentEditorKeepsWhatTheTableCanHoldAndSaysWhatItLeftOut)
{
    QLineEdit* editor = openEditor(w, 0, "COMMENT");
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(w.state().table_changed) << "set when the edit starts";

    const QString refused = QStringLiteral("Знаки, которых нет в кодировке таблицы (Windows-1251), не сохраняются.");
    const QString cut = QStringLiteral("Примечание хранит не больше 100 знаков: лишнее отброшено.");
    const QString mixed = QStringLiteral("анкер 😀 А500 中 ") + QString(150, QChar(u'ж'));
    const struct {
        const char* what;
        bool pasted;
        QString input;
        QString kept;
        QString notice;
    } cases[] = {
        {"Cyrillic, digits and signs of code page 1251", false, QStringLiteral("анкер №5 € ё"),
         QStringLiteral("анкер №5 € ё"), QString()},
        {"a character code page 1251 lacks, typed", false, QStringLiteral("a中b"), QStringLiteral("ab"), refused},
        {"an emoji, typed", false, QStringLiteral("a😀b"), QStringLiteral("ab"), refused},
        {"more than 100 characters, typed", false, QString(120, QChar(u'ж')), QString(100, QChar(u'ж')), cut},
        {"150 characters, pasted", true, QString(150, QChar(u'ж')), QString(100, QChar(u'ж')), cut},
        {"a paste with characters 1251 lacks", true, QStringLiteral("a😀b中c"), QStringLiteral("abc"), refused},
        {"a long paste with both", true, mixed, (QStringLiteral("анкер  А500  ") + QString(150, QChar(u'ж'))).left(100),
         refused + u'\n' + cut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        editor->clear();
        editor->setToolTip(QString());
        if (c.pasted) {
            editor->insert(c.input);
        } else {
            // A key at a time; a character beyond 16 bits comes as one key.
            for (qsizetype i = 0; i < c.input.size(); ++i) {
                const qsizetype n = c.input.at(i).isHighSurrogate() ? 2 : 1;
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, c.input.mid(i, n));
                QCoreApplication::sendEvent(editor, &press);
                i += n - 1;
            }
        }
        EXPECT_EQ(editor->text(), c.kept);
        EXPECT_EQ(editor->toolTip(), c.notice);
    }
    // Typed in the middle, the cursor stays after what was kept before it.
    editor->setText(QStringLiteral("абвг"));
    editor->setCursorPosition(2);
    testing::type_text(editor, QStringLiteral("中д"));
    EXPECT_EQ(editor->text(), QStringLiteral("абдвг"));
    EXPECT_EQ(editor->cursorPosition(), 3);

    editor->setText(QString(100, QChar(u'ж')));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on its next turn
    setCurrent(1, "N");
    EXPECT_EQ(read_table(file).comments[0], QString(100, QChar(u'ж')).toStdString());
}

TEST(CommentFit, KeepsWhatACommentCanStore)
{
    const std::string hundred = QString(100, QChar(u'ё')).toStdString();
    const struct {
        std::string input, kept;
        bool refused, cut;
    } cases[] = {
        {"", "", false, false},
        {"анкер №5 «А500» € ё", "анкер №5 «А500» € ё", false, false},
        {hundred, hundred, false, false},
        {hundred + "x", hundred, false, true},
        {"a😀b", "ab", true, false},
        {"中文", "", true, false},
        {"😀" + hundred + "😀", hundred, true, false},
        {"😀" + hundred + "xy", hundred, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const CommentFit fit = fit_comment(c.input);
        EXPECT_EQ(fit.text, c.kept);
        EXPECT_EQ(fit.refused, c.refused);
        EXPECT_EQ(fit.cut, c.cut);
        EXPECT_EQ(comment_notice(fit).empty(), !c.refused && !c.cut);
    }
}

TEST_F(ViewCommands, TheAreaEditorTakesANumberAndTheRowIsWrittenOnLeavingIt)
{
    const QModelIndex at = grid(w).model()->index(1, column(w, "F"));
    grid(w).setCurrentIndex(at);
    grid(w).edit(at);
    auto* editor = grid(w).findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->clear();
    testing::type_text(editor, QStringLiteral("7x.2"));
    EXPECT_EQ(editor->text(), QStringLiteral("7.2")) << "only what makes a number";
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on its next turn

    auto storedArea = [&] { return read_table(file).areas[1]; };
    EXPECT_DOUBLE_EQ(storedArea(), 12.5) << "pending until the row is left";
    setCurrent(3, "N");
    EXPECT_DOUBLE_EQ(storedArea(), 7.2);
    EXPECT_EQ(cell(w, 1, "F"), "7" + std::string(1, grid(w).gridModel().decimalSeparator()) + "2");
    EXPECT_EQ(cell(w, 1, "P"), "50" + std::string(1, grid(w).gridModel().decimalSeparator()) + "00")
        << "nothing else is recomputed";
}

TEST_F(ViewCommands, TabMovesBetweenCellsWithoutStartingAnEdit)
{
    int started = 0;
    QObject::connect(&grid(w), &DataGrid::editStarted, [&] { ++started; });
    grid(w).setFocus();
    setCurrent(0, "S");

    QTest::keyClick(&grid(w), Qt::Key_Tab);
    EXPECT_EQ(grid(w).currentIndex().column(), column(w, "F"));
    QTest::keyClick(&grid(w), Qt::Key_Tab);
    EXPECT_EQ(grid(w).currentIndex().column(), column(w, "COMMENT"));
    EXPECT_FALSE(grid(w).isEditing());
    EXPECT_EQ(started, 0);

    // From an open editor, Tab closes it and moves on without a new editor.
    setCurrent(0, "F");
    grid(w).edit(grid(w).currentIndex());
    ASSERT_EQ(started, 1);
    auto* editor = grid(w).findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(grid(w).currentIndex().column(), column(w, "COMMENT"));
    EXPECT_FALSE(grid(w).isEditing());
    EXPECT_EQ(started, 1);
}

TEST_F(ViewCommands, AnEditedRowTakesItsNewPlaceWhileSortedByComment)
{
    clickTitle(w, "COMMENT", Qt::NoModifier);
    clickTitle(w, "COMMENT", Qt::NoModifier); // smallest first
    // второй, первый, пятый, третий, четвёртый
    ASSERT_EQ(shownNs(w), (std::vector<int>{2, 1, 5, 3, 4}));
    const QModelIndex at = grid(w).model()->index(4, column(w, "COMMENT"));
    grid(w).setCurrentIndex(at);
    grid(w).edit(at);
    auto* editor = grid(w).findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->clear();
    testing::type_text(editor, QStringLiteral("а"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on its next turn
    EXPECT_EQ(shownNs(w), (std::vector<int>{2, 1, 5, 3, 4})) << "pending";

    setCurrent(1, "N"); // N 1
    EXPECT_EQ(shownNs(w), (std::vector<int>{4, 2, 1, 5, 3}));
    EXPECT_EQ(grid(w).currentIndex().row(), 2) << "the cell cursor stays on N 1";
    EXPECT_EQ(w.Dbf1.RecNo(), 1u);
}

} // namespace
} // namespace zent5

namespace zent5 {
namespace {

using ViewFollowing = testing::TableWindow;

TEST_F(ViewFollowing, AfterTheTableIsWalkedTheGridStandsOnItsCurrentRowInTheOrderNowInForce)
{
    TForm1 w(prompts);
    show(w);
    openByMenu(w, may());
    clickTitle(w, "COMMENT");
    clickTitle(w, "COMMENT"); // smallest first: N 2, 1, 5, 3, 4
    const QModelIndex at = grid(w).model()->index(4, column(w, "COMMENT"));
    grid(w).setCurrentIndex(at);
    grid(w).edit(at);
    auto* editor = grid(w).findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->clear();
    testing::type_text(editor, QStringLiteral("а"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on its next turn

    // What composing a report does: walk from the first row to the last.
    w.Dbf1.First();
    w.Dbf1.Last();
    w.grid_follow_table();

    EXPECT_EQ(shownNs(w), (std::vector<int>{4, 2, 1, 5, 3}));
    EXPECT_EQ(grid(w).currentIndex().row(), 4);
    EXPECT_EQ(w.Dbf1.RecNo(), 3u);
    EXPECT_TRUE(errors.prompter.messages.empty());
}

} // namespace
} // namespace zent5
