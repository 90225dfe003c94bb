// The month chart's drawing: bars, their prepaid and extra portions, the allowance line, the chosen
// day's frame and the axes at the pixels the painter's documented geometry puts them, in a
// fixed palette, at scale 1 and at scale 2 (200 %).

#include "core/month_chart.h"
#include "forms/month_chart_painter.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>
#include <vector>

namespace {

const QColor kWindow(240, 240, 230);
const QColor kHighlight(0, 0, 200);
const QColor kInk(10, 20, 30);
const QColor kRed(255, 0, 0);

QPalette fixedPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, kWindow);
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::WindowText, kInk);
    return palette;
}

core::DayRecord connected(std::int32_t seconds) {
    core::DayRecord record;
    record.connectedSeconds = seconds;
    return record;
}

struct Probe {
    int x;
    int y;
    QColor colour;
    const char* what;
};

// Paints the chart into `rect` of an image of `size` logical pixels at `scale`, and checks that
// every logical pixel probed is wholly of its colour (all scale × scale device pixels).
void check(const core::MonthChart& chart, const QSize& size, const QRect& rect, int scale,
           const std::vector<Probe>& probes) {
    QImage image(size * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white); // outside the rectangle
    {
        QPainter painter(&image);
        forms::paintMonthChart(painter, rect, chart, fixedPalette());
    }
    for (const Probe& probe : probes) {
        for (int dy = 0; dy < scale; ++dy) {
            for (int dx = 0; dx < scale; ++dx) {
                const QColor got = image.pixelColor(probe.x * scale + dx, probe.y * scale + dy);
                QVERIFY2(got == probe.colour,
                         qPrintable(QStringLiteral("%1 at (%2, %3) scale %4: %5")
                                        .arg(QString::fromLatin1(probe.what))
                                        .arg(probe.x)
                                        .arg(probe.y)
                                        .arg(scale)
                                        .arg(got.name())));
            }
        }
    }
}

} // namespace

class ChartPainterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoHourPlanInDecember_data();
    void twoHourPlanInDecember();
    void oneHourPlanInFebruaryInAnOffsetRectangle_data();
    void oneHourPlanInFebruaryInAnOffsetRectangle();
};

void ChartPainterTest::twoHourPlanInDecember_data() {
    QTest::addColumn<int>("scale");
    QTest::newRow("100 %") << 1;
    QTest::newRow("200 %") << 2;
}

void ChartPainterTest::twoHourPlanInDecember() {
    QFETCH(int, scale);
    // 2 h plan, December 2026 (31 days): day 1 = 1 h, day 2 = 3 h (2 h prepaid + 1 h extra),
    // day 3 = 0; day 2 chosen. The axis runs to 3 h (10800 s).
    const std::vector<core::DayRecord> records{connected(3600), connected(10800), connected(0)};
    const core::MonthChart chart = core::monthChart(2026, 12, records, 7200, 2);
    QCOMPARE(chart.axisTopHours, 3);

    // Rectangle 0, 0, 400 × 300: L = 48, T = 32, PW = 400 - 64 = 336, PH = 300 - 88 = 212,
    // B = 32 + 212 = 244. slot = 336 / 31 = 10, gap = max(2, 10 / 4) = 2, barWidth = 8; bar i
    // starts at 48 + 10 i + 1: day 1 columns 49-56, day 2 59-66, day 3 69-76, day 10 139-146.
    // height(3600) = 3600 × 212 / 10800 = 70 (70.67 rounded down), height(7200) = 141 (141.33),
    // height(10800) = 212.
    // Day 1: prepaid rows 244 - 70 = 174 to 243. Day 2: prepaid rows 244 - 141 = 103 to 243,
    // extra rows 244 - 212 = 32 to 102; frame columns 58 and 67, rows 31 to 243, top row 31.
    // Allowance line: row 244 - 141 = 103, columns 48 to 383.
    const std::vector<Probe> probes{
        {52, 200, kHighlight, "day 1 prepaid"},
        {49, 174, kHighlight, "day 1 prepaid, top left pixel"},
        {56, 243, kHighlight, "day 1 prepaid, bottom right pixel"},
        {52, 173, kWindow, "just above day 1"},
        {48, 200, kWindow, "left of day 1"},
        {57, 200, kWindow, "gap after day 1"},
        {62, 200, kHighlight, "day 2 prepaid"},
        {62, 104, kHighlight, "day 2 prepaid, top row"},
        {62, 103, kInk, "allowance line over day 2"},
        {62, 102, kRed, "day 2 extra, bottom row"},
        {62, 60, kRed, "day 2 extra"},
        {59, 32, kRed, "day 2 extra, top left pixel"},
        {62, 31, kInk, "chosen day's frame, top"},
        {58, 150, kInk, "chosen day's frame, left"},
        {67, 150, kInk, "chosen day's frame, right"},
        {67, 243, kInk, "chosen day's frame, right, bottom row"},
        {68, 150, kWindow, "right of the frame"},
        {72, 243, kWindow, "day 3 has no bar"},
        {72, 103, kInk, "allowance line over day 3"},
        {72, 102, kWindow, "just above the allowance line"},
        {142, 103, kInk, "allowance line over day 10"},
        {383, 103, kInk, "allowance line, last column"},
        {384, 103, kWindow, "right of the allowance line"},
        {142, 200, kWindow, "day 10 has no bar"},
        {100, 244, kInk, "x axis"},
        {47, 150, kInk, "y axis"},
        {44, 244, kInk, "tick of 0 h (columns 43 to 46)"},
        {44, 174, kInk, "tick of 1 h: row 244 - 70"},
        {44, 103, kInk, "tick of 2 h: row 244 - 141"},
        {44, 32, kInk, "tick of 3 h: row 244 - 212"},
        {44, 150, kWindow, "no tick between hours"},
    };
    check(chart, QSize(400, 300), QRect(0, 0, 400, 300), scale, probes);
}

