#include "reportlayout.h"

namespace zent5 {
namespace {

constexpr Frame kAllSides{true, true, true, true};
constexpr Frame kNoFrame{};

FontStyle arial(double size, bool bold = false) { return FontStyle{"Arial", size, bold, 204}; }

CellTemplate headerCell(std::string name, double x, double width, std::string text)
{
    CellTemplate c;
    c.name = std::move(name);
    c.x = x;
    c.width = width;
    c.text = std::move(text);
    c.font = arial(12, true);
    c.halign = HAlign::Center;
    c.valign = VAlign::Middle;
    c.frame = kAllSides;
    return c;
}

CellTemplate dataCell(std::string name, double x, double width, std::string_view column, DisplayFormat format = {},
                      HAlign halign = HAlign::Center)
{
    CellTemplate c;
    c.name = std::move(name);
    c.x = x;
    c.width = width;
    c.text = "[Dbf1.\"" + std::string(column) + "\"]";
    c.font = arial(10);
    c.halign = halign;
    c.valign = VAlign::Middle;
    c.frame = kAllSides;
    c.format = std::move(format);
    return c;
}

DisplayFormat plainWithUnusedPattern(std::string pattern) { return {DisplayKind::Plain, std::move(pattern)}; }
DisplayFormat numberPattern(std::string pattern) { return {DisplayKind::Number, std::move(pattern)}; }

// The stress header reads "σ, unit": a sigma cell in the Symbol font (whose
// "s" is the Greek small sigma) against a cell with the rest of the text.
CellTemplate sigmaCell()
{
    CellTemplate c;
    c.name = "SigmaText";
    c.x = 460;
    c.width = 20;
    c.text = "s";
    c.font = FontStyle{"Symbol", 16, false, 204};
    c.halign = HAlign::Right;
    c.valign = VAlign::Middle;
    c.frame = Frame{true, true, false, true};
    c.lineSpacing = 10;
    c.charSpacing = -2;
    return c;
}

CellTemplate stressUnitCell(double width, std::string text, double lineSpacing)
{
    CellTemplate c = headerCell("StressUnitText", 480, width, std::move(text));
    c.halign = HAlign::Left;
    c.frame = Frame{false, true, true, true};
    c.lineSpacing = lineSpacing;
    return c;
}

ReportLayout commonLayout(std::string name)
{
    ReportLayout r;
    r.name = std::move(name);

    r.title = {"ReportTitle1", BandKind::ReportTitle, 64, {}};
    CellTemplate title;
    title.name = "TitleText";
    title.x = 25;
    title.width = 279;
    title.text = "ЗЕНТ-5  № [Dbf1.\"SERIAL\"]";
    title.font = arial(14, true);
    title.halign = HAlign::Left;
    title.valign = VAlign::Top;
    title.frame = kNoFrame;
    r.title.cells.push_back(title);

    r.header = {"Band1", BandKind::PageHeader, 60, {}};
    r.header.cells = {
        headerCell("NHeader", 25, 61, "N"),
        headerCell("DateHeader", 86, 80, "Дата"),
        headerCell("TimeHeader", 166, 66, "Время"),
        headerCell("TypeHeader", 232, 88, "Тип арматуры"),
        headerCell("DiameterHeader", 320, 62, "d, мм"),
    };

    r.data = {"Band3", BandKind::MasterData, 40, {}};
    r.data.cells = {
        dataCell("NCell", 25, 61, "N"),
        dataCell("DateCell", 86, 80, "DATE"),
        dataCell("TimeCell", 166, 66, "TIME"),
        dataCell("TypeCell", 232, 88, "TYPE", plainWithUnusedPattern("0.0")),
        dataCell("DiameterCell", 320, 62, "D", plainWithUnusedPattern("0.0")),
    };

    r.footer = {"PageFooter1", BandKind::PageFooter, 20, {}};
    CellTemplate page;
    page.name = "PageNumberText";
    page.x = 844;
    page.width = 202;
    page.text = "Стр. [PAGE#] из [TOTALPAGES]";
    page.font = arial(10);
    page.halign = HAlign::Right;
    page.valign = VAlign::Middle;
    page.frame = kNoFrame;
    page.anchorRight = true;
    page.autoWidth = true;
    r.footer.cells.push_back(page);
    return r;
}

ReportLayout makeReport1()
{
    const UnitFields fields = unitFields(Units::KiloNewton);
    ReportLayout r = commonLayout("Report1");
    r.header.cells.push_back(headerCell("ForceHeader", 382, 78, "P, кН"));
    r.header.cells.push_back(sigmaCell());
    r.header.cells.push_back(stressUnitCell(70, ", МПа", 0));
    r.header.cells.push_back(headerCell("AreaHeader", 550, 62, "F, кв.мм."));
    r.header.cells.push_back(headerCell("CommentHeader", 612, 433, "Примечание"));

    r.data.cells.push_back(dataCell("ForceCell", 382, 78, fields.force, numberPattern("0.00")));
    r.data.cells.push_back(dataCell("StressCell", 460, 90, fields.stress, numberPattern("0.0")));
    r.data.cells.push_back(dataCell("AreaCell", 550, 62, fields.area, plainWithUnusedPattern("0.0")));
    r.data.cells.push_back(dataCell("CommentCell", 612, 433, "COMMENT", {}, HAlign::Left));
    return r;
}

ReportLayout makeReport2()
{
    const UnitFields fields = unitFields(Units::KiloGramForce);
    ReportLayout r = commonLayout("Report2");
    r.header.cells.push_back(headerCell("ForceHeader", 382, 78, "P, кГс"));
    r.header.cells.push_back(sigmaCell());
    r.header.cells.push_back(stressUnitCell(92, ", кГс/кв.см", 2));
    r.header.cells.push_back(headerCell("AreaHeader", 572, 62, "F, кв.см."));
    r.header.cells.push_back(headerCell("CommentHeader", 634, 411, "Примечание"));

    r.data.cells.push_back(dataCell("ForceCell", 382, 78, fields.force, plainWithUnusedPattern("0.00")));
    r.data.cells.push_back(dataCell("StressCell", 460, 112, fields.stress));
    r.data.cells.push_back(dataCell("AreaCell", 572, 62, fields.area, plainWithUnusedPattern("0.0")));
    r.data.cells.push_back(dataCell("CommentCell", 634, 411, "COMMENT", {}, HAlign::Left));
    return r;
}

} // namespace

const ReportLayout& report1Layout()
{
    static const ReportLayout layout = makeReport1();
    return layout;
}

const ReportLayout& report2Layout()
{
    static const ReportLayout layout = makeReport2();
    return layout;
}

const ReportLayout& reportLayoutFor(Units units)
{
    return units == Units::KiloGramForce ? report2Layout() : report1Layout();
}

} // namespace zent5
