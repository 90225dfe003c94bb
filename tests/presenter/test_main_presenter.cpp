// The main window's decisions without a window, with hand-worked figures: bookings on the 1-hour
// plan with undo and redo, the 24-hour limit, deleting and restoring days and months, files that
// cannot be used, printing, the first start with the plan window, dates that are not real ones
// and a change of plan; and a save that fails at any call of the file layer, which changes no
// file, keeps every copy, and offers a button that needs a copy only while the copy is there.

#include "presenter/main_presenter.h"
#include "presenter/plan_presenter.h"
#include "support/fakes/fake_services.h"
#include "support/fakes/faulty_file_system.h"
#include "support/fakes/memory_file_system.h"
#include "support/month_bytes.h"

#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using Files = platform::fakes::MemoryFileSystem::Files;
using platform::fakes::FaultyFileSystem;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;
using Answer = platform::MessageBox::Answer;
using Icon = platform::MessageBox::Icon;
using presenter::MainView;

namespace {

// The settings of a plan chosen earlier: the mark, the plan's ten characters at 30 and its
// allowance at 60, little-endian ("1 h / dygn" and 3600, 0x0E10, unless told).
Bytes planBytes(const std::string& plan = "1 h / dygn", std::uint16_t allowance = 3600) {
    Bytes bytes(62, 0);
    bytes[0] = bytes[1] = 0xFF;
    std::copy(plan.begin(), plan.end(), bytes.begin() + 30);
    bytes[60] = static_cast<std::uint8_t>(allowance & 0xFF);
    bytes[61] = static_cast<std::uint8_t>(allowance >> 8);
    return bytes;
}

// A month file of one booked day.
Bytes oneDay(int day, std::int32_t connected, std::int32_t extra = 0, float ore = 0.0f) {
    return monthFileBytes({{day, dayRecordBytes(connected, extra, ore, static_cast<short>(day))}});
}

// The main window on 5 December 2001 over a faulty layer of files in memory.
struct Window {
    explicit Window(const Files& start) {
        memory.files() = start;
        main.load();
        main.activate();
    }
    // The last message box: its text and its title.
    std::string box() const {
        const auto& shown = outside.messages.shown();
        return shown.empty() ? "" : shown.back().text + " | " + shown.back().title;
    }
    void book(const char* hours, const char* minutes, const char* seconds) {
        main.typeTime(0, hours);
        main.typeTime(1, minutes);
        main.typeTime(2, seconds);
        main.save();
    }
    platform::fakes::MemoryFileSystem memory;
    FaultyFileSystem files{memory};
    platform::fakes::FakeOutside outside{core::Date{2001, 12, 5}};
    core::ProgramSettings settings;
    presenter::MainPresenter main{outside.with(files), settings};
};

bool offered(const presenter::Button& button) {
    return button.shown && button.enabled;
}

// The day's three labels and the month's four, each marked "*" when red.
std::string figures(const MainView& v) {
    std::string out;
    for (const presenter::Label* label : {&v.lblDagstid, &v.lblTidkvar, &v.lblDagskost, &v.lblTid,
                                          &v.lblDyrtid, &v.lblKostnad, &v.lblSumma}) {
        out += (out.empty() ? "" : "|") + label->text +
               (label->colour == presenter::Colour::Red ? "*" : "");
    }
    return out;
}

// The buttons offered, by their names without "cmd".
std::string offeredButtons(const MainView& v) {
    const char* names[] = {"Angra", "Redo", "Kastapost", "Angrapost", "Kastamon", "Angramon"};
    const presenter::Button* buttons[] = {&v.cmdAngra,     &v.cmdRedo,     &v.cmdKastapost,
                                          &v.cmdAngrapost, &v.cmdKastamon, &v.cmdAngramon};
    std::string out;
    for (std::size_t i = 0; i < 6; ++i) {
        out += offered(*buttons[i]) ? (out.empty() ? "" : " ") + std::string(names[i]) : "";
    }
    return out;
}

// One step of the user's and what it must leave: the last message box ("" for none yet), the
// buttons offered and, when given, the figures.
struct Step {
    const char* what;
    std::function<void(Window&)> act;
    std::string box;
    std::string buttons;
    std::string shown{};
};

void runSteps(Window& window, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act(window);
        EXPECT_EQ(window.box(), step.box);
        EXPECT_EQ(offeredButtons(window.main.view()), step.buttons);
        if (!step.shown.empty()) {
            EXPECT_EQ(figures(window.main.view()), step.shown);
        }
    }
}

