#pragma once

#include "records/units.h"
#include <string>
#include <vector>

namespace zent5 {

// Positions and sizes in a report layout are report units of 1/91.62561576354680426
// inch (about 0.28 mm): the unit the two report templates were drawn in, so the
// numbers below are the templates' own and every position is a whole unit.
inline constexpr double kReportUnitsPerInch = 91.62561576354680426;
inline constexpr double kMmPerReportUnit = 25.4 / kReportUnitsPerInch;

inline constexpr double mmToReportUnits(double mm) { return mm / kMmPerReportUnit; }
inline constexpr double reportUnitsToMm(double units) { return units * kMmPerReportUnit; }

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };

// Which sides of a cell carry a frame line; lines are black, solid, `width` units wide.
struct Frame {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
    double width = 1;

    bool any() const { return left || top || right || bottom; }
};

// A font as the templates name it (family, size in points, weight, Windows
// character set); the renderer maps the family to an installed font.
struct FontStyle {
    std::string family;
    double pointSize = 10;
    bool bold = false;
    int charset = 204; // Cyrillic

    bool operator==(const FontStyle&) const = default;
};

// How a cell shows the numbers of its expressions. Plain shows the general
// form with the platform's separator; Number applies `pattern` ("0.00",
// "0.0"). A cell in plain display may still carry a pattern; it is unused.
enum class DisplayKind { Plain, Number };
struct DisplayFormat {
    DisplayKind kind = DisplayKind::Plain;
    std::string pattern;
};

struct CellTemplate {
    std::string name;
    double x = 0;     // from the left paper edge
    double width = 0; // the cell's height is its band's height
    // Fixed text with bracketed expressions: [Dbf1."COLUMN"], [PAGE#], [TOTALPAGES].
    std::string text;
    FontStyle font;
    HAlign halign = HAlign::Center;
    VAlign valign = VAlign::Middle;
    Frame frame;
    DisplayFormat format;
    double insetX = 2;
    double insetY = 1;
    double lineSpacing = 2; // extra space between lines
    double charSpacing = 0; // extra space after every character
    bool wordWrap = true;
    // The page number cell sits against the right margin and is as wide as its text.
    bool anchorRight = false;
    bool autoWidth = false;
};

enum class BandKind { ReportTitle, PageHeader, MasterData, PageFooter };

struct BandTemplate {
    std::string name;
    BandKind kind = BandKind::MasterData;
    double height = 0; // fixed: no band grows with its content
    std::vector<CellTemplate> cells;
};

struct PageSetup {
    int paperSize = 9; // Windows' number for A4
    double paperWidthMm = 297;
    double paperHeightMm = 210;
    bool landscape = true;
    double marginLeft = 25;
    double marginTop = 72;
    double marginRight = 25;
    double marginBottom = 25;

    double width() const { return mmToReportUnits(paperWidthMm); }
    double height() const { return mmToReportUnits(paperHeightMm); }
};

struct ReportLayout {
    std::string name;
    PageSetup page;
    BandTemplate title;
    BandTemplate header;
    BandTemplate data;
    BandTemplate footer;
};

// The kN / MPa layout and the kgf layout.
const ReportLayout& report1Layout();
const ReportLayout& report2Layout();
// The layout of a system of units.
const ReportLayout& reportLayoutFor(Units units);

} // namespace zent5
