#include "app/data_folder.h"

#include "platform/system_errors.h"

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

// What stands under a name instead of a regular file, as the end of a sentence ("... är en
// mapp."); empty when it is a regular file or cannot be examined.
std::string kindOfOther(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) {
        return {};
    }
    if (S_ISLNK(info.st_mode)) {
        return "en symbolisk länk, som Surfklocka inte följer";
    }
    if (S_ISDIR(info.st_mode)) {
        return "en mapp";
    }
    return "ingen vanlig fil";
}

} // namespace

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
            error =
                "Mappen " + part + " kunde inte skapas: " + platform::systemErrorText(errno) + ".";
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        error = "Mappen " + path + " kan inte nås: " + platform::systemErrorText(errno) + ".";
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = path + " är ingen mapp.";
        return false;
    }
    if (access(path.c_str(), R_OK | W_OK | X_OK) != 0) {
        error = "Surfklocka får inte skriva i mappen " + path + ": " +
                platform::systemErrorText(errno) + ".";
        return false;
    }
    if (chdir(path.c_str()) != 0) {
        error = "Surfklocka kan inte arbeta i mappen " + path + ": " +
                platform::systemErrorText(errno) + ".";
        return false;
    }
    return true;
}

InstanceLock::InstanceLock(const std::string& folder) {
    const std::string name = folder + "/" + kLockFileName;
    // O_NOFOLLOW: a link of that name, dangling or not, is refused rather than followed, so the
    // lock never creates or opens a file outside the folder. O_NONBLOCK keeps a FIFO from
    // blocking the open.
    m_fd =
        open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (m_fd < 0) {
        const int openError = errno;
        const std::string other = kindOfOther(name);
        m_failure = other.empty()
                        ? "Låsfilen " + name +
                              " kunde inte öppnas: " + platform::systemErrorText(openError) + "."
                        : "Låsfilen " + name + " är " + other + ".";
        return;
    }
    struct stat info {};
    if (fstat(m_fd, &info) != 0) {
        m_failure = "Låsfilen " + name +
                    " kunde inte undersökas: " + platform::systemErrorText(errno) + ".";
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        m_failure = "Låsfilen " + name + " är ingen vanlig fil.";
        return;
    }
    if (info.st_uid != geteuid()) {
        m_failure = "Låsfilen " + name + " tillhör en annan användare.";
        return;
    }
    while (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno == EWOULDBLOCK) {
            m_result = Result::HeldByOther;
            return;
        }
        m_failure =
            "Låsfilen " + name + " kunde inte låsas: " + platform::systemErrorText(errno) + ".";
        return;
    }
    m_result = Result::Acquired;
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

} // namespace app
