#include "app/data_folder.h"

#include "core/iso_date.h"
#include "platform/system_errors.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace app {

namespace {

// An absolute path written plainly, as Qt writes the home folder: no empty or "." parts, each
// ".." taken away with the part before it, and no "/" at the end but in "/" itself.
std::string cleanAbsolutePath(std::string_view path) {
    std::vector<std::string_view> parts;
    for (const std::string_view part : core::splitText(path, '/')) {
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    std::string clean;
    for (const std::string_view part : parts) {
        clean += "/" + std::string(part);
    }
    return clean.empty() ? "/" : clean;
}

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

// Makes the folder, and every missing folder above it, each with mode 0700 whatever the umask:
// only the user may look inside. A folder that is already there keeps its mode, and something of
// that name that is no folder is left for the caller to tell. 0, or the errno of the step that
// failed.
int makeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0) {
        const int failure = errno;
        const std::size_t slash = path.find_last_of('/');
        if (failure == EEXIST) {
            return 0;
        }
        if (failure != ENOENT || slash == 0 || slash == std::string::npos) {
            return failure;
        }
        if (const int above = makeFolder(path.substr(0, slash)); above != 0) {
            return above;
        }
        if (mkdir(path.c_str(), 0700) != 0) {
            return errno == EEXIST ? 0 : errno;
        }
    }
    return chmod(path.c_str(), 0700) == 0 ? 0 : errno;
}

// Why the folder `info` describes is not the user's own, naming it; nullopt when it is. Another
// user, or anyone who may change what is in it, could plant files that would then be booked.
std::optional<std::string> notOwnReason(const std::string& path, const struct stat& info) {
    if (info.st_uid != geteuid()) {
        return "Mappen " + path + " tillhör en annan användare.";
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return "Mappen " + path + " kan ändras av andra användare än du.";
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> dataFolderPath() {
    // The XDG base directory rule: $XDG_DATA_HOME where it is an absolute path, else
    // $HOME/.local/share. A relative XDG_DATA_HOME is ignored, as the rule says, and a HOME that is
    // missing or relative gives way to the home folder of the user database.
    const char* xdgDataHome = std::getenv("XDG_DATA_HOME");
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
        return std::string(xdgDataHome) + "/surfklocka";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* entry = getpwuid(getuid());
        home = entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') {
        return std::nullopt;
    }
    return cleanAbsolutePath(home) + "/.local/share/surfklocka";
}

bool enterDataFolder(const std::string& path, std::string& error) {
    if (const int failure = makeFolder(path); failure != 0) {
        error =
            "Mappen " + path + " kunde inte skapas: " + platform::systemErrorText(failure) + ".";
        return false;
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
    if (const auto reason = notOwnReason(path, info)) {
        error = *reason;
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

std::optional<std::string> foreignFolderReason(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return notOwnReason(path, info);
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

bool InstanceLock::retry() {
    if (m_result != Result::HeldByOther) {
        return m_result == Result::Acquired;
    }
    while (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    m_result = Result::Acquired;
    return true;
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

} // namespace app