const std::string kDayHeadings = "Tid i dag:|Tid kvar: / Extra tid:|Kostnad:|";
const std::string kNoMonth =
    kDayHeadings + "Månadstid:|Extra månadstid:|Extra månadskostnad:|Total månadskostnad:";
const std::string kBoth = "Kastapost Kastamon";
const std::string kAngra = "Angra Kastapost Kastamon";

} // namespace

TEST(MainPresenter, BookingOnTheOneHourPlanWithUndoAndRedo) {
    Window window({{"tid.it", planBytes()}});
    // 50 m is 3000 s, 10 m within the hour. 20 m more make 4200 s, 600 s past it for the first
    // time: 600 × 10 ÷ 60 + 40 = 140 öre. 1 m more: 60 × 10 ÷ 60 + 40 = 50 öre, 190 öre in all,
    // 660 s of extra time, and 145 kr + 1,90 kr = 146,90 kr for the month.
    const std::string at70 =
        "Ansluten tid: 1 h 10 m |Använd extra tid: 10 m *|Kostnad: 1,40 kr*|Ansluten tid: 1 h 10 "
        "m |Extra månadstid: 10 m *|Extra månadskostnad: 1,40 kr*|Total månadskostnad: 146,40 kr*";
    const std::string at71 =
        "Ansluten tid: 1 h 11 m |Använd extra tid: 11 m *|Kostnad: 1,90 kr*|Ansluten tid: 1 h 11 "
        "m |Extra månadstid: 11 m *|Extra månadskostnad: 1,90 kr*|Total månadskostnad: 146,90 kr*";
    const auto undo = [](Window& w) { w.main.undo(); };
    const auto redo = [](Window& w) { w.main.redo(); };
    runSteps(
        window,
        {{"start", [](Window&) {}, "", kBoth, kNoMonth + " 145,00 kr"},
         {"50 m", [](Window& w) { w.book("", "50", ""); }, "", kAngra},
         // The month's only booking taken back: headings, and the fee alone.
         {"undo", undo, "", "Redo " + kBoth,
          kDayHeadings + "Månadstid:|Extra månadstid:|Månadskostnad:|Total månadskostnad: 145 kr"},
         {"redo", redo, "", kAngra},
         {"20 m", [](Window& w) { w.book("", "20", ""); }, "", kAngra, at70},
         {"1 m", [](Window& w) { w.book("", "1", ""); }, "", kAngra, at71},
         {"undo", undo, "", "Redo " + kBoth, at70},
         {"redo", redo, "", kAngra, at71}});
    EXPECT_EQ(window.main.view().cmbTid, (core::TimeTexts{"", "", ""}));
    EXPECT_EQ(window.memory.files().at("0112.tid"), oneDay(5, 4260, 660, 190.0f));
    // The undo copy holds the month before the last booking; without it undo says so.
    EXPECT_EQ(window.memory.files().at("0112.tmp"), oneDay(5, 4200, 600, 140.0f));
    window.memory.files().erase("0112.tmp");
    runSteps(window, {{"undo without a copy", undo,
                       "Den senaste inmatningen kan inte ångras.\nKopian av månaden saknas eller "
                       "kunde inte bytas ut, så månadsfilen och kopian har lämnats som de var. | "
                       "Ångra är inte möjligt",
                       kBoth}});
}

TEST(MainPresenter, ADayHoldsTwentyFourHoursAndABookingOfNoTimeIsTold) {
    Window window({{"tid.it", planBytes("8 h / dygn", 28800)}, {"0112.tid", oneDay(5, 86000)}});
    const Files& files = window.memory.files();
    // 6 m 40 s = 400 s make exactly 86 400 s: booked. One second more is refused, and changes
    // nothing: the last booking can still be undone, and the time typed is of no use.
    window.book("", "6", "40");
    const Files full = files;
    runSteps(window,
             {{"1 s", [](Window& w) { w.book("", "", "1"); },
               "Du kan inte mata in mer tid än 24 timmar per dygn | Dygnet är slut", kAngra}});
    EXPECT_EQ(window.outside.messages.last().icon, Icon::Exclamation);
    EXPECT_EQ(files, full);
    EXPECT_EQ(window.main.view().cmbTid, (core::TimeTexts{"", "", ""}));
    // " 0" is not blank: a booking of no time on the empty 6th writes an empty record, and the
    // user is told the day has none. The 5th: 86 400 − 28 800 = 57 600 s past the allowance,
    // 57 600 × 10 ÷ 60 + 40 = 9640 öre.
    window.main.chooseDate(2, "06");
    window.book(" 0", "", "");
    EXPECT_EQ(files.at("0112.tid"), monthFileBytes({{5, dayRecordBytes(86400, 57600, 9640.0f, 5)},
                                                    {6, dayRecordBytes(0, 0, 0.0f, 6)}}));
    EXPECT_EQ(window.box(), "Någon post har inte sparats den 6 december 2001. | Ingen post hittas");
    EXPECT_EQ(window.outside.messages.last().icon, Icon::None);
}

