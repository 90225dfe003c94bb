#pragma once

#include <optional>
#include <string>

namespace app {

// Where the program keeps its files, and the lock that lets only one copy run at a time. POSIX
// only; no window is involved.

// The data folder: $XDG_DATA_HOME/surfklocka, or $HOME/.local/share/surfklocka where the variable
// is unset or empty. An XDG_DATA_HOME that is not an absolute path is ignored. nullopt when no
// home folder can be found.
std::optional<std::string> dataFolderPath(const char* xdgDataHome, const char* home);

// Creates the folder (and any missing parent) with mode 0700, checks that it can be written, and
// makes it the working directory. On failure, error holds a Swedish explanation.
bool enterDataFolder(const std::string& path, std::string& error);

// An exclusive lock on "surfklocka.lock" in the data folder, held for the life of the object and
// released by the system when the process ends in any way.
class InstanceLock {
public:
    explicit InstanceLock(const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another copy of the program holds the lock (or the lock file cannot be made).
    bool acquired() const { return m_acquired; }

private:
    int m_fd = -1;
    bool m_acquired = false;
};

} // namespace app
