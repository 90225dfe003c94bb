#include "harness.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using testing_support::Harness;
using Bytes = std::vector<std::uint8_t>;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartAsksForThePlan();
    void okStoresEachPlan_data();
    void okStoresEachPlan();
    void cancelDeletesTheSettingsAndEnds();
    void closingThePlanWindowActsAsCancel();
    void laterStartShowsTheMainWindowAtOnce();
    void everyControlIsThereWithItsStartState();
    void yearsOutsideTheListsChooseTheNearest();
    void dayListHoldsOnlyTheMonthsDays();
    void impossibleDateIsMarked();
    void timeFieldsTidyThemselvesAndMoveTheFocus();
};

void StartupTest::firstStartAsksForThePlan() {
    Harness h;
    auto& window = h.start();
    QVERIFY(!window.isVisible());
    auto* plan = h.find("frmNetlink");
    QVERIFY(plan != nullptr);
    QVERIFY(plan->isVisible());
    QCOMPARE(plan->windowTitle(), QString());
    QCOMPARE(h.find<QLabel>("lblValkommen")->text(),
             QStringLiteral("Välkommen till Surfklocka 3.11\n\nDu börjar med att ställa in "
                            "programmet efter den typ av NetLink abbonemang du har."));
    QCOMPARE(h.find<QGroupBox>("ramNetlink")->title(), QStringLiteral("Förbetald tid"));
    QVERIFY(h.find<QRadioButton>("optNetlink_0")->isChecked());
    QCOMPARE(h.find<QRadioButton>("optNetlink_2")->text(),
             QStringLiteral("8 timmar förbetalt / dygn"));
    // The mark is on disk before the plan is chosen.
    QCOMPARE(h.dir.read("tid.it"), (Bytes{0xFF, 0xFF}));
    QCOMPARE(window.windowTitle(), QStringLiteral("Surfklocka 3.11             "));
    QVERIFY(h.messages.shown().empty());
}

void StartupTest::okStoresEachPlan_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("planText");
    QTest::addColumn<int>("allowance");
    QTest::newRow("1 h") << 0 << QStringLiteral("1 h / dygn") << 3600;
    QTest::newRow("2 h") << 1 << QStringLiteral("2 h / dygn") << 7200;
    QTest::newRow("8 h") << 2 << QStringLiteral("8 h / dygn") << 28800;
}

void StartupTest::okStoresEachPlan() {
    QFETCH(int, option);
    QFETCH(QString, planText);
    QFETCH(int, allowance);
    Harness h;
    auto& window = h.start();
    h.find<QRadioButton>(QStringLiteral("optNetlink_%1").arg(option).toLatin1().constData())
        ->setChecked(true);
    h.find<QPushButton>("cmdOk")->click();

    Bytes expected(62, 0);
    expected[0] = expected[1] = 0xFF;
    const QByteArray text = planText.toLatin1();
    std::copy(text.begin(), text.end(), expected.begin() + 30);
    expected[60] = static_cast<std::uint8_t>(allowance & 0xFF);
    expected[61] = static_cast<std::uint8_t>(allowance >> 8);
    QCOMPARE(h.dir.read("tid.it"), expected);
    QCOMPARE(window.windowTitle(), QStringLiteral("Surfklocka 3.11      ") + planText);
    QVERIFY(window.isVisible());
    QCOMPARE(h.settings.dailyAllowance, allowance);
    QCOMPARE(h.ended->count(), 0);
    // The date label is put back by the activation step.
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas onsdag 5 dec 2001"));
}

void StartupTest::cancelDeletesTheSettingsAndEnds() {
    Harness h;
    auto& window = h.start();
    h.find<QPushButton>("cmdAvbryt")->click();
    QVERIFY(!h.dir.exists("tid.it"));
    QCOMPARE(h.ended->count(), 1);
    QVERIFY(!window.isVisible());

    // The next start asks again.
    Harness next;
    next.start();
    QVERIFY(next.find("frmNetlink") != nullptr);
}

void StartupTest::closingThePlanWindowActsAsCancel() {
    Harness h;
    h.start();
    h.find("frmNetlink")->close();
    QVERIFY(!h.dir.exists("tid.it"));
    QCOMPARE(h.ended->count(), 1);
}

