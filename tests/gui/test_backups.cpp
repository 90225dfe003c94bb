#include "harness.h"
#include "support/month_bytes.h"

#include <QMouseEvent>
#include <map>

using testing_support::Harness;
using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A month file holding the given days, each with that many minutes of connected time.
Bytes recordsAt(const std::vector<std::pair<int, int>>& days) {
    std::map<int, Bytes> records;
    for (const auto& [day, minutes] : days) {
        records[day] =
            testing_support::dayRecordBytes(minutes * 60, 0, 0.0f, static_cast<std::int16_t>(day));
    }
    return testing_support::monthFileBytes(records);
}

void moveMouseOver(QWidget* widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), widget->mapToGlobal(QPointF(4, 4)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    void undoRedoUndoOfAMonthsFirstBooking();
    void undoShowsTheMonthBeforeTheLastBooking();
    void undoAfterChoosingAnotherMonth();
    void undoWithoutItsCopyLeavesBothFiles();
    void deleteAndRestoreADay();
    void deletingTheOnlyDayEmptiesTheMonth();
    void deletingADayWithoutTime();
    void deleteAndRestoreAMonth();
    void noToTheMonthQuestionStillDropsTheUndoCopy();
    void deletingAMonthWithoutRecords();
    void restoresThatWouldOverwriteAreRefused();
    void deleteEverything();
    void hintsNameTheChosenAndDeletedDays();
};

void BackupTest::undoRedoUndoOfAMonthsFirstBooking() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    h.start();
    h.enter("", "30", "");
    h.click("cmdSpara");
    const Bytes booked = h.dir.read("0112.tid");

    h.click("cmdAngra");
    QCOMPARE(h.dir.read("0112.tid"), Bytes{});
    QCOMPARE(h.dir.read("0112.tmp"), booked);
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad:"));
    QCOMPARE(h.text("lblDagstid"), std::string("Tid i dag:"));
    QCOMPARE(h.text("lblTidkvar"), std::string("Tid kvar: / Extra tid:"));
    QCOMPARE(h.text("lblTid"), std::string("Månadstid:"));
    QCOMPARE(h.text("lblDyrtid"), std::string("Extra månadstid:"));
    QCOMPARE(h.text("lblKostnad"), std::string("Månadskostnad:"));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 245 kr"));
    QVERIFY(!h.red("lblSumma"));
    QVERIFY(h.messages.shown().empty());
    QVERIFY(!h.button("cmdAngra")->isEnabled());
    QVERIFY(h.button("cmdRedo")->isEnabled());

    h.click("cmdRedo");
    QCOMPARE(h.dir.read("0112.tid"), booked);
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 30 m "));
    QVERIFY(h.button("cmdAngra")->isEnabled());
    QVERIFY(!h.button("cmdRedo")->isEnabled());

    h.click("cmdAngra");
    QCOMPARE(h.dir.read("0112.tid"), Bytes{});
    QVERIFY(h.messages.shown().empty());
}

void BackupTest::undoShowsTheMonthBeforeTheLastBooking() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("", "50", "");
    h.click("cmdSpara");
    h.enter("", "20", "");
    h.click("cmdSpara");
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad: 1,40 kr"));
    h.click("cmdAngra");
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 50 m "));
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad: 0,00 kr"));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 145,00 kr"));
    QVERIFY(h.messages.shown().empty());
}

void BackupTest::undoAfterChoosingAnotherMonth() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0111.tid", recordsAt({{5, 10}}));
    h.start();
    h.enter("", "5", "");
    h.click("cmdSpara");
    h.choose("01", "11", "06");
    h.click("cmdAngra");
    // December is back to empty; November's figures stay on show, without a message.
    QCOMPARE(h.dir.read("0112.tid"), Bytes{});
    QCOMPARE(h.text("lblTid"), std::string("Ansluten tid: 10 m "));
    QCOMPARE(h.text("lblDagstid"), std::string("Tid i dag:"));
    QVERIFY(h.messages.shown().empty());
    QVERIFY(h.button("cmdRedo")->isEnabled());
}

