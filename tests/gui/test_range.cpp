// The range window: the range it opens on, the sums and fees of a chosen range, the ranges it
// refuses with their messages, and closing through the window frame back to the main window.

#include "harness.h"
#include "platform/posix_file_system.h"
#include "storage/month_file.h"

#include <QCloseEvent>
#include <QPointer>

using testing_support::Harness;

namespace {

const QString kFeeLine = QStringLiteral("\n(Fasta kostnaden uppräknas varje hel månad.)");
const QString kTill = QStringLiteral(" till och med lördag 31 maj 2003");
const QString kOpening = QStringLiteral("Från och med lördag 1 mar 2003") + kTill;

QWidget* openRange(Harness& h) {
    h.click("cmdFran_till");
    return h.find("frmFran_till");
}

// The range label and the four result labels of the range window.
QStringList shown(QWidget* range) {
    QStringList texts;
    for (const char* name : {"lblHit_Dit", "lblTid", "lblExtrtid", "lblKost", "lblTotalkost"}) {
        texts << range->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    return texts;
}

// Chooses an entry of a date list, as in "cmbFran_1=11", as a user would; that checks the range.
void pick(QWidget* range, const QString& choice) {
    const QStringList parts = choice.split(QLatin1Char('='));
    range->findChild<QComboBox*>(parts[0])->setCurrentText(parts[1]);
}

} // namespace

class RangeWindowTest : public QObject {
    Q_OBJECT

private slots:
    void sumsOrRefusesTheRangeAndClosesBack_data();
    void sumsOrRefusesTheRangeAndClosesBack();
};

void RangeWindowTest::sumsOrRefusesTheRangeAndClosesBack_data() {
    // The entries chosen one after the other in the window opened on 31 May 2003, then the range
    // label and, for a range summed, the four results, with the message of the last choice. A
    // refused range leaves the results as they were.
    QTest::addColumn<QStringList>("picks");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("message");
    QTest::newRow("opening: three months, two fees")
        << QStringList()
        << QStringList{kOpening, "Ansluten tid: 3 h 30 m ", "Extra tid: 30 m ",
                       "Extra kostnad: 3,40 kr", "Total kosttnad: 493,40 kr" + kFeeLine}
        << QString();
    QTest::newRow("365 days, twelve fees")
        << QStringList{"cmbFran_0=02", "cmbFran_1=05", "cmbFran_2=31"}
        << QStringList{"Från och med fredag 31 maj 2002" + kTill, "Ansluten tid: 5 h 10 m ",
                       "Extra tid: 38 m 20 s ", "Extra kostnad: 12,40 kr",
                       "Total kosttnad: 2952,40 kr" + kFeeLine}
        << QString();
    QTest::newRow("366 days") << QStringList{"cmbFran_0=02", "cmbFran_1=05", "cmbFran_2=30"}
                              << QStringList{"Felaktiga datum. Längre tid än 12 månader."}
                              << QStringLiteral(
                                     "Det går inte att summera längre\ntid än 12 månader.");
    QTest::newRow("reversed, day 31 into February")
        << QStringList{"cmbTill_1=02"}
        << QStringList{"Från och med lördag 1 mar 2003 till och med fredag 28 feb 2003"}
        << QStringLiteral("\"FRÅN\" måste vara tidigare än \"TILL\".");
    QTest::newRow("one day, no fee")
        << QStringList{"cmbFran_1=05", "cmbFran_2=31"}
        << QStringList{"Från och med lördag 31 maj 2003" + kTill, "Ansluten tid: 2 h 30 m ",
                       "Extra tid: 30 m ", "Extra kostnad: 3,40 kr",
                       "Total kosttnad: 3,40 kr" + kFeeLine}
        << QString();
}

void RangeWindowTest::sumsOrRefusesTheRangeAndClosesBack() {
    QFETCH(QStringList, picks);
    QFETCH(QStringList, expected);
    QFETCH(QString, message);
    Harness h(core::Date{2003, 5, 31});
    h.storePlan("2 h / dygn", 7200);
    platform::PosixFileSystem files(h.dir.path());
    QVERIFY(storage::writeDay(files, "0206.tid", 1, {900.0f, 1000, 500, 1, core::kTrue}));
    QVERIFY(storage::writeDay(files, "0302.tid", 28, {0.0f, 5000, 0, 28, core::kFalse}));
    QVERIFY(storage::writeDay(files, "0305.tid", 1, {0.0f, 3600, 0, 1, core::kFalse}));
    QVERIFY(storage::writeDay(files, "0305.tid", 31, {340.0f, 9000, 1800, 31, core::kTrue}));
    const std::vector<std::string> names = h.dir.names(); // none for April
    QWidget& main = h.start();
    h.choose("03", "04", "20"); // a date of the main window's own, kept while the range is open
    QPointer<QWidget> range = openRange(h);
    QVERIFY(range != nullptr && range->isVisible() && !main.isVisible());
    QCOMPARE(range->windowTitle(),
             QStringLiteral("Surfklocka 3.11      2 h / dygn      Från och Till"));
    QCOMPARE(range->findChild<QAbstractButton*>(QStringLiteral("cmdStang"))->toolTip(),
             QStringLiteral("Stänger \"Från och Till\"."));
    QStringList before;
    for (const QString& choice : picks) {
        before = shown(range);
        h.messages.clear();
        pick(range, choice);
    }
    if (expected.size() == 1) {
        expected += before.mid(1);
    }
    QCOMPARE(shown(range), expected);
    if (message.isEmpty()) {
        QVERIFY(h.messages.shown().empty());
    } else {
        QCOMPARE(h.messages.shown().size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(h.messages.last().text), message);
        QCOMPARE(h.messages.last().title, std::string("Felaktiga datum"));
    }
    QCOMPARE(h.dir.names(), names);

    // Closed through the window frame, the main window comes back with its activation step; the
    // next opening starts afresh, with no message.
    h.messages.clear();
    h.label("lblVisa_3")->setText(QStringLiteral("-"));
    QCloseEvent close;
    QCoreApplication::sendEvent(range, &close);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(range.isNull() && main.isVisible() && h.ended->isEmpty());
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas söndag 20 apr 2003"));
    range = openRange(h);
    QCOMPARE(shown(range).first(), kOpening);
    QVERIFY(h.messages.shown().empty());
}

QTEST_MAIN(RangeWindowTest)
#include "test_range.moc"