TEST(MainPresenterFaults, AFailedSaveChangesNoFileAndKeepsEveryCopyAndItsButton) {
    const Files start{{"tid.it", planBytes()},
                      {"0112.tid", monthFileBytes({{5, dayRecordBytes(600, 0, 0.0f, 5)},
                                                   {20, dayRecordBytes(60, 0, 0.0f, 20)}})},
                      {"0111.tid", oneDay(1, 600)}};
    // Each way a copy comes to be offered: a month deleted, a day deleted, a booking made.
    const auto deleted = [](int list, const char* other, const char* back) {
        return [=](Window& w) {
            w.main.chooseDate(list, other);
            w.outside.messages.script({Answer::Yes});
            list == 1 ? w.main.deleteMonth() : w.main.deleteDay();
            w.main.chooseDate(list, back);
        };
    };
    const std::function<void(Window&)> setUps[] = {deleted(1, "11", "12"), deleted(2, "20", "05"),
                                                   [](Window& w) { w.book("", "01", ""); }};
    const auto day5 = [](const Files& files) {
        return storage::decodeMonth(files.at("0112.tid"))[4].connectedSeconds;
    };
    for (std::size_t setUp = 0; setUp < 3; ++setUp) {
        for (const auto mode : {FaultyFileSystem::Mode::Once, FaultyFileSystem::Mode::FromThenOn}) {
            for (int call = 1;; ++call) {
                SCOPED_TRACE(std::to_string(setUp) + ", failing at call " + std::to_string(call));
                ASSERT_LT(call, 100);
                Window window(start);
                setUps[setUp](window);
                window.main.typeTime(1, "10");
                const Files was = window.memory.files();
                window.files.failAt(call, mode);
                const MainView view = window.main.save();
                const Files& now = window.memory.files();
                if (now.at("0112.tid") == was.at("0112.tid")) {
                    // Not booked: no month and no copy changed, and the typed time stays. With
                    // one call failing, nothing at all is left behind.
                    for (const auto& [name, bytes] : was) {
                        EXPECT_EQ(now.contains(name) ? now.at(name) : Bytes{9}, bytes) << name;
                    }
                    EXPECT_TRUE(mode != FaultyFileSystem::Mode::Once || now == was);
                    EXPECT_EQ(view.cmbTid[1], "10");
                } else {
                    EXPECT_EQ(day5(now), day5(was) + 600); // booked, whatever else failed
                }
                EXPECT_TRUE(!offered(view.cmdAngramon) || now.contains("mon.tmp"));
                EXPECT_TRUE(!offered(view.cmdAngrapost) || now.contains("post2.tmp"));
                EXPECT_TRUE(!offered(view.cmdAngra) || now.contains("0112.tmp"));
                if (window.files.failures() == 0) {
                    break;
                }
            }
        }
    }
}

