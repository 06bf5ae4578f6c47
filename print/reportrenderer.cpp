#include "reportrenderer.h"

#include "records/error.h"

#include <QFile>
#include <QFont>
#include <QLineF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QString>

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

void addFrame(QList<QLineF>& lines, const PlacedCell& cell, const Frame& frame, double sx, double sy)
{
    const double l = cell.x * sx;
    const double t = cell.y * sy;
    const double r = (cell.x + cell.width) * sx;
    const double b = (cell.y + cell.height) * sy;
    if (frame.left)
        lines.append(QLineF(l, t, l, b));
    if (frame.top)
        lines.append(QLineF(l, t, r, t));
    if (frame.right)
        lines.append(QLineF(r, t, r, b));
    if (frame.bottom)
        lines.append(QLineF(l, b, r, b));
}

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

    QList<QLineF> frameLines;
    double frameWidth = 1;
    painter.setPen(QPen(Qt::black));
    int currentFont = -1;
    for (const PlacedBand& band : page.bands) {
        for (const PlacedCell& cell : band.cells) {
            const CellStyle& style = m_report.styleOf(cell);
            if (style.frame.any()) {
                addFrame(frameLines, cell, style.frame, sx, sy);
                frameWidth = style.frame.width;
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
    if (!frameLines.isEmpty()) {
        QPen pen(Qt::black, frameWidth * sx, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawLines(frameLines);
    }
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
    const QString name = QString::fromStdString(path);
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error("Не удаётся создать файл " + path);
    bool ok;
    {
        QPdfWriter writer(&file);
        writer.setResolution(dotsPerInch);
        writer.setCreator(QStringLiteral("ЗЕНТ-5"));
        writer.setTitle(QString::fromStdString(report.layoutName));
        ReportRenderer::setUpPage(writer, report.page);
        const ReportRenderer renderer(report);
        ok = renderer.paint(writer, renderer.allPages());
    }
    file.close();
    if (!ok || file.error() != QFileDevice::NoError) {
        QFile::remove(name);
        throw Error("Ошибка записи в файл " + path);
    }
}

} // namespace zent5
