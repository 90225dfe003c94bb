#pragma once

// Draws the month chart (core::MonthChart) with QPainter onto any paint device: a widget, a
// QImage, an SVG generator. It also makes the chart's PNG and SVG bytes for saving. It decides
// only pixels and colours; what the bars hold, the axis height and every text come from the
// model, and it reads and writes no file.
//
// Geometry, in the painter's logical pixels, for a rectangle R (x, y, w, h); every number is an
// integer and divisions round down:
//
//   plot area   left L = R.x + 48, top T = R.y + 32, width PW = max(0, w - 64),
//               height PH = max(0, h - 88); the bands around it hold the title (32 above), the
//               hour labels (48 on the left), 16 on the right, and the day numbers and the
//               legend (56 below).
//   base row    B = T + PH: the x axis is drawn on row B (from column L - 1 to L + PW - 1), the
//               y axis on column L - 1 (rows T to B).
//   height(s)   = s * PH / (axisTopHours * 3600) pixels for s seconds.
//   slots       n = the number of bars, slot = PW / n, gap = max(2, slot / 4),
//               barWidth = max(1, slot - gap); bar i (day i + 1) covers the columns
//               L + i * slot + gap / 2 up to barWidth columns on.
//   bar         the prepaid portion fills the rows B - height(prepaid) to B - 1, the extra portion
//   the
//               rows B - height(prepaid + extra) to B - height(prepaid) - 1 above it.
//   allowance   a line one pixel high on row B - height(allowance), columns L to L + PW - 1,
//               drawn over the bars; none without an allowance.
//   chosen day  a frame one pixel wide just outside its bar: columns barLeft - 1 and
//               barLeft + barWidth, rows B - height(connected) - 1 to B - 1, and the row
//               B - height(connected) - 1 between them.
//   ticks       for every k = 0, step, 2 * step, … up to axisTopHours: a mark on row
//               B - height(k * 3600), columns L - 5 to L - 2, and the label "k h" to its left.
//
// Colours: the background is the palette's Window colour, the prepaid portion its Highlight colour,
// the extra portion pure red (255, 0, 0), as the program's labels show extra time; axes, ticks, the
// allowance line, the chosen day's frame and every text the palette's WindowText colour. Bars,
// lines and frames are drawn without antialiasing, so that they stay sharp at every scale.

#include "core/month_chart.h"

#include <QByteArray>
#include <QColor>
#include <QRect>
#include <QSize>

class QFont;
class QImage;
class QPainter;
class QPalette;

namespace forms {

// The band widths around the plot area (see the geometry above).
inline constexpr int kChartTitleBand = 32;
inline constexpr int kChartLeftBand = 48;
inline constexpr int kChartRightBand = 16;
inline constexpr int kChartBottomBand = 56;

// The colour of extra time.
inline QColor extraTimeColour() {
    return QColor(255, 0, 0);
}

// Paints the chart in `rect` with the painter's font. The painter is left as it was.
void paintMonthChart(QPainter& painter, const QRect& rect, const core::MonthChart& chart,
                     const QPalette& palette);

// The chart as a picture of `size` logical pixels drawn at `devicePixelRatio` (its pixels are
// size × ratio, and it carries that ratio).
QImage monthChartImage(const core::MonthChart& chart, const QSize& size, qreal devicePixelRatio,
                       const QPalette& palette, const QFont& font);

// The PNG file of monthChartImage, drawn on white with black ink (the prepaid portion in the
// palette's Highlight colour) whatever the palette's other colours; empty when it could not be
// made.
QByteArray monthChartPng(const core::MonthChart& chart, const QSize& size, qreal devicePixelRatio,
                         const QPalette& palette, const QFont& font);

// The palette a saved picture is drawn with: white paper and black ink, whatever the desktop's
// colours; the prepaid portion keeps the palette's Highlight colour.
QPalette paperPalette(const QPalette& palette);

// The chart as an SVG file of `size` pixels, on white as the PNG file; empty when it could not be
// made. Made with Qt SVG (forms/month_chart_svg.cpp); in the program's windows it is made in the
// printing module, which is loaded when it is first needed (app/printing_client.cpp).
QByteArray monthChartSvg(const core::MonthChart& chart, const QSize& size, const QPalette& palette,
                         const QFont& font);

} // namespace forms
