#include "harness.h"
#include "support/month_bytes.h"

#include <QFocusEvent>
#include <map>

using testing_support::Harness;
using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;
using Bytes = std::vector<std::uint8_t>;

// A month file holding the given days, each with that many minutes of connected time.
static Bytes recordsAt(const std::map<int, int>& minutesOfDays) {
    std::map<int, Bytes> records;
    for (const auto& [day, minutes] : minutesOfDays) {
        records[day] = testing_support::dayRecordBytes(minutes * 60, 0, 0.0f, std::int16_t(day));
    }
    return testing_support::monthFileBytes(records);
}

// The hint a button shows once the mouse or the keyboard has come to it.
static QString hintOf(const Harness& h, const char* name) {
    QFocusEvent comes(QEvent::FocusIn);
    QCoreApplication::sendEvent(h.button(name), &comes);
    return h.button(name)->toolTip();
}

// The last message box shown: its text, title, buttons and icon.
static void lastBoxIs(const Harness& h, const char* text, const char* title,
                      Buttons buttons = Buttons::YesNo, Icon icon = Icon::Exclamation) {
    QVERIFY(!h.messages.shown().empty());
    QCOMPARE(QString::fromStdString(h.messages.last().text), QString::fromUtf8(text));
    QCOMPARE(QString::fromStdString(h.messages.last().title), QString::fromUtf8(title));
    QVERIFY(h.messages.last().buttons == buttons && h.messages.last().icon == icon);
}

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    void undoShowsTheMonthBeforeTheBookingOrSaysWhyNot();
    void deleteAndRestoreADay();
    void deleteAndRestoreAMonthThenEverything();
};

void BackupTest::undoShowsTheMonthBeforeTheBookingOrSaysWhyNot() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    h.start();
    h.enter("", "30", "");
    h.click("cmdSpara");
    const Bytes booked = h.dir.read("0112.tid");
    // Undoing a month's first booking shows the empty month: headings, and the fee alone.
    h.click("cmdAngra");
    QCOMPARE(h.dir.read("0112.tid"), Bytes{});
    QCOMPARE(h.text("lblDagskost") + '|' + h.text("lblTidkvar") + '|' + h.text("lblDyrtid") + '|' +
                 h.text("lblKostnad"),
             std::string("Kostnad:|Tid kvar: / Extra tid:|Extra månadstid:|Månadskostnad:"));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 245 kr"));
    QVERIFY(!h.red("lblSumma") && h.messages.shown().empty());

    // Without its copy, which a cancelled close sweeps away, undo says so and changes nothing.
    h.click("cmdRedo");
    h.enter("", "1", "");
    h.messages.script({Answer::Cancel});
    h.click("cmdStang");
    h.click("cmdAngra");
    lastBoxIs(h,
              "Den senaste inmatningen kan inte ångras.\nKopian av månaden saknas eller kunde "
              "inte bytas ut, så månadsfilen och kopian har lämnats som de var.",
              "Ångra är inte möjligt", Buttons::Ok);
    QCOMPARE(h.dir.read("0112.tid"), booked);
}

