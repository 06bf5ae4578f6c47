#include "chartpainter.h"

#include "fontsubstitution.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <vector>

namespace zent5 {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QFont chartFont(double points, bool bold = false)
{
    QFont f(qs(installedFamilyFor("Arial")));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Device positions of values on one axis.
struct Scale {
    double from = 0, to = 1; // values
    double start = 0, end = 1; // device pixels
    double at(double v) const { return to == from ? start : start + (v - from) / (to - from) * (end - start); }
};

// One entry of the legend: a mark or a line, then its label.
struct LegendEntry {
    QString label;
    QColor colour;
    bool line = false;
    Qt::PenStyle style = Qt::SolidLine;
};

} // namespace

QColor chartColour(uint32_t rgb) { return QColor(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)); }

Qt::PenStyle chartPenStyle(ChartLineStyle style)
{
    switch (style) {
    case ChartLineStyle::Dashed: return Qt::DashLine;
    case ChartLineStyle::Dotted: return Qt::DotLine;
    case ChartLineStyle::Solid: break;
    }
    return Qt::SolidLine;
}

void paintChart(QPainter& painter, const ChartContent& chart, const QRectF& area, double mm)
{
    painter.save();
    const QFont titleFont = chartFont(11, true), axisFont = chartFont(9), labelFont = chartFont(8);
    const QFontMetricsF titleMetrics(titleFont, painter.device()), axisMetrics(axisFont, painter.device()),
        labelMetrics(labelFont, painter.device());
    const double gap = 1.5 * mm;
    const double markRadius = 0.9 * mm;

    std::vector<LegendEntry> legend;
    for (const ChartMarks& m : chart.marks)
        if (!m.label.empty())
            legend.push_back({qs(m.label), chartColour(m.colour), false, Qt::SolidLine});
    for (const ChartLevel& l : chart.levels)
        legend.push_back({qs(l.label), chartColour(l.colour), true, chartPenStyle(l.style)});

    // The legend wraps into as many rows as its entries need.
    const double symbolWidth = 7 * mm;
    std::vector<std::vector<size_t>> legendRows(1);
    double rowWidth = 0;
    for (size_t i = 0; i < legend.size(); ++i) {
        const double w = symbolWidth + gap + labelMetrics.horizontalAdvance(legend[i].label) + 3 * gap;
        if (rowWidth > 0 && rowWidth + w > area.width()) {
            legendRows.emplace_back();
            rowWidth = 0;
        }
        legendRows.back().push_back(i);
        rowWidth += w;
    }
    const double legendHeight = legend.empty() ? 0 : double(legendRows.size()) * labelMetrics.height() + gap;

    double widestY = 0;
    for (const ChartTick& t : chart.y.ticks)
        widestY = std::max(widestY, labelMetrics.horizontalAdvance(qs(t.text)));
    const double lastX = chart.x.ticks.empty() ? 0 : labelMetrics.horizontalAdvance(qs(chart.x.ticks.back().text));

    const double titleHeight = chart.title.empty() ? 0 : titleMetrics.height() + gap;
    const double yTitleWidth = chart.y.title.empty() ? 0 : axisMetrics.height() + gap;
    const double xTitleHeight = chart.x.title.empty() ? 0 : axisMetrics.height() + gap;
    QRectF plot(area.left() + yTitleWidth + widestY + gap, area.top() + titleHeight + labelMetrics.height() / 2,
                0, 0);
    plot.setRight(area.right() - std::max(lastX / 2, gap));
    plot.setBottom(area.bottom() - legendHeight - xTitleHeight - labelMetrics.height() - gap);
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.restore();
        return;
    }
    const Scale sx{chart.x.minimum, chart.x.maximum, plot.left(), plot.right()};
    const Scale sy{chart.y.minimum, chart.y.maximum, plot.bottom(), plot.top()};

    if (!chart.title.empty()) {
        painter.setFont(titleFont);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), area.top(), area.width(), titleMetrics.height()), Qt::AlignCenter,
                         qs(chart.title));
    }

    // Grid lines and tick labels.
    painter.setFont(labelFont);
    const QPen gridPen(QColor(0xC8, 0xC8, 0xC8), 0.1 * mm);
    for (const ChartTick& t : chart.y.ticks) {
        const double y = sy.at(t.value);
        painter.setPen(gridPen);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        const QRectF box(plot.left() - gap - widestY, y - labelMetrics.height() / 2, widestY, labelMetrics.height());
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, qs(t.text));
    }
    for (const ChartTick& t : chart.x.ticks) {
        const double x = sx.at(t.value);
        painter.setPen(gridPen);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(Qt::black);
        const double w = labelMetrics.horizontalAdvance(qs(t.text));
        painter.drawText(QRectF(x - w, plot.bottom() + gap / 2, 2 * w, labelMetrics.height()), Qt::AlignCenter,
                         qs(t.text));
    }

    // Axis titles: x below its labels, y turned upwards left of its labels.
    painter.setFont(axisFont);
    if (!chart.x.title.empty())
        painter.drawText(QRectF(plot.left(), plot.bottom() + gap / 2 + labelMetrics.height() + gap / 2, plot.width(),
                                axisMetrics.height()),
                         Qt::AlignCenter, qs(chart.x.title));
    if (!chart.y.title.empty()) {
        painter.save();
        painter.translate(area.left(), plot.center().y());
        painter.rotate(-90);
        painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), axisMetrics.height()), Qt::AlignCenter,
                         qs(chart.y.title));
        painter.restore();
    }

    // The plot: levels under the points, both clipped to the frame.
    painter.save();
    painter.setClipRect(plot);
    for (const ChartLevel& l : chart.levels) {
        QPen pen(chartColour(l.colour), 0.4 * mm, chartPenStyle(l.style));
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        const double y = sy.at(l.value);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    // A mark is a point of a round pen: one small stroke each, which keeps a
    // PDF of many thousand marks small.
    for (const ChartMarks& m : chart.marks) {
        painter.setPen(QPen(chartColour(m.colour), 2 * markRadius, Qt::SolidLine, Qt::RoundCap));
        QPolygonF at;
        at.reserve(qsizetype(m.points.size()));
        for (const ChartPoint& p : m.points)
            at.append(QPointF(sx.at(p.x), sy.at(p.y)));
        painter.drawPoints(at);
    }
    painter.restore();

    painter.setPen(QPen(Qt::black, 0.2 * mm));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    // The legend, centred row by row.
    painter.setFont(labelFont);
    double y = area.bottom() - legendHeight + gap;
    for (const std::vector<size_t>& row : legendRows) {
        double width = 0;
        for (size_t i : row)
            width += symbolWidth + gap + labelMetrics.horizontalAdvance(legend[i].label) + 3 * gap;
        double x = area.left() + (area.width() - width) / 2;
        const double mid = y + labelMetrics.height() / 2;
        for (size_t i : row) {
            const LegendEntry& e = legend[i];
            if (e.line) {
                QPen pen(e.colour, 0.4 * mm, e.style);
                pen.setCapStyle(Qt::FlatCap);
                painter.setPen(pen);
                painter.drawLine(QPointF(x, mid), QPointF(x + symbolWidth, mid));
            } else {
                painter.setRenderHint(QPainter::Antialiasing, true);
                painter.setPen(Qt::NoPen);
                painter.setBrush(e.colour);
                painter.drawEllipse(QPointF(x + symbolWidth / 2, mid), markRadius, markRadius);
                painter.setBrush(Qt::NoBrush);
            }
            x += symbolWidth + gap;
            painter.setPen(Qt::black);
            const double w = labelMetrics.horizontalAdvance(e.label);
            painter.drawText(QRectF(x, y, w + gap, labelMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter, e.label);
            x += w + 3 * gap;
        }
        y += labelMetrics.height();
    }
    painter.restore();
}

} // namespace zent5
