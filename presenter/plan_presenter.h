#pragma once

#include "core/date.h"
#include "core/program_settings.h"
#include "platform/file_system.h"
#include "platform/message_box.h"

#include <array>
#include <cstdint>
#include <string>

namespace presenter {

// How the plan window has been left.
enum class PlanOutcome {
    Open,      // not yet
    Stored,    // OK: the plan is stored; the main window is to be shown
    Cancelled, // Avbryt: the settings file is gone; the program is to end
    Chosen,    // a change of plan, OK: choice() tells the plan and from which month
    Closed,    // a change of plan, Avbryt: nothing changes
};

// Everything the plan window shows, named after its controls.
struct PlanView {
    std::string title; // the window's title: empty on the first start
    std::string lblValkommen;
    int optNetlink = 0; // the option chosen: 0 one hour, 1 two hours, 2 eight hours a day
    // A change of plan: from the first of this month (0) or of next month (1), with their texts;
    // the choice is not shown on the first start.
    bool change = false;
    std::array<std::string, 2> optFran;
    int fran = 0;
    PlanOutcome outcome = PlanOutcome::Open;

    bool operator==(const PlanView&) const = default;
};

// The plan window's decisions. On the very first start: which NetLink plan the user has. OK
// stores the chosen plan in the program-wide settings and in the settings file (a failed write
// says so; the plan then holds while the program runs); Avbryt deletes the settings file, so
// that the next start asks again. For a change of plan ("Byt abonnemang…"): which plan, with the
// one in force chosen, and from the first of this month or of next; OK only tells the choice
// (the main window makes the change) and Avbryt changes nothing. Once the window is left either
// way, nothing more changes.
//
// It knows no widget; the window renders the view and forwards the user's choices. It does not
// show or end anything itself: the outcome tells what follows.
class PlanPresenter {
public:
    PlanPresenter(platform::FileSystem& files, platform::MessageBox& messages,
                  core::ProgramSettings& settings);

    // The welcome text, and the one-hour plan chosen.
    const PlanView& load();
    // A change of plan on `today`, the plan in force now (`current`) chosen.
    const PlanView& loadChange(const core::Date& today, std::int32_t current);
    // An option was chosen (0, 1 or 2); any other number changes nothing.
    const PlanView& choose(int option);
    // A change of plan: from this month (0) or next (1); any other number changes nothing.
    const PlanView& chooseFrom(int option);
    // Chosen: the plan's prepaid seconds a day and the first day it holds from.
    struct Choice {
        std::int32_t dailyAllowance = 0;
        core::Date from;
    };
    const Choice& choice() const { return m_choice; }
    const PlanView& ok();     // cmdOk
    const PlanView& cancel(); // cmdAvbryt, Escape, and every other close of the window

    const PlanView& view() const { return m_view; }

private:
    platform::FileSystem& m_files;
    platform::MessageBox& m_messages;
    core::ProgramSettings& m_settings;
    PlanView m_view;
    std::array<core::Date, 2> m_from{}; // a change: the first of this month and of next
    Choice m_choice;
};

} // namespace presenter
