#include "print/reportcomposer.h"
#include "print/reportlayout.h"
#include "print/reportrenderer.h"

#include "common/memorycursor.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace zent5 {
namespace {

using testing::MemoryCursor;

TEST(ReportRenderer, PaintsFramesWhereTheLayoutHasThemAndNowhereElse)
{
    MemoryCursor table;
    table.rows.push_back({{"N", 1.0}, {"SERIAL", 12.0}});
    const ComposedReport report = ReportComposer(report1Layout()).compose(table);
    ASSERT_EQ(report.pages.size(), 1u);

    constexpr double scale = 2; // pixels per report unit
    QImage image(int(report.page.width() * scale), int(report.page.height() * scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        ReportRenderer(report).paintPage(painter, report.pages[0], scale, scale);
    }
    auto dark = [&](double x, double y) { return qGray(image.pixel(int(x * scale), int(y * scale))) < 128; };

    // Title band 72..136, header 136..196, first row 196..236.
    struct Probe {
        const char* what;
        double x, y;
        bool dark;
    };
    const Probe probes[] = {
        {"header top line", 300, 136, true},
        {"line between header and first row", 300, 196, true},
        {"bottom line of the row", 700, 236, true},
        {"left edge of the table", 25, 216, true},
        {"line between N and the date", 86, 216, true},
        {"right edge of the table", 1045, 216, true},
        {"inside the date cell", 126, 200, false},
        {"no line between the sigma and its unit", 480, 140, false},
        {"line between stress and area", 550, 140, true},
        {"the title has no frame", 200, 72, false},
        {"nothing below the last row", 300, 260, false},
        {"the footer has no frame", 1000, 713, false},
    };
    for (const auto& p : probes) {
        SCOPED_TRACE(p.what);
        EXPECT_EQ(dark(p.x, p.y), p.dark);
    }

    // Text shows: some dark pixels in the middle of the N cell ("1").
    int inked = 0;
    for (double x = 50; x < 62; x += 0.5)
        for (double y = 210; y < 222; y += 0.5)
            inked += dark(x, y);
    EXPECT_GT(inked, 0);
}

} // namespace
} // namespace zent5