TEST(MainPresenter, DaysAndMonthsAreDeletedAndRestoredOnlyOverWhatTheirDeletionLeft) {
    const Bytes original = monthFileBytes(
        {{3, dayRecordBytes(600, 0, 0.0f, 3)}, {5, dayRecordBytes(1200, 0, 0.0f, 5)}});
    Window window({{"tid.it", planBytes()}, {"0112.tid", original}});
    Files& files = window.memory.files();
    // Answers Yes to each question the command asks.
    const auto yes = [](std::function<void(Window&)> act, int questions = 1) {
        return [act, questions](Window& w) {
            for (int i = 0; i < questions; ++i) {
                w.outside.messages.script({Answer::Yes});
            }
            act(w);
        };
    };
    const auto deleteDay = [](Window& w) { w.main.deleteDay(); };
    const auto restoreDay = [](Window& w) { w.main.restoreDay(); };
    const auto deleteMonth = [](Window& w) { w.main.deleteMonth(); };
    const auto restoreMonth = [](Window& w) { w.main.restoreMonth(); };
    // Deletes, lets another hand book the 2nd, and restores.
    const auto changedBetween = [&files, yes](auto remove, auto restore) {
        return yes(
            [&files, remove, restore](Window& w) {
                remove(w);
                files["0112.tid"] = oneDay(2, 300);
                restore(w);
            },
            2);
    };
    const std::string notOver = "\nIngenting har skrivits över. | ";
    const std::string noPost = " December 2001. | Finns ingen post att ta bort!";
    runSteps(
        window,
        {{"delete the 5th", yes(deleteDay),
          "Vill du ta bort alla inmatade tider den 05 December 2001? | All tid tas bort!",
          "Angrapost Kastamon",
          kDayHeadings + "Ansluten tid: 10 m |Extra månadstid: |Extra månadskostnad: 0,00 "
                         "kr|Total månadskostnad: 145,00 kr"},
         {"restore it", yes(restoreDay),
          "Vill du återställa all sparad tid den 05 December 2001. | Återställ borttagen post",
          kBoth},
         {"delete December", yes(deleteMonth),
          "Vill du ta bort alla inmatade poster i December 2001? | Alla värden raderas!",
          "Kastapost Angramon", kNoMonth + " 145,00 kr"},
         {"delete the 5th of no month", deleteDay, "Ingen post finns sparad den 05" + noPost,
          "Kastapost Angramon"},
         {"restore December", yes(restoreMonth),
          "Vill du återställa alla poster i December 2001? | Återställ borttagen månad", kBoth},
         {"delete the 4th, which has no time", yes([](Window& w) {
              w.main.chooseDate(2, "04");
              w.main.deleteDay();
          }),
          "Ingen post finns sparad den 04" + noPost, kBoth},
         {"delete November, which has no file",
          [](Window& w) {
              w.main.chooseDate(1, "11");
              w.main.deleteMonth();
              w.main.chooseDate(1, "12");
              w.main.chooseDate(2, "05");
          },
          "Du behöver inte ta bort November 2001. Inga poster finns sparade. | Finns inga poster "
          "att ta bort!",
          kBoth},
         {"restore a day over a month changed since", changedBetween(deleteDay, restoreDay),
          "Tiden den 05 December 2001 kan inte återställas, eftersom månaden har ändrats sedan "
          "dagen togs bort." +
              notOver + "Återställ borttagen post",
          kBoth},
         {"restore a month booked again", changedBetween(deleteMonth, restoreMonth),
          "December 2001 kan inte återställas, eftersom nya poster har sparats i månaden sedan "
          "den togs bort." +
              notOver + "Återställ borttagen månad",
          kBoth}});
    // Each refused restore left the month as another hand wrote it, and the month's copy.
    EXPECT_EQ(files.at("0112.tid"), oneDay(2, 300));
    EXPECT_EQ(files.at("mon.tmp"), oneDay(2, 300));

    // A day's copy that is gone, or cannot be read, is said to be so.
    for (const auto& [copy, why] : {std::pair(Bytes{}, "inte finns kvar."),
                                    {Bytes(600, 1), "inte går att läsa eller är skadad."}}) {
        files["0112.tid"] = original;
        window.outside.messages.script({Answer::Yes, Answer::Yes});
        window.main.deleteDay();
        files.erase("post2.tmp");
        if (!copy.empty()) {
            files["post2.tmp"] = copy;
        }
        window.main.restoreDay();
        EXPECT_EQ(window.box(), "Tiden den 05 December 2001 kan inte återställas, eftersom "
                                "kopian av månaden (post2.tmp) " +
                                    std::string(why) + notOver + "Återställ borttagen post");
    }
    // The restore hints name what was deleted last, whatever is chosen now.
    window.main.chooseDate(1, "11");
    const MainView& view = window.main.chooseDate(2, "06");
    EXPECT_EQ(view.kastapostHint + view.angrapostHint + view.angramonHint,
              "Tar bort all sparad tid den 06 November 2001.Återställer all sparad tid den 05 "
              "December 2001.Återställer all tid i hela December 2001.");
}

