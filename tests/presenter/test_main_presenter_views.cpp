// What the main window shows after the user's steps, worked out by hand: the title and captions
// as the date lists change, the day's and the month's labels and their colours around the
// allowance, and which buttons are shown and enabled after booking, undo, deleting and restoring.

#include "presenter/main_presenter.h"
#include "support/fakes/fake_services.h"
#include "support/fakes/memory_file_system.h"
#include "support/month_bytes.h"

#include <gtest/gtest.h>

using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;
using Answer = platform::MessageBox::Answer;
using presenter::MainView;

namespace {

// tid.it of the 2-hour plan: the mark, "2 h / dygn" at 30 and 7200 (0x1C20) at 60.
std::vector<std::uint8_t> twoHourPlan() {
    std::vector<std::uint8_t> bytes(62, 0);
    bytes[0] = bytes[1] = 0xFF;
    const std::string plan = "2 h / dygn";
    std::copy(plan.begin(), plan.end(), bytes.begin() + 30);
    bytes[60] = 0x20;
    bytes[61] = 0x1C;
    return bytes;
}

// The main window on Wednesday 5 December 2001, the 2-hour plan chosen, over files in memory.
struct MainPresenterViews : ::testing::Test {
    void start(const platform::fakes::MemoryFileSystem::Files& files) {
        memory.files() = files;
        memory.files()["tid.it"] = twoHourPlan();
        main.load();
        main.activate();
    }
    const MainView& book(const char* hours, const char* minutes, const char* seconds) {
        main.typeTime(0, hours);
        main.typeTime(1, minutes);
        main.typeTime(2, seconds);
        return main.save();
    }
    const MainView& choose(const char* year, const char* month, const char* day) {
        main.chooseDate(0, year);
        main.chooseDate(1, month);
        return main.chooseDate(2, day);
    }
    const MainView& yes(const MainView& (presenter::MainPresenter::*step)()) {
        outside.messages.script({Answer::Yes});
        return (main.*step)();
    }

    platform::fakes::MemoryFileSystem memory;
    platform::fakes::FakeOutside outside{core::Date{2001, 12, 5}};
    core::ProgramSettings settings;
    presenter::MainPresenter main{outside.with(memory), settings};
};

// The day's three labels, then the month's four, each marked "*" when red.
std::string labels(const MainView& view) {
    std::string out;
    for (const presenter::Label* label :
         {&view.lblDagstid, &view.lblTidkvar, &view.lblDagskost, &view.lblTid, &view.lblDyrtid,
          &view.lblKostnad, &view.lblSumma}) {
        out += (out.empty() ? "" : "|") + label->text +
               (label->colour == presenter::Colour::Red ? "*" : "");
    }
    return out;
}

// Each button by its name without "cmd": "+" shown and enabled, "-" shown and disabled, and
// left out when hidden.
std::string buttons(const MainView& view) {
    std::string out;
    for (const auto& [name, button] : {std::pair("Angra", view.cmdAngra),
                                       {"Redo", view.cmdRedo},
                                       {"Kastapost", view.cmdKastapost},
                                       {"Angrapost", view.cmdAngrapost},
                                       {"Kastamon", view.cmdKastamon},
                                       {"Angramon", view.cmdAngramon}}) {
        out += button.shown
                   ? std::string(out.empty() ? "" : " ") + name + (button.enabled ? "+" : "-")
                   : "";
    }
    return out;
}

} // namespace

TEST_F(MainPresenterViews, TheTitleAndTheCaptionsFollowTheChosenDate) {
    start({});
    const MainView& today = main.view();
    EXPECT_EQ(today.title, "Surfklocka 3.11   2 h / dygn");
    EXPECT_EQ(today.ramMonadstid + "|" + today.lblVisa_3,
              "December 2001|Nu visas onsdag 5 dec 2001");
    // The 31st, then November, which has 30 days: the day list gives way to its last day.
    choose("01", "12", "31");
    const MainView& november = main.chooseDate(1, "11");
    EXPECT_EQ(november.cmbSok_2 + " " + std::to_string(november.daysInList), "30 30");
    EXPECT_EQ(november.ramMonadstid + "|" + november.lblVisa_3,
              "November 2001|Nu visas fredag 30 nov 2001");
    const MainView& february = choose("02", "02", "30");
    EXPECT_EQ(february.cmbSok_0 + february.cmbSok_1 + february.cmbSok_2, "020228");
    EXPECT_EQ(february.daysInList, 28);
    EXPECT_EQ(february.ramMonadstid + "|" + february.lblVisa_3,
              "Februari 2002|Nu visas torsdag 28 feb 2002");
}