void ChartPainterTest::oneHourPlanInFebruaryInAnOffsetRectangle_data() {
    QTest::addColumn<int>("scale");
    QTest::newRow("100 %") << 1;
    QTest::newRow("200 %") << 2;
}

void ChartPainterTest::oneHourPlanInFebruaryInAnOffsetRectangle() {
    QFETCH(int, scale);
    // 1 h plan, February 2027 (28 days): day 5 = 1 h 30 m (3600 prepaid + 1800 extra), no day
    // chosen. Highest 5400 s → 2 h axis (7200 s).
    std::vector<core::DayRecord> records(5);
    records[4] = connected(5400);
    const core::MonthChart chart = core::monthChart(2027, 2, records, 3600, 0);
    QCOMPARE(chart.axisTopHours, 2);

    // Rectangle 10, 20, 500 × 388 in an image of 520 × 420: L = 10 + 48 = 58, T = 20 + 32 = 52,
    // PW = 500 - 64 = 436, PH = 388 - 88 = 300, B = 352. slot = 436 / 28 = 15, gap = max(2, 3)
    // = 3, barWidth = 12; day 5 (i = 4) starts at 58 + 60 + 1 = 119: columns 119-130.
    // height(3600) = 3600 × 300 / 7200 = 150, height(5400) = 225. Prepaid rows 202-351, extra
    // rows 127-201, allowance line row 202, columns 58 to 493.
    const std::vector<Probe> probes{
        {5, 5, QColor(Qt::white), "outside the rectangle"},
        {124, 300, kHighlight, "day 5 prepaid"},
        {119, 351, kHighlight, "day 5 prepaid, bottom left pixel"},
        {130, 203, kHighlight, "day 5 prepaid, top right pixel"},
        {124, 202, kInk, "allowance line over day 5"},
        {124, 201, kRed, "day 5 extra, bottom row"},
        {124, 127, kRed, "day 5 extra, top row"},
        {124, 126, kWindow, "just above day 5"},
        {118, 300, kWindow, "left of day 5: no frame without a chosen day"},
        {131, 300, kWindow, "right of day 5"},
        {64, 300, kWindow, "day 1 has no bar"},
        {64, 202, kInk, "allowance line over day 1"},
        {493, 202, kInk, "allowance line, last column"},
        {494, 202, kWindow, "right of the allowance line"},
        {100, 352, kInk, "x axis"},
        {57, 200, kInk, "y axis"},
    };
    check(chart, QSize(520, 420), QRect(10, 20, 500, 388), scale, probes);
}

QTEST_MAIN(ChartPainterTest)
#include "test_chart_painter.moc"
