// The main window's decisions without a window: a save that fails at any call of the file layer
// changes no file, keeps every copy, and offers a button that needs a copy only while the copy
// is there.

#include "platform/fakes/fake_services.h"
#include "platform/fakes/faulty_file_system.h"
#include "platform/fakes/memory_file_system.h"
#include "presenter/main_presenter.h"
#include "support/month_bytes.h"

#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using Files = platform::fakes::MemoryFileSystem::Files;
using platform::fakes::FaultyFileSystem;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;
using Answer = platform::MessageBox::Answer;

namespace {

// The 1-hour plan: the mark, "1 h / dygn" at 30 and 3600 (0x0E10) at 60.
Bytes oneHourPlan() {
    Bytes bytes(62, 0);
    bytes[0] = bytes[1] = 0xFF;
    const std::string plan = "1 h / dygn";
    std::copy(plan.begin(), plan.end(), bytes.begin() + 30);
    bytes[60] = 0x10;
    bytes[61] = 0x0E;
    return bytes;
}

// The main window on 5 December 2001 over a faulty layer of files in memory.
struct Window {
    explicit Window(const Files& start) {
        memory.files() = start;
        main.load();
        main.activate();
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

} // namespace

TEST(MainPresenterFaults, AFailedSaveChangesNoFileAndKeepsEveryCopyAndItsButton) {
    const Files start{{"tid.it", oneHourPlan()},
                      {"0112.tid", monthFileBytes({{5, dayRecordBytes(600, 0, 0.0f, 5)},
                                                   {20, dayRecordBytes(60, 0, 0.0f, 20)}})},
                      {"0111.tid", monthFileBytes({{1, dayRecordBytes(600, 0, 0.0f, 1)}})}};
    // Each way a copy comes to be offered: a month deleted, a day deleted, a booking made.
    const std::vector<std::pair<const char*, std::function<void(Window&)>>> before{
        {"a deleted month",
         [](Window& w) {
             w.main.chooseDate(1, "11");
             w.outside.messages.script({Answer::Yes});
             w.main.deleteMonth();
             w.main.chooseDate(1, "12");
         }},
        {"a deleted day",
         [](Window& w) {
             w.main.chooseDate(2, "20");
             w.outside.messages.script({Answer::Yes});
             w.main.deleteDay();
             w.main.chooseDate(2, "05");
         }},
        {"a booking",
         [](Window& w) {
             w.main.typeTime(1, "01");
             w.main.save();
         }},
    };
    for (const auto& [what, setUp] : before) {
        for (const auto mode : {FaultyFileSystem::Mode::Once, FaultyFileSystem::Mode::FromThenOn}) {
            for (int call = 1;; ++call) {
                SCOPED_TRACE(std::string(what) + ", failing at call " + std::to_string(call));
                ASSERT_LT(call, 100);
                Window window(start);
                setUp(window);
                window.main.typeTime(1, "10");
                const Files was = window.memory.files();
                window.files.failAt(call, mode);
                const presenter::MainView view = window.main.save();
                const Files& now = window.memory.files();
                const auto day5 = [](const Files& files) {
                    return storage::decodeMonth(files.at("0112.tid"))[4].connectedSeconds;
                };
                if (now.at("0112.tid") == was.at("0112.tid")) {
                    // Not booked: no month and no copy changed, and the typed time stays. With
                    // one call failing, nothing at all is left behind.
                    for (const auto& [name, bytes] : was) {
                        EXPECT_EQ(now.contains(name) ? now.at(name) : Bytes{9}, bytes) << name;
                    }
                    EXPECT_TRUE(mode != FaultyFileSystem::Mode::Once || now == was);
                    EXPECT_EQ(view.cmbTid[1], "10");
                } else {
                    // Booked: 600 s more on the 5th, whatever else failed.
                    EXPECT_EQ(day5(now), day5(was) + 600);
                }
                // A button that needs a copy is offered only while the copy is there.
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
