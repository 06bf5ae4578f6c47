#include "export/excelexport.h"
#include "export/xlstext.h"
#include "export/xlsworkbook.h"
#include "export/xlswriter.h"
#include "records/error.h"
#include "tests/common/scriptedprompter.h"
#include "tests/export/biffbytes.h"
#include "tests/export/fakecursor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace zent5;
using zent5::testing::FakeCursor;
using zent5::testing::ScriptedPrompter;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kHeadingsKn{"N", "Дата", "Время", "Тип анкера", "d, мм", "F, кН", "б, МПа", "S, кв.мм", "Примечание"};
const std::vector<std::string> kHeadingsKgf{"N",     "Дата",   "Время",        "Тип анкера", "d, мм",
                                            "F, кГс", "б, кГс/кв.см", "S, кв.см", "Примечание"};

class ExcelExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) / ("zent5_excel_" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        table.rows = zent5::testing::threeMeasurements();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void run(Units units = Units::KiloNewton)
    {
        exp2excel(table, units, prompter, "/home/инженер/таблицы", [&] {
            ++sortResets;
            table.log.push_back("resetSort");
            if (sortResetFails)
                throw Error("index busy");
        });
    }

    fs::path m_dir;
    FakeCursor table;
    ScriptedPrompter prompter;
    int sortResets = 0;
    bool sortResetFails = false;
};

TEST_F(ExcelExport, SavesAfterDialogAndReportsOnlyTheFileName)
{
    const fs::path file = m_dir / "tests.xls";
    prompter.files.push_back(file.string());
    run();

    ASSERT_EQ(prompter.dialogs.size(), 1u);
    const auto& d = prompter.dialogs[0];
    EXPECT_TRUE(d.save);
    EXPECT_EQ(d.request.filter, "Книга Excel|*.xls");
    EXPECT_EQ(d.request.filterIndex, 1);
    EXPECT_EQ(d.request.defaultExtension, ".xls");
    EXPECT_EQ(d.request.fileName, "");
    EXPECT_EQ(d.request.initialDir, "/home/инженер/таблицы");

    EXPECT_EQ(table.log, (std::vector<std::string>{"resetSort", "First", "VisibleCount", "Next", "Next", "Next"}));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Экспорт в Excel");
    EXPECT_EQ(prompter.messages[0].text, "Экспорт в файл tests.xls завершен успешно.");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(fs::is_regular_file(file));
}

TEST_F(ExcelExport, NothingHappensWithoutTableOrName)
{
    struct Case {
        const char* name;
        bool active;
        std::optional<std::string> answer;
        size_t dialogs;
    };
    const Case cases[] = {
        {"table not active", false, std::nullopt, 0},
        {"dialog cancelled", true, std::nullopt, 1},
        {"empty name", true, std::string(), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompter = ScriptedPrompter();
        table.log.clear();
        table.active = c.active;
        if (c.active)
            prompter.files.push_back(c.answer);
        run();
        EXPECT_EQ(prompter.dialogs.size(), c.dialogs);
        EXPECT_TRUE(prompter.messages.empty());
        EXPECT_TRUE(table.log.empty()); // the sort stays as it was
        EXPECT_EQ(sortResets, 0);
        EXPECT_TRUE(fs::is_empty(m_dir));
    }
}

TEST_F(ExcelExport, FailedSortResetDoesNotStopTheExport)
{
    sortResetFails = true;
    prompter.files.push_back((m_dir / "a.xls").string());
    run();
    EXPECT_EQ(sortResets, 1);
    EXPECT_EQ(prompter.messageLines(), std::vector<std::string>{"Экспорт в Excel: Экспорт в файл a.xls завершен успешно."});
}

TEST_F(ExcelExport, WriterErrorReachesCallerWithoutSuccessMessage)
{
    prompter.files.push_back((m_dir / "no such folder" / "a.xls").string());
    try {
        run();
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "StgCreateDocFile error -2147287037");
    }
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(sortResets, 1); // already done when the save failed
    EXPECT_TRUE(fs::is_empty(m_dir));
}

TEST_F(ExcelExport, ExistingFileIsReplaced)
{
    const fs::path file = m_dir / "old.xls";
    std::ofstream(file) << std::string(100000, 'o');
    prompter.files.push_back(file.string());
    run();
    std::ifstream in(file, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content.find("oooooooo"), std::string::npos);
    EXPECT_EQ(content.compare(0, 4, "\xD0\xCF\x11\xE0"), 0);
}

TEST(ExportDoneText, NamesOnlyTheFile)
{
    EXPECT_EQ(exportDoneText("/home/user/Отчёты/tests.xls"), "Экспорт в файл tests.xls завершен успешно.");
    EXPECT_EQ(exportDoneText("tests.xls"), "Экспорт в файл tests.xls завершен успешно.");
}

// ---- the sheet itself ----

std::string textOf(const XlsRange& r) { return xlstext::toUtf8(r.TextForm()); }

