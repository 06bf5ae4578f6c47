#include "print/chartpainter.h"

#include <QImage>
#include <QPainter>
#include <QRectF>

#include <gtest/gtest.h>

namespace zent5 {
namespace {

constexpr uint32_t kRed = 0xD62728, kGreen = 0x2CA02C, kBlue = 0x1F77B4;

ChartContent content()
{
    ChartContent c;
    c.title = "Все строки (n = 3)";
    c.x = {"Номер испытания в серии", 0.5, 3.5, {{1, "1"}, {2, "2"}, {3, "3"}}};
    c.y = {"Усилие F, кН", 0, 50, {{0, "0,00"}, {25, "25,00"}, {50, "50,00"}}};
    c.marks = {{"Испытания", kBlue, {{1, 40}, {3, 45}}}, {"Ниже требуемого: 1", kRed, {{2, 10}}}};
    c.levels = {{"Среднее 31,67", 31.67, kGreen, ChartLineStyle::Solid}};
    return c;
}

// Pixels close to the colour, and whether any of them lies left or right of `x`.
struct Found {
    int count = 0;
    int left = 1 << 30;
    int right = -1;
};

Found find(const QImage& image, uint32_t rgb, QRect within)
{
    const QColor want(int(rgb >> 16), int(rgb >> 8 & 0xFF), int(rgb & 0xFF));
    Found f;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - want.red()) + std::abs(c.green() - want.green()) + std::abs(c.blue() - want.blue()) < 30) {
                ++f.count;
                f.left = std::min(f.left, x);
                f.right = std::max(f.right, x);
            }
        }
    return f;
}

QImage painted(const ChartContent& c, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintChart(painter, c, QRectF(QPointF(0, 0), QSizeF(size)), image.logicalDpiX() / 25.4);
    painter.end();
    return image;
}

} // namespace

TEST(ChartPainter, MarksAndLevelsInTheirColoursWhereTheirValuesAre)
{
    const QImage image = painted(content(), QSize(600, 400));
    // Legend below the plot: only the plot's upper part holds no legend entries.
    const QRect plotArea(0, 0, 600, 300);
    const Found red = find(image, kRed, plotArea), blue = find(image, kBlue, plotArea),
                green = find(image, kGreen, plotArea);
    ASSERT_GT(red.count, 0);
    ASSERT_GT(blue.count, 0);
    ASSERT_GT(green.count, 0);
    // The failed mark sits at place 2, between the other two; the level runs across the plot.
    EXPECT_GT(red.left, blue.left);
    EXPECT_LT(red.right, blue.right);
    EXPECT_LE(green.left, blue.left);
    EXPECT_GE(green.right, blue.right);

    ChartContent noneFailed = content();
    noneFailed.marks.pop_back();
    EXPECT_EQ(find(painted(noneFailed, QSize(600, 400)), kRed, QRect(0, 0, 600, 400)).count, 0);
}

TEST(ChartPainter, AnAreaTooSmallForThePlotPaintsNoPlot)
{
    const QImage image = painted(content(), QSize(40, 30));
    EXPECT_EQ(find(image, kBlue, image.rect()).count, 0);
}

} // namespace zent5
