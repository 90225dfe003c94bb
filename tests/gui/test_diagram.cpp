// The chart window: one render of its controls and texts, its commands wired to the presenter
// (the month buttons and their keys, the warning box, saving), the saved pictures on white, and
// the main window's way to the chart of the chosen month and back.

#include "forms/frmDiagram.h"
#include "harness.h"
#include "support/fakes/memory_file_system.h"
#include "support/month_bytes.h"

#include <QCheckBox>
#include <QImage>
#include <QRegularExpression>

using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

// Presses a key at the widget that has the focus in `window`, made active as the user would.
void key(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

} // namespace

class DiagramTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsStepsAndSavesTheMonthOnWhite() {
        // December 2026 on the 2 h plan (fee 245 kr): day 1 one hour, day 2 three hours of which
        // one is extra time costing 1234 öre. The clock is in 2027: no projection.
        platform::fakes::MemoryFileSystem files;
        files.files()["2612.tid"] = monthFileBytes(
            {{1, dayRecordBytes(3600, 0, 0, 1)}, {2, dayRecordBytes(10800, 3600, 1234, 2)}});
        platform::fakes::FakeOutside outside{core::Date{2027, 1, 10}};
        core::ProgramSettings settings;
        settings.dailyAllowance = 7200;
        forms::frmDiagram window{outside.with(files), settings};
        const auto find = [&window](const char* name) {
            return window.findChild<QWidget*>(QString::fromLatin1(name));
        };
        QVERIFY(window.open(core::Date{2026, 12, 2}));
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Diagram – December 2026"));
        QCOMPARE(find("picDiagram")->accessibleName(),
                 QStringLiteral("Diagram över ansluten tid per dag"));
        QVERIFY(find("picDiagram")
                    ->accessibleDescription()
                    .startsWith(QStringLiteral("Ansluten tid per dag, december 2026.")));
        // 1 h + 3 h = 4 h; 1 h extra; 12,34 kr + 245 kr = 257,34 kr.
        QCOMPARE(
            qobject_cast<QLabel*>(find("lblPrognos"))->text(),
            QStringLiteral("Ansluten tid: 4 h \nExtra tid: 1 h \nTotal månadskostnad: 257,34 kr"));
        QVERIFY(!find("lblSparat")->isVisible());
        const char* const buttons[][4] = {
            {"cmdForra", "‹", "Föregående månad", "Visar månaden före."},
            {"cmdNasta", "›", "Nästa månad", "Visar månaden efter."},
            {"cmdSparaBild", "Spara bild…", "Spara bild",
             "Sparar diagrammet som PNG- eller SVG-bild."},
            {"cmdStang", "Stäng", "Stäng", "Stänger diagrammet."}};
        for (const auto& b : buttons) {
            auto* button = qobject_cast<QAbstractButton*>(find(b[0]));
            QCOMPARE(QStringList({button->text(), button->accessibleName(), button->toolTip(),
                                  button->accessibleDescription()}),
                     QStringList({QString::fromUtf8(b[1]), QString::fromUtf8(b[2]),
                                  QString::fromUtf8(b[3]), QString::fromUtf8(b[3])}));
        }
        // No setting file: the box is on; unticked, it stores the setting at once.
        auto* warning = qobject_cast<QCheckBox*>(find("chkVarning"));
        QVERIFY(warning->isChecked());
        warning->click();
        QCOMPARE(files.files().at("avisering.it"), (std::vector<std::uint8_t>{0x00, 0x00}));

        // A name without an ending, PNG chosen: a PNG of 800 × 450 drawn at twice the pixels.
        auto& saveFile = outside.saveFile;
        saveFile.answer(std::string("/home/anna/december"));
        qobject_cast<QAbstractButton*>(find("cmdSparaBild"))->click();
        QCOMPARE(saveFile.written().back().path, std::string("/home/anna/december.png"));
        QCOMPARE(qobject_cast<QLabel*>(find("lblSparat"))->text(),
                 QStringLiteral("Sparat som ~/december.png"));
        QVERIFY(find("lblSparat")->isVisible());
        QImage image;
        QVERIFY(
            image.loadFromData(QByteArray::fromStdString(saveFile.written().back().bytes), "PNG"));
        QCOMPARE(image.size(), QSize(1600, 900));
        QCOMPARE(image.pixelColor(1599, 899), QColor(Qt::white));
        // Day 1's prepaid portion in 800 × 450: PW = 736, PH = 362, B = 32 + 362 = 394, slot =
        // 736 / 31 = 23, gap = max(2, 23 / 4) = 5, bar 18 wide from 48 + 2 = 50 to 67;
        // height(3600) = 3600 × 362 / 10800 = 120, rows 274 to 393. Logical (58, 300) is device
        // (116, 600).
        QCOMPARE(image.pixelColor(116, 600),
                 find("picDiagram")->palette().color(QPalette::Highlight));
        // Ctrl+S, SVG chosen: the first thing drawn is the white background over the whole
        // picture.
        saveFile.answer(std::string("/home/anna/december"), 1);
        key(window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(saveFile.written().back().path, std::string("/home/anna/december.svg"));
        const QString svg = QString::fromStdString(saveFile.written().back().bytes);
        static const QRegularExpression background(QStringLiteral(
            R"(<g fill="#ffffff"[^>]*>\s*(<rect x="0" y="0" width="800" height="450"/>))"));
        const QRegularExpressionMatch match = background.match(svg);
        QVERIFY(match.hasMatch() && match.capturedStart(1) == svg.indexOf(QStringLiteral("<rect")));
        QVERIFY(svg.contains(QStringLiteral("Ansluten tid per dag, december 2026")));

        // The month buttons and their keys.
        qobject_cast<QAbstractButton*>(find("cmdNasta"))->click();
        QCOMPARE(window.windowTitle(), QStringLiteral("Diagram – Januari 2027"));
        key(window, Qt::Key_PageUp);
        key(window, Qt::Key_PageUp);
        QCOMPARE(window.windowTitle(), QStringLiteral("Diagram – November 2026"));
        key(window, Qt::Key_PageDown);
        QCOMPARE(window.windowTitle(), QStringLiteral("Diagram – December 2026"));
        QVERIFY(outside.messages.shown().empty());
    }

    // The chart of the month chosen in the main window; nothing before January 2001.
    void theMainWindowOpensTheChosenMonthAndClosingGoesBack() {
        testing_support::Harness h; // today 5 December 2001
        h.storePlan("1 h / dygn", 3600);
        app::frmSurfur& main = h.start();
        h.choose("01", "01", "03");
        h.click("cmdDiagram");
        QWidget* chart = h.find("frmDiagram");
        QVERIFY(chart != nullptr && chart->isVisible() && !main.isVisible());
        QVERIFY(!h.find("cmdForra", chart)->isEnabled());
        key(*chart, Qt::Key_PageUp);
        QCOMPARE(chart->windowTitle(), QStringLiteral("Diagram – Januari 2001"));
        chart->close();
        QVERIFY(main.isVisible());
        testing_support::Harness::deleteClosedWindows();
        QVERIFY(h.find("frmDiagram") == nullptr);
    }
};

QTEST_MAIN(DiagramTest)
#include "test_diagram.moc"
