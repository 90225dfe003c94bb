#include "harness.h"
#include "platform/fakes/faulty_file_system.h"
#include "support/month_bytes.h"

#include <QFocusEvent>
#include <filesystem>
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

private Q_SLOTS:
    void undoShowsTheMonthBeforeTheBookingOrSaysWhyNot();
    void deleteAndRestoreADay();
    void deleteAndRestoreAMonthThenEverything();
    void deletingADayEndsWhatRedoCouldBringBack();
    void copiesStayUntilTheirActionGoesAhead();
    void redoFindsTheMonthTheRangeWindowRemoved();
    void deletingEverythingThatFailsSaysSo();
};

// Books 30 minutes on today, the 5th, as the month's first booking; the month file it leaves.
static Bytes bookMonthsFirst(Harness& h) {
    h.start();
    h.enter("", "30", "");
    h.click("cmdSpara");
    return h.dir.read("0112.tid");
}

void BackupTest::undoShowsTheMonthBeforeTheBookingOrSaysWhyNot() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    const Bytes booked = bookMonthsFirst(h);
    // Undoing a month's first booking shows the empty month: headings, and the fee alone.
    h.click("cmdAngra");
    QCOMPARE(h.dir.read("0112.tid"), Bytes{});
    QCOMPARE(h.text("lblDagskost") + '|' + h.text("lblTidkvar") + '|' + h.text("lblDyrtid") + '|' +
                 h.text("lblKostnad"),
             std::string("Kostnad:|Tid kvar: / Extra tid:|Extra månadstid:|Månadskostnad:"));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 245 kr"));
    QVERIFY(!h.red("lblSumma") && h.messages.shown().empty());

    // A cancelled close keeps the copy; without it (removed by hand), undo says so and changes
    // nothing.
    h.click("cmdRedo");
    h.enter("", "1", "");
    h.messages.script({Answer::Cancel});
    h.click("cmdStang");
    QCOMPARE(h.dir.read("0112.tmp"), Bytes{});
    std::filesystem::remove(h.dir.file("0112.tmp"));
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

    // A restore puts the day back only over what its deletion left.
    h.choose("01", "12", "03");
    h.messages.script({Answer::Yes, Answer::Yes});
    h.click("cmdKastapost");
    h.dir.write("0112.tid", recordsAt({{5, 25}, {20, 30}})); // changed since, by another hand
    h.click("cmdAngrapost");
    lastBoxIs(h,
              "Tiden den 03 December 2001 kan inte återställas, eftersom månaden har ändrats "
              "sedan dagen togs bort.\nIngenting har skrivits över.",
              "Återställ borttagen post", Buttons::Ok);
    QCOMPARE(h.dir.read("0112.tid"), recordsAt({{5, 25}, {20, 30}}));
    QVERIFY(h.button("cmdAngrapost")->isHidden() && !h.button("cmdKastapost")->isHidden());
    // The day now has no time: after the question, that there is nothing to delete.
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    lastBoxIs(h, "Ingen post finns sparad den 03 December 2001.", "Finns ingen post att ta bort!",
              Buttons::Ok, Icon::None);

    // A copy that cannot be read is said to be so, not to be gone.
    h.choose("01", "12", "05");
    h.messages.script({Answer::Yes, Answer::Yes});
    h.click("cmdKastapost");
    std::filesystem::remove(h.dir.file("post2.tmp"));
    std::filesystem::create_directory(h.dir.file("post2.tmp"));
    h.click("cmdAngrapost");
    lastBoxIs(h,
              "Tiden den 05 December 2001 kan inte återställas, eftersom kopian av månaden "
              "(post2.tmp) inte går att läsa eller är skadad.\nIngenting har skrivits över.",
              "Återställ borttagen post", Buttons::Ok);
    QCOMPARE(h.dir.read("0112.tid"), recordsAt({{20, 30}}));
}