TEST(MainPresenter, FilesThatCannotBeUsedAreToldAndNeverWritten) {
    // A month file longer than 31 records is damaged, and so is a settings file of more than 3.
    const std::string damaged =
        "Filen 0112.tid är skadad: den är större än en månadsfil kan vara, eller är ingen vanlig "
        "fil.\nMånadens tider kan inte visas, och filen lämnas orörd. | Skadad fil";
    Window window({{"tid.it", planBytes()}, {"0112.tid", Bytes(500, 0)}});
    const Files start = window.memory.files();
    // Told once at start, not again for another day of the same month; deleting the day or the
    // month, or printing it, asks nothing.
    runSteps(window, {{"start", [](Window&) {}, damaged, kBoth, kNoMonth},
                      {"the 6th", [](Window& w) { w.main.chooseDate(2, "06"); }, damaged, kBoth},
                      {"save", [](Window& w) { w.book("", "5", ""); },
                       "Tiden kunde inte sparas, eftersom filen 0112.tid är skadad.\nIngen tid har "
                       "bokförts. | Kan inte spara",
                       kBoth},
                      {"delete the day", [](Window& w) { w.main.deleteDay(); }, damaged, kBoth},
                      {"delete the month", [](Window& w) { w.main.deleteMonth(); }, damaged, kBoth},
                      {"print", [](Window& w) { w.main.print(); }, damaged, kBoth}});
    EXPECT_EQ(window.outside.messages.shown().size(), 5U);
    EXPECT_EQ(window.main.view().cmbTid[1], "5"); // the typed time is kept
    EXPECT_EQ(window.outside.printDialog.asked(), 0);
    EXPECT_EQ(window.memory.files(), start);

    // Without a plan no extra time can be told, so nothing is booked. The plan window cannot
    // store a plan over the damaged file either: the plan holds for this run.
    Window noPlan({{"tid.it", Bytes(91, 0)}});
    runSteps(noPlan, {{"start", [](Window&) {},
                       "Filen tid.it är skadad, så abonnemanget är inte känt.\nMånadskostnaderna "
                       "visas utan den fasta avgiften, och ingen tid kan sparas förrän filen går "
                       "att läsa. | Skadad fil",
                       kBoth},
                      {"save", [](Window& w) { w.book("", "30", ""); },
                       "Tiden kan inte sparas, eftersom abonnemanget inte är känt: filen tid.it "
                       "är skadad.\nIngen tid har bokförts. | Kan inte spara",
                       kBoth}});
    presenter::PlanPresenter plan(noPlan.files, noPlan.outside.messages, noPlan.settings);
    plan.load();
    plan.choose(7); // no such option: the one-hour plan stays chosen
    EXPECT_EQ(plan.ok().outcome, presenter::PlanOutcome::Stored);
    EXPECT_EQ(noPlan.box(), "Abonnemanget kunde inte sparas i filen tid.it.\nDet gäller bara så "
                            "länge programmet är igång. | Kan inte spara");
    EXPECT_EQ(noPlan.outside.messages.last().icon, Icon::Exclamation);
    EXPECT_EQ(noPlan.settings.planText + std::to_string(noPlan.settings.dailyAllowance),
              "1 h / dygn3600");
    EXPECT_EQ(noPlan.memory.files(), (Files{{"tid.it", Bytes(91, 0)}}));
}

