#pragma once

#include <cstdint>
#include <string>

namespace zent5 {

// Print settings of a worksheet; margins in inches.
struct XlsPageSetup {
    bool BlackAndWhite = false;
    std::string CenterFooter, CenterHeader, LeftFooter, LeftHeader, RightFooter, RightHeader;
    bool CenterHorizontally = false;
    bool CenterVertically = false;
    bool Draft = false;
    int32_t FirstPageNumber = 1;
    int32_t FitToPagesTall = 1;
    int32_t FitToPagesWide = 1;
    uint8_t PrintOrder = 0;  // 0 down, then over; 1 over, then down
    uint8_t Orientation = 0; // 0 portrait, anything else landscape
    uint8_t PaperSize = 9;   // A4
    bool PrintGridLines = false;
    bool PrintHeadings = false;
    bool PrintNotes = false;
    double LeftMargin = 2.0;
    double RightMargin = 2.0;
    double TopMargin = 2.5;
    double BottomMargin = 2.5;
    double FooterMargin = 0.0;
    double HeaderMargin = 0.0;
    int32_t Zoom = 100;
    int32_t Copies = 0;
    bool UseZoom = true; // false: fitted to FitToPagesWide x FitToPagesTall
};

} // namespace zent5
