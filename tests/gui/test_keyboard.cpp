// The program with the keyboard alone: the tab order of every window, the focus on activation,
// each shortcut running exactly its button's action (and nothing while that button is disabled or
// hidden), and the Swedish accessible names and hints of the picture buttons.

#include "forms/frmFran_till.h"
#include "forms/frmHjalp.h"
#include "forms/frmNetlink.h"
#include "harness.h"

#include <QAccessible>
#include <QKeySequence>
#include <QPointer>

using testing_support::Harness;
using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;

namespace {

// Presses keys as a user would: at the widget that has the keyboard focus.
void press(const QKeySequence& keys) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        target = QApplication::activeWindow();
    }
    QVERIFY(target != nullptr);
    QTest::keySequence(target, keys);
}

const QKeySequence kSave(Qt::CTRL | Qt::Key_S);
const QKeySequence kUndo(Qt::CTRL | Qt::Key_Z);
const QKeySequence kRedo(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
const QKeySequence kRedoY(Qt::CTRL | Qt::Key_Y);
const QKeySequence kPrint(Qt::CTRL | Qt::Key_P);
const QKeySequence kHelp(Qt::Key_F1);
const QKeySequence kClose(Qt::CTRL | Qt::Key_Q);
const QKeySequence kEscape(Qt::Key_Escape);

// Makes a window the active one, as the window system does when the user goes to it, and waits
// until it has the keyboard. (A window of the program counts as active while the window that
// opened it is, so the keyboard's window is what tells.)
bool activate(QWidget* window) {
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        return false;
    }
    return QTest::qWaitFor([window] {
        return QGuiApplication::focusWindow() == window->windowHandle() &&
               QApplication::activeWindow() == window;
    });
}

// The object names met by pressing Tab (or Shift+Tab) from the widget with the focus until the
// focus comes back to it.
QStringList walk(QWidget* window, bool backwards = false) {
    QStringList names;
    QWidget* first = window->focusWidget();
    if (first == nullptr) {
        return names;
    }
    names << first->objectName();
    for (int step = 0; step < 64; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                        backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget* now = QApplication::focusWidget();
        if (now == nullptr || now == first) {
            return names;
        }
        names << now->objectName();
    }
    names << QStringLiteral("(no end)");
    return names;
}

// The controls of a window that the keyboard can reach now: they take tab focus and are enabled
// and visible.
QStringList reachable(QWidget* window) {
    QStringList names;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->window() == window && (child->focusPolicy() & Qt::TabFocus) &&
            child->isEnabled() && child->isVisible() && child->focusProxy() == nullptr) {
            names << child->objectName();
        }
    }
    names.sort();
    return names;
}

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

QString description(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible == nullptr ? QString() : accessible->text(QAccessible::Description);
}

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible == nullptr ? QString() : accessible->text(QAccessible::Name);
}

