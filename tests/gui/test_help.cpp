// The help window: its caption, drawn lines, links and close button, the help page written into
// the data folder, and the main window coming back unchanged.

#include "core/help_window.h"
#include "forms/frmHjalp.h"
#include "forms/help_file.h"
#include "harness.h"
#include "storage/month_file.h"

#include <QImage>
#include <QPointer>

using testing_support::Harness;
using Bytes = std::vector<std::uint8_t>;

namespace {

forms::frmHjalp* openHelp(Harness& h) {
    h.click("cmdHjalp");
    return h.window->findChild<forms::frmHjalp*>(QStringLiteral("frmHjalp"));
}

// Deletes the windows that closed with WA_DeleteOnClose.
void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& test) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (test(image.pixelColor(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

bool isRed(QColor colour) {
    return colour.red() > 200 && colour.green() < 80 && colour.blue() < 80;
}

bool isDark(QColor colour) {
    return colour.red() < 110 && colour.green() < 110 && colour.blue() < 110;
}

} // namespace

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void opensInPlaceOfTheMainWindowWithItsCaption_data();
    void opensInPlaceOfTheMainWindowWithItsCaption();
    void linksShowTheirTargetsAndOpenThem();
    void linkThatCannotBeOpenedIsReported();
    void linesAreDrawnInTheirColoursWithTheLinksBesideThem();
    void closingBringsBackTheMainWindowUnchanged_data();
    void closingBringsBackTheMainWindowUnchanged();
    void helpPageIsWrittenWhenMissing();
    void existingHelpPageIsNeverOverwritten();
};

void HelpTest::opensInPlaceOfTheMainWindowWithItsCaption_data() {
    QTest::addColumn<QString>("planText");
    QTest::addColumn<int>("allowance");
    QTest::newRow("1 h") << QStringLiteral("1 h / dygn") << 3600;
    QTest::newRow("2 h") << QStringLiteral("2 h / dygn") << 7200;
    QTest::newRow("8 h") << QStringLiteral("8 h / dygn") << 28800;
}

void HelpTest::opensInPlaceOfTheMainWindowWithItsCaption() {
    QFETCH(QString, planText);
    QFETCH(int, allowance);
    Harness h;
    h.storePlan(planText.toLatin1().constData(), static_cast<std::int16_t>(allowance));
    auto& window = h.start();

    auto* help = openHelp(h);
    QVERIFY(help != nullptr);
    QVERIFY(help->isVisible());
    QVERIFY(!window.isVisible());
    QVERIFY(help->isWindow());
    QCOMPARE(help->windowTitle(),
             QStringLiteral("Surfklocka 3.11      ") + planText + QStringLiteral("      Om..."));

    auto* picture = help->findChild<QLabel*>(QStringLiteral("picSurfur"));
    QVERIFY(picture != nullptr);
    QVERIFY(!picture->pixmap().isNull());
    QCOMPARE(picture->size(), QSize(32, 32));

    auto* close = help->findChild<QAbstractButton*>(QStringLiteral("cmdStang"));
    QVERIFY(close != nullptr);
    QCOMPARE(close->toolTip(), QStringLiteral("Stänger detta formulär."));
    QVERIFY(!close->icon().isNull());
    QVERIFY(close->text().isEmpty());
    QCOMPARE(close->accessibleName(), QStringLiteral("Stäng"));
    QVERIFY(h.messages.shown().empty());
}

void HelpTest::linksShowTheirTargetsAndOpenThem() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    h.start();
    auto* help = openHelp(h);
    QVERIFY(help != nullptr);

    const std::vector<std::pair<QString, QString>> expected = {
        {QStringLiteral("hjalp.html"), QStringLiteral("Öppnar hjälpen.")},
        {QStringLiteral("mailto:surfklocka@example.org?subject=Om Surfklocka 3.11"),
         QStringLiteral("E-post om programmet.")},
        {QStringLiteral("https://surfklocka.example.org/"),
         QStringLiteral("Till programmets hemsida.")},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        auto* link = help->findChild<QAbstractButton*>(QStringLiteral("aghHjalp_%1").arg(i));
        QVERIFY(link != nullptr);
        QCOMPARE(link->text(), expected[i].first);
        QCOMPARE(link->toolTip(), expected[i].second);
        QVERIFY(link->isVisible());
        link->click();
        QCOMPARE(h.links.opened().size(), i + 1);
        QCOMPARE(QString::fromStdString(h.links.opened().back()), expected[i].first);
    }
    // A link does not close the window.
    QVERIFY(help->isVisible());
    QVERIFY(h.messages.shown().empty());
}

