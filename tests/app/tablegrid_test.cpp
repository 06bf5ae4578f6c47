#include "app/cellformat.h"
#include "tests/app/tablewindow.h"
#include "tests/common/programlocale.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLineEdit>
#include <QScrollBar>

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
