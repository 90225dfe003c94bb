#pragma once

#include "platform/file_system.h"
#include "platform/system_calls.h"

#include <string>

namespace platform {

// The file layer on a real folder, through POSIX calls relative to a descriptor of that folder.
//
// Writes go to a hidden temporary file in the same folder (".surfklocka-<random>.part", which
// neither "*.tid" nor "*.tmp" matches), are flushed (fdatasync, unless the caller skips it),
// renamed over the original, and the folder is flushed (fsync) unless the caller defers that to
// syncFolder(). No file is ever written in place, so a hard link made by linkFile keeps the bytes
// it was made with. Renames never replace: renameat2 with RENAME_NOREPLACE, falling back to link
// and unlink where the file system does not support it (for a regular file only; moveAside fails
// there for anything else), never to a plain rename. Hard links are made with linkat without
// AT_SYMLINK_FOLLOW, which never replaces its target. Every call that opens a file for writing,
// writes, flushes, renames, links, deletes or closes goes through a SystemCalls, so that a test
// can see their order and fail any one of them; reads, and the folder's note (an extended
// attribute of the folder), go to the system directly.
//
// Every open is made with O_NOFOLLOW and every look-up with AT_SYMLINK_NOFOLLOW, so a symbolic
// link in the folder is seen as itself and never as what it points to.
//
// Errors: lastError() is the errno of the system call that failed, taken where it returned,
// before any clean-up. A change that has been made when the folder flush after it fails (the
// rename of a replace, a rename, a link-and-unlink, an exchange, a delete) is not undone and is
// reported as made (true, Exchanged); lastError() then holds the flush's errno, the one case in
// which a call that answers success leaves it non-zero. A failure before that point leaves the
// folder as it was, with no temporary file left behind (unless a clean-up call fails as well).
//
// It does not create the folder; the caller makes sure it exists.
class PosixFileSystem final : public FileSystem {
public:
    // Opens the folder. isOpen() tells whether that worked; every operation fails otherwise, with
    // lastError() telling why the folder could not be opened.
    explicit PosixFileSystem(const std::string& folder,
                             SystemCalls& calls = RealSystemCalls::instance());
    ~PosixFileSystem() override;
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

    bool isOpen() const { return m_dirFd >= 0; }

    // Deletes hidden temporary files left behind by an interrupted write.
    void removeStaleTemporaries();

    std::optional<EntryKind> entryKind(std::string_view name) override;
    std::optional<std::int64_t> fileLength(std::string_view name) override;
    std::optional<bool> exists(std::string_view name) override;
    std::optional<std::vector<std::uint8_t>> readFile(std::string_view name,
                                                      std::size_t maxBytes) override;
    std::optional<std::vector<std::uint8_t>>
    readRecord(std::string_view name, std::size_t recordLength, std::int64_t recordNumber) override;
    bool writeRecord(std::string_view name, std::size_t recordLength, std::int64_t recordNumber,
                     std::span<const std::uint8_t> bytes,
                     std::size_t maxFileBytes = kDefaultMaxFileBytes) override;
    bool replaceFile(std::string_view name, std::span<const std::uint8_t> content,
                     FolderFlush flush = FolderFlush::Now,
                     DataFlush data = DataFlush::Now) override;
    bool createIfMissing(std::string_view name, FolderFlush flush = FolderFlush::Now) override;
    bool copyFile(std::string_view from, std::string_view to,
                  std::size_t maxBytes = kDefaultMaxFileBytes) override;
    LinkResult linkFile(std::string_view from, std::string_view to) override;
    bool renameFile(std::string_view from, std::string_view to,
                    FolderFlush flush = FolderFlush::Now) override;
    bool moveAside(std::string_view from, std::string_view to,
                   FolderFlush flush = FolderFlush::Now) override;
    ExchangeResult exchangeFiles(std::string_view first, std::string_view second) override;
    bool removeFile(std::string_view name, FolderFlush flush = FolderFlush::Now) override;
    std::optional<int> removeByExtension(std::string_view extension,
                                         FolderFlush flush = FolderFlush::Now) override;
    std::optional<std::vector<std::string>> namesWithExtension(std::string_view extension) override;
    std::optional<std::vector<std::string>> listNames() override;
    int lastError() const override { return m_lastError; }
    bool syncFolder() override;
    // The note is the folder's extended attribute "user.surfklocka.note": "held" while a holder
    // has it, else the folder's time of last change when it was left and the text. Where the file
    // system keeps no such attributes (tmpfs before Linux 6.6) there is never a note.
    std::optional<std::string> takeFolderNote() override;
    bool leaveFolderNote(std::string_view text) override;
    void dropFolderNote() override;

private:
    // Writes content to a fresh temporary file, flushes it, renames it over name and, unless
    // deferred, flushes the folder. Refuses a name that is something other than a regular file.
    // The temporary file is removed on every failure path.
    bool replaceAtomically(std::string_view name, std::span<const std::uint8_t> content,
                           FolderFlush flush, DataFlush data);
    // Renames without ever replacing the target; the link-and-unlink fallback only when
    // regularOnly (a link or a folder cannot take it). False with m_lastError set.
    bool renameNoReplace(const std::string& from, const std::string& to, bool regularOnly);
    // Flushes the folder after a change that has been made: the change stands either way, and a
    // failed flush is left in m_lastError.
    void flushAfterChange(FolderFlush flush);
    // Drops the folder's note after a change that made a new name (a new file, a link, a rename),
    // unless this layer holds it: a name that was not there is what a holder would have to list
    // the folder for. Deleting or replacing a file adds no name. errno and m_lastError stay as
    // they were.
    void noteChange();
    // Starts an operation: true when the folder is open, with m_lastError cleared (or set to why
    // the folder could not be opened).
    bool begin();
    // Takes errno as the cause of the failure now being returned, and answers false. Called right
    // where the failing system call returned (or a helper that keeps its errno), before any
    // clean-up call can change errno.
    bool failed();
    // The first maxBytes bytes of a regular file, plus one more when there is one, so that the
    // caller can tell a file longer than its bound; the content is empty when the file is
    // missing and missingIsEmpty is set. nullopt when it cannot be read or is not a regular file.
    std::optional<std::vector<std::uint8_t>> readBounded(const std::string& name,
                                                         std::size_t maxBytes, bool missingIsEmpty);

    SystemCalls& m_calls;
    int m_dirFd = -1;
    int m_openError = 0; // why the folder could not be opened
    int m_lastError = 0;
    bool m_noteHeld = false; // this layer holds the folder's note (takeFolderNote)
};

// True for a plain file name the file layer accepts (see FileSystem).
bool isPlainFileName(std::string_view name);

} // namespace platform
