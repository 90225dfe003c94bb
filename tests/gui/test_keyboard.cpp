// The keyboard alone: the tab orders, each shortcut running exactly its button's action (and
// nothing while the button is disabled or hidden), and the keys that close the other windows.

#include "harness.h"

#include <QAction>
#include <QPointer>
#include <QRadioButton>
#include <QToolButton>

using testing_support::Harness;

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
void walk(QWidget* window, const QString& order) {
    const QStringList names = order.split(QLatin1Char(' '));
    for (const QString& name : names) {
        QCOMPARE(QApplication::focusWidget(), window->findChild<QWidget*>(name));
        press(QStringLiteral("Tab"));
    }
    QCOMPARE(QApplication::focusWidget(), window->findChild<QWidget*>(names.first()));
}

// A main window on the 1 h plan, active, with one booking of `minutes` saved.
QWidget* startBooked(Harness& h, const char* minutes) {
    h.storePlan("1 h / dygn", 3600);
    QWidget* main = &h.start();
    h.enter("", minutes, "");
    h.click("cmdSpara");
    return activateShownWindow() == main ? main : nullptr;
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tabOrderAndCloseKeys_data() {
        QTest::addColumn<QString>("opener"); // the main window's button pressed before
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("keys"); // that close the window opened
        const char* help = "aghHjalp_0 aghHjalp_1 aghHjalp_2 cmdStang";
        const char* range =
            "cmdStang cmbFran_0 cmbFran_1 cmbFran_2 cmbTill_0 cmbTill_1 cmbTill_2 cmdExportera";
        const char* chart = "picDiagram cmdForra cmdNasta chkVarning cmdSparaBild cmdStang";
        QTest::newRow("main")
            << ""
            << "cmbSok_1 cmbSok_2 cmbTid_0 cmbTid_1 cmbTid_2 cmdSpara cmdKastapost "
               "cmdKastamon cmdAngra cmdPrint cmdFran_till cmdHjalp cmdDiagram "
               "cmdAbonnemang cmdKasta cmdStang cmbSok_0"
            << "";
        QTest::newRow("change of plan, Esc") << "cmdAbonnemang"
                                             << "cmdOk cmdAvbryt optNetlink_0 optFran_0"
                                             << "Esc";
        for (const char* keys : {"Esc", "Ctrl+Q"}) {
            QTest::addRow("help, %s", keys) << "cmdHjalp" << help << keys;
            QTest::addRow("range, %s", keys) << "cmdFran_till" << range << keys;
            QTest::addRow("chart, %s", keys) << "cmdDiagram" << chart << keys;
        }
    }

    void tabOrderAndCloseKeys() {
        QFETCH(QString, opener);
        QFETCH(QString, order);
        QFETCH(QString, keys);
        Harness h;
        QWidget* main = startBooked(h, "30"); // so that undo and the deletions are there
        QVERIFY(main != nullptr);
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
        h.blankDate();
        press(keys);
        Harness::deleteClosedWindows();
        // Gone, or (the range window, built once) hidden until the next opening; the main window
        // back with its activation step: its date shown afresh and the focus on the minutes.
        QVERIFY((window.isNull() || window->isHidden()) && main->isVisible());
        QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas onsdag 5 dec 2001"));
        QCOMPARE(main->focusWidget(), h.list("cmbTid_1"));
        QVERIFY(h.messages.shown().empty() && h.ended->isEmpty());
    }

    void shortcutsRunTheirButtonOnlyWhileItIsThere_data() {
        // The keys, their button, and the time field that has the focus, with something typed.
        QTest::addColumn<QString>("row");
        for (const char* row :
             {"Ctrl+S cmdSpara cmbTid_0", "Ctrl+Z cmdAngra cmbTid_1",
              "Ctrl+Shift+Z cmdRedo cmbTid_2", "Ctrl+Y cmdRedo cmbTid_0",
              "Ctrl+P cmdPrint cmbTid_2", "F1 cmdHjalp cmbTid_1", "F2 cmdDiagram cmbTid_0",
              "Ctrl+B cmdAbonnemang cmbTid_2", "Ctrl+Q cmdStang cmbTid_1"}) {
            QTest::newRow(row) << QString::fromLatin1(row);
        }
    }

    void shortcutsRunTheirButtonOnlyWhileItIsThere() {
        QFETCH(QString, row);
        const QStringList parts = row.split(QLatin1Char(' '));
        Harness h;
        QWidget* main = startBooked(h, "40");
        QVERIFY(main != nullptr);
        h.click("cmdAngra"); // a booking undone, so that undo and redo each have something to do
        QComboBox* typed = h.list(parts[2].toLatin1().constData());
        typed->setFocus();
        QTest::keyClicks(typed, QStringLiteral("3")); // which the field's own undo would take back
        QStringList clicked; // a picture button runs its command through the action it shows
        for (QToolButton* each : main->findChildren<QToolButton*>()) {
            QObject::connect(each->defaultAction(), &QAction::triggered,
                             [&clicked, each] { clicked << each->objectName(); });
        }
        // A command not offered (its button disabled or hidden: its action off) runs nothing.
        QAction* action = main->findChild<QToolButton*>(parts[1])->defaultAction();
        action->setEnabled(false);
        press(parts[0]);
        QCOMPARE(clicked, QStringList());
        QVERIFY(h.messages.shown().empty() && main->isVisible());
        QCOMPARE(typed->currentText(), QStringLiteral("3"));

        action->setEnabled(true);
        h.messages.script({platform::MessageBox::Answer::Cancel}); // to the close question
        press(parts[0]);
        QCOMPARE(clicked, QStringList{parts[1]});
    }

    void aChangeOfPlanChosenWithEnter() {
        Harness h; // 5 December 2001
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
        QVERIFY(main->isVisible() && h.button("cmdAngra")->isEnabled());
        QCOMPARE(h.button("cmdAngra")->toolTip(),
                 QStringLiteral("Ångrar bytet till 8 h / dygn från januari 2002."));
    }
};

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
