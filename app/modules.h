#pragma once

#include "platform/notifier.h"

#include <string>

namespace app {

// The parts of the program that are loaded only when they are needed, so that a command starts
// like a small tool: the windows (Qt Widgets, and all they bring) and the desktop notifier (Qt
// D-Bus). A module is looked for beside the program first, as in the build folder, then in the
// folder the package installs it to. It loads nothing until it is asked to, and it does not
// unload what it loaded.

// The module files, and where the package installs them.
inline constexpr const char* kWindowsModule = "libsurfklocka_windows.so";
inline constexpr const char* kNotifierModule = "libsurfklocka_notifier_module.so";

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

} // namespace app