// The text of the label that labels a control for assistive tools, if any.
QString labelOf(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    if (accessible == nullptr) {
        return QString();
    }
    const auto labels = accessible->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

forms::frmHjalp* helpWindow(Harness& h) {
    return h.window->findChild<forms::frmHjalp*>(QStringLiteral("frmHjalp"));
}

forms::frmNetlink* planWindow(Harness& h) {
    return h.window->findChild<forms::frmNetlink*>(QStringLiteral("frmNetlink"));
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void mainWindowTabOrderReachesEveryControl();
    void pictureButtonsHaveSwedishNamesAndTheirHints();
    void activationPutsTheFocusOnTheMinutesField();
    void ctrlSBooksTheTypedTime();
    void undoAndRedoKeysFollowTheirButtons();
    void undoAndRedoKeysAreTheProgramsInTheTimeFields();
    void ctrlPPrintsTheMonth();
    void f1OpensTheHelpWindowAndItsKeysCloseIt_data();
    void f1OpensTheHelpWindowAndItsKeysCloseIt();
    void ctrlQClosesWithTheCloseQuestion();
    void shortcutsDoNothingWhileTheirButtonIsDisabledOrHidden_data();
    void shortcutsDoNothingWhileTheirButtonIsDisabledOrHidden();
    void rangeWindowWithTheKeyboard_data();
    void rangeWindowWithTheKeyboard();
    void rangeWindowKeysDoNothingWhileItsCloseButtonIsDisabled();
    void helpWindowTabOrder();
    void planWindowEnterIsOkAndEscapeIsAvbryt();
    void planWindowEnterOnAvbrytIsAvbryt();
    void planWindowEscapeIsAvbryt();
};

void KeyboardTest::mainWindowTabOrderReachesEveryControl() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));

    h.list("cmbSok_0")->setFocus(Qt::TabFocusReason);
    const QStringList atStart = {"cmbSok_0",    "cmbSok_1", "cmbSok_2",     "cmbTid_0",
                                 "cmbTid_1",    "cmbTid_2", "cmdSpara",     "cmdKastapost",
                                 "cmdKastamon", "cmdPrint", "cmdFran_till", "cmdHjalp",
                                 "cmdKasta",    "cmdStang"};
    const QStringList forwards = walk(&window);
    QCOMPARE(forwards, atStart);
    // Every control the keyboard can reach is on the walk, and nothing else.
    QCOMPARE(sorted(forwards), reachable(&window));

    // Shift+Tab walks the same way back.
    QStringList backwards = walk(&window, true);
    QCOMPARE(backwards.takeFirst(), QStringLiteral("cmbSok_0"));
    QStringList reversed(atStart.rbegin(), atStart.rend() - 1);
    QCOMPARE(backwards, reversed);

    // A booking enables undo, and deleting the day puts the restore button in its place: each
    // joins the walk where it stands on the window.
    h.enter("", "30", "");
    h.click("cmdSpara");
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    QVERIFY(h.button("cmdAngrapost")->isVisible());
    h.list("cmbSok_0")->setFocus(Qt::TabFocusReason);
    const QStringList afterDelete = walk(&window);
    QCOMPARE(afterDelete,
             QStringList({"cmbSok_0", "cmbSok_1", "cmbSok_2", "cmbTid_0", "cmbTid_1", "cmbTid_2",
                          "cmdSpara", "cmdAngrapost", "cmdKastamon", "cmdPrint", "cmdFran_till",
                          "cmdHjalp", "cmdKasta", "cmdStang"}));
    QCOMPARE(sorted(afterDelete), reachable(&window));

    h.click("cmdAngrapost"); // no scripted answer: the restore is declined
    h.enter("", "10", "");
    h.click("cmdSpara");
    QVERIFY(h.button("cmdAngra")->isEnabled());
    h.list("cmbSok_0")->setFocus(Qt::TabFocusReason);
    const QStringList withUndo = walk(&window);
    QVERIFY(withUndo.contains(QStringLiteral("cmdAngra")));
    QCOMPARE(withUndo.indexOf(QStringLiteral("cmdAngra")),
             withUndo.indexOf(QStringLiteral("cmdKastamon")) + 1);
    QCOMPARE(sorted(withUndo), reachable(&window));
}