void BackupTest::deleteAndRestoreADay() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    const Bytes original = recordsAt({{3, 10}, {5, 20}, {20, 30}});
    h.dir.write("0112.tid", original);
    h.start();
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    lastBoxIs(h, "Vill du ta bort alla inmatade tider den 05 December 2001?", "All tid tas bort!");
    QCOMPARE(h.dir.read("0112.tid"), recordsAt({{3, 10}, {20, 30}}));
    h.choose("01", "11", "06");
    QCOMPARE(hintOf(h, "cmdKastapost"),
             QStringLiteral("Tar bort all sparad tid den 06 November 2001."));
    QCOMPARE(hintOf(h, "cmdAngrapost"),
             QStringLiteral("Återställer all sparad tid den 05 December 2001."));
    h.messages.script({Answer::Yes});
    h.click("cmdAngrapost");
    lastBoxIs(h, "Vill du återställa all sparad tid den 05 December 2001.",
              "Återställ borttagen post", Buttons::YesNo, Icon::None);
    QCOMPARE(h.dir.read("0112.tid"), original);

    // Once No to a month question has swept the copy away, the restore writes nothing.
    h.choose("01", "12", "03");
    h.messages.script({Answer::Yes, Answer::No, Answer::Yes});
    h.click("cmdKastapost");
    h.click("cmdKastamon");
    h.click("cmdAngrapost");
    lastBoxIs(h,
              "Tiden den 03 December 2001 kan inte återställas, eftersom kopian av månaden inte "
              "finns kvar.\nIngenting har skrivits över.",
              "Återställ borttagen post", Buttons::Ok);
    QCOMPARE(h.dir.read("0112.tid"), recordsAt({{5, 20}, {20, 30}}));
    // The day now has no time: after the question, that there is nothing to delete.
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    lastBoxIs(h, "Ingen post finns sparad den 03 December 2001.", "Finns ingen post att ta bort!",
              Buttons::Ok, Icon::None);
}

void BackupTest::deleteAndRestoreAMonthThenEverything() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    const Bytes original = recordsAt({{5, 20}});
    h.dir.write("0112.tid", original);
    h.start();
    h.messages.script({Answer::Yes});
    h.click("cmdKastamon");
    lastBoxIs(h, "Vill du ta bort alla inmatade poster i December 2001?", "Alla värden raderas!");
    h.choose("01", "11", "05");
    QCOMPARE(hintOf(h, "cmdKastamon"),
             QStringLiteral("Tar bort all tid under hela November 2001."));
    QCOMPARE(hintOf(h, "cmdAngramon"), QStringLiteral("Återställer all tid i hela December 2001."));
    h.messages.script({Answer::Yes});
    h.click("cmdAngramon");
    lastBoxIs(h, "Vill du återställa alla poster i December 2001?", "Återställ borttagen månad",
              Buttons::YesNo, Icon::None);
    QCOMPARE(h.dir.read("0112.tid"), original);

    // A month with nothing in it is not deleted; one booked again is not written over.
    h.click("cmdKastamon");
    lastBoxIs(h, "Du behöver inte ta bort November 2001. Inga poster finns sparade.",
              "Finns inga poster att ta bort!", Buttons::Ok, Icon::None);
    h.choose("01", "12", "05");
    h.messages.script({Answer::Yes, Answer::Yes});
    h.click("cmdKastamon");
    h.dir.write("0112.tid", recordsAt({{2, 5}}));
    h.click("cmdAngramon");
    lastBoxIs(h,
              "December 2001 kan inte återställas, eftersom nya poster har sparats i månaden "
              "sedan den togs bort.\nIngenting har skrivits över.",
              "Återställ borttagen månad", Buttons::Ok);
    QCOMPARE(h.dir.read("0112.tid"), recordsAt({{2, 5}}));
    QCOMPARE(h.dir.read("mon.tmp"), original);

    // Deleting everything asks first, with No as the default, then ends the program.
    h.messages.script({Answer::No, Answer::Yes});
    h.click("cmdKasta");
    lastBoxIs(h,
              "Alla sparade värden försvinner\noch kan inte återskapas.\nVill du fortsätta?\n"
              "Programmet kommer att stängas.",
              "Allt raderas!", Buttons::YesNo, Icon::Stop);
    QVERIFY(h.messages.last().secondIsDefault && h.ended->isEmpty());
    QCOMPARE(h.dir.names(), (std::vector<std::string>{"0112.tid", "mon.tmp", "tid.it"}));
    h.click("cmdKasta");
    QVERIFY(h.dir.names().empty());
    QCOMPARE(h.ended->count(), 1);
}

QTEST_MAIN(BackupTest)
#include "test_backups.moc"