TEST(MainPresenter, TheChosenMonthIsPrintedInTheCopiesChosenOrWhyNotIsTold) {
    Window window({{"tid.it", planBytes("2 h / dygn", 7200)},
                   {"0111.tid", oneDay(14, 9000, 1800, 340.0f)},
                   {"0203.tid", {}}});
    const auto print = [&window](const char* year, const char* month, std::optional<int> copies) {
        window.main.chooseDate(0, year);
        window.main.chooseDate(1, month);
        window.outside.printDialog.answer(copies);
        window.main.print();
        return window.box();
    };
    // A month without a file, or with an empty one, has nothing to print: no dialog.
    EXPECT_EQ(print("01", "12", 1), "Inga poster har sparats i December 2001\nDet finns inget att "
                                    "skriva ut | Utskrift är inte möjlig!");
    EXPECT_EQ(print("02", "03", 1), "Inga poster har sparats i Mars 2002\nDet finns inget att "
                                    "skriva ut | Utskrift är inte möjlig!");
    EXPECT_EQ(window.outside.printDialog.asked(), 0);
    // Cancel in the dialog prints nothing; two copies are two documents of November on the 2-hour
    // plan: 340 öre and the 245 kr fee make 248,40 kr.
    print("01", "11", std::nullopt);
    EXPECT_TRUE(window.outside.printer.printed().empty());
    print("01", "11", 2);
    const platform::PrintDocument& printed = window.outside.printer.printed();
    const platform::PrintItem total{platform::PrintItem::Kind::Line,
                                    std::string(18, ' ') + "Total månadskostnad: 248,40 kr", 12,
                                    true};
    EXPECT_EQ(std::count(printed.begin(), printed.end(), total), 2);
    EXPECT_EQ(window.outside.messages.shown().size(), 2U); // only the two without records
    window.outside.printer.fail();
    EXPECT_EQ(print("01", "11", 1), "Utskriften av November 2001 misslyckades. Skrivaren eller "
                                    "filen som valdes i utskriftsdialogen gick inte att skriva "
                                    "till.\nKontrollera den och försök igen. | Utskriften "
                                    "misslyckades");
}

TEST(MainPresenter, FirstStartAnInvalidDateAndDeletingEverything) {
    // No files: the plan window is asked for. Its Avbryt removes the settings file; once a plan
    // is stored, the plan's records follow the mark, and the figures are those of no plan until a
    // date is read again.
    Window window({});
    EXPECT_TRUE(window.main.view().planWindow);
    presenter::PlanPresenter cancelled(window.files, window.outside.messages, window.settings);
    cancelled.load();
    EXPECT_EQ(cancelled.cancel().outcome, presenter::PlanOutcome::Cancelled);
    EXPECT_EQ(cancelled.ok().outcome, presenter::PlanOutcome::Cancelled);
    EXPECT_EQ(window.memory.files(), Files{});
    window.memory.files()["tid.it"] = {0xFF, 0xFF};
    presenter::PlanPresenter plan(window.files, window.outside.messages, window.settings);
    EXPECT_EQ(plan.load().lblValkommen,
              "Välkommen till Surfklocka 3.11\n\nDu börjar med att ställa in programmet efter "
              "den typ av NetLink abbonemang du har.");
    plan.choose(2);
    plan.ok();
    EXPECT_EQ(plan.cancel().outcome, presenter::PlanOutcome::Stored); // decided already
    EXPECT_EQ(window.memory.files(), (Files{{"tid.it", planBytes("8 h / dygn", 28800)}}));
    EXPECT_EQ(window.main.planStored().lblSumma.text, "Total månadskostnad: 00,00 kr");
    EXPECT_EQ(window.main.chooseDate(2, "06").lblSumma.text, "Total månadskostnad: 595,00 kr");
    EXPECT_FALSE(window.main.view().planWindow);

    // Dates the lists would never give: told where the texts say so, a list emptied where the
    // message says it is wrong, "Felaktigt datum" shown, and refused by save; close then ends
    // without a question.
    const std::vector<std::tuple<int, const char*, std::string, std::string>> dates{
        {2, "", "", "01 12 "},
        {2, "00", "Dag med datum noll finns inte. | felaktig inmatning", "01 12 "},
        {1, "13", "Det finns bara 12 månader på ett år! | Felaktig inmatning", "01  06"},
        {1, "0", "Månad nummer \"0\" finns inte. | Felaktig inmatning", "01  06"},
        {0, "", "Du måste ange ett årtal.\nFrån 00 till 99 | Felaktig inmatning", " 12 06"},
    };
    window.main.typeTime(1, "5");
    for (const auto& [list, text, box, lists] : dates) {
        SCOPED_TRACE(text);
        for (const auto& [entry, chosen] : {std::pair(2, "06"), {1, "12"}, {0, "01"}}) {
            window.main.chooseDate(entry, chosen);
        }
        window.outside.messages.clear();
        const MainView& view = window.main.chooseDate(list, text);
        EXPECT_EQ(window.box(), box);
        EXPECT_EQ(view.cmbSok_0 + " " + view.cmbSok_1 + " " + view.cmbSok_2, lists);
        EXPECT_EQ(view.lblVisa_3, "Felaktigt datum");
        EXPECT_EQ(window.main.save().cmbTid[1], "5");
        EXPECT_EQ(window.box(), "Felaktigt datum. Ändra innnan du sparar. | Felaktigt datum!");
    }
    // Without a real date there is no day or month to delete or print.
    window.main.deleteMonth();
    EXPECT_EQ(window.box(), "Välj ett riktigt datum först. | Felaktigt datum");
    window.outside.messages.clear();
    EXPECT_TRUE(window.main.close().ended);
    EXPECT_TRUE(window.outside.messages.shown().empty());

    // Deleting everything asks first, No the default; what cannot be deleted is told.
    Window full({{"tid.it", planBytes()}, {"0112.tid", Bytes(16, 0)}});
    full.outside.messages.script({Answer::No, Answer::Yes});
    EXPECT_FALSE(full.main.deleteEverything().ended);
    const auto& asked = full.outside.messages.last();
    EXPECT_EQ(full.box(), "Alla sparade värden försvinner\noch kan inte återskapas.\nVill du "
                          "fortsätta?\nProgrammet kommer att stängas. | Allt raderas!");
    EXPECT_TRUE(asked.icon == Icon::Stop && asked.buttons == platform::MessageBox::Buttons::YesNo &&
                asked.secondIsDefault);
    full.files.failAt(1, FaultyFileSystem::Mode::Once, true);
    EXPECT_TRUE(full.main.deleteEverything().ended);
    EXPECT_EQ(full.box(), "Alla filer kunde inte tas bort: 0112.tid finns kvar i programmets "
                          "datamapp.\nProgrammet stängs nu. | Kan inte ta bort allt");
    EXPECT_EQ(full.memory.files(), (Files{{"0112.tid", Bytes(16, 0)}}));
}

