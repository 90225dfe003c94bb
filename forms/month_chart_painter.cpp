#include "forms/month_chart_painter.h"

#include "core/texts.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace forms {

namespace {

constexpr std::int64_t kSecondsPerHour = 3600;
constexpr int kTickLength = 4;
constexpr int kSwatch = 12;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// The plot area and the bars' columns, as the header's formula gives them.
struct Geometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int base = 0;
    int slot = 0;
    int gap = 0;
    int barWidth = 0;
    std::int64_t axisSeconds = kSecondsPerHour;

    int pixels(std::int64_t seconds) const {
        return static_cast<int>(seconds * height / axisSeconds);
    }
    int barLeft(std::size_t index) const { return left + static_cast<int>(index) * slot + gap / 2; }
};

Geometry geometryOf(const QRect& rect, const core::MonthChart& chart) {
    Geometry g;
    g.left = rect.x() + kChartLeftBand;
    g.top = rect.y() + kChartTitleBand;
    g.width = std::max(0, rect.width() - kChartLeftBand - kChartRightBand);
    g.height = std::max(0, rect.height() - kChartTitleBand - kChartBottomBand);
    g.base = g.top + g.height;
    const int bars = static_cast<int>(chart.bars.size());
    g.slot = bars > 0 ? g.width / bars : 0;
    g.gap = std::max(2, g.slot / 4);
    g.barWidth = std::max(1, g.slot - g.gap);
    g.axisSeconds = std::max<std::int64_t>(1, chart.axisTopHours) * kSecondsPerHour;
    return g;
}

void drawAxes(QPainter& painter, const Geometry& g, const core::MonthChart& chart,
              const QColor& ink) {
    painter.fillRect(QRect(g.left - 1, g.top, 1, g.height + 1), ink);
    painter.fillRect(QRect(g.left - 1, g.base, g.width + 1, 1), ink);
    const QFontMetrics metrics(painter.font());
    const int step = std::max(1, chart.tickStepHours);
    for (int hours = 0; hours <= chart.axisTopHours; hours += step) {
        const int row = g.base - g.pixels(hours * kSecondsPerHour);
        painter.fillRect(QRect(g.left - 1 - kTickLength, row, kTickLength, 1), ink);
        const QRect label(g.left - kChartLeftBand, row - metrics.height() / 2,
                          kChartLeftBand - kTickLength - 4, metrics.height());
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter,
                         qs(core::decimalText(hours) + " h"));
    }
}

void drawBars(QPainter& painter, const Geometry& g, const core::MonthChart& chart,
              const QColor& prepaid) {
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        const core::ChartBar& bar = chart.bars[i];
        const int x = g.barLeft(i);
        const int prepaidTop = g.base - g.pixels(bar.prepaidSeconds);
        const int top = g.base - g.pixels(bar.connectedSeconds());
        painter.fillRect(QRect(x, prepaidTop, g.barWidth, g.base - prepaidTop), prepaid);
        painter.fillRect(QRect(x, top, g.barWidth, prepaidTop - top), extraTimeColour());
    }
}

void drawChosenDay(QPainter& painter, const Geometry& g, const core::MonthChart& chart,
                   const QColor& ink) {
    if (chart.highlightedDay < 1 ||
        static_cast<std::size_t>(chart.highlightedDay) > chart.bars.size()) {
        return;
    }
    const auto index = static_cast<std::size_t>(chart.highlightedDay - 1);
    const int x = g.barLeft(index);
    const int top = g.base - g.pixels(chart.bars[index].connectedSeconds()) - 1;
    painter.fillRect(QRect(x - 1, top, g.barWidth + 2, 1), ink);
    painter.fillRect(QRect(x - 1, top, 1, g.base - top), ink);
    painter.fillRect(QRect(x + g.barWidth, top, 1, g.base - top), ink);
}