void BackupTest::deletingADayEndsWhatRedoCouldBringBack() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0112.tid", recordsAt({{3, 10}}));
    h.start();
    h.enter("", "10", "");
    h.click("cmdSpara"); // 10 minutes on the 5th...
    h.click("cmdAngra"); // ...taken back
    QVERIFY(h.button("cmdRedo")->isEnabled());
    h.choose("01", "12", "03");
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    // Redo would put back a month that still holds the 3rd, and a restore would then take the
    // redone booking away: the deletion ends both undo and redo, and their copy.
    QVERIFY(!h.button("cmdRedo")->isEnabled() && !h.button("cmdAngra")->isEnabled());
    QVERIFY(!h.dir.exists("0112.tmp"));
    QTest::keyClick(h.window.get(), Qt::Key_Y, Qt::ControlModifier); // redo's key does nothing
    QCOMPARE(h.dir.read("0112.tid"), Bytes{});
    h.messages.script({Answer::Yes});
    h.click("cmdAngrapost");
    QCOMPARE(h.dir.read("0112.tid"), recordsAt({{3, 10}}));
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 10 m "));
}

void BackupTest::copiesStayUntilTheirActionGoesAhead() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    const Bytes original = recordsAt({{3, 10}, {5, 20}});
    h.dir.write("0112.tid", original);
    h.start();
    h.choose("01", "12", "03");
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    const auto restoreOffered = [&h] {
        return h.dir.read("post2.tmp") == recordsAt({{3, 10}, {5, 20}}) &&
               h.button("cmdAngrapost")->isVisible() && h.button("cmdKastapost")->isHidden();
    };
    QVERIFY(restoreOffered());
    // A close cancelled, a month's deletion answered No, and a booking refused at 24 hours: none
    // of them goes ahead, so none of them takes the copy away.
    h.enter("", "1", "");
    h.messages.script({Answer::Cancel});
    h.click("cmdStang");
    QVERIFY(restoreOffered() && h.ended->isEmpty());
    h.choose("01", "12", "05");
    h.messages.script({Answer::No});
    h.click("cmdKastamon");
    QVERIFY(restoreOffered() && h.messages.answersLeft() == 0);
    h.enter("24", "", "");
    h.click("cmdSpara");
    QCOMPARE(h.messages.last().title, std::string("Dygnet är slut"));
    QVERIFY(restoreOffered());
    h.messages.script({Answer::Yes});
    h.click("cmdAngrapost");
    QCOMPARE(h.dir.read("0112.tid"), original);

    // The same for the undo copy: a month's deletion answered No leaves undo as it was.
    h.enter("", "5", "");
    h.click("cmdSpara");
    h.messages.script({Answer::No});
    h.click("cmdKastamon");
    QVERIFY(h.button("cmdAngra")->isEnabled() && h.dir.read("0112.tmp") == original);
    h.click("cmdAngra");
    QCOMPARE(h.dir.read("0112.tid"), original);
}

void BackupTest::redoFindsTheMonthTheRangeWindowRemoved() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    const Bytes booked = bookMonthsFirst(h);
    h.click("cmdAngra"); // the month's first booking undone leaves an empty month file...
    h.openRange();       // ...which the range window removes as it sums the months
    QVERIFY(!h.dir.exists("0112.tid"));
    h.inRange<QAbstractButton>("cmdStang")->click();
    h.click("cmdRedo");
    QCOMPARE(h.dir.read("0112.tid"), booked);
    QCOMPARE(h.dir.read("0112.tmp"), Bytes{});
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 30 m "));
    QVERIFY(h.messages.shown().empty() && h.button("cmdAngra")->isEnabled());
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

void BackupTest::deletingEverythingThatFailsSaysSo() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0112.tid", recordsAt({{5, 20}}));
    platform::fakes::FaultyFileSystem failing(h.files);
    h.startWith(failing);
    failing.failAt(1, platform::fakes::FaultyFileSystem::Mode::Once, true);
    h.messages.script({Answer::Yes});
    h.click("cmdKasta");
    // The month files could not be deleted: the user is told before the program ends.
    lastBoxIs(h,
              "Alla filer kunde inte tas bort: 0112.tid finns kvar i programmets datamapp.\n"
              "Programmet stängs nu.",
              "Kan inte ta bort allt", Buttons::Ok);
    QCOMPARE(h.dir.names(), std::vector<std::string>{"0112.tid"});
    QCOMPARE(h.ended->count(), 1);
}

QTEST_MAIN(BackupTest)
#include "test_backups.moc"
