#include "app/data_folder.h"

#include "platform/system_errors.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
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

std::optional<std::string> dataFolderPath() {
    const QString xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    const QString home = qEnvironmentVariable("HOME");
    // Qt 6.4 takes a relative XDG_DATA_HOME as it stands, against the XDG rule that such a value
    // is ignored, and "/" for a missing HOME; for those the folder is worked out here.
    if (QDir::isAbsolutePath(xdgDataHome) ||
        (xdgDataHome.isEmpty() && QDir::isAbsolutePath(home))) {
        const QString location =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        return QFile::encodeName(location + QStringLiteral("/surfklocka")).toStdString();
    }
    std::string homeFolder;
    if (QDir::isAbsolutePath(home)) {
        homeFolder = QFile::encodeName(home).toStdString();
    } else if (const passwd* entry = getpwuid(getuid());
               entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
        homeFolder = entry->pw_dir;
    } else {
        return std::nullopt;
    }
    return homeFolder + "/.local/share/surfklocka";
}

bool enterDataFolder(const std::string& path, std::string& error) {
    std::error_code failure;
    const bool created = std::filesystem::create_directories(path, failure);
    if (created) {
        // Made just now, with the mode the umask allows: only its owner may look inside.
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, failure);
    }
    // Something of that name that is no folder is told below.
    if (failure && (created || access(path.c_str(), F_OK) != 0)) {
        error = "Mappen " + path +
                " kunde inte skapas: " + platform::systemErrorText(failure.value()) + ".";
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
