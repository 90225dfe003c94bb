#include "forms/month_chart_painter.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QSvgGenerator>

namespace forms {

QByteArray monthChartSvg(const core::MonthChart& chart, const QSize& size, const QPalette& palette,
                         const QFont& font) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QString::fromStdString(chart.title));
    generator.setDescription(QStringLiteral("Surfklocka"));
    QPainter painter;
    if (!painter.begin(&generator)) {
        return {};
    }
    painter.setFont(font);
    paintMonthChart(painter, QRect(QPoint(0, 0), size), chart, paperPalette(palette));
    painter.end();
    return bytes;
}

} // namespace forms
