#include "harness.h"

#include <QGroupBox>
#include <QRadioButton>

using testing_support::Harness;
using Bytes = std::vector<std::uint8_t>;

// The current texts of the lists prefix0 to prefix2: "yy mm dd" or "h m s".
static QString texts(const Harness& h, const char* prefix) {
    const auto part = [&](int i) { return h.list((prefix + std::to_string(i)).c_str()); };
    return part(0)->currentText() + ' ' + part(1)->currentText() + ' ' + part(2)->currentText();
}

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartStoresTheChosenPlan_data();
    void firstStartStoresTheChosenPlan();
    void avbrytDeletesTheSettingsAndEnds();
    void laterStartShowsTodayAtOnce();
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
    QCOMPARE(window.windowTitle(), "Surfklocka 3.11      " + QString::fromLatin1(plan));
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
    QCOMPARE(h.text("lblVisa_0") + h.text("lblVisa_1") + h.text("lblVisa_2") + h.text("lblVisa_4") +
                 h.text("lblVisa_5") + h.text("lblVisa_6"),
             std::string("h:m:s:år:mån:dag:"));
}

void StartupTest::dateListsAndTimeFieldsTidyThemselves() {
    // Before the lists' first year the first is chosen, and 29 February becomes the 28th.
    Harness h(core::Date{2000, 2, 29});
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QCOMPARE(texts(h, "cmbSok_"), QStringLiteral("01 02 28"));
    QCOMPARE(h.list("cmbSok_2")->count(), 28);
    h.choose("04", "12", "31");
    h.list("cmbSok_1")->setCurrentText(QStringLiteral("02"));
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas söndag 29 feb 2004"));
    h.list("cmbSok_1")->setCurrentText(QStringLiteral("04"));
    QCOMPARE(h.list("cmbSok_2")->count(), 30);
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas torsdag 29 apr 2004"));

    // One digit of hours or two of minutes move the focus on; minutes or seconds over 59 carry.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClicks(h.list("cmbTid_0"), "2");
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
    QTest::keyClicks(h.list("cmbTid_1"), "65");
    QCOMPARE(texts(h, "cmbTid_"), QStringLiteral("3 5 "));
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
    QTest::keyClicks(h.list("cmbTid_1"), "0");
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_2"));
    QTest::keyClicks(h.list("cmbTid_2"), "x-99"); // what is not a number is cleared
    QCOMPARE(texts(h, "cmbTid_"), QStringLiteral("3 51 39"));
    h.list("cmbTid_0")->setCurrentIndex(9); // "10" from the list leaves the focus
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_2"));
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