void BackupTest::undoWithoutItsCopyLeavesBothFiles() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("", "5", "");
    h.click("cmdSpara");
    const Bytes booked = h.dir.read("0112.tid");
    h.enter("", "1", "");
    h.messages.script({Answer::Cancel});
    h.click("cmdStang"); // cancelled: the copies are gone, undo is still on
    QVERIFY(h.button("cmdAngra")->isEnabled());
    h.click("cmdAngra");
    QCOMPARE(h.messages.last().title, std::string("Ångra är inte möjligt"));
    QVERIFY(h.messages.last().icon == Icon::Exclamation);
    QCOMPARE(h.dir.read("0112.tid"), booked);
    QVERIFY(!h.dir.exists("temp.tmp"));
    QVERIFY(!h.button("cmdAngra")->isEnabled());
    QVERIFY(!h.button("cmdRedo")->isEnabled());
}

void BackupTest::deleteAndRestoreADay() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    const Bytes original = recordsAt({{3, 10}, {5, 20}, {20, 30}});
    h.dir.write("0112.tid", original);
    h.start();
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    QCOMPARE(h.messages.last().text,
             std::string("Vill du ta bort alla inmatade tider den 05 December 2001?"));
    QCOMPARE(h.messages.last().title, std::string("All tid tas bort!"));
    QVERIFY(h.messages.last().buttons == Buttons::YesNo);
    QVERIFY(h.messages.last().icon == Icon::Exclamation);
    QCOMPARE(h.dir.read("0112.tid"), recordsAt({{3, 10}, {20, 30}}));
    QCOMPARE(h.dir.read("post2.tmp"), original);
    QVERIFY(!h.button("cmdKastapost")->isVisible());
    QVERIFY(h.button("cmdAngrapost")->isVisible());
    QCOMPARE(h.text("lblDagstid"), std::string("Tid i dag:"));
    QCOMPARE(h.text("lblTid"), std::string("Ansluten tid: 40 m "));

    h.messages.script({Answer::Yes});
    h.click("cmdAngrapost");
    QCOMPARE(h.messages.last().text,
             std::string("Vill du återställa all sparad tid den 05 December 2001."));
    QCOMPARE(h.messages.last().title, std::string("Återställ borttagen post"));
    QVERIFY(h.messages.last().icon == Icon::None);
    QCOMPARE(h.dir.read("0112.tid"), original);
    QVERIFY(!h.dir.exists("post2.tmp"));
    QVERIFY(h.button("cmdKastapost")->isVisible());
    QVERIFY(!h.button("cmdAngrapost")->isVisible());
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 20 m "));
    QCOMPARE(h.messages.unscriptedQuestions(), 0);
}

void BackupTest::deletingTheOnlyDayEmptiesTheMonth() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("", "20", "");
    h.click("cmdSpara");
    QVERIFY(h.button("cmdAngra")->isEnabled());
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    QCOMPARE(h.dir.read("0112.tid"), Bytes{});
    QVERIFY(!h.button("cmdAngra")->isEnabled());
    QCOMPARE(h.text("lblTid"), std::string("Månadstid:"));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 145,00 kr"));
    QCOMPARE(h.messages.shown().size(), std::size_t(1)); // the question alone
}

void BackupTest::deletingADayWithoutTime() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.click("cmdKastapost");
    QCOMPARE(h.messages.last().text, std::string("Ingen post finns sparad den 05 December 2001."));
    QCOMPARE(h.messages.last().title, std::string("Finns ingen post att ta bort!"));
    QVERIFY(h.messages.last().buttons == Buttons::Ok);
    QVERIFY(!h.dir.exists("0112.tid"));

    // In a month with a file, the question comes first.
    h.dir.write("0112.tid", recordsAt({{3, 10}}));
    h.messages.clear();
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    QCOMPARE(h.messages.shown().size(), std::size_t(2));
    QCOMPARE(h.messages.last().text, std::string("Ingen post finns sparad den 05 December 2001."));
    QCOMPARE(h.dir.read("0112.tid"), recordsAt({{3, 10}}));
    QVERIFY(h.button("cmdKastapost")->isVisible());
}