void StartupTest::laterStartShowsTheMainWindowAtOnce() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    const Bytes before = h.dir.read("tid.it");
    auto& window = h.start();
    QVERIFY(window.isVisible());
    QVERIFY(h.find("frmNetlink") == nullptr);
    QCOMPARE(window.windowTitle(), QStringLiteral("Surfklocka 3.11   2 h / dygn"));
    QCOMPARE(h.dir.read("tid.it"), before);
    QCOMPARE(h.list("cmbSok_0")->currentText(), QStringLiteral("01"));
    QCOMPARE(h.list("cmbSok_1")->currentText(), QStringLiteral("12"));
    QCOMPARE(h.list("cmbSok_2")->currentText(), QStringLiteral("05"));
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas onsdag 5 dec 2001"));
    QCOMPARE(h.find<QGroupBox>("ramMonadstid")->title(), QStringLiteral("December 2001"));
    // A month without records shows the fee; start-up shows no message.
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 245,00 kr"));
    QCOMPARE(h.text("lblDagstid"), std::string("Tid i dag:"));
    QCOMPARE(h.text("lblTidkvar"), std::string("Tid kvar: / Extra tid:"));
    QVERIFY(h.messages.shown().empty());
    // No month file is made by looking.
    QCOMPARE(h.dir.names(), std::vector<std::string>{"tid.it"});
}

void StartupTest::everyControlIsThereWithItsStartState() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    for (const char* name : {"cmdFran_till", "cmdPrint", "cmdHjalp", "cmdKastapost", "cmdKastamon",
                             "cmdKasta", "cmdStang", "cmdSpara"}) {
        auto* button = h.button(name);
        QVERIFY2(button != nullptr, name);
        QVERIFY2(button->isVisible() && button->isEnabled(), name);
        QVERIFY2(!button->icon().isNull(), name);
        QVERIFY2(button->text().isEmpty(), name);
        QVERIFY2(!button->accessibleName().isEmpty(), name);
    }
    QVERIFY(!h.button("cmdAngra")->isEnabled());
    QVERIFY(!h.button("cmdRedo")->isEnabled());
    QVERIFY(!h.button("cmdAngramon")->isVisible());
    QVERIFY(!h.button("cmdAngrapost")->isVisible());
    QVERIFY(h.find("linStrack_0") != nullptr && h.find("linStrack_1") != nullptr);

    const char* headings[] = {"h:", "m:", "s:", nullptr, "år:", "mån:", "dag:"};
    for (int i = 0; i < 7; ++i) {
        if (headings[i] != nullptr) {
            const std::string name = "lblVisa_" + std::to_string(i);
            QCOMPARE(h.text(name.c_str()), std::string(headings[i]));
        }
    }
    QCOMPARE(h.button("cmdKasta")->toolTip(),
             QStringLiteral("Tar bort allt. Alla inmatade värden försvinner."));
    QCOMPARE(h.button("cmdFran_till")->toolTip(),
             QStringLiteral("Visar formuläret \"Från och till\"."));

    QCOMPARE(h.list("cmbSok_0")->count(), 99);
    QCOMPARE(h.list("cmbSok_0")->itemText(0), QStringLiteral("01"));
    QCOMPARE(h.list("cmbSok_0")->itemText(98), QStringLiteral("99"));
    QCOMPARE(h.list("cmbSok_1")->count(), 12);
    QCOMPARE(h.list("cmbSok_2")->count(), 31);
    QVERIFY(!h.list("cmbSok_0")->isEditable());
    QCOMPARE(h.list("cmbTid_0")->count(), 10);
    QCOMPARE(h.list("cmbTid_0")->itemText(9), QStringLiteral("10"));
    QCOMPARE(h.list("cmbTid_1")->count(), 59);
    QCOMPARE(h.list("cmbTid_2")->itemText(0), QStringLiteral("1"));
    QVERIFY(h.list("cmbTid_1")->isEditable());
    QVERIFY(h.list("cmbTid_1")->currentText().isEmpty());
}