TEST_F(MainPresenterViews, DayAndMonthLabelsAreRedOnlyForExtraTimeAndCost) {
    // December on the 2-hour plan: the 3rd 7260 s (60 s extra, 50 öre), the 4th 9000 s (1800 s
    // extra, 340 öre).
    start({{"0112.tid", monthFileBytes({{3, dayRecordBytes(7260, 60, 50.0f, 3)},
                                        {4, dayRecordBytes(9000, 1800, 340.0f, 4)}})}});
    // 16 260 s in the month is 4 h 31 m, 1860 s extra is 31 m, 3,90 kr extra, 248,90 kr in all.
    const std::string month = "Ansluten tid: 4 h 31 m |Extra månadstid: 31 m *|Extra "
                              "månadskostnad: 3,90 kr*|Total månadskostnad: 248,90 kr*";
    EXPECT_EQ(labels(choose("01", "12", "03")),
              "Ansluten tid: 2 h 1 m |Använd extra tid: 1 m *|Kostnad: 0,50 kr*|" + month);
    // The 5th: 2 h exactly is within the allowance, nothing left and nothing to pay.
    choose("01", "12", "05");
    EXPECT_EQ(labels(book("2", "", "")),
              "Ansluten tid: 2 h |Tid kvar: |Kostnad: 0,00 kr|Ansluten tid: 6 h 31 m |Extra "
              "månadstid: 31 m *|Extra månadskostnad: 3,90 kr*|Total månadskostnad: 248,90 kr*");
    // One second more takes it past: 40 öre and a sixth of an öre, shown as 0,40 kr; the month
    // has 1861 s extra and 390 + 40,17 öre, 4,30 kr.
    EXPECT_EQ(labels(book("", "", "1")),
              "Ansluten tid: 2 h 1 s |Använd extra tid: 1 s *|Kostnad: 0,40 kr*|Ansluten tid: 6 "
              "h 31 m 1 s |Extra månadstid: 31 m 1 s *|Extra månadskostnad: 4,30 kr*|Total "
              "månadskostnad: 249,30 kr*");
    // November has only time within the allowance: nothing red, the fee alone.
    choose("01", "11", "05");
    EXPECT_EQ(labels(book("1", "", "")),
              "Ansluten tid: 1 h |Tid kvar: 1 h |Kostnad: 0,00 kr|Ansluten tid: 1 h |Extra "
              "månadstid: |Extra månadskostnad: 0,00 kr|Total månadskostnad: 245,00 kr");
}

TEST_F(MainPresenterViews, UndoShowsTheMonthChosenNotTheOneUndone) {
    start({{"0111.tid", monthFileBytes({{5, dayRecordBytes(600, 0, 0.0f, 5)}})}});
    book("", "30", "");
    choose("01", "11", "05");
    // The booking on 5 December is taken back; November stays as it is shown.
    EXPECT_EQ(labels(main.undo()),
              "Ansluten tid: 10 m |Tid kvar: 1 h 50 m |Kostnad: 0,00 kr|Ansluten tid: 10 m "
              "|Extra månadstid: |Extra månadskostnad: 0,00 kr|Total månadskostnad: 245,00 kr");
    EXPECT_EQ(memory.files().at("0112.tid"), std::vector<std::uint8_t>{});
}

TEST_F(MainPresenterViews, ButtonsFollowBookingUndoDeletionsAndRestores) {
    start({{"0111.tid", monthFileBytes({{5, dayRecordBytes(600, 0, 0.0f, 5)}})}});
    const auto step = [](const char* what, const MainView& view, const char* shown) {
        EXPECT_EQ(buttons(view), shown) << what;
    };
    using P = presenter::MainPresenter;
    step("start", main.view(), "Angra- Redo- Kastapost+ Kastamon+");
    step("booking", book("", "5", ""), "Angra+ Redo- Kastapost+ Kastamon+");
    step("undo", main.undo(), "Angra- Redo+ Kastapost+ Kastamon+");
    step("redo", main.redo(), "Angra+ Redo- Kastapost+ Kastamon+");
    choose("01", "11", "05");
    step("November deleted", yes(&P::deleteMonth), "Angra- Redo- Kastapost+ Angramon+");
    choose("01", "12", "05");
    // A day deleted now: its restore is offered, the month's is shown but no longer enabled.
    step("5 December deleted", yes(&P::deleteDay), "Angra- Redo- Angrapost+ Angramon-");
    step("5 December restored", yes(&P::restoreDay), "Angra- Redo- Kastapost+ Angramon-");
    // A booking ends both restores.
    step("booking", book("", "1", ""), "Angra+ Redo- Kastapost+ Kastamon+");
    step("December deleted", yes(&P::deleteMonth), "Angra- Redo- Kastapost+ Angramon+");
    step("December restored", yes(&P::restoreMonth), "Angra- Redo- Kastapost+ Kastamon+");
    // Answered no, a deletion changes no button.
    outside.messages.script({Answer::No});
    step("deletion declined", main.deleteDay(), "Angra- Redo- Kastapost+ Kastamon+");
}
