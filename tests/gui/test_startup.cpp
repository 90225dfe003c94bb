#include "harness.h"

#include <QGroupBox>
#include <QPointer>
#include <QRadioButton>
#include <QWindow>

using namespace Qt::StringLiterals;
using testing_support::Harness;
using Bytes = std::vector<std::uint8_t>;

// The current texts of the lists prefix0 to prefix2: "yy mm dd" or "h m s".
static QString texts(const Harness& h, const char* prefix) {
    const auto part = [&](int i) { return h.list((prefix + std::to_string(i)).c_str()); };
    return QStringList{part(0)->currentText(), part(1)->currentText(), part(2)->currentText()}.join(
        QLatin1Char(' '));
}

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstStartStoresTheChosenPlan_data();
    void firstStartStoresTheChosenPlan();
    void avbrytDeletesTheSettingsAndEnds();
    void planWindowGoesWhicheverWayItIsClosed_data();
    void planWindowGoesWhicheverWayItIsClosed();
    void laterStartShowsTodayAtOnce();
    void startEndedInThePlanWindowAsksAgain();
    void dateListsAndTimeFieldsTidyThemselves();
};

void StartupTest::firstStartStoresTheChosenPlan_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("plan");
    QTest::addColumn<int>("allowance");
    QTest::newRow("1 h") << 0 << "1 timme förbetalt / dygn" << QByteArray("1 h / dygn") << 3600;
    QTest::newRow("2 h") << 1 << "2 timmar förbetalt / dygn" << QByteArray("2 h / dygn") << 7200;
    QTest::newRow("8 h") << 2 << "8 timmar förbetalt / dygn" << QByteArray("8 h / dygn") << 28800;
}

void StartupTest::firstStartStoresTheChosenPlan() {
    QFETCH(int, option);
    QFETCH(QByteArray, plan);
    QFETCH(int, allowance);
    Harness h;
    auto& window = h.start();
    QVERIFY(!window.isVisible() && h.find("frmNetlink")->isVisible());
    QCOMPARE(h.label("lblValkommen")->text(),
             QStringLiteral("Välkommen till Surfklocka 3.11\n\nDu börjar med att ställa in "
                            "programmet efter den typ av NetLink abbonemang du har."));
    QCOMPARE(h.find<QGroupBox>("ramNetlink")->title(), QStringLiteral("Förbetald tid"));
    QCOMPARE(h.button("cmdOk")->text(), QStringLiteral("OK"));
    QCOMPARE(h.button("cmdAvbryt")->text(), QStringLiteral("Avbryt"));
    QVERIFY(h.find("frmNetlink")->windowTitle().isEmpty());
    // The mark is on disk, and the title shows a blank plan, before the plan is chosen.
    QCOMPARE(h.dir.read("tid.it"), (Bytes{0xFF, 0xFF}));
    QCOMPARE(window.windowTitle(), QStringLiteral("Surfklocka 3.11             "));

    auto* choice = h.find<QRadioButton>(("optNetlink_" + std::to_string(option)).c_str());
    QTEST(choice->text(), "caption");
    choice->setChecked(true);
    h.click("cmdOk");
    const QByteArray stored = "\xFF\xFF" + QByteArray(28, 0) + plan + QByteArray(20, 0) +
                              char(allowance & 0xFF) + char(allowance >> 8);
    QCOMPARE(h.dir.read("tid.it"), Bytes(stored.begin(), stored.end()));
    QCOMPARE(window.windowTitle(), u"Surfklocka 3.11      "_s + QString::fromLatin1(plan));
    QVERIFY(window.isVisible() && h.ended->isEmpty() && h.messages.shown().empty());
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas onsdag 5 dec 2001"));
}

void StartupTest::avbrytDeletesTheSettingsAndEnds() {
    // Avbryt, and closing the plan window through its frame, which acts the same.
    for (const bool frame : {false, true}) {
        Harness h;
        auto& window = h.start();
        frame ? void(h.find("frmNetlink")->close()) : h.click("cmdAvbryt");
        QVERIFY(!h.dir.exists("tid.it") && !window.isVisible());
        QCOMPARE(h.ended->count(), 1);
    }
}

void StartupTest::planWindowGoesWhicheverWayItIsClosed_data() {
    // How the plan window is left, and whether that is OK (else it is Avbryt).
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << "cmdOk" << true;
    QTest::newRow("Avbryt") << "cmdAvbryt" << false;
    QTest::newRow("close()") << "close" << false;
    QTest::newRow("window frame") << "frame" << false;
}

void StartupTest::planWindowGoesWhicheverWayItIsClosed() {
    QFETCH(QString, how);
    QFETCH(bool, ok);
    Harness h;
    auto& window = h.start();
    QPointer<QWidget> plan = h.find("frmNetlink");
    QVERIFY(plan != nullptr && plan->isVisible());
    if (how.startsWith(QLatin1String("cmd"))) {
        h.click(how.toLatin1().constData());
    } else if (how == QLatin1String("close")) {
        QVERIFY(plan->close());
    } else {
        // As the window system closes it when the user clicks the frame's close button.
        QVERIFY(plan->windowHandle() != nullptr && plan->windowHandle()->close());
    }
    QVERIFY(!plan->isVisible());
    // OK stores the plan and shows the main window; the rest delete the settings and end.
    QCOMPARE(h.dir.exists("tid.it"), ok);
    QCOMPARE(window.isVisible(), ok);
    QCOMPARE(h.ended->count(), ok ? 0 : 1);
    Harness::deleteClosedWindows();
    QVERIFY(plan.isNull() && h.find("frmNetlink") == nullptr);
    QVERIFY(h.messages.shown().empty());
}

