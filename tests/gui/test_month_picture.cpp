// The main window's way to the chart of the chosen month (cmdDiagram, F2), and the notices a save
// gives before and as extra time starts.

#include "harness.h"

#include <QApplication>
#include <QTest>

namespace {

QWidget* chartWindow(const testing_support::Harness& harness) {
    return harness.find("frmDiagram");
}

} // namespace

class MonthPictureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void f2OpensTheChosenMonthAndClosingGoesBack() {
        testing_support::Harness harness; // today 5 December 2001
        harness.storePlan("1 h / dygn", 3600);
        app::frmSurfur& window = harness.start();
        QVERIFY(harness.find("cmdDiagram") != nullptr);
        harness.choose("01", "11", "03");
        window.activateWindow();
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        QWidget* chart = chartWindow(harness);
        QVERIFY(chart != nullptr);
        QVERIFY(chart->isVisible());
        QVERIFY(!window.isVisible());
        QCOMPARE(chart->windowTitle(), QStringLiteral("Diagram – November 2001"));
        chart->close();
        QVERIFY(window.isVisible());
        testing_support::Harness::deleteClosedWindows();
        QVERIFY(chartWindow(harness) == nullptr);
    }

    void aSaveThatStartsExtraTimeTellsTheDesktopUnlessTurnedOff() {
        testing_support::Harness harness;
        harness.storePlan("1 h / dygn", 3600);
        harness.start();
        // 55 minutes: 5 minutes of the hour left, under ten.
        harness.enter("0", "55", "00");
        harness.click("cmdSpara");
        QCOMPARE(harness.notifier.notices().size(), std::size_t{1});
        QCOMPARE(harness.notifier.notices().back().title,
                 std::string("Snart slut på dagens förbetalda tid"));
        // 10 more: 3900 s, 300 s past the hour.
        harness.enter("0", "10", "00");
        harness.click("cmdSpara");
        QCOMPARE(harness.notifier.notices().size(), std::size_t{2});
        QCOMPARE(harness.notifier.notices().back().title, std::string("Extra tid har börjat"));
        QVERIFY(harness.notifier.notices().back().body.find("Extra tid hittills: 5 m.") !=
                std::string::npos);
        // Turned off: the next day's crossing is not told.
        harness.dir.write("avisering.it", {0x00, 0x00});
        harness.choose("01", "12", "06");
        harness.enter("1", "10", "00");
        harness.click("cmdSpara");
        QCOMPARE(harness.notifier.notices().size(), std::size_t{2});
    }
};

QTEST_MAIN(MonthPictureTest)
#include "test_month_picture.moc"