void BackupTest::deleteAndRestoreAMonth() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    const Bytes original = recordsAt({{5, 20}});
    h.dir.write("0112.tid", original);
    h.start();
    h.messages.script({Answer::Yes});
    h.click("cmdKastamon");
    QCOMPARE(h.messages.last().text,
             std::string("Vill du ta bort alla inmatade poster i December 2001?"));
    QCOMPARE(h.messages.last().title, std::string("Alla värden raderas!"));
    QVERIFY(h.messages.last().icon == Icon::Exclamation);
    QVERIFY(!h.dir.exists("0112.tid"));
    QCOMPARE(h.dir.read("mon.tmp"), original);
    QVERIFY(!h.button("cmdKastamon")->isVisible());
    QVERIFY(h.button("cmdAngramon")->isVisible() && h.button("cmdAngramon")->isEnabled());
    QVERIFY(!h.button("cmdRedo")->isEnabled());
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 245,00 kr"));
    QCOMPARE(h.text("lblTid"), std::string("Månadstid:"));

    h.messages.script({Answer::Yes});
    h.click("cmdAngramon");
    QCOMPARE(h.messages.last().text,
             std::string("Vill du återställa alla poster i December 2001?"));
    QCOMPARE(h.messages.last().title, std::string("Återställ borttagen månad"));
    QCOMPARE(h.dir.read("0112.tid"), original);
    QVERIFY(!h.dir.exists("mon.tmp"));
    QVERIFY(h.button("cmdKastamon")->isVisible());
    QVERIFY(!h.button("cmdAngramon")->isVisible());
    QCOMPARE(h.text("lblTid"), std::string("Ansluten tid: 20 m "));
}

void BackupTest::noToTheMonthQuestionStillDropsTheUndoCopy() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("", "20", "");
    h.click("cmdSpara");
    const Bytes booked = h.dir.read("0112.tid");
    h.messages.script({Answer::No});
    h.click("cmdKastamon");
    QCOMPARE(h.dir.read("0112.tid"), booked);
    QVERIFY(!h.dir.exists("0112.tmp"));
    QVERIFY(!h.button("cmdAngra")->isEnabled());
    QVERIFY(h.button("cmdKastamon")->isVisible());
}

void BackupTest::deletingAMonthWithoutRecords() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.click("cmdKastamon");
    QCOMPARE(h.messages.last().text,
             std::string("Du behöver inte ta bort December 2001. Inga poster finns sparade."));
    QCOMPARE(h.messages.last().title, std::string("Finns inga poster att ta bort!"));
    QVERIFY(h.messages.last().icon == Icon::None);
    QVERIFY(!h.dir.exists("mon.tmp"));
    QVERIFY(h.button("cmdKastamon")->isVisible());
}

void BackupTest::restoresThatWouldOverwriteAreRefused() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0112.tid", recordsAt({{3, 10}, {5, 20}}));
    h.dir.write("0111.tid", recordsAt({{1, 10}}));
    h.start();

    // The day's copy is swept by a month question answered No.
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    const Bytes withoutDay = h.dir.read("0112.tid");
    h.choose("01", "11", "01");
    h.messages.script({Answer::No});
    h.click("cmdKastamon");
    QVERIFY(!h.dir.exists("post2.tmp"));
    h.messages.script({Answer::Yes});
    h.click("cmdAngrapost");
    QCOMPARE(h.messages.last().title, std::string("Återställ borttagen post"));
    QVERIFY(h.messages.last().buttons == Buttons::Ok);
    QCOMPARE(h.dir.read("0112.tid"), withoutDay);
    QVERIFY(h.button("cmdKastapost")->isVisible());
    QVERIFY(!h.button("cmdAngrapost")->isVisible());

    // A month booked again after its deletion is not overwritten by its restore.
    h.messages.script({Answer::Yes});
    h.click("cmdKastamon");
    h.dir.write("0111.tid", recordsAt({{2, 5}}));
    h.messages.script({Answer::Yes});
    h.click("cmdAngramon");
    QCOMPARE(h.messages.last().title, std::string("Återställ borttagen månad"));
    QVERIFY(h.messages.last().buttons == Buttons::Ok);
    QCOMPARE(h.dir.read("0111.tid"), recordsAt({{2, 5}}));
    QCOMPARE(h.dir.read("mon.tmp"), recordsAt({{1, 10}}));
    QVERIFY(h.button("cmdKastamon")->isVisible());
    QVERIFY(!h.button("cmdAngramon")->isVisible());
}