void HelpTest::linkThatCannotBeOpenedIsReported() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    h.start();
    auto* help = openHelp(h);
    QVERIFY(help != nullptr);
    h.links.fail();
    help->findChild<QAbstractButton*>(QStringLiteral("aghHjalp_2"))->click();
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text,
             std::string("Det gick inte att öppna https://surfklocka.example.org/."));
    QCOMPARE(h.messages.last().buttons, platform::MessageBox::Buttons::Ok);
    QVERIFY(help->isVisible());
}

void HelpTest::linesAreDrawnInTheirColoursWithTheLinksBesideThem() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    h.start();
    auto* help = openHelp(h);
    QVERIFY(help != nullptr);

    const QRect welcome = help->lineRect(1);
    const QRect helpLine = help->lineRect(3);
    const QRect notice = help->lineRect(15);
    QVERIFY(welcome.isValid() && helpLine.isValid() && notice.isValid());
    // 12 points against 8 points, one line under the other.
    QVERIFY(welcome.height() > helpLine.height());
    QVERIFY(welcome.bottom() < helpLine.top());
    QVERIFY(helpLine.bottom() < help->lineRect(6).top());
    QVERIFY(help->lineRect(14).bottom() < notice.top());
    QVERIFY(notice.bottom() < help->findChild<QWidget*>(QStringLiteral("cmdStang"))->y());

    // Painted afresh each time: once covered and shown again, the text is still there.
    for (int round = 0; round < 2; ++round) {
        const QImage image = help->grab().toImage().scaled(help->size());
        QVERIFY(countPixels(image, welcome, isRed) > 20);
        QVERIFY(countPixels(image, notice, isRed) > 20);
        QCOMPARE(countPixels(image, helpLine, isRed), 0);
        QVERIFY(countPixels(image, helpLine, isDark) > 20);
        QCOMPARE(countPixels(image, help->lineRect(12), isRed), 0);
        help->hide();
        help->show();
    }

    // Each link stands to the right of its "klicka här:" line, on the same height.
    const std::pair<int, std::size_t> linkLines[] = {{0, 3}, {1, 6}, {2, 9}};
    for (const auto& [link, lineIndex] : linkLines) {
        auto* button = help->findChild<QWidget*>(QStringLiteral("aghHjalp_%1").arg(link));
        const QRect line = help->lineRect(lineIndex);
        QVERIFY(button->geometry().left() > line.right());
        QVERIFY(qAbs(button->geometry().center().y() - line.center().y()) <= 1);
        QVERIFY(help->rect().contains(button->geometry()));
    }
    // The icon keeps clear of the welcome line.
    auto* picture = help->findChild<QWidget*>(QStringLiteral("picSurfur"));
    QVERIFY(!picture->geometry().intersects(welcome));
    QVERIFY(help->rect().contains(picture->geometry()));
}

void HelpTest::closingBringsBackTheMainWindowUnchanged_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("cmdStang") << QStringLiteral("cmdStang");
    QTest::newRow("window frame") << QStringLiteral("frame");
    QTest::newRow("Escape") << QStringLiteral("escape");
}

