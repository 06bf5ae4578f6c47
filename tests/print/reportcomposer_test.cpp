#include "print/reportcomposer.h"

#include "common/memorycursor.h"
#include "print/reportlayout.h"
#include "print/textmeasurer.h"
#include "records/error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace zent5 {
namespace {

using testing::MemoryCursor;

MemoryCursor::Row measurement(int n, double serial = 1234)
{
    return MemoryCursor::Row{
        {"N", double(n)},      {"DATE", std::string("07.03.2014")}, {"TIME", std::string("09:05:07")},
        {"SERIAL", serial},    {"P", 12.34},                        {"P_KG", 1258.0},
        {"S", 436.0},          {"S_KG", 4446.0},                    {"F", 28.3},
        {"D", 6.0},            {"TYPE", std::string("проволока")},  {"COMMENT", std::string()},
        {"F_MM", 0.283},
    };
}

MemoryCursor tableOf(int rows)
{
    MemoryCursor t;
    for (int i = 1; i <= rows; ++i)
        t.rows.push_back(measurement(i));
    return t;
}

const char* unitsName(Units units) { return units == Units::KiloGramForce ? "kgf" : "kN"; }

ComposedReport compose(RowCursor& table, Units dimension = Units::KiloNewton)
{
    ReportComposer composer(reportLayoutFor(dimension));
    composer.setDecimalSeparator(',');
    return composer.compose(table);
}

const PlacedCell& cellNamed(const ComposedReport& r, const PlacedBand& band, const std::string& name)
{
    for (const auto& c : band.cells)
        if (r.styleOf(c).name == name)
            return c;
    throw std::runtime_error("no cell " + name);
}

std::vector<const PlacedBand*> bandsOf(const Page& page, BandKind kind)
{
    std::vector<const PlacedBand*> out;
    for (const auto& b : page.bands)
        if (b.kind == kind)
            out.push_back(&b);
    return out;
}

std::string footerText(const ComposedReport& r, const Page& page)
{
    const auto footers = bandsOf(page, BandKind::PageFooter);
    return footers.size() == 1 ? cellNamed(r, *footers[0], "PageNumberText").text : "(footers: " + std::to_string(footers.size()) + ")";
}

std::vector<BandKind> kindsOf(const Page& page)
{
    std::vector<BandKind> kinds;
    for (const auto& b : page.bands)
        kinds.push_back(b.kind);
    return kinds;
}

TEST(ReportComposer, EmptyTableGivesOnePageWithTitleHeaderAndFooter)
{
    for (Units dimension : {Units::KiloNewton, Units::KiloGramForce}) {
        SCOPED_TRACE(unitsName(dimension));
        MemoryCursor table;
        const ComposedReport r = compose(table, dimension);
        ASSERT_EQ(r.pages.size(), 1u);
        const Page& page = r.pages[0];
        EXPECT_EQ(kindsOf(page), (std::vector<BandKind>{BandKind::ReportTitle, BandKind::PageHeader, BandKind::PageFooter}));
        EXPECT_EQ(footerText(r, page), "Стр. 1 из 1");
        // No row to take the serial number from.
        EXPECT_EQ(cellNamed(r, page.bands[0], "TitleText").text, "ЗЕНТ-5  № ");
    }
}

TEST(ReportComposer, RowsPerPageFollowFromTheBandHeights)
{
    struct Case {
        int rows;
        std::vector<int> perPage;
    };
    const Case cases[] = {
        {1, {1}},           {12, {12}},         {13, {12, 1}},      {26, {12, 14}},
        {27, {12, 14, 1}},  {30, {12, 14, 4}},  {40, {12, 14, 14}}, {41, {12, 14, 14, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rows) + " rows");
        MemoryCursor table = tableOf(c.rows);
        const ComposedReport r = compose(table);
        std::vector<int> perPage;
        for (const auto& p : r.pages)
            perPage.push_back(p.dataRowCount());
        EXPECT_EQ(perPage, c.perPage);
    }
}

TEST(ReportComposer, ThirtyRowsGiveThreePagesEachStartingWithTheHeader)
{
    MemoryCursor table = tableOf(30);
    const ComposedReport r = compose(table);
    ASSERT_EQ(r.pages.size(), 3u);
    const double pageHeight = r.page.height();
    int expectedN = 1;
    for (size_t i = 0; i < r.pages.size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const Page& page = r.pages[i];
        EXPECT_EQ(page.number, int(i + 1));
        EXPECT_EQ(footerText(r, page), "Стр. " + std::to_string(i + 1) + " из 3");
        EXPECT_EQ(bandsOf(page, BandKind::ReportTitle).size(), i == 0 ? 1u : 0u);
        // The header comes first on later pages, right below the title on the first.
        const size_t headerAt = i == 0 ? 1 : 0;
        ASSERT_GT(page.bands.size(), headerAt);
        EXPECT_EQ(page.bands[headerAt].kind, BandKind::PageHeader);
        EXPECT_DOUBLE_EQ(page.bands[0].top, 72);

        // Bands follow one another without gaps; rows end above the footer,
        // which sits on the bottom margin.
        const PlacedBand& footer = page.bands.back();
        EXPECT_EQ(footer.kind, BandKind::PageFooter);
        EXPECT_NEAR(footer.top + footer.height, pageHeight - 25, 1e-9);
        for (size_t b = 1; b + 1 < page.bands.size(); ++b)
            EXPECT_DOUBLE_EQ(page.bands[b].top, page.bands[b - 1].top + page.bands[b - 1].height);
        for (const PlacedBand* row : bandsOf(page, BandKind::MasterData)) {
            EXPECT_DOUBLE_EQ(row->height, 40);
            EXPECT_LE(row->top + row->height, footer.top);
            EXPECT_EQ(cellNamed(r, *row, "NCell").text, std::to_string(expectedN++));
        }
    }
    EXPECT_EQ(expectedN, 31);
}

TEST(ReportComposer, NumbersPrintByTheirCellsDisplay)
{
    MemoryCursor table;
    auto row = measurement(7);
    row["P"] = 12.3;
    row["S"] = 436.0;
    row["D"] = 9.6;
    row["F"] = 28.299999999999997;
    row["F_MM"] = 0.283;
    row["P_KG"] = 1258.0;
    row["S_KG"] = 4446.0;
    table.rows.push_back(row);

    struct Case {
        Units dimension;
        const char* cell;
        const char* expected;
    };
    const Case cases[] = {
        {Units::KiloNewton, "NCell", "7"},
        {Units::KiloNewton, "DateCell", "07.03.2014"},
        {Units::KiloNewton, "TimeCell", "09:05:07"},
        {Units::KiloNewton, "TypeCell", "проволока"},
        {Units::KiloNewton, "DiameterCell", "9,6"},
        {Units::KiloNewton, "ForceCell", "12,30"},
        {Units::KiloNewton, "StressCell", "436,0"},
        {Units::KiloNewton, "AreaCell", "28,3"},
        {Units::KiloGramForce, "ForceCell", "1258"},
        {Units::KiloGramForce, "StressCell", "4446"},
        {Units::KiloGramForce, "AreaCell", "0,283"},
        {Units::KiloGramForce, "DiameterCell", "9,6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(unitsName(c.dimension)) + " " + c.cell);
        const ComposedReport r = compose(table, c.dimension);
        const auto rows = bandsOf(r.pages[0], BandKind::MasterData);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(cellNamed(r, *rows[0], c.cell).text, c.expected);
    }
}

TEST(ReportComposer, PlainNumbersUseTheGivenSeparatorAndPatternsAlwaysAComma)
{
    MemoryCursor table = tableOf(1);
    table.rows[0]["D"] = 9.6;
    table.rows[0]["P"] = 12.3;
    ReportComposer composer(report1Layout());
    composer.setDecimalSeparator('.');
    const ComposedReport r = composer.compose(table);
    const PlacedBand& row = *bandsOf(r.pages[0], BandKind::MasterData)[0];
    EXPECT_EQ(cellNamed(r, row, "DiameterCell").text, "9.6");
    EXPECT_EQ(cellNamed(r, row, "ForceCell").text, "12,30");
}

TEST(ReportComposer, NullsAndBlankTextPrintAsNothing)
{
    MemoryCursor table;
    table.rows.push_back({{"N", 1.0}, {"COMMENT", std::string("   ")}});
    const ComposedReport r = compose(table);
    const PlacedBand& row = *bandsOf(r.pages[0], BandKind::MasterData)[0];
    for (const char* name : {"DateCell", "ForceCell", "StressCell", "CommentCell"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(cellNamed(r, row, name).text, "");
        EXPECT_TRUE(cellNamed(r, row, name).lines.empty());
    }
}

TEST(ReportComposer, RowsPrintInTheTablesOrderAndTheTitleTakesTheFirstRowsSerial)
{
    // The cursor's order is what prints: here as a sorted view would give it.
    MemoryCursor table;
    table.rows = {measurement(3, 777), measurement(1, 1234), measurement(2, 1234)};
    const ComposedReport r = compose(table);
    std::vector<std::string> numbers;
    for (const PlacedBand* row : bandsOf(r.pages[0], BandKind::MasterData))
        numbers.push_back(cellNamed(r, *row, "NCell").text);
    EXPECT_EQ(numbers, (std::vector<std::string>{"3", "1", "2"}));
    EXPECT_EQ(cellNamed(r, r.pages[0].bands[0], "TitleText").text, "ЗЕНТ-5  № 777");
}

TEST(ReportComposer, LeavesTheTableOnItsLastRow)
{
    MemoryCursor table = tableOf(20);
    compose(table);
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(std::get<double>(table.FieldValueOf("N")), 20.0);
}

TEST(ReportComposer, LongCommentWrapsInsideItsRowWhichDoesNotGrow)
{
    MemoryCursor table = tableOf(2);
    const std::string comment =
        "Анкер М16 у западной стены, третий ряд от угла: проверка после монтажа, повторить испытание через неделю";
    table.rows[0]["COMMENT"] = comment;
    // Far more than the row holds.
    std::string huge;
    for (int i = 0; i < 20; ++i)
        huge += "очень длинное примечание ";
    table.rows[1]["COMMENT"] = huge;

    for (Units dimension : {Units::KiloNewton, Units::KiloGramForce}) {
        SCOPED_TRACE(unitsName(dimension));
        const ComposedReport r = compose(table, dimension);
        const auto rows = bandsOf(r.pages[0], BandKind::MasterData);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_DOUBLE_EQ(rows[1]->top, rows[0]->top + 40);
        for (size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE("row " + std::to_string(i + 1));
            const PlacedCell& cell = cellNamed(r, *rows[i], "CommentCell");
            EXPECT_DOUBLE_EQ(cell.height, 40);
            ASSERT_GE(cell.lines.size(), 2u);
            std::string joined;
            for (const auto& line : cell.lines) {
                EXPECT_NEAR(line.x, cell.x + 2, 1e-9); // left aligned inside the inset
                EXPECT_LE(line.x + line.width, cell.x + cell.width - 2 + 1e-9);
                EXPECT_GE(line.top, cell.y + 1 - 1e-9);
                EXPECT_LE(line.top + line.height, cell.y + cell.height - 1 + 1e-9);
                joined += (joined.empty() ? "" : " ") + line.text;
            }
            if (i == 0) {
                EXPECT_FALSE(cell.clipped);
                EXPECT_EQ(joined, comment);
            } else {
                EXPECT_TRUE(cell.clipped);
                EXPECT_EQ(huge.rfind(joined, 0), 0u) << joined; // the lines that fit are the text's start
            }
        }
    }
}

TEST(ReportComposer, CellsAreAlignedAsTheirTemplatesSay)
{
    MemoryCursor table = tableOf(1);
    table.rows[0]["COMMENT"] = std::string("ok");
    const ComposedReport r = compose(table);
    const Page& page = r.pages[0];
    const PlacedBand& row = *bandsOf(page, BandKind::MasterData)[0];

    const PlacedCell& n = cellNamed(r, row, "NCell");
    ASSERT_EQ(n.lines.size(), 1u);
    EXPECT_NEAR(n.lines[0].x + n.lines[0].width / 2, n.x + n.width / 2, 1e-9);
    EXPECT_NEAR(n.lines[0].top + n.lines[0].height / 2, n.y + n.height / 2, 1e-9);

    const PlacedCell& comment = cellNamed(r, row, "CommentCell");
    EXPECT_NEAR(comment.lines[0].x, comment.x + 2, 1e-9);

    const PlacedCell& title = cellNamed(r, page.bands[0], "TitleText");
    EXPECT_NEAR(title.lines[0].x, 25 + 2, 1e-9);
    EXPECT_NEAR(title.lines[0].top, 72 + 1, 1e-9);

    // The page number sits against the right margin, as wide as its text.
    const PlacedCell& footer = cellNamed(r, page.bands.back(), "PageNumberText");
    EXPECT_NEAR(footer.x + footer.width, r.page.width() - 25, 1e-9);
    EXPECT_NEAR(footer.lines[0].x + footer.lines[0].width, r.page.width() - 25 - 2, 1e-9);
    EXPECT_LT(footer.width, 202);

    // The sigma leans on ", МПа": right aligned, the spacing after it pulling it closer.
    const PlacedBand& header = page.bands[1];
    const PlacedCell& sigma = cellNamed(r, header, "SigmaText");
    EXPECT_EQ(sigma.text, "σ");
    ASSERT_EQ(sigma.lines.size(), 1u);
    EXPECT_NEAR(sigma.lines[0].x + sigma.lines[0].width, 460 + 20 - 2, 1e-9);
    const PlacedCell& unit = cellNamed(r, header, "StressUnitText");
    EXPECT_NEAR(unit.lines[0].x, 480 + 2, 1e-9);
}

TEST(ReportComposer, HeaderTextsOfBothLayouts)
{
    MemoryCursor table;
    struct Case {
        Units dimension;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {Units::KiloNewton,
         {"N", "Дата", "Время", "Тип арматуры", "d, мм", "P, кН", "σ", ", МПа", "F, кв.мм.", "Примечание"}},
        {Units::KiloGramForce,
         {"N", "Дата", "Время", "Тип арматуры", "d, мм", "P, кГс", "σ", ", кГс/кв.см", "F, кв.см.", "Примечание"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(unitsName(c.dimension));
        const ComposedReport r = compose(table, c.dimension);
        std::vector<std::string> texts;
        for (const auto& cell : r.pages[0].bands[1].cells) {
            texts.push_back(cell.text);
            EXPECT_FALSE(cell.clipped) << cell.text;
        }
        EXPECT_EQ(texts, c.texts);
    }
}

// A table whose rows cannot be read.
class FailingCursor : public MemoryCursor {
public:
    FieldValue FieldValueOf(std::string_view) override { throw Error("Ошибка чтения файла"); }
};

TEST(ReportComposer, TableErrorsPassThrough)
{
    FailingCursor table;
    table.rows.push_back(measurement(1));
    try {
        compose(table);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Ошибка чтения файла");
    }
}

// Counts how the composer walks the table.
class CountingCursor : public MemoryCursor {
public:
    int firsts = 0;
    int nexts = 0;
    void First() override
    {
        ++firsts;
        MemoryCursor::First();
    }
    void Next() override
    {
        ++nexts;
        MemoryCursor::Next();
    }
};

TEST(ReportComposer, WalksTheTableOncePerPass)
{
    CountingCursor table;
    for (int i = 1; i <= 30; ++i)
        table.rows.push_back(measurement(i));
    compose(table);
    EXPECT_EQ(table.firsts, 2);
    EXPECT_EQ(table.nexts, 60);
}

// Every position and text of a page, exactly, for comparing pages.
std::string describe(const Page& page)
{
    char buf[200];
    std::string out = "page " + std::to_string(page.number) + "\n";
    for (const auto& band : page.bands) {
        std::snprintf(buf, sizeof buf, "band %d %.17g %.17g\n", int(band.kind), band.top, band.height);
        out += buf;
        for (const auto& cell : band.cells) {
            std::snprintf(buf, sizeof buf, " cell %d %.17g %.17g %.17g %.17g %d ", cell.style, cell.x, cell.y, cell.width,
                          cell.height, int(cell.clipped));
            out += buf + cell.text + "\n";
            for (const auto& line : cell.lines) {
                std::snprintf(buf, sizeof buf, "  line %.17g %.17g %.17g %.17g ", line.x, line.top, line.width, line.height);
                out += buf + line.text + "\n";
            }
        }
    }
    return out;
}

TEST(ReportComposer, PagesHandedOverOneByOneAreThePagesItKeeps)
{
    struct Case {
        Units dimension;
        int rows;
    };
    const Case cases[] = {
        {Units::KiloNewton, 0}, {Units::KiloNewton, 30}, {Units::KiloGramForce, 30}, {Units::KiloGramForce, 15}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(unitsName(c.dimension)) + ", " + std::to_string(c.rows) + " rows");
        MemoryCursor table = tableOf(c.rows);
        if (c.rows > 0)
            table.rows[0]["COMMENT"] = std::string(300, 'w'); // wrapped and clipped
        const ComposedReport kept = compose(table, c.dimension);

        ReportComposer composer(reportLayoutFor(c.dimension));
        composer.setDecimalSeparator(',');
        TextMeasurer measurer;
        std::vector<std::string> handed;
        const ComposedReport streamed = composer.compose(table, measurer, [&](const ComposedReport& r, Page& page) {
            EXPECT_TRUE(r.pages.empty());
            EXPECT_EQ(r.styles.size(), kept.styles.size());
            handed.push_back(describe(page));
        });

        std::vector<std::string> expected;
        for (const auto& page : kept.pages)
            expected.push_back(describe(page));
        EXPECT_EQ(handed, expected);
        EXPECT_TRUE(streamed.pages.empty());
        EXPECT_EQ(streamed.layoutName, kept.layoutName);
        ASSERT_EQ(streamed.styles.size(), kept.styles.size());
        for (size_t i = 0; i < kept.styles.size(); ++i)
            EXPECT_EQ(streamed.styles[i].name, kept.styles[i].name);
    }
}

TEST(ReportComposer, AnErrorOfThePageSinkEndsTheWalk)
{
    CountingCursor table;
    for (int i = 1; i <= 30; ++i)
        table.rows.push_back(measurement(i));
    ReportComposer composer(report1Layout());
    TextMeasurer measurer;
    int pages = 0;
    try {
        composer.compose(table, measurer, [&](const ComposedReport&, Page& page) {
            ++pages;
            if (page.number == 2)
                throw Error("Ошибка записи в файл x.pdf");
        });
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Ошибка записи в файл x.pdf");
    }
    EXPECT_EQ(pages, 2);
    EXPECT_LT(table.nexts, 60); // the third page was never composed
}

} // namespace
} // namespace zent5