TEST(MeasurementSheet, HeadingsAndValuesFollowTheUnits)
{
    struct Case {
        Units units;
        const std::vector<std::string>* headings;
        const char* force;
        const char* stress;
        const char* area;
    };
    const Case cases[] = {
        {Units::KiloNewton, &kHeadingsKn, "P", "S", "F"},
        {Units::KiloGramForce, &kHeadingsKgf, "P_KG", "S_KG", "F_MM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.force);
        FakeCursor table;
        table.rows = zent5::testing::threeMeasurements();
        XlsWorkbook book;
        XlsWorksheet& sheet = book.AddSheet();
        fillMeasurementSheet(sheet, table, c.units);
        EXPECT_EQ(table.log, (std::vector<std::string>{"First", "VisibleCount", "Next", "Next", "Next"}));
        ASSERT_EQ(sheet.RangeCount(), 9 * 4);
        for (int i = 0; i < sheet.RangeCount(); ++i) {
            const XlsRange& r = sheet.RangeAt(i);
            EXPECT_EQ(r.Left(), i % 9);
            EXPECT_EQ(r.Top(), i / 9);
            EXPECT_TRUE(r.IsSingleCell());
        }
        for (int col = 0; col < 9; ++col) {
            EXPECT_FALSE(sheet.RangeAt(col).IsNumber());
            EXPECT_EQ(textOf(sheet.RangeAt(col)), (*c.headings)[size_t(col)]);
        }
        for (int k = 1; k <= 3; ++k) {
            SCOPED_TRACE(k);
            const auto& row = table.rows[size_t(k - 1)];
            auto number = [&](const char* field) {
                const auto it = row.find(field);
                return it == row.end() ? 0.0 : std::get<double>(it->second);
            };
            auto text = [&](const char* field) {
                const auto it = row.find(field);
                return it == row.end() ? std::string() : std::get<std::string>(it->second);
            };
            const char* numberFields[] = {"N", nullptr, nullptr, nullptr, "D", c.force, c.stress, c.area, nullptr};
            const char* textFields[] = {nullptr, "DATE", "TIME", "TYPE", nullptr, nullptr, nullptr, nullptr, "COMMENT"};
            for (int col = 0; col < 9; ++col) {
                const XlsRange& cell = sheet.RangeAt(9 * k + col);
                if (numberFields[col]) {
                    ASSERT_TRUE(cell.IsNumber()) << col;
                    EXPECT_EQ(std::get<double>(cell.Value()), number(numberFields[col])) << col;
                } else {
                    ASSERT_FALSE(cell.IsNumber()) << col;
                    std::string expected = text(textFields[col]);
                    if (expected == "строка 1\r\nстрока 2")
                        expected = "строка 1\nстрока 2";
                    EXPECT_EQ(textOf(cell), expected) << col;
                }
            }
        }
    }
}

TEST(MeasurementSheet, EmptyTableGivesHeadingsOnly)
{
    FakeCursor table;
    XlsWorkbook book;
    XlsWorksheet& sheet = book.AddSheet();
    fillMeasurementSheet(sheet, table, Units::KiloNewton);
    EXPECT_EQ(table.log, (std::vector<std::string>{"First", "VisibleCount"}));
    EXPECT_EQ(sheet.RangeCount(), 9);
    const XlsArea& a = sheet.UsedArea();
    EXPECT_EQ(std::vector<int>({a.Left, a.Top, a.Right, a.Bottom}), std::vector<int>({0, 0, 8, 0}));
}

TEST(MeasurementSheet, WorkbookAsWritten)
{
    struct Case {
        size_t rows;
        size_t blocks;
    };
    for (const Case c : {Case{3, 1}, Case{31, 1}, Case{32, 2}, Case{40, 2}}) {
        SCOPED_TRACE(c.rows);
        FakeCursor table;
        const auto three = zent5::testing::threeMeasurements();
        for (size_t i = 0; i < c.rows; ++i)
            table.rows.push_back(three[i % 3]);
        XlsWorkbook book;
        XlsWorksheet& sheet = book.AddSheet();
        sheet.SetName("ЗЕНТ-5");
        fillMeasurementSheet(sheet, table, Units::KiloNewton);
        XlsWriter writer;
        const auto recs = zent5::testing::biffRecords(writer.Stream(book));
        auto count = [&](uint16_t id) { return std::count_if(recs.begin(), recs.end(), [&](const auto& r) { return r.id == id; }); };
        EXPECT_EQ(count(0x0031), 5);  // FONT
        EXPECT_EQ(count(0x041E), 8);  // FORMAT
        EXPECT_EQ(count(0x00E0), 22); // XF
        EXPECT_EQ(count(0x0293), 6);  // STYLE
        EXPECT_EQ(count(0x0092), 0);  // PALETTE
        EXPECT_EQ(count(0x0085), 1);  // BOUNDSHEET
        EXPECT_EQ(count(0x00D7), long(c.blocks));
        EXPECT_EQ(count(0x00E5), 0); // MERGEDCELLS
        EXPECT_EQ(count(0x007D), 0); // COLINFO
        // Texts per three rows: 4 + 3 + 3 (an empty comment, an empty type).
        const size_t texts = 9 + (c.rows / 3) * 10 + (c.rows % 3 >= 1 ? 4 : 0) + (c.rows % 3 >= 2 ? 3 : 0);
        const auto sst = std::find_if(recs.begin(), recs.end(), [](const auto& r) { return r.id == 0x00FC; });
        ASSERT_NE(sst, recs.end());
        EXPECT_EQ(zent5::testing::u32At(sst->data, 0), texts);
        const auto dims = std::find_if(recs.begin(), recs.end(), [](const auto& r) { return r.id == 0x0200; });
        ASSERT_NE(dims, recs.end());
        EXPECT_EQ(zent5::testing::u32At(dims->data, 4), c.rows + 1);
        EXPECT_EQ(zent5::testing::u16At(dims->data, 10), 9);
        for (const auto& r : recs) {
            if (r.id == 0x0203 || r.id == 0x00FD || r.id == 0x0201) {
                EXPECT_EQ(zent5::testing::u16At(r.data, 4), 21) << "every cell uses XF 21";
            }
        }
        EXPECT_EQ(writer.Styles().FontList().size(), 5u);
    }
}

} // namespace
