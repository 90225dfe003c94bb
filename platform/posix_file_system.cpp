#include "platform/posix_file_system.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <new>
#include <string>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::string_view kTemporaryPrefix = ".surfklocka-";
constexpr std::string_view kTemporarySuffix = ".part";
constexpr int kTemporaryNameAttempts = 16;
constexpr std::size_t kReadChunk = 64 * 1024;

#ifndef RENAME_NOREPLACE
constexpr unsigned kRenameNoReplace = 1U << 0;
#else
constexpr unsigned kRenameNoReplace = RENAME_NOREPLACE;
#endif
#ifndef RENAME_EXCHANGE
constexpr unsigned kRenameExchange = 1U << 1;
#else
constexpr unsigned kRenameExchange = RENAME_EXCHANGE;
#endif

// Closes a descriptor opened for reading when it goes out of scope.
class FdGuard {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;

    int get() const { return m_fd; }

private:
    int m_fd;
};

// The folder's note (takeFolderNote): an extended attribute of the folder, "held" while a holder
// has it, else the stamp of the folder's last change when it was left, then the text.
constexpr const char* kNoteAttribute = "user.surfklocka.note";
constexpr std::string_view kNoteHeld = "held";
constexpr std::size_t kNoteMaxBytes = 4096;

// The folder's time of last change as a note begins with it: "seconds.nanoseconds\n".
std::string changeStamp(const struct stat& folder) {
    return std::to_string(folder.st_mtim.tv_sec) + "." + std::to_string(folder.st_mtim.tv_nsec) +
           "\n";
}

bool isTemporaryName(std::string_view name) {
    return name.size() > kTemporaryPrefix.size() + kTemporarySuffix.size() &&
           name.starts_with(kTemporaryPrefix) && name.ends_with(kTemporarySuffix);
}

