#include "app/modules.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace app {

namespace {

// The folder the program itself was started from.
std::string programFolder() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        return {};
    }
    path.resize(static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

// Beside the program (the build folder), then where the package puts the modules relative to
// the program's own folder ("../lib/x86_64-linux-gnu/surfklocka" from "/usr/bin"), so that any
// prefix works.
void* openModule(const char* file, std::string& error) {
    const std::string beside = programFolder();
    const std::string installed = SURFKLOCKA_MODULE_DIR[0] == '/'
                                      ? std::string(SURFKLOCKA_MODULE_DIR)
                                      : beside + "/" + SURFKLOCKA_MODULE_DIR;
    for (const std::string& folder : {beside, installed}) {
        if (folder.empty()) {
            continue;
        }
        const std::string path = folder + "/" + file;
        if (::access(path.c_str(), F_OK) != 0) {
            continue;
        }
        if (void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            return module;
        }
        const char* why = ::dlerror();
        error = why != nullptr ? why : path;
        return nullptr;
    }
    error = std::string(file) + " finns varken bredvid programmet eller i " + installed + ".";
    return nullptr;
}

void* moduleFunction(void* module, const char* name) {
    return module != nullptr ? ::dlsym(module, name) : nullptr;
}

namespace {

// Whether Qt has a display to show the windows on: an X or Wayland display, or a platform the user
// chose (offscreen, xcb, ...), which is left to Qt. Without any, Qt would end the program with an
// abort and an English text.
bool hasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            return true;
        }
    }
    return false;
}

void writeError(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

template <typename Function>
Function* symbol(void* module, const char* name) {
    return reinterpret_cast<Function*>(moduleFunction(module, name));
}

} // namespace

int runWindows(int argc, char* argv[]) {
    if (!hasDisplay()) {
        writeError("surfklocka: Fönstret kan inte visas, eftersom ingen skärm hittades: varken "
                   "DISPLAY eller WAYLAND_DISPLAY är satt.\n"
                   "Kommandona fungerar utan skärm: se surfklocka --help.\n");
        return 1;
    }
    std::string error;
    void* module = openModule(kWindowsModule, error);
    using Main = int(int, char**);
    Main* windowsMain =
        module != nullptr ? symbol<Main>(module, "surfklocka_windows_main") : nullptr;
    if (windowsMain == nullptr) {
        const std::string text = "surfklocka: Fönstren kan inte visas, eftersom de inte gick att "
                                 "läsa in: " +
                                 (error.empty() ? std::string(kWindowsModule) : error) + "\n";
        writeError(text);
        return 1;
    }
    return windowsMain(argc, argv);
}

ModuleNotifier::~ModuleNotifier() {
    using End = void();
    if (End* end =
            m_module != nullptr ? symbol<End>(m_module, "surfklocka_notifier_end") : nullptr) {
        end();
    }
}

void ModuleNotifier::notify(const std::string& title, const std::string& body) {
    if (!m_tried) {
        m_tried = true;
        std::string error;
        m_module = openModule(kNotifierModule, error);
    }
    using Notify = void(const char*, const char*);
    if (Notify* send =
            m_module != nullptr ? symbol<Notify>(m_module, "surfklocka_notify") : nullptr) {
        send(title.c_str(), body.c_str());
    }
}

ModulePrinting::~ModulePrinting() {
    using End = void();
    if (End* end = symbol<End>(m_module, "surfklocka_printing_end")) {
        end();
    }
}

bool ModulePrinting::load() {
    if (!m_tried) {
        m_tried = true;
        std::string error;
        m_module = openModule(kPrintingModule, error);
        using MakeDialog = platform::PrintDialog*();
        using MakePrinter = platform::Printer*();
        MakeDialog* dialog = symbol<MakeDialog>(m_module, "surfklocka_print_dialog");
        MakePrinter* printer = symbol<MakePrinter>(m_module, "surfklocka_printer");
        if (dialog != nullptr && printer != nullptr) {
            m_dialog = dialog();
            m_printer = printer();
        }
    }
    return m_dialog != nullptr && m_printer != nullptr;
}

std::optional<int> ModulePrinting::ask() {
    return load() ? m_dialog->ask() : std::optional<int>(1);
}

bool ModulePrinting::print(const platform::PrintDocument& items) {
    return load() && m_printer->print(items);
}

} // namespace app
