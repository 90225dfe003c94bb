#pragma once

// The chart control of the chart window (object name "picDiagram"): shows a core::MonthChart
// with the month chart painter, in the widget's own palette and font, sharp at any screen scale.
// It takes the keyboard focus, so that a screen reader can read it, and draws a focus frame then.
// It only shows the model it is given; it does not read files, work out figures, or take input.

#include "core/month_chart.h"

#include <QWidget>

namespace forms {

class MonthChartWidget final : public QWidget {
    Q_OBJECT

public:
    explicit MonthChartWidget(QWidget* parent = nullptr);

    // Shows this chart; its accessible description becomes the chart's title and what it shows.
    void setChart(const core::MonthChart& chart);
    const core::MonthChart& chart() const { return m_chart; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    core::MonthChart m_chart;
};

} // namespace forms
