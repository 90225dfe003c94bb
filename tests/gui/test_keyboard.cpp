// The keyboard alone: the tab orders, each shortcut running exactly its button's action (and
// nothing while the button is disabled or hidden), and the keys that close the other windows.

#include "harness.h"

#include <QAction>
#include <QPointer>
#include <QRadioButton>
#include <QToolButton>

namespace {

// Presses keys as a user would: at the widget that has the keyboard focus.
void press(const QString& keys) {
    QTest::keySequence(QApplication::focusWidget(), QKeySequence(keys));
}

// Makes the window shown the active one, as the window system does when the user goes to it.
QWidget* activateShownWindow() {
    QWidget* shown = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        shown = window->isVisible() ? window : shown;
    }
    shown->activateWindow();
    return QTest::qWaitFor([&] { return QApplication::activeWindow() == shown; }) ? shown : nullptr;
}

// Walks the tab order from the widget with the focus, and back to it.
void walk(QWidget* window, const QStringList& order) {
    for (const QString& name : order) {
        QCOMPARE(QApplication::focusWidget(), window->findChild<QWidget*>(name));
        press(QStringLiteral("Tab"));
    }
    QCOMPARE(QApplication::focusWidget(), window->findChild<QWidget*>(order.first()));
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tabOrderAndCloseKeys_data();
    void tabOrderAndCloseKeys();
    void shortcutsRunTheirButtonOnlyWhileItIsThere_data();
    void shortcutsRunTheirButtonOnlyWhileItIsThere();
    void planWindowTabOrderEnterAndEscape_data();
    void planWindowTabOrderEnterAndEscape();
    void aChangeOfPlanChosenWithEnter();
};

void KeyboardTest::tabOrderAndCloseKeys_data() {
    QTest::addColumn<QString>("opener"); // the main window's button pressed before
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QString>("keys"); // that close the window opened
    const QStringList main =
        QStringLiteral(
            "cmbSok_1 cmbSok_2 cmbTid_0 cmbTid_1 cmbTid_2 cmdSpara cmdKastapost cmdKastamon "
            "cmdAngra cmdPrint cmdFran_till cmdHjalp cmdDiagram cmdAbonnemang cmdKasta cmdStang "
            "cmbSok_0")
            .split(QLatin1Char(' '));
    const QStringList help =
        QStringLiteral("aghHjalp_0 aghHjalp_1 aghHjalp_2 cmdStang").split(QLatin1Char(' '));
    const QStringList range =
        QStringLiteral(
            "cmdStang cmbFran_0 cmbFran_1 cmbFran_2 cmbTill_0 cmbTill_1 cmbTill_2 cmdExportera")
            .split(QLatin1Char(' '));
    const QStringList chart =
        QStringLiteral("picDiagram cmdForra cmdNasta chkVarning cmdSparaBild cmdStang")
            .split(QLatin1Char(' '));
    const QStringList plans =
        QStringLiteral("cmdOk cmdAvbryt optNetlink_0 optFran_0").split(QLatin1Char(' '));
    QTest::newRow("main") << QString() << main << QString();
    QTest::newRow("change of plan, Esc") << "cmdAbonnemang" << plans << "Esc";
    for (const char* keys : {"Esc", "Ctrl+Q"}) {
        QTest::addRow("help, %s", keys) << "cmdHjalp" << help << keys;
        QTest::addRow("range, %s", keys) << "cmdFran_till" << range << keys;
        QTest::addRow("chart, %s", keys) << "cmdDiagram" << chart << keys;
    }
}

void KeyboardTest::tabOrderAndCloseKeys() {
    QFETCH(QString, opener);
    QFETCH(QStringList, order);
    QFETCH(QString, keys);
    testing_support::Harness h;
    h.storePlan("1 h / dygn", 3600);
    QWidget* main = &h.start();
    QVERIFY(activateShownWindow() == main);
    h.enter("", "30", ""); // a booking, so that undo and the deletions are there
    h.click("cmdSpara");
    h.list("cmbSok_1")->setFocus();
    if (!opener.isEmpty()) {
        h.click(opener.toLatin1().constData());
    }
    QPointer<QWidget> window = activateShownWindow();
    walk(window, order);
    if (keys.isEmpty()) {
        return;
    }
    QVERIFY(window->isVisible() && !main->isVisible());
    h.label("lblVisa_3")->setText(QStringLiteral("-"));
    press(keys);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Gone, or (the range window, built once) hidden until the next opening.
    QVERIFY((window.isNull() || window->isHidden()) && main->isVisible());
    // The main window's activation step: its date shown afresh and the focus on the minutes.
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas onsdag 5 dec 2001"));
    QCOMPARE(main->focusWidget(), h.list("cmbTid_1"));
    QVERIFY(h.messages.shown().empty() && h.ended->isEmpty());
}

void KeyboardTest::shortcutsRunTheirButtonOnlyWhileItIsThere_data() {
    // The keys, their button, and the time field that has the focus, with something typed.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("field");
    for (const char* shortcut :
         {"Ctrl+S cmdSpara cmbTid_0", "Ctrl+Z cmdAngra cmbTid_1", "Ctrl+Shift+Z cmdRedo cmbTid_2",
          "Ctrl+Y cmdRedo cmbTid_0", "Ctrl+P cmdPrint cmbTid_2", "F1 cmdHjalp cmbTid_1",
          "F2 cmdDiagram cmbTid_0", "Ctrl+B cmdAbonnemang cmbTid_2", "Ctrl+Q cmdStang cmbTid_1"}) {
        const QStringList parts = QString::fromLatin1(shortcut).split(QLatin1Char(' '));
        QTest::newRow(shortcut) << parts[0] << parts[1] << parts[2];
    }
}

