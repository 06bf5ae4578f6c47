#pragma once

#include "chartcontent.h"

#include <QColor>

class QPainter;
class QRectF;

namespace zent5 {

// Paints the chart into `area` (device pixels of the painter's device):
// title on top, the legend at the bottom, the axes with their ticks and
// titles, then the plot with the levels and the points clipped to it.
// `pixelsPerMm` sizes the lines, marks and gaps; fonts are sized in points.
// Needs a running QGuiApplication (the font database).
void paintChart(QPainter& painter, const ChartContent& chart, const QRectF& area, double pixelsPerMm);

// A colour and a line style of the content as Qt draws them.
QColor chartColour(uint32_t rgb);
Qt::PenStyle chartPenStyle(ChartLineStyle style);

} // namespace zent5
