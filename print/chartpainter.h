#pragma once

#include "chartcontent.h"

class QPainter;
class QRectF;

namespace zent5 {

// Paints the chart into `area` (device pixels of the painter's device):
// title on top, the legend at the bottom, the axes with their ticks and
// titles, then the plot with the levels and the points clipped to it.
// `pixelsPerMm` sizes the lines, marks and gaps; fonts are sized in points.
// Needs a running QGuiApplication (the font database).
void paintChart(QPainter& painter, const ChartContent& chart, const QRectF& area, double pixelsPerMm);

} // namespace zent5
