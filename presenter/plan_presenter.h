#pragma once

#include "core/program_settings.h"
#include "platform/file_system.h"
#include "platform/message_box.h"

#include <string>

namespace presenter {

// How the plan window has been left.
enum class PlanOutcome {
    Open,      // not yet
    Stored,    // OK: the plan is stored; the main window is to be shown
    Cancelled, // Avbryt: the settings file is gone; the program is to end
};

// Everything the plan window shows, named after its controls.
struct PlanView {
    std::string lblValkommen;
    int optNetlink = 0; // the option chosen: 0 one hour, 1 two hours, 2 eight hours a day
    PlanOutcome outcome = PlanOutcome::Open;

    bool operator==(const PlanView&) const = default;
};

// The plan window's decisions on the very first start: which NetLink plan the user has. OK
// stores the chosen plan in the program-wide settings and in the settings file (a failed write
// says so; the plan then holds while the program runs); Avbryt deletes the settings file, so
// that the next start asks again. Once the window is left either way, nothing more changes.
//
// It knows no widget; the window renders the view and forwards the user's choices. It does not
// show or end anything itself: the outcome tells what follows.
class PlanPresenter {
public:
    PlanPresenter(platform::FileSystem& files, platform::MessageBox& messages,
                  core::ProgramSettings& settings);

    // The welcome text, and the one-hour plan chosen.
    const PlanView& load();
    // An option was chosen (0, 1 or 2); any other number changes nothing.
    const PlanView& choose(int option);
    const PlanView& ok();     // cmdOk
    const PlanView& cancel(); // cmdAvbryt, Escape, and every other close of the window

    const PlanView& view() const { return m_view; }

private:
    platform::FileSystem& m_files;
    platform::MessageBox& m_messages;
    core::ProgramSettings& m_settings;
    PlanView m_view;
};

} // namespace presenter