void KeyboardTest::pictureButtonsHaveSwedishNamesAndTheirHints() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));

    const std::vector<std::pair<const char*, const char*>> names = {
        {"cmdSpara", "Spara"},
        {"cmdKastapost", "Ta bort dagen"},
        {"cmdAngrapost", "Återställ dagen"},
        {"cmdKastamon", "Ta bort månaden"},
        {"cmdAngramon", "Återställ månaden"},
        {"cmdAngra", "Ångra"},
        {"cmdRedo", "Gör om"},
        {"cmdPrint", "Skriv ut"},
        {"cmdFran_till", "Från och till"},
        {"cmdHjalp", "Hjälp"},
        {"cmdKasta", "Ta bort allt"},
        {"cmdStang", "Stäng"},
    };
    const auto buttons = window.findChildren<QAbstractButton*>();
    QCOMPARE(buttons.size(), static_cast<qsizetype>(names.size()));
    for (const auto& [name, swedish] : names) {
        QAbstractButton* button = h.button(name);
        QVERIFY2(button != nullptr, name);
        QVERIFY2(button->text().isEmpty() && !button->icon().isNull(), name);
        QCOMPARE(accessibleName(button), QString::fromUtf8(swedish));
    }

    // The fixed hints are what a screen reader reads as the button's description.
    for (const char* name :
         {"cmdSpara", "cmdAngra", "cmdRedo", "cmdFran_till", "cmdHjalp", "cmdKasta", "cmdStang"}) {
        QVERIFY2(!h.button(name)->toolTip().isEmpty(), name);
        QCOMPARE(description(h.button(name)), h.button(name)->toolTip());
    }

    // The changing hints follow the keyboard as they follow the mouse: reaching the button with
    // Tab names the day and month chosen now.
    h.choose("01", "11", "06");
    h.list("cmbTid_2")->setFocus(Qt::TabFocusReason);
    press(QKeySequence(Qt::Key_Tab)); // cmdSpara
    press(QKeySequence(Qt::Key_Tab)); // cmdKastapost
    QCOMPARE(QApplication::focusWidget(), h.button("cmdKastapost"));
    QCOMPARE(description(h.button("cmdKastapost")),
             QStringLiteral("Tar bort all sparad tid den 06 November 2001."));
    press(QKeySequence(Qt::Key_Tab)); // cmdKastamon
    QCOMPARE(description(h.button("cmdKastamon")),
             QStringLiteral("Tar bort all tid under hela November 2001."));
    press(QKeySequence(Qt::Key_Tab)); // cmdPrint
    QCOMPARE(QApplication::focusWidget(), h.button("cmdPrint"));
    QCOMPARE(description(h.button("cmdPrint")),
             QStringLiteral("Skriver ut tider och kostnader för November 2001."));

    // The date lists and time fields are named too, and labelled by the headings over them.
    struct Field {
        const char* name;
        const char* swedish;
        const char* heading;
    };
    const std::vector<Field> fields = {
        {"cmbSok_0", "År", "lblVisa_4"},      {"cmbSok_1", "Månad", "lblVisa_5"},
        {"cmbSok_2", "Dag", "lblVisa_6"},     {"cmbTid_0", "Timmar", "lblVisa_0"},
        {"cmbTid_1", "Minuter", "lblVisa_1"}, {"cmbTid_2", "Sekunder", "lblVisa_2"}};
    for (const Field& field : fields) {
        QCOMPARE(h.list(field.name)->accessibleName(), QString::fromUtf8(field.swedish));
        QCOMPARE(labelOf(h.list(field.name)), h.label(field.heading)->text());
    }
}

void KeyboardTest::activationPutsTheFocusOnTheMinutesField() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));

    // Back from the help window.
    h.list("cmbSok_1")->setFocus();
    press(kHelp);
    QPointer<forms::frmHjalp> help = helpWindow(h);
    QVERIFY(help != nullptr);
    QVERIFY(activate(help));
    press(kEscape);
    Harness::deleteClosedWindows();
    QVERIFY(help == nullptr);
    QVERIFY(window.isVisible());
    QVERIFY(activate(&window));
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));

    // Back from the range window, opened from the keyboard.
    h.button("cmdFran_till")->setFocus(Qt::TabFocusReason);
    press(QKeySequence(Qt::Key_Space));
    QPointer<QWidget> range = h.rangeWindow();
    QVERIFY(range != nullptr);
    QVERIFY(range->isVisible());
    QVERIFY(!window.isVisible());
    QVERIFY(activate(range));
    press(kClose);
    Harness::deleteClosedWindows();
    QVERIFY(range == nullptr);
    QVERIFY(window.isVisible());
    QVERIFY(activate(&window));
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
}

void KeyboardTest::ctrlSBooksTheTypedTime() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));
    QSignalSpy clicked(h.button("cmdSpara"), &QAbstractButton::clicked);

    QTest::keyClicks(h.list("cmbTid_1"), "50");
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_2"));
    press(kSave);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 50 m "));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 145,00 kr"));
    QVERIFY(h.list("cmbTid_1")->currentText().isEmpty());
    QVERIFY(h.button("cmdAngra")->isEnabled());
    QCOMPARE(h.dir.read("0112.tid").size(), std::size_t(5 * 16));

    // Saving with nothing typed books nothing, as the button does.
    const auto before = h.dir.read("0112.tid");
    press(kSave);
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(h.dir.read("0112.tid"), before);
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 50 m "));
}

