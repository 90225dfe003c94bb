#include "app/data_folder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

std::optional<std::string> dataFolderPath(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
        return std::string(xdgDataHome) + "/surfklocka";
    }
    std::string homeFolder;
    if (home != nullptr && home[0] == '/') {
        homeFolder = home;
    } else if (const passwd* entry = getpwuid(getuid());
               entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
        homeFolder = entry->pw_dir;
    } else {
        return std::nullopt;
    }
    return homeFolder + "/.local/share/surfklocka";
}

bool enterDataFolder(const std::string& path, std::string& error) {
    // Make each missing folder on the way.
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "Mappen " + part + " kunde inte skapas: " + std::strerror(errno) + ".";
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = path + " är ingen mapp.";
        return false;
    }
    if (access(path.c_str(), R_OK | W_OK | X_OK) != 0) {
        error = "Surfklocka får inte skriva i mappen " + path + ".";
        return false;
    }
    if (chdir(path.c_str()) != 0) {
        error = "Surfklocka kan inte arbeta i mappen " + path + ": " + std::strerror(errno) + ".";
        return false;
    }
    return true;
}

InstanceLock::InstanceLock(const std::string& folder) {
    const std::string name = folder + "/surfklocka.lock";
    m_fd = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd >= 0) {
        m_acquired = flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    }
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

} // namespace app
