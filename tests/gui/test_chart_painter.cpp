// The month chart's drawing: the pixels that a wrong bar height, bar width, colour, allowance line,
// chosen day's frame or axis would change, in a rectangle set off from the image's corner, at
// scale 1 and at scale 2 (200 %).

#include "core/month_chart.h"
#include "forms/month_chart_painter.h"

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>

class ChartPainterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void barsLineFrameAndAxes_data() {
        QTest::addColumn<int>("scale");
        QTest::newRow("100 %") << 1;
        QTest::newRow("200 %") << 2;
    }

    void barsLineFrameAndAxes() {
        QFETCH(int, scale);
        const QColor window(240, 240, 230), prepaid(0, 0, 200), ink(10, 20, 30), red(255, 0, 0);
        QPalette palette;
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::Highlight, prepaid);
        palette.setColor(QPalette::WindowText, ink);
        // 2 h plan, December 2026 (31 days): day 1 = 1 h, day 2 = 3 h (2 h prepaid + 1 h extra),
        // day 3 = 0; day 2 chosen. The axis runs to 3 h (10800 s).
        std::vector<core::DayRecord> records(3);
        records[0].connectedSeconds = 3600;
        records[1].connectedSeconds = 10800;
        const core::MonthChart chart = core::monthChart(2026, 12, records, 7200, 2);
        QImage image(QSize(420, 330) * scale, QImage::Format_ARGB32);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            forms::paintMonthChart(painter, QRect(10, 20, 400, 300), chart, palette);
        }
        // Rectangle 10, 20, 400 × 300: L = 10 + 48 = 58, T = 20 + 32 = 52, PW = 400 - 64 = 336,
        // PH = 300 - 88 = 212, B = 52 + 212 = 264. slot = 336 / 31 = 10, gap = max(2, 10 / 4) = 2,
        // bar width 8; bar i from 58 + 10 i + 1: day 1 columns 59-66, day 2 69-76. height(3600) =
        // 3600 × 212 / 10800 = 70 (70.67 rounded down), height(7200) = 141, height(10800) = 212.
        // Day 1: rows 194 to 263. Day 2: prepaid rows 123 to 263, extra rows 52 to 122; its frame
        // columns 68 and 77 and row 51. Allowance line: row 123, columns 58 to 393. Axes: column
        // 57 and row 264; ticks in columns 53 to 56, on rows 264 - height(h × 3600).
        const struct {
            int x, y;
            QColor colour;
            const char* what;
        } probes[] = {
            {5, 5, Qt::white, "outside the rectangle"},
            {62, 194, prepaid, "day 1, top row"},
            {62, 193, window, "just above day 1"},
            {59, 263, prepaid, "day 1, bottom left pixel"},
            {58, 200, window, "left of day 1"},
            {66, 200, prepaid, "day 1, right column"},
            {67, 200, window, "gap after day 1"},
            {72, 124, prepaid, "day 2 prepaid, top row"},
            {72, 122, red, "day 2 extra, bottom row"},
            {72, 52, red, "day 2 extra, top row"},
            {72, 123, ink, "allowance line over day 2"},
            {82, 123, ink, "allowance line over day 3"},
            {393, 123, ink, "allowance line, last column"},
            {394, 123, window, "right of the allowance line"},
            {72, 51, ink, "chosen day's frame, top"},
            {68, 150, ink, "chosen day's frame, left"},
            {77, 263, ink, "chosen day's frame, right, bottom row"},
            {78, 150, window, "right of the frame"},
            {82, 263, window, "day 3 has no bar"},
            {200, 264, ink, "x axis"},
            {57, 150, ink, "y axis"},
            {54, 194, ink, "tick of 1 h"},
            {54, 52, ink, "tick of 3 h"},
            {54, 150, window, "no tick between hours"},
        };
        for (const auto& probe : probes) {
            for (int device = 0; device < scale * scale; ++device) { // each device pixel of it
                const QColor got = image.pixelColor(probe.x * scale + device % scale,
                                                    probe.y * scale + device / scale);
                QVERIFY2(got == probe.colour, qPrintable(QString::fromLatin1(probe.what) + u' ' +
                                                         got.name() + u' ' + probe.colour.name()));
            }
        }
    }
};

QTEST_MAIN(ChartPainterTest)
#include "test_chart_painter.moc"