void KeyboardTest::undoAndRedoKeysFollowTheirButtons() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));
    QSignalSpy undone(h.button("cmdAngra"), &QAbstractButton::clicked);
    QSignalSpy redone(h.button("cmdRedo"), &QAbstractButton::clicked);

    // Nothing to undo or redo yet: both buttons are disabled and the keys do nothing.
    press(kUndo);
    press(kRedo);
    press(kRedoY);
    QCOMPARE(undone.count(), 0);
    QCOMPARE(redone.count(), 0);
    QVERIFY(h.messages.shown().empty());
    QVERIFY(!h.dir.exists("0112.tid"));

    h.enter("", "40", "");
    press(kSave);
    h.enter("", "30", "");
    press(kSave);
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 1 h 10 m "));
    const auto afterBoth = h.dir.read("0112.tid");

    h.button("cmdSpara")->setFocus();
    press(kUndo);
    QCOMPARE(undone.count(), 1);
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 40 m "));
    QVERIFY(!h.button("cmdAngra")->isEnabled());
    QVERIFY(h.button("cmdRedo")->isEnabled());
    const auto afterUndo = h.dir.read("0112.tid");

    // Undo is one level deep: a second Ctrl+Z finds its button disabled and does nothing.
    press(kUndo);
    QCOMPARE(undone.count(), 1);
    QCOMPARE(h.dir.read("0112.tid"), afterUndo);
    QVERIFY(h.messages.shown().empty());

    press(kRedoY);
    QCOMPARE(redone.count(), 1);
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 1 h 10 m "));
    QCOMPARE(h.dir.read("0112.tid"), afterBoth);
    QVERIFY(h.button("cmdAngra")->isEnabled());
    QVERIFY(!h.button("cmdRedo")->isEnabled());
    press(kRedoY);
    press(kRedo);
    QCOMPARE(redone.count(), 1);

    press(kUndo);
    QCOMPARE(undone.count(), 2);
    QCOMPARE(h.dir.read("0112.tid"), afterUndo);
    press(kRedo);
    QCOMPARE(redone.count(), 2);
    QCOMPARE(h.dir.read("0112.tid"), afterBoth);
    QVERIFY(h.messages.shown().empty());
}

void KeyboardTest::undoAndRedoKeysAreTheProgramsInTheTimeFields() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));
    h.enter("", "40", "");
    press(kSave);

    // The focus is in the minutes field with something typed: Ctrl+Z undoes the booking, not
    // the typing.
    h.list("cmbTid_1")->setFocus();
    QTest::keyClicks(h.list("cmbTid_1"), "3");
    QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
    press(kUndo);
    QVERIFY(!h.button("cmdAngra")->isEnabled());
    QVERIFY(h.button("cmdRedo")->isEnabled());
    QCOMPARE(h.text("lblDagstid"), std::string("Tid i dag:"));
    QCOMPARE(h.list("cmbTid_1")->currentText(), QStringLiteral("3"));

    press(kRedo);
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 40 m "));
    QCOMPARE(h.list("cmbTid_1")->currentText(), QStringLiteral("3"));

    h.list("cmbTid_2")->setFocus();
    press(kUndo);
    QCOMPARE(h.text("lblDagstid"), std::string("Tid i dag:"));
    press(kRedoY);
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 40 m "));
}

void KeyboardTest::ctrlPPrintsTheMonth() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));

    // An empty month: the print button's message, and no dialog.
    press(kPrint);
    QCOMPARE(h.printDialog.asked(), 0);
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().title, std::string("Utskrift är inte möjlig!"));

    h.enter("", "50", "");
    press(kSave);
    press(kPrint);
    QCOMPARE(h.printDialog.asked(), 1);
    QVERIFY(!h.printer.printed().empty());

    // Cancelled in the dialog: nothing more is printed.
    const std::size_t printed = h.printer.printed().size();
    h.printDialog.answer(std::nullopt);
    press(kPrint);
    QCOMPARE(h.printDialog.asked(), 2);
    QCOMPARE(h.printer.printed().size(), printed);
}

void KeyboardTest::f1OpensTheHelpWindowAndItsKeysCloseIt_data() {
    QTest::addColumn<QKeySequence>("closeKeys");
    QTest::newRow("Escape") << kEscape;
    QTest::newRow("Ctrl+Q") << kClose;
}

