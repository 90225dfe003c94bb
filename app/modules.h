#pragma once

#include "platform/notifier.h"
#include "platform/printing.h"

#include <string>

namespace app {

// The parts of the program that are loaded only when they are needed, so that a command starts
// like a small tool and the windows start like a small window: the windows (Qt Widgets, and all
// they bring), the desktop notifier (Qt D-Bus), and printing with the chart's SVG pictures (Qt
// Print Support and Qt SVG), which the windows load at the first print or SVG picture. A module is
// looked for beside the program first, as in the build folder, then in the folder the package
// installs it to. It loads nothing until it is asked to, and it does not unload what it loaded.

// The module files, and where the package installs them.
inline constexpr const char* kWindowsModule = "libsurfklocka_windows.so";
inline constexpr const char* kNotifierModule = "libsurfklocka_notifier_module.so";
inline constexpr const char* kPrintingModule = "libsurfklocka_printing.so";

// Loads a module file, or says in `error` why it could not be loaded and returns null.
void* openModule(const char* file, std::string& error);

// The address of a module's function, or null.
void* moduleFunction(void* module, const char* name);

// Loads the windows and runs them: the program with no command. When there is no display to show
// them on (neither DISPLAY nor WAYLAND_DISPLAY set, and no QT_QPA_PLATFORM chosen), or the module
// cannot be loaded, says why in Swedish on standard error and returns 1, having loaded no window
// code.
int runWindows(int argc, char* argv[]);

// The desktop notifier of the command line: loads the notifier module on the first notice, which
// makes the Qt application object the bus needs; it goes with the notifier. A notice that cannot
// be shown is dropped, as with every notifier.
class ModuleNotifier final : public platform::Notifier {
public:
    ModuleNotifier() = default;
    ~ModuleNotifier() override;
    ModuleNotifier(const ModuleNotifier&) = delete;
    ModuleNotifier& operator=(const ModuleNotifier&) = delete;

    void notify(const std::string& title, const std::string& body) override;

private:
    void* m_module = nullptr;
    bool m_tried = false;
};

// The print dialog and the printer of the printing module, which is loaded when either is first
// used. Where it cannot be loaded, the dialog lets printing go ahead with one copy, and printing
// fails, so that the window says printing failed (a dialog that did not open would look like a
// click that did nothing). The printer it made is let go before the module's owner ends the
// application, never after.
class ModulePrinting final : public platform::PrintDialog, public platform::Printer {
public:
    ModulePrinting() = default;
    ~ModulePrinting() override;
    ModulePrinting(const ModulePrinting&) = delete;
    ModulePrinting& operator=(const ModulePrinting&) = delete;

    std::optional<int> ask() override;
    bool print(const platform::PrintDocument& items) override;

private:
    bool load();

    void* m_module = nullptr;
    bool m_tried = false;
    platform::PrintDialog* m_dialog = nullptr;
    platform::Printer* m_printer = nullptr;
};

} // namespace app