std::string temporaryName() {
    std::array<unsigned char, 8> random{};
    if (::getrandom(random.data(), random.size(), 0) != static_cast<ssize_t>(random.size())) {
        // No random bytes to be had: the process id and a counter still differ between attempts,
        // and O_EXCL catches any clash.
        static std::atomic<std::uint32_t> counter{0};
        const std::uint64_t fallback = (static_cast<std::uint64_t>(::getpid()) << 32) |
                                       counter.fetch_add(1, std::memory_order_relaxed);
        for (std::size_t i = 0; i < random.size(); ++i) {
            random[i] = static_cast<unsigned char>(fallback >> (8 * i));
        }
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name(kTemporaryPrefix);
    for (const unsigned char byte : random) {
        name.push_back(kHex[byte >> 4]);
        name.push_back(kHex[byte & 0x0f]);
    }
    name.append(kTemporarySuffix);
    return name;
}

// Helpers that fail leave errno as the system's cause, or 0 when the cause is the layer's own
// (a link or a folder where a regular file should be), so that the caller can take it as its
// error without another look.

// Reads from the current position until end of file or maxBytes bytes; nullopt on an error.
std::optional<std::vector<std::uint8_t>> readAll(int fd, std::size_t maxBytes) {
    std::vector<std::uint8_t> content;
    try {
        while (content.size() < maxBytes) {
            const std::size_t want = std::min(kReadChunk, maxBytes - content.size());
            const std::size_t used = content.size();
            content.resize(used + want);
            const ssize_t got = ::read(fd, content.data() + used, want);
            if (got < 0) {
                if (errno == EINTR) {
                    content.resize(used);
                    continue;
                }
                return std::nullopt;
            }
            content.resize(used + static_cast<std::size_t>(got));
            if (got == 0) {
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return std::nullopt;
    }
    return content;
}

bool writeAll(SystemCalls& calls, int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = calls.write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (put == 0) {
            errno = EIO; // no progress and no error: nothing more will be written
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// Closes a descriptor opened for reading, on a failure path, without changing errno.
void closeKeepingErrno(int fd) {
    const int kept = errno;
    ::close(fd);
    errno = kept;
}

// Opens a regular file for reading; -1 when it is missing, cannot be opened or is not a regular
// file. ENOENT keeps its meaning, so a caller can tell "missing" from "unreadable"; a symbolic
// link (ELOOP from O_NOFOLLOW on a plain name), a folder or a FIFO gives 0.
int openRegularForReading(int dirFd, const std::string& name) {
    // O_NONBLOCK keeps a FIFO of that name from blocking the open; it changes nothing for a
    // regular file.
    const int fd =
        ::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ELOOP) {
            errno = 0;
        }
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        closeKeepingErrno(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = 0;
        return -1;
    }
    return fd;
}

// Byte offset of a record, or nullopt when the record number or length is out of range or the
// record would end past the largest file offset.
std::optional<std::int64_t> recordOffset(std::size_t recordLength, std::int64_t recordNumber) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    if (recordNumber < 1 || recordLength < 1 || recordLength > static_cast<std::uint64_t>(kMax)) {
        return std::nullopt;
    }
    const auto length = static_cast<std::int64_t>(recordLength);
    const std::int64_t index = recordNumber - 1;
    if (index > (kMax - length) / length) {
        return std::nullopt;
    }
    return index * length;
}

// The names in the folder but "." and "..", or only those that end in `suffix` (and are longer);
// nullopt when it cannot be listed.
std::optional<std::vector<std::string>> listFolder(int dirFd, std::string_view suffix = {}) {
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return std::nullopt;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        closeKeepingErrno(fd);
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            if (errno != 0) {
                const int kept = errno;
                ::closedir(dir);
                errno = kept;
                return std::nullopt;
            }
            break;
        }
        const std::string_view name = entry->d_name;
        if (name != "." && name != ".." &&
            (suffix.empty() || (name.size() > suffix.size() && name.ends_with(suffix)))) {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

// Sorts names by their bytes, exactly as std::sort on the strings would, but compares the first
// eight bytes of two names as one number before it compares their bytes: a folder of many years
// holds over a thousand month files, and comparing strings took more than the rest of a booking.
void sortByBytes(std::vector<std::string>& names) {
    struct Keyed {
        std::uint64_t head; // the first eight bytes, big-endian, zeros past the end
        std::size_t index;
    };
    std::vector<Keyed> keyed(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        std::uint64_t head = 0;
        for (std::size_t byte = 0; byte < 8; ++byte) {
            head = (head << 8) | (byte < name.size() ? static_cast<unsigned char>(name[byte]) : 0U);
        }
        keyed[i] = {head, i};
    }
    std::sort(keyed.begin(), keyed.end(), [&names](const Keyed& a, const Keyed& b) {
        return a.head != b.head ? a.head < b.head : names[a.index] < names[b.index];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const Keyed& entry : keyed) {
        sorted.push_back(std::move(names[entry.index]));
    }
    names = std::move(sorted);
}

// True when the name is a regular file itself, not a link to one.
bool isRegularEntry(int dirFd, const std::string& name) {
    struct stat info {};
    if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    errno = 0;
    return S_ISREG(info.st_mode);
}

// A regular file or a symbolic link itself: what deleting by extension removes.
bool isRegularOrLinkEntry(int dirFd, const std::string& name) {
    struct stat info {};
    return ::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode));
}

// Whether a failed renameat2 means that the file system does not offer the flag asked for.
bool flagUnsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

} // namespace

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

PosixFileSystem::PosixFileSystem(const std::string& folder, SystemCalls& calls) : m_calls(calls) {
    if (folder.find('\0') == std::string::npos) {
        m_dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        m_openError = m_dirFd < 0 ? errno : 0;
    }
}

PosixFileSystem::~PosixFileSystem() {
    if (m_dirFd >= 0) {
        ::close(m_dirFd);
    }
}

bool PosixFileSystem::begin() {
    m_lastError = isOpen() ? 0 : m_openError;
    return isOpen();
}

bool PosixFileSystem::failed() {
    m_lastError = errno;
    return false;
}

void PosixFileSystem::removeStaleTemporaries() {
    if (!begin()) {
        return;
    }
    const auto names = listFolder(m_dirFd, kTemporarySuffix);
    if (!names) {
        failed();
        return;
    }
    bool removed = false;
    for (const std::string& name : *names) {
        if (isTemporaryName(name) && isRegularEntry(m_dirFd, name) &&
            m_calls.unlinkat(m_dirFd, name.c_str(), 0) == 0) {
            removed = true;
        }
    }
    if (removed) {
        syncFolder();
    }
}

std::optional<FileSystem::EntryKind> PosixFileSystem::entryKind(std::string_view name) {
    if (!begin() || !isPlainFileName(name)) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstatat(m_dirFd, std::string(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) {
            return EntryKind::Missing;
        }
        failed();
        return std::nullopt;
    }
    return S_ISREG(info.st_mode) ? EntryKind::RegularFile : EntryKind::Other;
}

std::optional<std::int64_t> PosixFileSystem::fileLength(std::string_view name) {
    if (!begin() || !isPlainFileName(name)) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstatat(m_dirFd, std::string(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        failed();
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(info.st_size);
}

std::optional<std::vector<std::uint8_t>> PosixFileSystem::readFile(std::string_view name,
                                                                   std::size_t maxBytes) {
    if (!begin() || !isPlainFileName(name)) {
        return std::nullopt;
    }
    const FdGuard fd(openRegularForReading(m_dirFd, std::string(name)));
    if (fd.get() < 0) {
        failed();
        return std::nullopt;
    }
    auto content = readAll(fd.get(), maxBytes);
    if (!content) {
        failed();
    }
    return content;
}

std::optional<std::vector<std::uint8_t>> PosixFileSystem::readRecord(std::string_view name,
                                                                     std::size_t recordLength,
                                                                     std::int64_t recordNumber) {
    if (!begin() || !isPlainFileName(name)) {
        return std::nullopt;
    }
    const auto offset = recordOffset(recordLength, recordNumber);
    if (!offset) {
        return std::nullopt;
    }
    const FdGuard fd(openRegularForReading(m_dirFd, std::string(name)));
    if (fd.get() < 0) {
        failed();
        return std::nullopt;
    }
    std::vector<std::uint8_t> record;
    try {
        record.assign(recordLength, 0);
    } catch (const std::bad_alloc&) {
        m_lastError = ENOMEM;
        return std::nullopt;
    }
    std::size_t done = 0;
    while (done < recordLength) {
        const ssize_t got = ::pread(fd.get(), record.data() + done, recordLength - done,
                                    static_cast<off_t>(*offset + static_cast<std::int64_t>(done)));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            failed();
            return std::nullopt;
        }
        if (got == 0) {
            break; // end of file: the rest stays zero
        }
        done += static_cast<std::size_t>(got);
    }
    return record;
}

bool PosixFileSystem::writeRecord(std::string_view name, std::size_t recordLength,
                                  std::int64_t recordNumber, std::span<const std::uint8_t> bytes,
                                  std::size_t maxFileBytes) {
    if (!begin() || !isPlainFileName(name) || bytes.size() > recordLength) {
        return false;
    }
    const auto offset = recordOffset(recordLength, recordNumber);
    if (!offset) {
        return false;
    }
    // Only a missing file counts as empty; anything that exists but cannot be read, is no regular
    // file or is longer than allowed is left alone rather than replaced.
    auto old = readBounded(std::string(name), maxFileBytes, true);
    if (!old || old->size() > maxFileBytes) {
        return false;
    }
    std::vector<std::uint8_t> content = std::move(*old);
    const auto start = static_cast<std::size_t>(*offset);
    try {
        if (content.size() < start + bytes.size()) {
            content.resize(start + bytes.size(), 0);
        }
    } catch (const std::exception&) {
        m_lastError = ENOMEM;
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), content.begin() + static_cast<std::ptrdiff_t>(start));
    return replaceAtomically(name, content, FolderFlush::Now, DataFlush::Now);
}

std::optional<bool> PosixFileSystem::exists(std::string_view name) {
    if (!begin() || !isPlainFileName(name)) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstatat(m_dirFd, std::string(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        return true;
    }
    if (errno == ENOENT) {
        return false;
    }
    failed();
    return std::nullopt;
}

bool PosixFileSystem::replaceFile(std::string_view name, std::span<const std::uint8_t> content,
                                  FolderFlush flush, DataFlush data) {
    return replaceAtomically(name, content, flush, data);
}

bool PosixFileSystem::createIfMissing(std::string_view name, FolderFlush flush) {
    if (!begin() || !isPlainFileName(name)) {
        return false;
    }
    const std::string path(name);
    const int fd =
        m_calls.openat(m_dirFd, path.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0600);
    if (fd < 0) {
        if (errno != EEXIST) {
            return failed();
        }
        // Something of that name is there (O_EXCL never follows a link): fine when it is a
        // regular file, the layer's own refusal when it is anything else.
        return isRegularEntry(m_dirFd, path) || failed();
    }
    if (m_calls.close(fd) != 0) {
        // The name is made, but a file that cannot be closed cleanly is not trusted; it is empty,
        // so nothing is lost by taking it away again.
        failed();
        m_calls.unlinkat(m_dirFd, path.c_str(), 0);
        return false;
    }
    noteChange();
    flushAfterChange(flush);
    return true;
}

bool PosixFileSystem::copyFile(std::string_view from, std::string_view to, std::size_t maxBytes) {
    if (!begin() || !isPlainFileName(from) || !isPlainFileName(to) || from == to) {
        return false;
    }
    const auto content = readBounded(std::string(from), maxBytes, false);
    if (!content || content->size() > maxBytes) {
        return false;
    }
    return replaceAtomically(to, *content, FolderFlush::Now, DataFlush::Now);
}

FileSystem::LinkResult PosixFileSystem::linkFile(std::string_view from, std::string_view to) {
    if (!begin() || !isPlainFileName(from) || !isPlainFileName(to) || from == to) {
        return LinkResult::Failed;
    }
    const std::string source(from);
    const std::string target(to);
    // Checked first: linkat would link a symbolic link itself, and a folder would give EPERM,
    // which must not read as "this file system has no hard links".
    if (!isRegularEntry(m_dirFd, source)) {
        failed();
        return LinkResult::Failed;
    }
    // No AT_SYMLINK_FOLLOW; an existing target of any kind, a dangling link included, is EEXIST.
    if (m_calls.linkat(m_dirFd, source.c_str(), m_dirFd, target.c_str(), 0) != 0) {
        failed();
        switch (m_lastError) {
        case EPERM:  // the file system does not allow hard links (FAT, some network shares)
        case EXDEV:  // not one mount, which some network and union file systems answer
        case EMLINK: // the file has as many links as it may
        case ENOTSUP:
#if EOPNOTSUPP != ENOTSUP
        case EOPNOTSUPP:
#endif
        case ENOSYS:
            return LinkResult::Unsupported;
        default:
            return LinkResult::Failed;
        }
    }
    // The folder is left unflushed: the caller flushes it once its changes are all made.
    noteChange();
    return LinkResult::Linked;
}

bool PosixFileSystem::renameNoReplace(const std::string& from, const std::string& to,
                                      bool regularOnly) {
    if (m_calls.renameat2(m_dirFd, from.c_str(), m_dirFd, to.c_str(), kRenameNoReplace) == 0) {
        return true;
    }
    if ((errno != EINVAL && errno != ENOSYS) || !regularOnly) {
        return failed();
    }
    // No RENAME_NOREPLACE here: a hard link refuses an existing target just the same.
    if (m_calls.linkat(m_dirFd, from.c_str(), m_dirFd, to.c_str(), 0) != 0) {
        return failed();
    }
    if (m_calls.unlinkat(m_dirFd, from.c_str(), 0) != 0) {
        failed();
        m_calls.unlinkat(m_dirFd, to.c_str(), 0);
        return false;
    }
    return true;
}

bool PosixFileSystem::renameFile(std::string_view from, std::string_view to, FolderFlush flush) {
    if (!begin() || !isPlainFileName(from) || !isPlainFileName(to)) {
        return false;
    }
    const std::string source(from);
    if (!isRegularEntry(m_dirFd, source)) {
        return failed();
    }
    if (!renameNoReplace(source, std::string(to), true)) {
        return false;
    }
    noteChange();
    flushAfterChange(flush);
    return true;
}

bool PosixFileSystem::moveAside(std::string_view from, std::string_view to, FolderFlush flush) {
    if (!begin() || !isPlainFileName(from) || !isPlainFileName(to)) {
        return false;
    }
    const std::string source(from);
    // Only a regular file may take the link-and-unlink way: linkat would give a link, a folder or
    // a FIFO a second name of a different meaning, or refuse.
    struct stat info {};
    if (::fstatat(m_dirFd, source.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return failed();
    }
    if (!renameNoReplace(source, std::string(to), S_ISREG(info.st_mode))) {
        return false;
    }
    noteChange();
    flushAfterChange(flush);
    return true;
}

FileSystem::ExchangeResult PosixFileSystem::exchangeFiles(std::string_view first,
                                                          std::string_view second) {
    if (!begin() || !isPlainFileName(first) || !isPlainFileName(second) || first == second) {
        return ExchangeResult::Failed;
    }
    const std::string a(first);
    const std::string b(second);
    if (!isRegularEntry(m_dirFd, a) || !isRegularEntry(m_dirFd, b)) {
        failed();
        return ExchangeResult::Failed;
    }
    if (m_calls.renameat2(m_dirFd, a.c_str(), m_dirFd, b.c_str(), kRenameExchange) != 0) {
        failed();
        return flagUnsupported(m_lastError) ? ExchangeResult::Unsupported : ExchangeResult::Failed;
    }
    flushAfterChange(FolderFlush::Now);
    return ExchangeResult::Exchanged;
}

bool PosixFileSystem::removeFile(std::string_view name, FolderFlush flush) {
    if (!begin() || !isPlainFileName(name)) {
        return false;
    }
    if (m_calls.unlinkat(m_dirFd, std::string(name).c_str(), 0) != 0) {
        return failed();
    }
    flushAfterChange(flush);
    return true;
}

std::optional<int> PosixFileSystem::removeByExtension(std::string_view extension,
                                                      FolderFlush flush) {
    if (!begin() || extension.size() < 2 || extension.front() != '.' ||
        !isPlainFileName(extension)) {
        return std::nullopt;
    }
    const auto names = listFolder(m_dirFd, extension);
    if (!names) {
        failed();
        return std::nullopt;
    }
    int removed = 0;
    bool left = false; // something of that name is still there
    for (const std::string& name : *names) {
        if (name.size() <= extension.size() || !name.ends_with(extension) ||
            isTemporaryName(name)) {
            continue;
        }
        // errno is 0 after a look-up that found something else (a folder, passed over).
        errno = 0;
        if (isRegularOrLinkEntry(m_dirFd, name) &&
            m_calls.unlinkat(m_dirFd, name.c_str(), 0) == 0) {
            ++removed;
        } else {
            left = true;
            failed();
        }
    }
    const int kept = m_lastError;
    if (removed > 0) {
        flushAfterChange(flush);
    }
    if (left) {
        m_lastError = kept;
        return std::nullopt;
    }
    return removed;
}

std::optional<std::vector<std::string>>
PosixFileSystem::namesWithExtension(std::string_view extension) {
    if (!begin() || extension.size() < 2 || extension.front() != '.' ||
        !isPlainFileName(extension)) {
        return std::nullopt;
    }
    auto names = listFolder(m_dirFd, extension);
    if (!names) {
        failed();
        return std::nullopt;
    }
    std::erase_if(*names, [extension](const std::string& name) {
        return name.size() <= extension.size() || !name.ends_with(extension) ||
               isTemporaryName(name);
    });
    sortByBytes(*names);
    return names;
}

std::optional<std::vector<std::string>> PosixFileSystem::listNames() {
    if (!begin()) {
        return std::nullopt;
    }
    auto names = listFolder(m_dirFd);
    if (!names) {
        failed();
        return std::nullopt;
    }
    std::erase_if(*names, isTemporaryName);
    sortByBytes(*names);
    return names;
}

bool PosixFileSystem::replaceAtomically(std::string_view name,
                                        std::span<const std::uint8_t> content, FolderFlush flush,
                                        DataFlush data) {
    if (!begin() || !isPlainFileName(name)) {
        return false;
    }
    const std::string target(name);
    // A link, a folder or anything else of that name is left as it is; a replaced regular file
    // keeps its permission bits.
    std::optional<mode_t> keptMode;
    struct stat old {};
    if (::fstatat(m_dirFd, target.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(old.st_mode)) {
            return false;
        }
        keptMode = old.st_mode & 0777;
    } else if (errno != ENOENT) {
        return failed();
    }
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < kTemporaryNameAttempts && fd < 0; ++attempt) {
        temporary = temporaryName();
        fd = m_calls.openat(m_dirFd, temporary.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0600);
        if (fd < 0 && errno != EEXIST) {
            return failed();
        }
    }
    if (fd < 0) {
        return failed(); // EEXIST, every time
    }
    // Every failure below takes its errno first, then closes the file (unless that failed) and
    // deletes it.
    const auto discard = [&](bool open) {
        failed();
        if (open) {
            m_calls.close(fd);
        }
        m_calls.unlinkat(m_dirFd, temporary.c_str(), 0);
        return false;
    };
    if (!writeAll(m_calls, fd, content) || (keptMode && m_calls.fchmod(fd, *keptMode) != 0) ||
        (data == DataFlush::Now && m_calls.fdatasync(fd) != 0)) {
        return discard(true);
    }
    if (m_calls.close(fd) != 0) {
        return discard(false);
    }
    if (m_calls.renameat(m_dirFd, temporary.c_str(), m_dirFd, target.c_str()) != 0) {
        return discard(false);
    }
    if (!keptMode) {
        noteChange(); // a new name
    }
    flushAfterChange(flush);
    return true;
}

std::optional<std::vector<std::uint8_t>>
PosixFileSystem::readBounded(const std::string& name, std::size_t maxBytes, bool missingIsEmpty) {
    const FdGuard fd(openRegularForReading(m_dirFd, name));
    if (fd.get() < 0) {
        if (missingIsEmpty && errno == ENOENT) {
            return std::vector<std::uint8_t>{};
        }
        failed();
        return std::nullopt;
    }
    // One byte past the bound tells a file that is too long.
    const std::size_t limit =
        maxBytes < std::numeric_limits<std::size_t>::max() ? maxBytes + 1 : maxBytes;
    auto content = readAll(fd.get(), limit);
    if (!content) {
        failed();
    }
    return content;
}

void PosixFileSystem::flushAfterChange(FolderFlush flush) {
    // The change has been made; a folder that cannot be flushed does not undo it.
    if (flush == FolderFlush::Now) {
        syncFolder();
    }
}

void PosixFileSystem::noteChange() {
    if (!m_noteHeld && m_dirFd >= 0) {
        const int kept = errno;
        ::fremovexattr(m_dirFd, kNoteAttribute);
        errno = kept;
    }
}

std::optional<std::string> PosixFileSystem::takeFolderNote() {
    m_noteHeld = false;
    if (m_dirFd < 0) {
        return std::nullopt;
    }
    std::array<char, kNoteMaxBytes> value{};
    const ssize_t length = ::fgetxattr(m_dirFd, kNoteAttribute, value.data(), value.size());
    // Marked as held before anything else is looked at: a note that is dropped from now on (by a
    // change elsewhere) takes the held mark with it, and so this holder's next note. The note read
    // is put aside for the mark only where it is still there; one that went between the reading
    // and the marking is none.
    const bool replaced = length >= 0 && ::fsetxattr(m_dirFd, kNoteAttribute, kNoteHeld.data(),
                                                     kNoteHeld.size(), XATTR_REPLACE) == 0;
    if (!replaced &&
        ::fsetxattr(m_dirFd, kNoteAttribute, kNoteHeld.data(), kNoteHeld.size(), 0) != 0) {
        return std::nullopt; // no notes on this file system
    }
    m_noteHeld = true;
    struct stat folder {};
    if (!replaced || length <= 0 || ::fstat(m_dirFd, &folder) != 0) {
        return std::nullopt;
    }
    const std::string_view text(value.data(), static_cast<std::size_t>(length));
    const std::string stamp = changeStamp(folder);
    if (!text.starts_with(stamp)) {
        return std::nullopt; // held, or left before the folder's last change
    }
    return std::string(text.substr(stamp.size()));
}

bool PosixFileSystem::leaveFolderNote(std::string_view text) {
    if (!m_noteHeld || m_dirFd < 0) {
        return false;
    }
    m_noteHeld = false;
    struct stat folder {};
    if (::fstat(m_dirFd, &folder) != 0) {
        return false;
    }
    const std::string value = changeStamp(folder) + std::string(text);
    if (value.size() > kNoteMaxBytes) {
        ::fremovexattr(m_dirFd, kNoteAttribute);
        return false;
    }
    // Only over the held mark: where another process has dropped it, no note is left.
    return ::fsetxattr(m_dirFd, kNoteAttribute, value.data(), value.size(), XATTR_REPLACE) == 0;
}

void PosixFileSystem::dropFolderNote() {
    m_noteHeld = false;
    if (m_dirFd >= 0) {
        ::fremovexattr(m_dirFd, kNoteAttribute);
    }
}

bool PosixFileSystem::syncFolder() {
    if (!begin()) {
        return false;
    }
    // EINVAL: the file system offers no flush for folders, so there is nothing more to do.
    if (m_calls.fsync(m_dirFd) == 0 || errno == EINVAL) {
        return true;
    }
    return failed();
}

} // namespace platform