void StartupTest::laterStartShowsTodayAtOnce() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    auto& window = h.start();
    QVERIFY(window.isVisible() && h.find("frmNetlink") == nullptr);
    QCOMPARE(window.windowTitle(), QStringLiteral("Surfklocka 3.11   2 h / dygn"));
    QCOMPARE(texts(h, "cmbSok_"), QStringLiteral("01 12 05"));
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas onsdag 5 dec 2001"));
    QCOMPARE(h.find<QGroupBox>("ramMonadstid")->title(), QStringLiteral("December 2001"));
    // A month without records shows the fee; start-up shows no message.
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 245,00 kr"));
    QCOMPARE(h.text("lblTidkvar"), std::string("Tid kvar: / Extra tid:"));
    QVERIFY(h.messages.shown().empty());
    QVERIFY(!h.button("cmdAngra")->isEnabled() && !h.button("cmdRedo")->isEnabled());
    QVERIFY(h.button("cmdAngrapost")->isHidden() && h.button("cmdAngramon")->isHidden());
    QVERIFY(h.find("linStrack_0") != nullptr && h.find("linStrack_1") != nullptr);
    const char* hints[][2] = {
        {"cmdKasta", "Tar bort allt. Alla inmatade värden försvinner."},
        {"cmdAngra", "Ångra senaste inmatningen i programmet."},
        {"cmdRedo", "Gör om senaste inmatningen i programmet."},
        {"cmdSpara", "Sparar inmatat värde."},
        {"cmdStang", "Stänger programmet."},
        {"cmdHjalp", "Öppnar information om programmet och hjälp till programmet."},
        {"cmdFran_till", "Visar formuläret \"Från och till\"."}};
    for (const auto& [button, hint] : hints) {
        QCOMPARE(h.button(button)->toolTip(), QString::fromUtf8(hint));
    }
    // The hints that name a day or a month follow the date chosen.
    h.list("cmbSok_1")->setCurrentText(QStringLiteral("11"));
    QCOMPARE(h.button("cmdKastapost")->toolTip(),
             QStringLiteral("Tar bort all sparad tid den 05 November 2001."));
    QCOMPARE(h.button("cmdKastamon")->toolTip() + h.button("cmdPrint")->toolTip(),
             QStringLiteral("Tar bort all tid under hela November 2001.Skriver ut tider och "
                            "kostnader för November 2001."));
    QCOMPARE(h.text("lblVisa_0") + h.text("lblVisa_1") + h.text("lblVisa_2") + h.text("lblVisa_4") +
                 h.text("lblVisa_5") + h.text("lblVisa_6"),
             std::string("h:m:s:år:mån:dag:"));
}

void StartupTest::startEndedInThePlanWindowAsksAgain() {
    // The mark alone: the program was ended while the plan window was open.
    Harness h;
    h.dir.write("tid.it", Bytes{0xFF, 0xFF});
    auto& window = h.start();
    QWidget* planWindow = h.find("frmNetlink");
    QVERIFY(planWindow != nullptr && planWindow->isVisible() && !window.isVisible());
    QVERIFY(h.messages.shown().empty());
    QCOMPARE(h.dir.read("tid.it"), (Bytes{0xFF, 0xFF}));

    h.find<QRadioButton>("optNetlink_0")->setChecked(true);
    h.click("cmdOk");
    const QByteArray stored = "\xFF\xFF" + QByteArray(28, 0) + QByteArray("1 h / dygn") +
                              QByteArray(20, 0) + char(0x10) + char(0x0E); // 3600 = 0x0E10
    QCOMPARE(h.dir.read("tid.it"), Bytes(stored.begin(), stored.end()));
    QVERIFY(window.isVisible());
}

void StartupTest::dateListsAndTimeFieldsTidyThemselves() {
    // Outside the lists' years the nearest date they offer is chosen: the whole date, not the
    // year alone (2001-02-29 does not exist).
    for (const auto& [today, chosen] : {std::pair(core::Date{2099, 12, 31}, "99 12 31"),
                                        std::pair(core::Date{2100, 3, 1}, "99 12 31")}) {
        Harness late(today);
        late.storePlan("1 h / dygn", 3600);
        late.start();
        QCOMPARE(texts(late, "cmbSok_"), QString::fromLatin1(chosen));
    }
    Harness h(core::Date{2000, 2, 29});
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QCOMPARE(texts(h, "cmbSok_"), QStringLiteral("01 01 01"));
    QCOMPARE(h.list("cmbSok_2")->count(), 31);
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas måndag 1 jan 2001"));
    h.choose("04", "12", "31");
    h.list("cmbSok_1")->setCurrentText(QStringLiteral("02"));
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas söndag 29 feb 2004"));
    h.list("cmbSok_1")->setCurrentText(QStringLiteral("04"));
    QCOMPARE(h.list("cmbSok_2")->count(), 30);
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas torsdag 29 apr 2004"));

    // One digit of hours or two of minutes move the focus on; minutes or seconds over 59 carry.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClicks(h.list("cmbTid_0"), u"2"_s);
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
    QTest::keyClicks(h.list("cmbTid_1"), u"65"_s);
    QCOMPARE(texts(h, "cmbTid_"), QStringLiteral("3 5 "));
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
    QTest::keyClicks(h.list("cmbTid_1"), u"0"_s);
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_2"));
    QTest::keyClicks(h.list("cmbTid_2"), u"x-99"_s); // what is not a number is cleared
    QCOMPARE(texts(h, "cmbTid_"), QStringLiteral("3 51 39"));
    h.list("cmbTid_0")->setCurrentIndex(9); // "10" from the list leaves the focus
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_2"));
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
