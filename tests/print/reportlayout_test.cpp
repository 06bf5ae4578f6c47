#include "print/reportlayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace zent5 {
namespace {

double mm(double units) { return std::round(reportUnitsToMm(units) * 10) / 10; }

const CellTemplate& cellNamed(const BandTemplate& band, const std::string& name)
{
    for (const auto& c : band.cells)
        if (c.name == name)
            return c;
    throw std::runtime_error("no cell " + name);
}

TEST(ReportLayout, PageIsA4LandscapeWithTheTemplatesMargins)
{
    for (const ReportLayout* layout : {&report1Layout(), &report2Layout()}) {
        SCOPED_TRACE(layout->name);
        const PageSetup& p = layout->page;
        EXPECT_EQ(p.paperSize, 9);
        EXPECT_TRUE(p.landscape);
        EXPECT_EQ(std::lround(p.width()), 1071);
        EXPECT_DOUBLE_EQ(mm(p.marginLeft), 6.9);
        EXPECT_DOUBLE_EQ(mm(p.marginTop), 20.0);
        EXPECT_DOUBLE_EQ(mm(p.marginRight), 6.9);
        EXPECT_DOUBLE_EQ(mm(p.marginBottom), 6.9);
        EXPECT_DOUBLE_EQ(mm(layout->title.height), 17.7);
        EXPECT_DOUBLE_EQ(mm(layout->header.height), 16.6);
        EXPECT_DOUBLE_EQ(mm(layout->data.height), 11.1);
        EXPECT_DOUBLE_EQ(mm(layout->footer.height), 5.5);
    }
    EXPECT_EQ(&reportLayoutFor(Units::KiloNewton), &report1Layout());
    EXPECT_EQ(&reportLayoutFor(Units::KiloGramForce), &report2Layout());
}

struct ColumnCase {
    const char* header;
    const char* data;
    double xMm;
    double widthMm;
    const char* text;
    const char* expression;
};

void checkColumns(const ReportLayout& layout, const std::vector<ColumnCase>& columns)
{
    double right = 0;
    for (const auto& c : columns) {
        SCOPED_TRACE(layout.name + " " + c.header);
        const CellTemplate& h = cellNamed(layout.header, c.header);
        const CellTemplate& d = cellNamed(layout.data, c.data);
        EXPECT_DOUBLE_EQ(mm(h.x), c.xMm);
        EXPECT_DOUBLE_EQ(mm(h.width), c.widthMm);
        EXPECT_EQ(h.text, c.text);
        EXPECT_EQ(h.font, (FontStyle{"Arial", 12, true, 204}));
        // The stress header is two cells; the data cell spans both.
        if (std::string(c.header) == "StressUnitText") {
            EXPECT_EQ(d.x, cellNamed(layout.header, "SigmaText").x);
            EXPECT_EQ(d.x + d.width, h.x + h.width);
        } else {
            EXPECT_EQ(d.x, h.x);
            EXPECT_EQ(d.width, h.width);
        }
        right = d.x + d.width;
        EXPECT_EQ(d.text, c.expression);
        EXPECT_EQ(d.font, (FontStyle{"Arial", 10, false, 204}));
        EXPECT_TRUE(d.frame.left && d.frame.top && d.frame.right && d.frame.bottom);
        EXPECT_EQ(d.halign, std::string(c.data) == "CommentCell" ? HAlign::Left : HAlign::Center);
        EXPECT_EQ(d.valign, VAlign::Middle);
    }
    // The columns end 6.9 mm before the right paper edge.
    EXPECT_DOUBLE_EQ(mm(right), 289.7);
}

TEST(ReportLayout, ColumnsOfTheKilonewtonLayout)
{
    checkColumns(report1Layout(), {
        {"NHeader", "NCell", 6.9, 16.9, "N", "[Dbf1.\"N\"]"},
        {"DateHeader", "DateCell", 23.8, 22.2, "Дата", "[Dbf1.\"DATE\"]"},
        {"TimeHeader", "TimeCell", 46.0, 18.3, "Время", "[Dbf1.\"TIME\"]"},
        {"TypeHeader", "TypeCell", 64.3, 24.4, "Тип арматуры", "[Dbf1.\"TYPE\"]"},
        {"DiameterHeader", "DiameterCell", 88.7, 17.2, "d, мм", "[Dbf1.\"D\"]"},
        {"ForceHeader", "ForceCell", 105.9, 21.6, "P, кН", "[Dbf1.\"P\"]"},
        {"StressUnitText", "StressCell", 133.1, 19.4, ", МПа", "[Dbf1.\"S\"]"},
        {"AreaHeader", "AreaCell", 152.5, 17.2, "F, кв.мм.", "[Dbf1.\"F\"]"},
        {"CommentHeader", "CommentCell", 169.7, 120.0, "Примечание", "[Dbf1.\"COMMENT\"]"},
    });
    const CellTemplate& stress = cellNamed(report1Layout().data, "StressCell");
    EXPECT_DOUBLE_EQ(mm(stress.x), 127.5);
    EXPECT_DOUBLE_EQ(mm(stress.width), 24.9);
}

TEST(ReportLayout, ColumnsOfTheKilogramForceLayout)
{
    checkColumns(report2Layout(), {
        {"NHeader", "NCell", 6.9, 16.9, "N", "[Dbf1.\"N\"]"},
        {"DateHeader", "DateCell", 23.8, 22.2, "Дата", "[Dbf1.\"DATE\"]"},
        {"TimeHeader", "TimeCell", 46.0, 18.3, "Время", "[Dbf1.\"TIME\"]"},
        {"TypeHeader", "TypeCell", 64.3, 24.4, "Тип арматуры", "[Dbf1.\"TYPE\"]"},
        {"DiameterHeader", "DiameterCell", 88.7, 17.2, "d, мм", "[Dbf1.\"D\"]"},
        {"ForceHeader", "ForceCell", 105.9, 21.6, "P, кГс", "[Dbf1.\"P_KG\"]"},
        {"StressUnitText", "StressCell", 133.1, 25.5, ", кГс/кв.см", "[Dbf1.\"S_KG\"]"},
        {"AreaHeader", "AreaCell", 158.6, 17.2, "F, кв.см.", "[Dbf1.\"F_MM\"]"},
        {"CommentHeader", "CommentCell", 175.8, 113.9, "Примечание", "[Dbf1.\"COMMENT\"]"},
    });
    const CellTemplate& stress = cellNamed(report2Layout().data, "StressCell");
    EXPECT_DOUBLE_EQ(mm(stress.x), 127.5);
    EXPECT_DOUBLE_EQ(mm(stress.width), 31.0);
}

TEST(ReportLayout, NumberDisplayOfTheDataCells)
{
    struct Case {
        const ReportLayout* layout;
        const char* cell;
        DisplayKind kind;
        const char* pattern;
    };
    const Case cases[] = {
        {&report1Layout(), "ForceCell", DisplayKind::Number, "0.00"},
        {&report1Layout(), "StressCell", DisplayKind::Number, "0.0"},
        {&report1Layout(), "NCell", DisplayKind::Plain, ""},
        {&report1Layout(), "DiameterCell", DisplayKind::Plain, "0.0"},
        {&report1Layout(), "AreaCell", DisplayKind::Plain, "0.0"},
        {&report2Layout(), "ForceCell", DisplayKind::Plain, "0.00"},
        {&report2Layout(), "StressCell", DisplayKind::Plain, ""},
        {&report2Layout(), "AreaCell", DisplayKind::Plain, "0.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout->name + " " + c.cell);
        const CellTemplate& cell = cellNamed(c.layout->data, c.cell);
        EXPECT_EQ(cell.format.kind, c.kind);
        EXPECT_EQ(cell.format.pattern, c.pattern);
    }
}

TEST(ReportLayout, SigmaTitleAndPageNumberCells)
{
    for (const ReportLayout* layout : {&report1Layout(), &report2Layout()}) {
        SCOPED_TRACE(layout->name);
        const CellTemplate& sigma = cellNamed(layout->header, "SigmaText");
        EXPECT_DOUBLE_EQ(mm(sigma.x), 127.5);
        EXPECT_DOUBLE_EQ(mm(sigma.width), 5.5);
        EXPECT_EQ(sigma.text, "s");
        EXPECT_EQ(sigma.font.family, "Symbol");
        EXPECT_EQ(sigma.font.pointSize, 16);
        EXPECT_FALSE(sigma.font.bold);
        EXPECT_EQ(sigma.halign, HAlign::Right);
        EXPECT_TRUE(sigma.frame.left && sigma.frame.top && !sigma.frame.right && sigma.frame.bottom);
        EXPECT_EQ(sigma.lineSpacing, 10);
        EXPECT_EQ(sigma.charSpacing, -2);
        const CellTemplate& unit = cellNamed(layout->header, "StressUnitText");
        EXPECT_TRUE(!unit.frame.left && unit.frame.top && unit.frame.right && unit.frame.bottom);
        EXPECT_EQ(unit.halign, HAlign::Left);
        EXPECT_EQ(unit.lineSpacing, layout == &report1Layout() ? 0 : 2);

        const CellTemplate& title = cellNamed(layout->title, "TitleText");
        EXPECT_EQ(title.text, "ЗЕНТ-5  № [Dbf1.\"SERIAL\"]");
        EXPECT_EQ(title.font, (FontStyle{"Arial", 14, true, 204}));
        EXPECT_EQ(title.valign, VAlign::Top);
        EXPECT_FALSE(title.frame.any());
        EXPECT_DOUBLE_EQ(mm(title.x), 6.9);
        EXPECT_DOUBLE_EQ(mm(title.width), 77.3);

        const CellTemplate& page = cellNamed(layout->footer, "PageNumberText");
        EXPECT_EQ(page.text, "Стр. [PAGE#] из [TOTALPAGES]");
        EXPECT_EQ(page.font, (FontStyle{"Arial", 10, false, 204}));
        EXPECT_EQ(page.halign, HAlign::Right);
        EXPECT_TRUE(page.anchorRight && page.autoWidth);
        EXPECT_DOUBLE_EQ(mm(page.x), 234.0);
        EXPECT_DOUBLE_EQ(mm(page.width), 56.0);
    }
}

} // namespace
} // namespace zent5