void KeyboardTest::f1OpensTheHelpWindowAndItsKeysCloseIt() {
    QFETCH(QKeySequence, closeKeys);
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    auto& window = h.start();
    QVERIFY(activate(&window));
    h.choose("01", "11", "20");

    press(kHelp);
    QPointer<forms::frmHjalp> help = helpWindow(h);
    QVERIFY(help != nullptr);
    QVERIFY(help->isVisible());
    QVERIFY(!window.isVisible());
    QVERIFY(activate(help));
    QVERIFY(help->accessibleDescription().contains(QStringLiteral("Välkommen till Surfklocka")));

    QSignalSpy closed(help.data(), &forms::frmHjalp::closed);
    press(closeKeys);
    QCOMPARE(closed.count(), 1);
    Harness::deleteClosedWindows();
    QVERIFY(help == nullptr);
    QVERIFY(window.isVisible());
    // The main window is back as the help window's close button leaves it.
    QCOMPARE(h.list("cmbSok_1")->currentText(), QStringLiteral("11"));
    QCOMPARE(h.list("cmbSok_2")->currentText(), QStringLiteral("20"));
    QCOMPARE(h.list("cmbTid_1"), window.focusWidget());
    QVERIFY(h.ended->isEmpty());
    QVERIFY(h.messages.shown().empty());
}

void KeyboardTest::ctrlQClosesWithTheCloseQuestion() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));

    h.enter("", "25", "");
    h.messages.script({Answer::Cancel});
    press(kClose);
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text, std::string("Vill du spara innan du stänger programmet?"));
    QCOMPARE(h.messages.last().buttons, Buttons::YesNoCancel);
    QVERIFY(h.ended->isEmpty());
    QVERIFY(window.isVisible());
    QVERIFY(!h.dir.exists("0112.tid"));

    // Yes books the typed time and ends the program.
    h.messages.script({Answer::Yes});
    press(kClose);
    QCOMPARE(h.messages.shown().size(), std::size_t(2));
    QCOMPARE(h.ended->count(), 1);
    QVERIFY(!window.isVisible());
    QCOMPARE(h.dir.read("0112.tid").size(), std::size_t(5 * 16));
}

void KeyboardTest::shortcutsDoNothingWhileTheirButtonIsDisabledOrHidden_data() {
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("hidden");
    const std::vector<std::pair<QKeySequence, const char*>> shortcuts = {
        {kSave, "cmdSpara"},  {kUndo, "cmdAngra"}, {kRedo, "cmdRedo"},  {kRedoY, "cmdRedo"},
        {kPrint, "cmdPrint"}, {kHelp, "cmdHjalp"}, {kClose, "cmdStang"}};
    for (const auto& [keys, button] : shortcuts) {
        for (const bool hidden : {false, true}) {
            const QString row = keys.toString() + (hidden ? " hidden" : " disabled");
            QTest::newRow(row.toUtf8().constData())
                << keys << QString::fromLatin1(button) << hidden;
        }
    }
}

void KeyboardTest::shortcutsDoNothingWhileTheirButtonIsDisabledOrHidden() {
    QFETCH(QKeySequence, keys);
    QFETCH(QString, button);
    QFETCH(bool, hidden);
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));

    // A booking and an undo, so that undo and redo would each have something to do, and a time
    // typed for save and close to act on.
    h.enter("", "40", "");
    h.click("cmdSpara");
    h.enter("", "20", "");
    h.click("cmdSpara");
    h.click("cmdAngra");
    const auto month = h.dir.read("0112.tid");
    const auto backup = h.dir.read("0112.tmp");
    h.enter("", "15", "");

    QAbstractButton* target = h.button(button.toLatin1().constData());
    target->setEnabled(true);
    if (hidden) {
        target->setVisible(false);
    } else {
        target->setEnabled(false);
    }
    QSignalSpy clicked(target, &QAbstractButton::clicked);
    press(keys);

    QCOMPARE(clicked.count(), 0);
    QVERIFY(h.messages.shown().empty());
    QCOMPARE(h.printDialog.asked(), 0);
    QVERIFY(helpWindow(h) == nullptr);
    QVERIFY(window.isVisible());
    QVERIFY(h.ended->isEmpty());
    QCOMPARE(h.dir.read("0112.tid"), month);
    QCOMPARE(h.dir.read("0112.tmp"), backup);
    QCOMPARE(h.list("cmbTid_1")->currentText(), QStringLiteral("15"));

    // Back in its place, the button answers its keys again.
    target->setVisible(true);
    target->setEnabled(true);
    h.messages.script({Answer::Cancel});
    press(keys);
    QCOMPARE(clicked.count(), 1);
}

