#pragma once

// The program under test, driven the same way at two levels: through the main window's
// presenter, and through the real main window's widgets. Both run on an in-memory file layer and
// answer questions from a script.

#include "reference_model.h"
#include "support/fakes/fake_message_box.h"
#include "support/fakes/memory_file_system.h"

#include <array>
#include <memory>
#include <string>
#include <utility>

namespace model_test {

// What the main window shows, read from the presenter's view or from the widgets.
struct Shown {
    std::string title;
    std::string ramMonadstid;
    std::string lblVisa_3;
    std::array<std::string, 3> cmbSok;
    int daysInList = 0;
    std::array<std::string, 3> cmbTid;
    // lblDagstid, lblTidkvar, lblDagskost, lblTid, lblDyrtid, lblKostnad, lblSumma: the text,
    // and whether it is red.
    std::array<std::pair<std::string, bool>, 7> labels;
    // cmdAngra, cmdRedo, cmdKastapost, cmdAngrapost, cmdKastamon, cmdAngramon: shown, enabled.
    std::array<std::pair<bool, bool>, 6> buttons;

    bool operator==(const Shown&) const = default;
};

inline constexpr std::array<const char*, 7> kLabelNames = {
    "lblDagstid", "lblTidkvar", "lblDagskost", "lblTid", "lblDyrtid", "lblKostnad", "lblSumma"};
inline constexpr std::array<const char*, 6> kButtonNames = {
    "cmdAngra", "cmdRedo", "cmdKastapost", "cmdAngrapost", "cmdKastamon", "cmdAngramon"};

class Driver {
public:
    virtual ~Driver() = default;

    // A new run of the program on the data folder as it stands (the last run is gone), with
    // the clock on `today`.
    virtual void start(const reference::Date& today) = 0;
    // The plan window of a first start.
    virtual void planOk(int plan) = 0;
    virtual void planCancel() = 0;

    virtual void chooseDate(int list, const std::string& text) = 0;
    virtual void typeTime(int field, const std::string& text) = 0;
    // The main window's buttons: save, close, undo, redo, the deletions and restores.
    virtual void click(const char* button) = 0;
    // Opens the range window and closes it again.
    virtual void rangeWindow() = 0;

    virtual Shown shown() const = 0;
    virtual bool ended() const = 0;
    virtual bool planWindowShown() const = 0;
    // The main window is shown, ready for the user.
    virtual bool mainWindowShown() const = 0;

    platform::fakes::MemoryFileSystem& files() { return m_files; }
    platform::fakes::FakeMessageBox& messages() { return *m_messages; }

protected:
    platform::fakes::MemoryFileSystem m_files;
    platform::fakes::FakeMessageBox* m_messages = nullptr;
};

// The main window's presenter, with the plan window's and the range window's presenters.
std::unique_ptr<Driver> makePresenterDriver();
// The real main window (app::frmSurfur) with its plan and range windows; needs a QApplication.
std::unique_ptr<Driver> makeWindowDriver();

} // namespace model_test
