#include "forms/month_chart_widget.h"

#include "forms/month_chart_painter.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace forms {

MonthChartWidget::MonthChartWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picDiagram"));
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Diagram över ansluten tid per dag"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void MonthChartWidget::setChart(const core::MonthChart& chart) {
    m_chart = chart;
    setAccessibleDescription(
        QString::fromStdString(chart.title) +
        QStringLiteral(". En stapel per dag: förbetald tid nederst och extra tid i rött ovanför, "
                       "med linjen för förbetald tid per dag."));
    update();
}

// Wide enough for every day's number of a month of 31 days, with a gap between them.
QSize MonthChartWidget::sizeHint() const {
    return {720, 380};
}

QSize MonthChartWidget::minimumSizeHint() const {
    return {360, 220};
}

void MonthChartWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintMonthChart(painter, rect(), m_chart, palette());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        option.backgroundColor = palette().color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace forms