void KeyboardTest::rangeWindowWithTheKeyboard_data() {
    QTest::addColumn<QKeySequence>("closeKeys");
    QTest::newRow("Escape") << kEscape;
    QTest::newRow("Ctrl+Q") << kClose;
}

void KeyboardTest::rangeWindowWithTheKeyboard() {
    QFETCH(QKeySequence, closeKeys);
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));

    QPointer<QWidget> range = h.openRange();
    QVERIFY(range != nullptr);
    QVERIFY(activate(range));
    QVERIFY(!h.settings.laddar);

    // The close button has the focus; Tab goes through the six date lists and back to it.
    QCOMPARE(QApplication::focusWidget(), h.inRange("cmdStang"));
    const QStringList order = walk(range);
    QCOMPARE(order, QStringList({"cmdStang", "cmbFran_0", "cmbFran_1", "cmbFran_2", "cmbTill_0",
                                 "cmbTill_1", "cmbTill_2"}));
    QCOMPARE(sorted(order), reachable(range));
    QCOMPARE(accessibleName(h.inRange("cmdStang")), QStringLiteral("Stäng"));
    QCOMPARE(labelOf(h.rangeList("cmbFran_1")), QStringLiteral("mån:"));
    QCOMPARE(labelOf(h.rangeList("cmbTill_2")), QStringLiteral("dag:"));
    QCOMPARE(description(h.inRange("cmdStang")), QStringLiteral("Stänger \"Från och Till\"."));

    // A date list chosen from the keyboard runs the range check, as a click does.
    h.rangeList("cmbFran_1")->setFocus(Qt::TabFocusReason);
    const QString franMonth = h.rangeList("cmbFran_1")->currentText();
    press(QKeySequence(Qt::Key_Down));
    QCOMPARE(h.rangeList("cmbFran_1")->currentText().toInt(), franMonth.toInt() + 1);
    QVERIFY(QString::fromStdString(h.rangeText("lblHit_Dit")).startsWith("Från och med"));

    // The close keys act as the close button, from whichever control has the focus.
    auto* rangeWindow = qobject_cast<forms::frmFran_till*>(range.data());
    QVERIFY(rangeWindow != nullptr);
    QSignalSpy closed(rangeWindow, &forms::frmFran_till::closed);
    press(closeKeys);
    QCOMPARE(closed.count(), 1);
    QVERIFY(h.settings.laddar);
    Harness::deleteClosedWindows();
    QVERIFY(range == nullptr);
    QVERIFY(window.isVisible());
    QCOMPARE(window.focusWidget(), h.list("cmbTid_1"));
    QVERIFY(h.ended->isEmpty());
}

void KeyboardTest::rangeWindowKeysDoNothingWhileItsCloseButtonIsDisabled() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));
    QPointer<QWidget> range = h.openRange();
    QVERIFY(activate(range));
    auto* close = h.inRange<QAbstractButton>("cmdStang");
    h.rangeList("cmbTill_0")->setFocus();

    close->setEnabled(false);
    press(kEscape);
    press(kClose);
    close->setEnabled(true);
    close->setVisible(false);
    press(kEscape);
    press(kClose);
    Harness::deleteClosedWindows();
    QVERIFY(range != nullptr);
    QVERIFY(range->isVisible());
    QVERIFY(!window.isVisible());

    close->setVisible(true);
    press(kEscape);
    Harness::deleteClosedWindows();
    QVERIFY(range == nullptr);
    QVERIFY(window.isVisible());
}