void BackupTest::deleteEverything() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0112.tid", recordsAt({{5, 20}}));
    h.dir.write("0111.tmp", {1});
    h.start();
    h.messages.script({Answer::No});
    h.click("cmdKasta");
    QCOMPARE(h.messages.last().text,
             std::string("Alla sparade värden försvinner\noch kan inte återskapas.\nVill du "
                         "fortsätta?\nProgrammet kommer att stängas."));
    QCOMPARE(h.messages.last().title, std::string("Allt raderas!"));
    QVERIFY(h.messages.last().icon == Icon::Stop);
    QVERIFY(h.messages.last().secondIsDefault);
    QCOMPARE(h.ended->count(), 0);
    QCOMPARE(h.dir.names(), (std::vector<std::string>{"0111.tmp", "0112.tid", "tid.it"}));

    h.messages.script({Answer::Yes});
    h.click("cmdKasta");
    QVERIFY(h.dir.names().empty());
    QCOMPARE(h.ended->count(), 1);
}

void BackupTest::hintsNameTheChosenAndDeletedDays() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0112.tid", recordsAt({{5, 20}, {6, 20}}));
    h.start();
    QCOMPARE(h.button("cmdAngra")->toolTip(),
             QStringLiteral("Ångra senaste inmatningen i programmet."));
    QCOMPARE(h.button("cmdRedo")->toolTip(),
             QStringLiteral("Gör om senaste inmatningen i programmet."));
    QCOMPARE(h.button("cmdSpara")->toolTip(), QStringLiteral("Sparar inmatat värde."));
    QCOMPARE(h.button("cmdStang")->toolTip(), QStringLiteral("Stänger programmet."));
    QCOMPARE(h.button("cmdHjalp")->toolTip(),
             QStringLiteral("Öppnar information om programmet och hjälp till programmet."));

    moveMouseOver(h.button("cmdKastapost"));
    QCOMPARE(h.button("cmdKastapost")->toolTip(),
             QStringLiteral("Tar bort all sparad tid den 05 December 2001."));
    h.choose("01", "11", "06");
    moveMouseOver(h.button("cmdKastapost"));
    QCOMPARE(h.button("cmdKastapost")->toolTip(),
             QStringLiteral("Tar bort all sparad tid den 06 November 2001."));
    moveMouseOver(h.button("cmdKastamon"));
    QCOMPARE(h.button("cmdKastamon")->toolTip(),
             QStringLiteral("Tar bort all tid under hela November 2001."));
    moveMouseOver(h.button("cmdPrint"));
    QCOMPARE(h.button("cmdPrint")->toolTip(),
             QStringLiteral("Skriver ut tider och kostnader för November 2001."));

    h.choose("01", "12", "06");
    h.messages.script({Answer::Yes});
    h.click("cmdKastapost");
    h.choose("01", "12", "05");
    moveMouseOver(h.button("cmdAngrapost"));
    QCOMPARE(h.button("cmdAngrapost")->toolTip(),
             QStringLiteral("Återställer all sparad tid den 06 December 2001."));
    h.messages.script({Answer::Yes});
    h.click("cmdKastamon");
    h.choose("01", "10", "05");
    moveMouseOver(h.button("cmdAngramon"));
    QCOMPARE(h.button("cmdAngramon")->toolTip(),
             QStringLiteral("Återställer all tid i hela December 2001."));
}

QTEST_MAIN(BackupTest)
#include "test_backups.moc"
