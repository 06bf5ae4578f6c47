#include "reportrenderer.h"

#include "chartpainter.h"
#include "reportpdfwriter.h"

#include <QFont>
#include <QLineF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <vector>

namespace zent5 {
namespace {

QFont fontFor(const CellStyle& style, double pixelsPerUnitX)
{
    QFont f(QString::fromStdString(style.fontFamily));
    f.setPointSizeF(style.font.pointSize);
    f.setBold(style.font.bold);
    // Widths were measured per character; kerning would shift right-aligned text.
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    if (style.charSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, style.charSpacing * pixelsPerUnitX);
    return f;
}

// Frame lines of one width. Neighbouring cells share their edges, so a row
// of cells would draw every inner edge twice and every row line in pieces;
// the lines are merged first, which keeps the PDF's pages small.
struct FrameLines {
    struct Segment {
        double at;   // y of a horizontal line, x of a vertical one
        double from; // along the line
        double to;
        bool operator<(const Segment& o) const { return at != o.at ? at < o.at : from < o.from; }
    };
    double width = 1;
    std::vector<Segment> horizontal;
    std::vector<Segment> vertical;

    void add(const PlacedCell& cell, const Frame& frame)
    {
        const double l = cell.x, t = cell.y, r = cell.x + cell.width, b = cell.y + cell.height;
        if (frame.left)
            vertical.push_back({l, t, b});
        if (frame.right)
            vertical.push_back({r, t, b});
        if (frame.top)
            horizontal.push_back({t, l, r});
        if (frame.bottom)
            horizontal.push_back({b, l, r});
    }

    static void merge(std::vector<Segment>& segments)
    {
        std::sort(segments.begin(), segments.end());
        std::vector<Segment> out;
        for (const Segment& s : segments) {
            if (!out.empty() && out.back().at == s.at && s.from <= out.back().to)
                out.back().to = std::max(out.back().to, s.to);
            else
                out.push_back(s);
        }
        segments.swap(out);
    }

    void draw(QPainter& painter, double sx, double sy)
    {
        merge(horizontal);
        merge(vertical);
        QList<QLineF> lines;
        lines.reserve(qsizetype(horizontal.size() + vertical.size()));
        for (const Segment& h : horizontal)
            lines.append(QLineF(h.from * sx, h.at * sy, h.to * sx, h.at * sy));
        for (const Segment& v : vertical)
            lines.append(QLineF(v.at * sx, v.from * sy, v.at * sx, v.to * sy));
        painter.setPen(QPen(Qt::black, width * sx, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawLines(lines);
    }
};

} // namespace

ReportRenderer::ReportRenderer(const ComposedReport& report) : m_report(report) {}

void ReportRenderer::setUpPage(QPagedPaintDevice& device, const PageSetup& page)
{
    const QPageSize size(QSizeF(page.landscape ? page.paperHeightMm : page.paperWidthMm,
                                page.landscape ? page.paperWidthMm : page.paperHeightMm),
                         QPageSize::Millimeter, QString(), QPageSize::FuzzyOrientationMatch);
    device.setPageLayout(QPageLayout(size, page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

void ReportRenderer::paintPage(QPainter& painter, const Page& page, double sx, double sy) const
{
    std::vector<QFont> fonts;
    fonts.reserve(m_report.styles.size());
    for (const CellStyle& style : m_report.styles)
        fonts.push_back(fontFor(style, sx));

    std::vector<FrameLines> frames;
    painter.setPen(QPen(Qt::black));
    int currentFont = -1;
    for (const PlacedBand& band : page.bands) {
        for (const PlacedCell& cell : band.cells) {
            const CellStyle& style = m_report.styleOf(cell);
            if (style.frame.any()) {
                auto it = std::find_if(frames.begin(), frames.end(),
                                       [&](const FrameLines& f) { return f.width == style.frame.width; });
                if (it == frames.end()) {
                    frames.emplace_back();
                    frames.back().width = style.frame.width;
                    it = frames.end() - 1;
                }
                it->add(cell, style.frame);
            }
            if (cell.lines.empty())
                continue;
            if (cell.style != currentFont) {
                painter.setFont(fonts[size_t(cell.style)]);
                currentFont = cell.style;
            }
            for (const PlacedLine& line : cell.lines)
                painter.drawText(QPointF(line.x * sx, (line.top + style.ascent) * sy), QString::fromStdString(line.text));
        }
    }
    for (FrameLines& f : frames)
        f.draw(painter, sx, sy);
    for (const PlacedChart& chart : page.charts)
        paintChart(painter, chart.content, QRectF(chart.x * sx, chart.y * sy, chart.width * sx, chart.height * sy),
                   sx / kMmPerReportUnit);
}

void ReportRenderer::paint(QPainter& painter, QPagedPaintDevice& device, const std::vector<int>& pageNumbers) const
{
    const double sx = device.logicalDpiX() / kReportUnitsPerInch;
    const double sy = device.logicalDpiY() / kReportUnitsPerInch;
    bool first = true;
    for (int number : pageNumbers) {
        if (number < 1 || size_t(number) > m_report.pages.size())
            continue;
        if (!first)
            device.newPage();
        first = false;
        paintPage(painter, m_report.pages[size_t(number - 1)], sx, sy);
    }
}

bool ReportRenderer::paint(QPagedPaintDevice& device, const std::vector<int>& pageNumbers) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    paint(painter, device, pageNumbers);
    return painter.end();
}

std::vector<int> ReportRenderer::allPages() const
{
    std::vector<int> numbers;
    for (size_t i = 0; i < m_report.pages.size(); ++i)
        numbers.push_back(int(i + 1));
    return numbers;
}

void writeReportPdf(const ComposedReport& report, const std::string& path, int dotsPerInch)
{
    ReportPdfWriter writer(path, dotsPerInch);
    writer.begin(report);
    for (const Page& page : report.pages)
        writer.addPage(page);
    writer.finish();
}

} // namespace zent5
