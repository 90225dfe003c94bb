// The chart window: its controls, texts and tab order, the warning box reported and never stored,
// saving the picture as PNG and SVG through the save-file service, and every way of closing it.

#include "forms/frmDiagram.h"
#include "platform/fakes/fake_services.h"
#include "platform/fakes/memory_file_system.h"
#include "support/month_bytes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

// December 2026 on the 2 h plan (fee 245 kr): day 1 one hour, day 2 three hours of which one is
// extra time costing 1234 öre; day 2 chosen.
struct Setup {
    Setup() {
        files.files()["2612.tid"] = monthFileBytes(
            {{1, dayRecordBytes(3600, 0, 0.0f, 1)}, {2, dayRecordBytes(10800, 3600, 1234.0f, 2)}});
    }
    presenter::ChartView view(bool warn) {
        return presenter::loadChart(files, core::Date{2026, 12, 2}, 2, 7200, warn);
    }
    template <typename T = QWidget>
    T* find(const char* name) const {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    void activate() {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    platform::fakes::MemoryFileSystem files;
    platform::fakes::FakeOutside outside{core::Date{2026, 12, 2}};
    forms::frmDiagram window{outside.saveFile, outside.messages};
};

} // namespace

class DiagramTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsTheViewWithItsControls();
    void constructorRendersTheViewItIsGiven();
    void tabOrderRunsThroughEveryControl();
    void warningBoxIsReportedNotStored();
    void savesPngAndSvg();
    void everyCloseClosesIt_data();
    void everyCloseClosesIt();
};