void StartupTest::yearsOutsideTheListsChooseTheNearest() {
    Harness past(core::Date{2000, 2, 29});
    past.storePlan("1 h / dygn", 3600);
    past.start();
    QCOMPARE(past.list("cmbSok_0")->currentText(), QStringLiteral("01"));
    QCOMPARE(past.list("cmbSok_1")->currentText(), QStringLiteral("02"));
    QCOMPARE(past.list("cmbSok_2")->currentText(), QStringLiteral("28"));

    Harness future(core::Date{2100, 7, 4});
    future.storePlan("1 h / dygn", 3600);
    future.start();
    QCOMPARE(future.list("cmbSok_0")->currentText(), QStringLiteral("99"));
    QCOMPARE(future.text("lblVisa_3"), std::string("Nu visas lördag 4 jul 2099"));
}

void StartupTest::dayListHoldsOnlyTheMonthsDays() {
    Harness h(core::Date{2001, 12, 31});
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.list("cmbSok_1")->setCurrentText(QStringLiteral("02"));
    QCOMPARE(h.list("cmbSok_2")->count(), 28);
    QCOMPARE(h.list("cmbSok_2")->currentText(), QStringLiteral("28"));
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas onsdag 28 feb 2001"));

    h.list("cmbSok_0")->setCurrentText(QStringLiteral("04"));
    QCOMPARE(h.list("cmbSok_2")->count(), 29);
    h.list("cmbSok_2")->setCurrentText(QStringLiteral("29"));
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas söndag 29 feb 2004"));

    h.list("cmbSok_1")->setCurrentText(QStringLiteral("04"));
    QCOMPARE(h.list("cmbSok_2")->count(), 30);
    QCOMPARE(h.list("cmbSok_2")->currentText(), QStringLiteral("29"));
    QCOMPARE(h.list("cmbSok_2")->itemText(29), QStringLiteral("30"));
    QVERIFY(h.messages.shown().empty());
}

void StartupTest::impossibleDateIsMarked() {
    Harness h(core::Date{2001, 2, 10});
    h.storePlan("1 h / dygn", 3600);
    h.start();
    // The day list offers only the month's days: an entry for 30 February that got in all the
    // same is dropped again, and the month's last day is chosen instead.
    h.list("cmbSok_2")->addItem(QStringLiteral("30"));
    h.list("cmbSok_2")->setCurrentText(QStringLiteral("30"));
    QCOMPARE(h.list("cmbSok_2")->count(), 28);
    QCOMPARE(h.list("cmbSok_2")->currentText(), QStringLiteral("28"));
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas onsdag 28 feb 2001"));
    h.enter("", "5", "");
    h.click("cmdSpara");
    QCOMPARE(h.dir.read("0102.tid").size(), std::size_t(28 * 16));
}

void StartupTest::timeFieldsTidyThemselvesAndMoveTheFocus() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));

    h.list("cmbTid_0")->setFocus();
    QTest::keyClicks(h.list("cmbTid_0"), "2");
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
    QTest::keyClicks(h.list("cmbTid_1"), "65");
    // Minutes 65 carry one hour; "5" is one character, so the focus stays.
    QCOMPARE(h.list("cmbTid_0")->currentText(), QStringLiteral("3"));
    QCOMPARE(h.list("cmbTid_1")->currentText(), QStringLiteral("5"));
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
    QTest::keyClicks(h.list("cmbTid_1"), "0");
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_2"));
    QTest::keyClicks(h.list("cmbTid_2"), "x");
    QCOMPARE(h.list("cmbTid_2")->currentText(), QString());
    QTest::keyClicks(h.list("cmbTid_2"), "-");
    QCOMPARE(h.list("cmbTid_2")->currentText(), QString());
    // Seconds 99 carry one minute.
    QTest::keyClicks(h.list("cmbTid_2"), "99");
    QCOMPARE(h.list("cmbTid_2")->currentText(), QStringLiteral("39"));
    QCOMPARE(h.list("cmbTid_1")->currentText(), QStringLiteral("51"));

    // Picking "10" hours from the list leaves the focus where it is.
    h.list("cmbTid_2")->setFocus();
    h.list("cmbTid_0")->setCurrentIndex(9);
    QCOMPARE(h.list("cmbTid_0")->currentText(), QStringLiteral("10"));
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_2"));
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
