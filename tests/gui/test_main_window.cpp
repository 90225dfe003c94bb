// The main window and the plan window, as only the window layer has them: start-up (the plan window
// in place of the main window on a first start, each of its options and each way of leaving it,
// the main window's first render and focus), booking (the question on closing through the button
// or the frame, the desktop notices a save gives, the lists' entries and the two characters a
// time field holds), and the keyboard alone (the tab orders, each shortcut running exactly its
// button's action and nothing while the action is off, and the keys that close the other
// windows).

#include "harness.h"
#include "support/month_bytes.h"

#include <QAction>
#include <QGroupBox>
#include <QPointer>
#include <QRadioButton>
#include <QToolButton>
#include <QWindow>

using testing_support::dayRecordBytes;
using testing_support::Harness;
using testing_support::monthFileBytes;
using Answer = platform::MessageBox::Answer;

namespace {

// Presses keys as a user would: at the widget that has the keyboard focus.
void press(const QString& keys) {
    QTest::keySequence(QApplication::focusWidget(), QKeySequence(keys));
}

// The window shown, made the active one.
QWidget* activateShownWindow() {
    QWidget* shown = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        shown = window->isVisible() ? window : shown;
    }
    return Harness::activate(shown) ? shown : nullptr;
}

// A main window on the 1 h plan, active, with one booking of `minutes` saved.
QWidget* startBooked(Harness& h, const char* minutes) {
    QWidget* main = &h.start("1 h / dygn", 3600);
    h.enterMinutes(minutes);
    h.click("cmdSpara");
    return activateShownWindow() == main ? main : nullptr;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstStartShowsThePlanWindowInstead() {
        Harness h;
        auto& window = h.start();
        QVERIFY(!window.isVisible() && h.find("frmNetlink")->isVisible());
        QStringList shown;
        for (const char* name : {"lblValkommen", "ramNetlink", "cmdOk", "cmdAvbryt", "optNetlink_0",
                                 "optNetlink_1", "optNetlink_2"}) {
            shown << h.find(name)->property(name[0] == 'r' ? "title" : "text").toString();
        }
        QCOMPARE(shown.join(u'|'),
                 QStringLiteral("Välkommen till Surfklocka 3.11\n\nDu börjar med att ställa in "
                                "programmet efter den typ av NetLink abbonemang du har.|Förbetald "
                                "tid|OK|Avbryt|1 timme förbetalt / dygn|2 timmar förbetalt / dygn|"
                                "8 timmar förbetalt / dygn"));
        h.click("cmdOk");
        QCOMPARE(window.windowTitle(), QStringLiteral("Surfklocka 3.11      1 h / dygn"));
        QVERIFY(window.isVisible() && h.ended->isEmpty() && h.messages.shown().empty());
    }

    void planWindowGoesWhicheverWayItIsLeft_data() {
        // The control given the focus and the keys pressed, or how the window is closed; and the
        // plan then stored and in the main window's title: none for Avbryt, which deletes the
        // settings and ends.
        QTest::addColumn<QString>("row");
        for (const char* row : {"optNetlink_1 Return|2 h / dygn", "optNetlink_2 Return|8 h / dygn",
                                "cmdOk Enter|1 h / dygn", "cmdAvbryt Enter|", "optNetlink_0 Esc|",
                                "close|", "frame|"}) {
            QTest::newRow(row) << QString::fromLatin1(row);
        }
    }
    void planWindowGoesWhicheverWayItIsLeft() {
        QFETCH(QString, row);
        const QString how = row.section(u'|', 0, 0), plan = row.section(u'|', 1);
        Harness h;
        auto& window = h.start();
        QPointer<QWidget> planWindow = h.find("frmNetlink");
        QVERIFY(Harness::activate(planWindow));
        if (how == QLatin1String("close")) {
            QVERIFY(planWindow->close());
        } else if (how == QLatin1String("frame")) { // as the window system closes it
            QVERIFY(planWindow->windowHandle()->close());
        } else {
            auto* target = h.find<QAbstractButton>(how.section(u' ', 0, 0).toLatin1().constData());
            target->setFocus(Qt::TabFocusReason);
            target->setChecked(true); // an option chosen; the push buttons do not check
            QTest::keySequence(target, QKeySequence(how.section(u' ', 1)));
        }
        QVERIFY(!planWindow->isVisible() && window.windowTitle().endsWith(plan));
        QCOMPARE(h.dir.exists("tid.it"), !plan.isEmpty());
        QCOMPARE(window.isVisible(), !plan.isEmpty());
        QCOMPARE(h.ended->count(), plan.isEmpty() ? 1 : 0);
    }

    // The figures are pure red while they count extra time or its cost, and in the buttons'
    // text colour again once the booking that made them so is undone.
    void figuresTurnRedAndBack() {
        Harness h;
        QVERIFY(startBooked(h, "70") != nullptr);
        const auto redOnes = [&h]() {
            QStringList red;
            for (const char* name : {"lblDagstid", "lblTidkvar", "lblDagskost", "lblTid",
                                     "lblDyrtid", "lblKostnad", "lblSumma"}) {
                const QPalette palette = h.find<QLabel>(name)->palette();
                const QColor ink = palette.color(QPalette::WindowText);
                if (ink == QColor(255, 0, 0) || ink != palette.color(QPalette::ButtonText)) {
                    red << QString::fromLatin1(name) + u'=' + ink.name();
                }
            }
            return red.join(u' ');
        };
        QCOMPARE(redOnes(), QStringLiteral("lblTidkvar=#ff0000 lblDagskost=#ff0000 "
                                           "lblDyrtid=#ff0000 lblKostnad=#ff0000 "
                                           "lblSumma=#ff0000"));
        h.click("cmdAngra");
        QCOMPARE(redOnes(), QString());
    }

    void laterStartShowsTodayAtOnceWithTheFocusOnTheMinutes() {
        Harness h;
        auto& window = h.start("2 h / dygn", 7200);
        QCOMPARE(window.windowTitle() + u'|' + h.find<QGroupBox>("ramMonadstid")->title(),
                 QStringLiteral("Surfklocka 3.11   2 h / dygn|December 2001"));
        QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 245,00 kr"));
        QVERIFY(!h.button("cmdAngra")->isEnabled() && !h.button("cmdRedo")->isEnabled() &&
                h.button("cmdAngrapost")->isHidden() && h.button("cmdAngramon")->isHidden());
        // The buttons' hints, those that name the day or the month among them, and the labels.
        QStringList shown;
        for (const char* name :
             {"cmdKasta", "cmdAngra", "cmdRedo", "cmdSpara", "cmdStang", "cmdHjalp", "cmdFran_till",
              "cmdKastapost", "cmdKastamon", "cmdPrint", "lblVisa_0", "lblVisa_1", "lblVisa_2",
              "lblVisa_4", "lblVisa_5", "lblVisa_6"}) {
            shown << h.find(name)->property(name[0] == 'c' ? "toolTip" : "text").toString();
        }
        QCOMPARE(
            shown.join(u'|'),
            QStringLiteral("Tar bort allt. Alla inmatade värden försvinner.|Ångra senaste "
                           "inmatningen i programmet.|Gör om senaste inmatningen i "
                           "programmet.|Sparar inmatat värde.|Stänger programmet.|Öppnar "
                           "information om programmet och hjälp till programmet.|Visar "
                           "formuläret \"Från och till\".|Tar bort all sparad tid den 05 "
                           "December 2001.|Tar bort all tid under hela December 2001.|Skriver "
                           "ut tider och kostnader för December 2001.|h:|m:|s:|år:|mån:|dag:"));
        QVERIFY(h.messages.shown().empty());
        QStringList lists;
        for (const char* name :
             {"cmbSok_0", "cmbSok_1", "cmbSok_2", "cmbTid_0", "cmbTid_1", "cmbTid_2"}) {
            lists << Harness::entries(h.list(name));
        }
        QCOMPARE(lists.join(u' '),
                 QStringLiteral("99:01-99 12:01-12 31:01-31 10:1-10 59:1-59 59:1-59"));
        for (const char* name : {"cmbTid_0", "cmbTid_1", "cmbTid_2"}) {
            QVERIFY2(h.list(name)->completer() == nullptr, name); // typing is not completed
        }
        h.choose("04", "02", "05");
        QCOMPARE(Harness::entries(h.list("cmbSok_2")), QStringLiteral("29:01-29"));
        // The focus on the minutes; one digit of hours or two of minutes move it on; a third
        // keystroke is refused, not cleared: what the field shows is what is booked.
        QVERIFY(Harness::activate(&window));
        QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
        h.list("cmbTid_0")->setFocus();
        QTest::keyClicks(h.list("cmbTid_0"), QStringLiteral("2"));
        QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
        QTest::keyClicks(h.list("cmbTid_1"), QStringLiteral("30"));
        QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_2"));
        QTest::keyClicks(h.list("cmbTid_2"), QStringLiteral("327"));
        QCOMPARE(h.list("cmbTid_2")->currentText(), QStringLiteral("32"));
        h.click("cmdSpara");
        QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 2 h 30 m 32 s "));
    }

    void closeAsksAndAnswersAreHonoured_data() {
        QTest::addColumn<bool>("throughTheFrame");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("Ja") << false << Answer::Yes;
        QTest::newRow("frame, Nej") << true << Answer::No;
        QTest::newRow("frame, Avbryt, notices off") << true << Answer::Cancel;
    }
    void closeAsksAndAnswersAreHonoured() {
        QFETCH(bool, throughTheFrame);
        QFETCH(Answer, answer);
        const bool ended = answer != Answer::Cancel;
        Harness h;
        if (!ended) {
            h.dir.write("avisering.it", {0x00, 0x00}); // the desktop's notices turned off
        }
        h.start("1 h / dygn", 3600);
        h.enterMinutes("55"); // 5 minutes of the hour left: told
        h.click("cmdSpara");
        h.enterMinutes("10"); // 300 s past the hour, if booked: told
        h.messages.script({answer});
        if (throughTheFrame) {
            QCOMPARE(h.window->close(), ended);
        } else {
            h.click("cmdStang");
        }
        QCOMPARE(h.messages.shown().size(), std::size_t(1));
        QCOMPARE(h.messages.last().text, std::string("Vill du spara innan du stänger programmet?"));
        QVERIFY(h.ended->count() == int(ended) && h.window->isVisible() == !ended);
        // Ja books the 10 minutes too, which starts extra time; the rest keep the 55 minutes.
        std::string told;
        for (const auto& notice : h.notifier.notices()) {
            told += notice.title + '|';
        }
        if (answer == Answer::Yes) {
            QCOMPARE(told,
                     std::string("Snart slut på dagens förbetalda tid|Extra tid har börjat|"));
            QVERIFY(h.notifier.notices()[1].body.find("Extra tid hittills: 5 m.") !=
                    std::string::npos);
        } else {
            QCOMPARE(told, std::string(ended ? "Snart slut på dagens förbetalda tid|" : ""));
            QCOMPARE(h.dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(3300, 0, 0, 5)}}));
        }
    }

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
        for (const char* keys : {"Esc", "Return"}) {
            QTest::addRow("change of plan, %s", keys)
                << "cmdAbonnemang"
                << "cmdOk cmdAvbryt optNetlink_0 optFran_0" << keys;
        }
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
        h.list("cmbSok_1")->setFocus();
        if (!opener.isEmpty()) {
            h.click(opener.toLatin1().constData());
        }
        // The tab order, from the widget with the focus and back to it.
        QPointer<QWidget> window = activateShownWindow();
        for (const QString& name : order.split(u' ')) {
            QCOMPARE(QApplication::focusWidget(), window->findChild<QWidget*>(name));
            press(QStringLiteral("Tab"));
        }
        QCOMPARE(QApplication::focusWidget(),
                 window->findChild<QWidget*>(order.section(u' ', 0, 0)));
        if (keys.isEmpty()) {
            return;
        }
        const bool change = keys == QLatin1String("Return"); // to 8 h from next month, with OK
        if (change) {
            QCOMPARE(window->windowTitle() + u'|' +
                         h.find<QAbstractButton>("optFran_1", window)->text(),
                     QStringLiteral("Byt abonnemang|den 1 januari 2002 (nästa månad)"));
            h.find<QAbstractButton>("optNetlink_2", window)->setChecked(true);
            h.find<QAbstractButton>("optFran_1", window)->setChecked(true);
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
        QCOMPARE(h.button("cmdAngra")->toolTip(),
                 change ? QStringLiteral("Ångrar bytet till 8 h / dygn från januari 2002.")
                        : QStringLiteral("Ångra senaste inmatningen i programmet."));
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
        QCOMPARE(typed->currentText(), QStringLiteral("3"));

        action->setEnabled(true);
        h.messages.script({platform::MessageBox::Answer::Cancel}); // to the close question
        press(parts[0]);
        QCOMPARE(clicked, QStringList{parts[1]});
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