void KeyboardTest::helpWindowTabOrder() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    auto& window = h.start();
    QVERIFY(activate(&window));
    press(kHelp);
    forms::frmHjalp* help = helpWindow(h);
    QVERIFY(help != nullptr);
    QVERIFY(activate(help));

    help->findChild<QWidget*>(QStringLiteral("aghHjalp_0"))->setFocus(Qt::TabFocusReason);
    const QStringList order = walk(help);
    QCOMPARE(order, QStringList({"aghHjalp_0", "aghHjalp_1", "aghHjalp_2", "cmdStang"}));
    QCOMPARE(sorted(order), reachable(help));

    // Space on a link opens it, as a click does.
    help->findChild<QWidget*>(QStringLiteral("aghHjalp_2"))->setFocus(Qt::TabFocusReason);
    press(QKeySequence(Qt::Key_Space));
    QCOMPARE(h.links.opened(), std::vector<std::string>{"https://surfklocka.example.org/"});

    auto* close = help->findChild<QAbstractButton*>(QStringLiteral("cmdStang"));
    QCOMPARE(accessibleName(close), QStringLiteral("Stäng"));
    QCOMPARE(description(close), QStringLiteral("Stänger detta formulär."));
    QCOMPARE(accessibleName(help->findChild<QWidget*>(QStringLiteral("aghHjalp_0"))),
             QStringLiteral("hjalp.html"));
}

void KeyboardTest::planWindowEnterIsOkAndEscapeIsAvbryt() {
    Harness h; // no plan stored: the first start
    auto& window = h.start();
    forms::frmNetlink* plan = planWindow(h);
    QVERIFY(plan != nullptr);
    QVERIFY(activate(plan));
    QCOMPARE(QApplication::focusWidget(), plan->findChild<QWidget*>(QStringLiteral("cmdOk")));

    // OK, Avbryt, then the chosen option; the arrow keys choose the plan.
    const QStringList order = walk(plan);
    QCOMPARE(order.mid(0, 3), QStringList({"cmdOk", "cmdAvbryt", "optNetlink_0"}));
    QCOMPARE(sorted(order), reachable(plan));
    auto* eight = plan->findChild<QAbstractButton*>(QStringLiteral("optNetlink_2"));
    plan->findChild<QWidget*>(QStringLiteral("optNetlink_0"))->setFocus(Qt::TabFocusReason);
    press(QKeySequence(Qt::Key_Down));
    press(QKeySequence(Qt::Key_Down));
    QCOMPARE(QApplication::focusWidget(), eight);
    QVERIFY(eight->isChecked());

    // Enter on an option is OK.
    QSignalSpy accepted(plan, &forms::frmNetlink::accepted);
    press(QKeySequence(Qt::Key_Return));
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(h.settings.planText, std::string("8 h / dygn"));
    QCOMPARE(h.settings.dailyAllowance, std::int16_t(28800));
    QCOMPARE(h.dir.read("tid.it").size(), std::size_t(62));
    QVERIFY(window.isVisible());
    QVERIFY(window.windowTitle().endsWith(QStringLiteral("8 h / dygn")));
    QVERIFY(h.ended->isEmpty());
}

void KeyboardTest::planWindowEnterOnAvbrytIsAvbryt() {
    Harness h;
    h.start();
    forms::frmNetlink* plan = planWindow(h);
    QVERIFY(plan != nullptr);
    QVERIFY(activate(plan));
    press(QKeySequence(Qt::Key_Tab));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdAvbryt"));
    QSignalSpy cancelled(plan, &forms::frmNetlink::cancelled);
    press(QKeySequence(Qt::Key_Enter));
    QCOMPARE(cancelled.count(), 1);
    QVERIFY(!h.dir.exists("tid.it"));
    QCOMPARE(h.ended->count(), 1);
}

void KeyboardTest::planWindowEscapeIsAvbryt() {
    Harness h;
    auto& window = h.start();
    forms::frmNetlink* plan = planWindow(h);
    QVERIFY(plan != nullptr);
    QVERIFY(activate(plan));
    QVERIFY(h.dir.exists("tid.it"));
    plan->findChild<QWidget*>(QStringLiteral("optNetlink_0"))->setFocus(Qt::TabFocusReason);
    press(kEscape);
    QVERIFY(!h.dir.exists("tid.it"));
    QCOMPARE(h.ended->count(), 1);
    QVERIFY(!window.isVisible());
    QVERIFY(h.settings.dailyAllowance == 0);
}

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