void DiagramTest::showsTheViewWithItsControls() {
    Setup s;
    s.window.show(s.view(true));
    QVERIFY(s.window.isVisible());
    QCOMPARE(s.window.windowTitle(), QStringLiteral("Diagram – December 2026"));

    auto* chart = s.find("picDiagram");
    QVERIFY(chart != nullptr);
    QCOMPARE(chart->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(chart->accessibleName(), QStringLiteral("Diagram över ansluten tid per dag"));
    QVERIFY(chart->accessibleDescription().startsWith(
        QStringLiteral("Ansluten tid per dag, december 2026.")));

    // 1 h + 3 h = 4 h; 1 h extra; 12,34 kr + 245 kr = 257,34 kr.
    QCOMPARE(s.find<QLabel>("lblPrognos")->text(),
             QStringLiteral("Ansluten tid: 4 h \nExtra tid: 1 h \nTotal månadskostnad: 257,34 kr"));
    auto* box = s.find<QCheckBox>("chkVarning");
    QCOMPARE(box->text(), QStringLiteral("Varna innan extra tid börjar"));
    QVERIFY(box->isChecked());
    QCOMPARE(box->accessibleName(), QStringLiteral("Varna innan extra tid börjar"));
    auto* save = s.find<QAbstractButton>("cmdSparaBild");
    QCOMPARE(save->text(), QStringLiteral("Spara bild…"));
    QCOMPARE(save->accessibleName(), QStringLiteral("Spara bild"));
    auto* close = s.find<QAbstractButton>("cmdStang");
    QCOMPARE(close->text(), QStringLiteral("Stäng"));
    QCOMPARE(close->accessibleName(), QStringLiteral("Stäng"));
    auto* saveAction = s.find<QAction>("actSparaBild");
    QVERIFY(saveAction != nullptr);
    QCOMPARE(saveAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QVERIFY(s.find<QAction>("actStang")->shortcuts().contains(QKeySequence(Qt::Key_Escape)));

    // A view without the box ticked clears it.
    s.window.show(s.view(false));
    QVERIFY(!box->isChecked());
}

void DiagramTest::constructorRendersTheViewItIsGiven() {
    Setup s;
    forms::frmDiagram window(s.outside.saveFile, s.outside.messages, s.view(true));
    QVERIFY(!window.isVisible());
    QCOMPARE(window.windowTitle(), QStringLiteral("Diagram – December 2026"));
    QVERIFY(window.findChild<QCheckBox*>(QStringLiteral("chkVarning"))->isChecked());
    QCOMPARE(window.view().picDiagram.highlightedDay, 2);
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblPrognos"))
                 ->text()
                 .section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("Ansluten tid: 4 h "));
    window.show();
    QVERIFY(window.isVisible());
}

void DiagramTest::tabOrderRunsThroughEveryControl() {
    Setup s;
    s.window.show(s.view(false));
    s.activate();
    QCOMPARE(QApplication::focusWidget(), s.find("picDiagram"));
    const char* order[] = {"chkVarning", "cmdSparaBild", "cmdStang", "picDiagram"};
    for (const char* name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(QApplication::focusWidget() == s.find(name), name);
    }
}

void DiagramTest::warningBoxIsReportedNotStored() {
    Setup s;
    QSignalSpy toggled(&s.window, &forms::frmDiagram::warningToggled);
    s.window.show(s.view(false));
    QVERIFY(toggled.isEmpty()); // rendering is not a toggle
    auto* box = s.find<QCheckBox>("chkVarning");
    box->click();
    QCOMPARE(toggled.size(), 1);
    QCOMPARE(toggled.last().at(0).toBool(), true);
    box->click();
    QCOMPARE(toggled.size(), 2);
    QCOMPARE(toggled.last().at(0).toBool(), false);
    s.window.show(s.view(true));
    QCOMPARE(toggled.size(), 2);
    QVERIFY(box->isChecked());
    // No file written or changed, no message.
    QCOMPARE(s.files.files().size(), std::size_t(1));
    QVERIFY(s.outside.saveFile.written().empty());
    QVERIFY(s.outside.messages.shown().empty());
}

void DiagramTest::savesPngAndSvg() {
    Setup s;
    s.window.show(s.view(false));
    auto& saveFile = s.outside.saveFile;

    // Cancelled: nothing written.
    saveFile.answer(std::nullopt);
    s.find<QAbstractButton>("cmdSparaBild")->click();
    QCOMPARE(saveFile.suggested().size(), std::size_t(1));
    QCOMPARE(saveFile.suggested().back(), std::string("Diagram 2026-12.png"));
    QCOMPARE(saveFile.filters(), std::string("PNG-bild (*.png);;SVG-bild (*.svg)"));
    QVERIFY(saveFile.written().empty());

    // A name without an ending is a PNG of 800 × 450 drawn at twice the pixels.
    saveFile.answer(std::string("/hem/anna/december"));
    s.find<QAbstractButton>("cmdSparaBild")->click();
    QCOMPARE(saveFile.written().size(), std::size_t(1));
    QCOMPARE(saveFile.written().back().path, std::string("/hem/anna/december.png"));
    const std::string& png = saveFile.written().back().bytes;
    QImage image;
    QVERIFY(image.loadFromData(reinterpret_cast<const uchar*>(png.data()),
                               static_cast<int>(png.size()), "PNG"));
    QCOMPARE(image.size(), QSize(1600, 900));
    // Day 1's prepaid portion in 800 × 450: PW = 736, PH = 362, B = 32 + 362 = 394, slot =
    // 736 / 31 = 23, gap = max(2, 23 / 4) = 5, bar 18 wide from 48 + 2 = 50 to 67; height(3600)
    // = 3600 × 362 / 10800 = 120, rows 274 to 393. Logical (58, 300) is device (116, 600).
    const QColor highlight = s.find("picDiagram")->palette().color(QPalette::Highlight);
    QCOMPARE(image.pixelColor(116, 600).rgb(), highlight.rgb());
    QCOMPARE(image.pixelColor(117, 601).rgb(), highlight.rgb());

    // Ctrl+S runs the same command; an ending .SVG in any case is an SVG file.
    saveFile.answer(std::string("/hem/anna/december.SVG"));
    s.activate();
    QTest::keyClick(&s.window, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(saveFile.written().size(), std::size_t(2));
    QCOMPARE(saveFile.written().back().path, std::string("/hem/anna/december.SVG"));
    const QByteArray svg = QByteArray::fromStdString(saveFile.written().back().bytes);
    QVERIFY(svg.startsWith("<?xml"));
    QVERIFY(svg.contains("<svg"));
    QVERIFY(svg.contains("<rect"));
    QVERIFY(s.outside.messages.shown().empty());

    // A write that fails is told.
    saveFile.fail("Disken är full.");
    s.find<QAbstractButton>("cmdSparaBild")->click();
    QCOMPARE(s.outside.messages.shown().size(), std::size_t(1));
    QCOMPARE(s.outside.messages.last().text,
             std::string("Bilden kunde inte sparas: Disken är full."));
    QCOMPARE(saveFile.written().size(), std::size_t(2));
}

void DiagramTest::everyCloseClosesIt_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("cmdStang") << QStringLiteral("cmdStang");
    QTest::newRow("Escape") << QStringLiteral("Escape");
    QTest::newRow("close()") << QStringLiteral("close");
    QTest::newRow("window frame") << QStringLiteral("frame");
}

void DiagramTest::everyCloseClosesIt() {
    QFETCH(QString, how);
    Setup s;
    QSignalSpy closed(&s.window, &forms::frmDiagram::closed);
    for (int opening = 1; opening <= 2; ++opening) {
        s.window.show(s.view(false));
        QVERIFY(s.window.isVisible());
        if (how == QLatin1String("cmdStang")) {
            s.find<QAbstractButton>("cmdStang")->click();
        } else if (how == QLatin1String("Escape")) {
            s.activate();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        } else if (how == QLatin1String("close")) {
            QVERIFY(s.window.close());
        } else {
            QVERIFY(s.window.windowHandle() != nullptr && s.window.windowHandle()->close());
        }
        QVERIFY(!s.window.isVisible());
        QCOMPARE(closed.size(), opening);
    }
}

QTEST_MAIN(DiagramTest)
#include "test_diagram.moc"