// Byt abonnemang from next month: December keeps 1 h and its 145 kr, January books and prices
// with 8 h and 595 kr; Ångra takes the change back until the next booking.
TEST(MainPresenter, AChangeOfPlanHoldsFromItsMonthAndAngraTakesItBack) {
    Window window({{"tid.it", planBytes()}, {"0112.tid", oneDay(5, 4200, 600, 140.0f)}});
    const MainView& changed = window.main.changePlan(28800, {2002, 1, 1});
    const std::string history = "2001-01 3600\n2002-01 28800\n";
    EXPECT_EQ(window.memory.files().at("abonnemang.it"), Bytes(history.begin(), history.end()));
    EXPECT_EQ(window.memory.files().at("tid.it"), planBytes()); // 1 h holds now
    EXPECT_EQ(offeredButtons(changed), kAngra);
    EXPECT_EQ(changed.angraHint, "Ångrar bytet till 8 h / dygn från januari 2002.");
    // 5 December on 1 h: 4200 s, 600 s extra, 140 öre; 145 + 1,40 kr.
    EXPECT_EQ(changed.lblSumma.text, "Total månadskostnad: 146,40 kr");
    // 3 January: 2 h are within 8 h; January's fee is 595 kr.
    window.main.chooseDate(0, "02");
    window.main.chooseDate(1, "01");
    window.main.chooseDate(2, "03");
    window.book("2", "", "");
    EXPECT_EQ(window.memory.files().at("0201.tid"), oneDay(3, 7200));
    EXPECT_EQ(figures(window.main.view()),
              "Ansluten tid: 2 h |Tid kvar: 6 h |Kostnad: 0,00 kr|Ansluten tid: 2 h |Extra "
              "månadstid: |Extra månadskostnad: 0,00 kr|Total månadskostnad: 595,00 kr");
    // The booking ended the change's undo: Ångra now takes back the booking.
    EXPECT_EQ(window.main.view().angraHint, "Ångra senaste inmatningen i programmet.");
    window.main.undo();
    EXPECT_EQ(window.memory.files().at("0201.tid"), Bytes{});

    // A change from this month is in force at once, and Ångra puts back the plans as they were.
    window.main.changePlan(7200, {2001, 12, 1});
    EXPECT_EQ(window.memory.files().at("tid.it"), planBytes("2 h / dygn", 7200));
    EXPECT_EQ(window.main.view().title, "Surfklocka 3.11   2 h / dygn");
    window.main.undo();
    EXPECT_EQ(window.memory.files().at("tid.it"), planBytes());
    EXPECT_EQ(window.main.view().title, "Surfklocka 3.11   1 h / dygn");
    EXPECT_EQ(offeredButtons(window.main.view()), kBoth);
}
