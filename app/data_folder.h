#pragma once

#include <optional>
#include <string>

namespace app {

// Where the program keeps its files, and the lock that lets only one copy run at a time. POSIX
// only; no window is involved, and no message is shown: failures come back as Swedish texts for
// the caller to show.

// The data folder, from the environment, by the XDG base directory rule (the path Qt's generic
// data location gives, + "/surfklocka"): $XDG_DATA_HOME/surfklocka, or
// $HOME/.local/share/surfklocka where the variable is unset or empty, the home folder written
// plainly ("/home/anna/" as "/home/anna"). An XDG_DATA_HOME that is not an absolute path is
// ignored, and a HOME that is not one gives way to the home folder of the user database. nullopt
// when no home folder can be found. Plain C++: it needs no Qt and creates nothing.
std::optional<std::string> dataFolderPath();

// Creates the folder (and any missing parent) when it is missing, giving each folder it makes mode
// 0700 whatever the umask; the mode of a folder that is already there stays as it is. Then checks
// that the folder is the user's own (see foreignFolderReason) and can be written, and makes it the
// working directory. On failure, error holds a Swedish explanation that names the folder and the
// cause, and nothing in the folder has changed.
bool enterDataFolder(const std::string& path, std::string& error);

// Why a data folder that is there cannot be trusted with the user's files, in Swedish, naming it:
// it belongs to another user than the effective one, or its group or others may change what is in
// it, and so plant files that would then be booked. nullopt when it is the user's own, and when it
// is missing, no folder or cannot be examined, which the caller's own use of it tells. A link to a
// folder is judged by the folder.
std::optional<std::string> foreignFolderReason(const std::string& path);

// The name of the lock file in the data folder.
inline constexpr const char* kLockFileName = "surfklocka.lock";

// An exclusive lock on "surfklocka.lock" in the data folder, held for the life of the object and
// released by the system when the process ends in any way. The lock file is opened without
// following a symbolic link and must be a regular file of the user's own; it is created when
// missing and never deleted.
class InstanceLock {
public:
    enum class Result {
        Acquired,    // this copy holds the lock
        HeldByOther, // another copy of the program holds it
        Failed,      // the lock could not be taken for another reason: see failure()
    };

    explicit InstanceLock(const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Result result() const { return m_result; }
    // Tries once more to take a lock held by another copy, without waiting: true once this copy
    // holds it.
    bool retry();
    bool acquired() const { return m_result == Result::Acquired; }
    // Why the lock failed, in Swedish, naming the lock file; empty unless the result is Failed.
    const std::string& failure() const { return m_failure; }

private:
    int m_fd = -1;
    Result m_result = Result::Failed;
    std::string m_failure;
};

} // namespace app