void drawDayNumbers(QPainter& painter, const Geometry& g, const core::MonthChart& chart) {
    const QFontMetrics metrics(painter.font());
    // Every day when two digits fit under a slot with a gap of half a digit to the next;
    // otherwise the 1st, every 5th and the chosen day, leaving out a 5th that would crowd the
    // chosen day's number.
    const bool everyDay = g.slot >= metrics.horizontalAdvance(QStringLiteral("31")) +
                                        metrics.horizontalAdvance(QLatin1Char('0')) / 2;
    const int chosen = chart.highlightedDay;
    const int row = g.base + 3;
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        const int day = chart.bars[i].day;
        const bool crowds = chosen > 0 && day != chosen && std::abs(day - chosen) <= 2;
        const bool shown = everyDay || day == chosen || ((day == 1 || day % 5 == 0) && !crowds);
        if (!shown) {
            continue;
        }
        const int centre = g.barLeft(i) + g.barWidth / 2;
        const int half = std::max(g.slot, metrics.horizontalAdvance(QStringLiteral("31")) + 2);
        const QRect box(centre - half, row, 2 * half + 1, metrics.height());
        if (day == chosen) {
            QFont bold = painter.font();
            bold.setBold(true);
            bold.setUnderline(true);
            painter.save();
            painter.setFont(bold);
            painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, qs(core::decimalText(day)));
            painter.restore();
        } else {
            painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, qs(core::decimalText(day)));
        }
    }
}

void drawLegend(QPainter& painter, const QRect& rect, const Geometry& g,
                const core::MonthChart& chart, const QColor& prepaid, const QColor& ink) {
    const QFontMetrics metrics(painter.font());
    const int top = g.base + 3 + metrics.height() + 6;
    const int swatchTop = top + (metrics.height() - kSwatch) / 2;
    int x = rect.x() + kChartLeftBand;
    const auto text = [&](const std::string& words) {
        const QString shown = qs(words);
        const int width = metrics.horizontalAdvance(shown);
        painter.drawText(QRect(x, top, width + 1, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, shown);
        x += width + 16;
    };
    painter.fillRect(QRect(x, swatchTop, kSwatch, kSwatch), prepaid);
    x += kSwatch + 4;
    text(chart.legendPrepaid);
    painter.fillRect(QRect(x, swatchTop, kSwatch, kSwatch), extraTimeColour());
    x += kSwatch + 4;
    text(chart.legendExtra);
    if (!chart.legendAllowance.empty()) {
        painter.fillRect(QRect(x, swatchTop + kSwatch / 2, kSwatch, 1), ink);
        x += kSwatch + 4;
        text(chart.legendAllowance);
    }
}

} // namespace

void paintMonthChart(QPainter& painter, const QRect& rect, const core::MonthChart& chart,
                     const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QColor ink = palette.color(QPalette::WindowText);
    const QColor prepaid = palette.color(QPalette::Highlight);
    painter.fillRect(rect, palette.color(QPalette::Window));
    painter.setPen(ink);

    const Geometry g = geometryOf(rect, chart);

    QFont titleFont = painter.font();
    titleFont.setBold(true);
    painter.save();
    painter.setFont(titleFont);
    painter.drawText(QRect(rect.x(), rect.y(), rect.width(), kChartTitleBand), Qt::AlignCenter,
                     qs(chart.title));
    painter.restore();

    drawBars(painter, g, chart, prepaid);
    if (chart.dailyAllowance > 0) {
        painter.fillRect(QRect(g.left, g.base - g.pixels(chart.dailyAllowance), g.width, 1), ink);
    }
    drawChosenDay(painter, g, chart, ink);
    drawAxes(painter, g, chart, ink);
    drawDayNumbers(painter, g, chart);
    drawLegend(painter, rect, g, chart, prepaid, ink);
    painter.restore();
}

QImage monthChartImage(const core::MonthChart& chart, const QSize& size, qreal devicePixelRatio,
                       const QPalette& palette, const QFont& font) {
    const QSize pixels(qRound(size.width() * devicePixelRatio),
                       qRound(size.height() * devicePixelRatio));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(palette.color(QPalette::Window));
    QPainter painter(&image);
    painter.setFont(font);
    paintMonthChart(painter, QRect(QPoint(0, 0), size), chart, palette);
    painter.end();
    return image;
}

QByteArray monthChartPng(const core::MonthChart& chart, const QSize& size, qreal devicePixelRatio,
                         const QPalette& palette, const QFont& font) {
    const QImage image =
        monthChartImage(chart, size, devicePixelRatio, paperPalette(palette), font);
    QByteArray bytes;
    if (image.isNull()) {
        return bytes;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return {};
    }
    return bytes;
}

QPalette paperPalette(const QPalette& palette) {
    QPalette paper = palette;
    paper.setColor(QPalette::Window, Qt::white);
    paper.setColor(QPalette::WindowText, Qt::black);
    return paper;
}

} // namespace forms