void HelpTest::closingBringsBackTheMainWindowUnchanged() {
    QFETCH(QString, how);
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    core::DayRecord day;
    day.dayNumber = 14;
    day.connectedSeconds = 9000;
    day.extraSeconds = 1800;
    day.extraCost = 340.0f;
    day.overAllowance = core::kTrue;
    QVERIFY(storage::writeDay(h.files, "0112.tid", 14, day));
    auto& window = h.start();
    h.choose("01", "12", "14");
    h.enter("1", "2", "");
    h.messages.clear();

    const char* labels[] = {"lblVisa_3", "lblDagstid", "lblTidkvar", "lblDagskost",
                            "lblTid",    "lblDyrtid",  "lblKostnad", "lblSumma"};
    std::vector<std::string> before;
    for (const char* name : labels) {
        before.push_back(h.text(name));
    }
    const Bytes month = h.dir.read("0112.tid");

    QPointer<forms::frmHjalp> help = openHelp(h);
    QVERIFY(help != nullptr);
    QVERIFY(!window.isVisible());
    // The activation step writes the date label afresh when the main window comes back.
    h.label("lblVisa_3")->setText(QStringLiteral("-"));

    if (how == QStringLiteral("cmdStang")) {
        help->findChild<QAbstractButton*>(QStringLiteral("cmdStang"))->click();
    } else if (how == QStringLiteral("frame")) {
        QVERIFY(help->close());
    } else {
        help->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help, Qt::Key_Escape);
    }
    flushDeletes();
    QVERIFY(help.isNull());
    QVERIFY(window.isVisible());

    for (std::size_t i = 0; i < std::size(labels); ++i) {
        QCOMPARE(h.text(labels[i]), before[i]);
    }
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas fredag 14 dec 2001"));
    QCOMPARE(h.list("cmbSok_0")->currentText(), QStringLiteral("01"));
    QCOMPARE(h.list("cmbSok_1")->currentText(), QStringLiteral("12"));
    QCOMPARE(h.list("cmbSok_2")->currentText(), QStringLiteral("14"));
    QCOMPARE(h.list("cmbTid_0")->currentText(), QStringLiteral("1"));
    QCOMPARE(h.list("cmbTid_1")->currentText(), QStringLiteral("2"));
    QCOMPARE(h.dir.read("0112.tid"), month);
    QVERIFY(h.messages.shown().empty());
    QCOMPARE(h.ended->count(), 0);

    // It opens again, afresh.
    auto* again = openHelp(h);
    QVERIFY(again != nullptr);
    QVERIFY(again->isVisible());
    QVERIFY(!window.isVisible());
}

void HelpTest::helpPageIsWrittenWhenMissing() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    // A copy left behind by an interrupted write, longer than the page.
    h.dir.write(".hjalp.html.ny", Bytes(200000, 'x'));
    h.start();
    QVERIFY(!h.dir.exists("hjalp.html"));
    QVERIFY(openHelp(h) != nullptr);

    const Bytes page = forms::helpPage();
    QVERIFY(page.size() > 1000);
    QCOMPARE(h.dir.read("hjalp.html"), page);
    QCOMPARE(h.dir.names(), (std::vector<std::string>{"hjalp.html", "tid.it"}));

    const std::string text(page.begin(), page.end());
    QVERIFY(text.starts_with("<!DOCTYPE html>"));
    QVERIFY(text.find("<meta charset=\"utf-8\">") != std::string::npos);
    QVERIFY(text.find("<html lang=\"sv\">") != std::string::npos);
    // It names what the help window's links and the main window offer.
    for (const char* topic :
         {"145 kr", "245 kr", "595 kr", "40 öre", "10 öre per minut", "Ångra", "Gör om",
          "Ta bort dagen", "Återställ månaden", "Ta bort allt", "Från och till", "Skriv ut",
          "~/.local/share/surfklocka", "$XDG_DATA_HOME/surfklocka", "<kbd>F1</kbd>", "<kbd>Y</kbd>",
          "surfklocka@example.org", "https://surfklocka.example.org/"}) {
        QVERIFY2(text.find(topic) != std::string::npos, topic);
    }
    // Nothing outside the page itself.
    QVERIFY(text.find("src=") == std::string::npos);
    QVERIFY(text.find("<link") == std::string::npos);
}

void HelpTest::existingHelpPageIsNeverOverwritten() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    const Bytes own = {'m', 'i', 'n', ' ', 'h', 'j', 'a', 'l', 'p'};
    h.dir.write("hjalp.html", own);
    h.start();
    QVERIFY(openHelp(h) != nullptr);
    QCOMPARE(h.dir.read("hjalp.html"), own);
    QCOMPARE(forms::writeHelpFileIfMissing(h.files), forms::HelpFileResult::AlreadyThere);
    QCOMPARE(h.dir.read("hjalp.html"), own);

    // Once written, a later opening leaves the page as it is.
    Harness fresh;
    QCOMPARE(forms::writeHelpFileIfMissing(fresh.files), forms::HelpFileResult::Written);
    QCOMPARE(forms::writeHelpFileIfMissing(fresh.files), forms::HelpFileResult::AlreadyThere);
    QCOMPARE(fresh.dir.names(), std::vector<std::string>{"hjalp.html"});
}

QTEST_MAIN(HelpTest)
#include "test_help.moc"
