#pragma once

#include "chartcontent.h"
#include "reportlayout.h"

#include <string>
#include <vector>

namespace zent5 {

// Composed pages, ready to paint. All positions and sizes are report units
// from the top left paper corner.

// What a cell looks like, shared by every placed copy of the same template cell.
struct CellStyle {
    std::string name;
    FontStyle font;           // as the template names it
    std::string fontFamily;  // the installed family that stands in for it
    Frame frame;
    HAlign halign = HAlign::Center;
    VAlign valign = VAlign::Middle;
    double charSpacing = 0;
    double ascent = 0;       // of the font, for placing baselines
};

// One line of a cell's text; its box is as high as the font.
struct PlacedLine {
    std::string text;
    double x = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// A kept report holds one of these for every cell of every row; the two
// small fields sit together so that they share one word.
struct PlacedCell {
    int style = 0;        // index into ComposedReport::styles
    bool clipped = false; // some lines did not fit
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    std::string text;              // the evaluated text
    std::vector<PlacedLine> lines; // the lines that fit inside the cell
};

struct PlacedBand {
    BandKind kind = BandKind::MasterData;
    double top = 0;
    double height = 0;
    std::vector<PlacedCell> cells;
};

// A chart placed on a page, painted over the bands.
struct PlacedChart {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    ChartContent content;
};

struct Page {
    int number = 0; // from 1
    std::vector<PlacedBand> bands;
    std::vector<PlacedChart> charts;

    int dataRowCount() const
    {
        int n = 0;
        for (const auto& b : bands)
            n += b.kind == BandKind::MasterData;
        return n;
    }
};

struct ComposedReport {
    std::string layoutName;
    PageSetup page;
    std::vector<CellStyle> styles;
    std::vector<Page> pages;

    const CellStyle& styleOf(const PlacedCell& cell) const { return styles.at(size_t(cell.style)); }
};

} // namespace zent5