void KeyboardTest::shortcutsRunTheirButtonOnlyWhileItIsThere() {
    QFETCH(QString, keys);
    QFETCH(QString, button);
    QFETCH(QString, field);
    testing_support::Harness h;
    h.storePlan("1 h / dygn", 3600);
    QWidget* main = &h.start();
    QVERIFY(activateShownWindow() == main);
    h.enter("", "40", ""); // a booking undone, so that undo and redo each have something to do
    h.click("cmdSpara");
    h.click("cmdAngra");
    QComboBox* typed = h.list(field.toLatin1().constData());
    typed->setFocus();
    QTest::keyClicks(typed, QStringLiteral("3")); // which the field's own undo would take back
    const auto month = h.dir.read("0112.tid");
    // A picture button runs its command through the action it shows; the key triggers the same.
    QStringList clicked;
    for (QToolButton* each : main->findChildren<QToolButton*>()) {
        QObject::connect(each->defaultAction(), &QAction::triggered,
                         [&clicked, each] { clicked << each->objectName(); });
    }
    auto* target = main->findChild<QToolButton*>(button);
    // The window offers a command as its view says: a disabled or hidden button's action is off.
    const auto offer = [target](bool enabled, bool shown) {
        target->defaultAction()->setEnabled(enabled && shown);
        target->setVisible(shown);
    };
    for (const bool hidden : {false, true}) { // disabled, then enabled and hidden
        offer(hidden, !hidden);
        press(keys);
    }
    QCOMPARE(clicked, QStringList());
    QVERIFY(h.messages.shown().empty() && h.printDialog.asked() == 0 && h.ended->isEmpty());
    QVERIFY(main->isVisible()); // no help window in its place
    QCOMPARE(h.dir.read("0112.tid"), month);
    QCOMPARE(typed->currentText(), QStringLiteral("3"));

    offer(true, true);
    h.messages.script({platform::MessageBox::Answer::Cancel}); // to the close question
    press(keys);
    QCOMPARE(clicked, QStringList{button});
}

void KeyboardTest::planWindowTabOrderEnterAndEscape_data() {
    // The control with the focus, the keys, and the plan then stored; none for Avbryt.
    QTest::addColumn<QString>("row");
    for (const char* row : {"optNetlink_2 Return 8 h / dygn", "cmdOk Enter 1 h / dygn",
                            "cmdAvbryt Enter", "optNetlink_0 Esc"}) {
        QTest::newRow(row) << QString::fromLatin1(row);
    }
}

void KeyboardTest::planWindowTabOrderEnterAndEscape() {
    QFETCH(QString, row);
    const QString plan = row.section(QLatin1Char(' '), 2);
    testing_support::Harness h; // no plan stored: the first start
    QWidget* main = &h.start();
    QWidget* window = activateShownWindow();
    QVERIFY(window != nullptr && window != main);
    walk(window, QStringLiteral("cmdOk cmdAvbryt optNetlink_0").split(QLatin1Char(' ')));
    auto* target = window->findChild<QAbstractButton*>(row.section(QLatin1Char(' '), 0, 0));
    target->setFocus(Qt::TabFocusReason);
    target->setChecked(true); // an option chosen; the push buttons do not check
    press(row.section(QLatin1Char(' '), 1, 1));
    QVERIFY(main->windowTitle().endsWith(plan));
    QCOMPARE(h.dir.exists("tid.it"), !plan.isEmpty());
    QCOMPARE(main->isVisible(), !plan.isEmpty());
    QCOMPARE(h.ended->count(), plan.isEmpty() ? 1 : 0);
}

void KeyboardTest::aChangeOfPlanChosenWithEnter() {
    testing_support::Harness h; // 5 December 2001
    h.storePlan("1 h / dygn", 3600);
    QWidget* main = &h.start();
    h.click("cmdAbonnemang");
    QWidget* window = activateShownWindow();
    QVERIFY(window != nullptr && window != main && !main->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Byt abonnemang"));
    auto* nextMonth = window->findChild<QRadioButton*>(QStringLiteral("optFran_1"));
    QCOMPARE(nextMonth->text(), QStringLiteral("den 1 januari 2002 (nästa månad)"));
    window->findChild<QRadioButton*>(QStringLiteral("optNetlink_2"))->setChecked(true);
    nextMonth->setChecked(true);
    press(QStringLiteral("Return"));
    QCOMPARE(h.dir.read("abonnemang.it"),
             (std::vector<std::uint8_t>{'2', '0', '0', '1',  '-', '0', '1', ' ', '3',
                                        '6', '0', '0', '\n', '2', '0', '0', '2', '-',
                                        '0', '1', ' ', '2',  '8', '8', '0', '0', '\n'}));
    QVERIFY(main->isVisible() && h.button("cmdAngra")->isEnabled());
    QCOMPARE(h.button("cmdAngra")->toolTip(),
             QStringLiteral("Ångrar bytet till 8 h / dygn från januari 2002."));
}

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
