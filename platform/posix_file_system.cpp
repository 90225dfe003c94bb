#include "platform/posix_file_system.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
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

// The raw system call, so the layer does not depend on the C library's wrapper.
int renameAt2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    return static_cast<int>(::syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}

// Closes a descriptor when it goes out of scope, unless released.
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
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

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
                content.resize(used);
                if (errno == EINTR) {
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
        return std::nullopt;
    }
    return content;
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (put == 0) {
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// Opens a regular file for reading. -1 with errno set when it is missing, cannot be opened or is
// not a regular file (ENOENT keeps its meaning, so a caller can tell "missing" from "unreadable";
// a symbolic link, dangling or not, gives ELOOP).
int openRegularForReading(int dirFd, const std::string& name) {
    // O_NONBLOCK keeps a FIFO of that name from blocking the open; it changes nothing for a
    // regular file.
    const int fd =
        ::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
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

// Names in a folder, "." and ".." left out; nullopt when it cannot be listed.
// The names in the folder but "." and "..", or only those that end in `suffix` (and are longer).
std::optional<std::vector<std::string>> listFolder(int dirFd, std::string_view suffix = {}) {
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return std::nullopt;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            if (errno != 0) {
                ::closedir(dir);
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

// True when the name is a regular file itself, not a link to one.
bool isRegularEntry(int dirFd, const std::string& name) {
    struct stat info {};
    return ::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
}

// A regular file or a symbolic link itself: what deleting by extension removes.
bool isRegularOrLinkEntry(int dirFd, const std::string& name) {
    struct stat info {};
    return ::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode));
}

} // namespace

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

PosixFileSystem::PosixFileSystem(const std::string& folder) {
    if (folder.find('\0') == std::string::npos) {
        m_dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
}

PosixFileSystem::~PosixFileSystem() {
    if (m_dirFd >= 0) {
        ::close(m_dirFd);
    }
}

void PosixFileSystem::removeStaleTemporaries() {
    if (!isOpen()) {
        return;
    }
    const auto names = listFolder(m_dirFd, kTemporarySuffix);
    if (!names) {
        return;
    }
    bool removed = false;
    for (const std::string& name : *names) {
        if (isTemporaryName(name) && isRegularEntry(m_dirFd, name) &&
            ::unlinkat(m_dirFd, name.c_str(), 0) == 0) {
            removed = true;
        }
    }
    if (removed) {
        syncFolder();
    }
}

std::optional<FileSystem::EntryKind> PosixFileSystem::entryKind(std::string_view name) {
    if (!isOpen() || !isPlainFileName(name)) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstatat(m_dirFd, std::string(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) {
            return EntryKind::Missing;
        }
        return std::nullopt;
    }
    return S_ISREG(info.st_mode) ? EntryKind::RegularFile : EntryKind::Other;
}

std::optional<std::int64_t> PosixFileSystem::fileLength(std::string_view name) {
    if (!isOpen() || !isPlainFileName(name)) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstatat(m_dirFd, std::string(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(info.st_size);
}

std::optional<std::vector<std::uint8_t>> PosixFileSystem::readFile(std::string_view name,
                                                                   std::size_t maxBytes) {
    if (!isOpen() || !isPlainFileName(name)) {
        return std::nullopt;
    }
    const FdGuard fd(openRegularForReading(m_dirFd, std::string(name)));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    return readAll(fd.get(), maxBytes);
}

std::optional<std::vector<std::uint8_t>> PosixFileSystem::readRecord(std::string_view name,
                                                                     std::size_t recordLength,
                                                                     std::int64_t recordNumber) {
    if (!isOpen() || !isPlainFileName(name)) {
        return std::nullopt;
    }
    const auto offset = recordOffset(recordLength, recordNumber);
    if (!offset) {
        return std::nullopt;
    }
    const FdGuard fd(openRegularForReading(m_dirFd, std::string(name)));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> record;
    try {
        record.assign(recordLength, 0);
    } catch (const std::bad_alloc&) {
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
    if (!isOpen() || !isPlainFileName(name) || bytes.size() > recordLength) {
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
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), content.begin() + static_cast<std::ptrdiff_t>(start));
    return replaceAtomically(name, content, FolderFlush::Now);
}

std::optional<bool> PosixFileSystem::exists(std::string_view name) {
    if (!isOpen() || !isPlainFileName(name)) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstatat(m_dirFd, std::string(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        return true;
    }
    if (errno == ENOENT) {
        return false;
    }
    return std::nullopt;
}

bool PosixFileSystem::replaceFile(std::string_view name, std::span<const std::uint8_t> content,
                                  FolderFlush flush) {
    return replaceAtomically(name, content, flush);
}

bool PosixFileSystem::createIfMissing(std::string_view name, FolderFlush flush) {
    if (!isOpen() || !isPlainFileName(name)) {
        return false;
    }
    const std::string path(name);
    const int fd = ::openat(m_dirFd, path.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0600);
    if (fd < 0) {
        // A link of that name (O_EXCL never follows one) is there, but is no regular file.
        return errno == EEXIST && isRegularEntry(m_dirFd, path);
    }
    if (::close(fd) != 0) {
        return false;
    }
    // The change has been made; a folder that cannot be flushed does not undo it.
    if (flush == FolderFlush::Now) {
        syncFolder();
    }
    return true;
}

bool PosixFileSystem::copyFile(std::string_view from, std::string_view to, std::size_t maxBytes) {
    if (!isOpen() || !isPlainFileName(from) || !isPlainFileName(to) || from == to) {
        return false;
    }
    const auto content = readBounded(std::string(from), maxBytes, false);
    if (!content || content->size() > maxBytes) {
        return false;
    }
    return replaceAtomically(to, *content, FolderFlush::Now);
}

FileSystem::LinkResult PosixFileSystem::linkFile(std::string_view from, std::string_view to) {
    if (!isOpen() || !isPlainFileName(from) || !isPlainFileName(to) || from == to) {
        return LinkResult::Failed;
    }
    const std::string source(from);
    const std::string target(to);
    // Checked first: linkat would link a symbolic link itself, and a folder would give EPERM,
    // which must not read as "this file system has no hard links".
    if (!isRegularEntry(m_dirFd, source)) {
        return LinkResult::Failed;
    }
    // No AT_SYMLINK_FOLLOW; an existing target of any kind, a dangling link included, is EEXIST.
    if (::linkat(m_dirFd, source.c_str(), m_dirFd, target.c_str(), 0) != 0) {
        switch (errno) {
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
    return LinkResult::Linked;
}

bool PosixFileSystem::renameFile(std::string_view from, std::string_view to) {
    if (!isOpen() || !isPlainFileName(from) || !isPlainFileName(to)) {
        return false;
    }
    const std::string source(from);
    const std::string target(to);
    if (!isRegularEntry(m_dirFd, source)) {
        return false;
    }
    if (renameAt2(m_dirFd, source.c_str(), m_dirFd, target.c_str(), kRenameNoReplace) != 0) {
        if (errno != EINVAL && errno != ENOSYS) {
            return false;
        }
        // No RENAME_NOREPLACE here: a hard link refuses an existing target just the same.
        if (::linkat(m_dirFd, source.c_str(), m_dirFd, target.c_str(), 0) != 0) {
            return false;
        }
        if (::unlinkat(m_dirFd, source.c_str(), 0) != 0) {
            ::unlinkat(m_dirFd, target.c_str(), 0);
            return false;
        }
    }
    // The change has been made; a folder that cannot be flushed does not undo it.
    syncFolder();
    return true;
}

FileSystem::ExchangeResult PosixFileSystem::exchangeFiles(std::string_view first,
                                                          std::string_view second) {
    if (!isOpen() || !isPlainFileName(first) || !isPlainFileName(second) || first == second) {
        return ExchangeResult::Failed;
    }
    const std::string a(first);
    const std::string b(second);
    if (!isRegularEntry(m_dirFd, a) || !isRegularEntry(m_dirFd, b)) {
        return ExchangeResult::Failed;
    }
    if (renameAt2(m_dirFd, a.c_str(), m_dirFd, b.c_str(), kRenameExchange) != 0) {
        if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP || errno == EOPNOTSUPP) {
            return ExchangeResult::Unsupported;
        }
        return ExchangeResult::Failed;
    }
    // The exchange has happened; a failed folder flush cannot undo it, so it is reported as done.
    syncFolder();
    return ExchangeResult::Exchanged;
}

bool PosixFileSystem::removeFile(std::string_view name) {
    if (!isOpen() || !isPlainFileName(name)) {
        return false;
    }
    if (::unlinkat(m_dirFd, std::string(name).c_str(), 0) != 0) {
        return false;
    }
    // The change has been made; a folder that cannot be flushed does not undo it.
    syncFolder();
    return true;
}

std::optional<int> PosixFileSystem::removeByExtension(std::string_view extension,
                                                      FolderFlush flush) {
    if (!isOpen() || extension.size() < 2 || extension.front() != '.' ||
        !isPlainFileName(extension)) {
        return std::nullopt;
    }
    const auto names = listFolder(m_dirFd, extension);
    if (!names) {
        return std::nullopt;
    }
    int removed = 0;
    bool left = false; // something of that name is still there
    for (const std::string& name : *names) {
        if (name.size() <= extension.size() || !name.ends_with(extension) ||
            isTemporaryName(name)) {
            continue;
        }
        if (isRegularOrLinkEntry(m_dirFd, name) && ::unlinkat(m_dirFd, name.c_str(), 0) == 0) {
            ++removed;
        } else {
            left = true;
        }
    }
    if (removed > 0 && flush == FolderFlush::Now) {
        syncFolder();
    }
    if (left) {
        return std::nullopt;
    }
    return removed;
}

std::optional<std::vector<std::string>>
PosixFileSystem::namesWithExtension(std::string_view extension) {
    if (!isOpen() || extension.size() < 2 || extension.front() != '.' ||
        !isPlainFileName(extension)) {
        return std::nullopt;
    }
    auto names = listFolder(m_dirFd, extension);
    if (!names) {
        return std::nullopt;
    }
    std::erase_if(*names, [extension](const std::string& name) {
        return name.size() <= extension.size() || !name.ends_with(extension) ||
               isTemporaryName(name);
    });
    std::sort(names->begin(), names->end());
    return names;
}

bool PosixFileSystem::replaceAtomically(std::string_view name,
                                        std::span<const std::uint8_t> content, FolderFlush flush) {
    if (!isOpen() || !isPlainFileName(name)) {
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
        return false;
    }
    std::string temporary;
    int rawFd = -1;
    for (int attempt = 0; attempt < kTemporaryNameAttempts && rawFd < 0; ++attempt) {
        temporary = temporaryName();
        rawFd = ::openat(m_dirFd, temporary.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0600);
        if (rawFd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (rawFd < 0) {
        return false;
    }
    FdGuard fd(rawFd);
    const auto discard = [&] { ::unlinkat(m_dirFd, temporary.c_str(), 0); };

    if (!writeAll(fd.get(), content)) {
        discard();
        return false;
    }
    if (keptMode && ::fchmod(fd.get(), *keptMode) != 0) {
        discard();
        return false;
    }
    if (::fdatasync(fd.get()) != 0) {
        discard();
        return false;
    }
    if (::close(fd.release()) != 0) {
        discard();
        return false;
    }
    if (::renameat(m_dirFd, temporary.c_str(), m_dirFd, target.c_str()) != 0) {
        discard();
        return false;
    }
    // The change has been made; a folder that cannot be flushed does not undo it.
    if (flush == FolderFlush::Now) {
        syncFolder();
    }
    return true;
}

std::optional<std::vector<std::uint8_t>>
PosixFileSystem::readBounded(const std::string& name, std::size_t maxBytes, bool missingIsEmpty) {
    const FdGuard fd(openRegularForReading(m_dirFd, name));
    if (fd.get() < 0) {
        if (missingIsEmpty && errno == ENOENT) {
            return std::vector<std::uint8_t>{};
        }
        return std::nullopt;
    }
    // One byte past the bound tells a file that is too long.
    const std::size_t limit =
        maxBytes < std::numeric_limits<std::size_t>::max() ? maxBytes + 1 : maxBytes;
    return readAll(fd.get(), limit);
}

bool PosixFileSystem::syncFolder() {
    if (!isOpen()) {
        return false;
    }
    // EINVAL: the file system offers no flush for folders, so there is nothing more to do.
    return ::fsync(m_dirFd) == 0 || errno == EINVAL;
}

} // namespace platform
