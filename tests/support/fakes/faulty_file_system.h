#pragma once

#include "platform/file_system.h"

#include <cerrno>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace platform::fakes {

// Thrown by a FaultyFileSystem in Crash mode: the program stops dead at that call.
struct SimulatedCrash {
    int call = 0;
};

// A file layer that passes every call to a real one, counts the calls, and can make a chosen call
// fail: only that one (Once), or that one and every later one (FromThenOn), or stop the program
// dead there (Crash: the call is not made and SimulatedCrash is thrown). Only calls that may
// change a file are counted when countOnlyChanges is set; a hard link and a folder flush count as
// changes. A failing call does nothing at all.
//
// It flushes nothing itself: every call, the folder flush included, goes to the real layer. A
// crash here is the program stopping dead, not a power cut: what the real layer has done stays
// done.
class FaultyFileSystem final : public platform::FileSystem {
public:
    enum class Mode { Never, Once, FromThenOn, Crash };

    explicit FaultyFileSystem(platform::FileSystem& real) : m_real(real) {}

    void failAt(int call, Mode mode, bool countOnlyChanges = false) {
        m_failAt = call;
        m_mode = mode;
        m_onlyChanges = countOnlyChanges;
        m_calls = 0;
        m_failures = 0;
    }
    // The errno a failing call leaves in lastError().
    void failWith(int errnoValue) { m_errno = errnoValue; }
    int calls() const { return m_calls; }
    int failures() const { return m_failures; }
    // Every call made, as "operation file", for tests that look at what was asked. A change whose
    // folder flush is deferred is logged as "operation:deferred file", a replace whose data flush
    // is skipped as "replaceFile:unflushed file" (or "replaceFile:deferred:unflushed file"); the
    // folder flush itself as "syncFolder .", a hard link as "linkFile from>to", a move aside as
    // "moveAside from>to" and the listing of every name as "listNames .".
    const std::vector<std::string>& log() const { return m_log; }
    // How many calls read the named file.
    int readsOf(std::string_view name) const;
    // How many calls asked to change a file (write, create, copy, link, rename, move aside,
    // exchange, delete, flush the folder); the folder's note is not a file.
    int changeRequests() const;

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
    int lastError() const override { return m_ownError >= 0 ? m_ownError : m_real.lastError(); }
    bool syncFolder() override;
    // The folder's note is the real layer's, logged as "takeFolderNote .", "leaveFolderNote ." and
    // "dropFolderNote ."; a failing call takes or leaves none (and drops none).
    std::optional<std::string> takeFolderNote() override;
    bool leaveFolderNote(std::string_view text) override;
    void dropFolderNote() override;

    // When set, exchangeFiles answers Unsupported (lastError ENOTSUP), so that the three-rename
    // path is taken.
    bool exchangeUnsupported = false;
    // When set, linkFile answers Unsupported (lastError ENOTSUP) without asking the real layer, so
    // that the copy a caller makes instead is taken.
    bool linkUnsupported = false;

private:
    // True when this call is to fail.
    bool fails(const char* what, bool changes, std::string_view name);

    platform::FileSystem& m_real;
    Mode m_mode = Mode::Never;
    int m_failAt = 0;
    bool m_onlyChanges = false;
    int m_calls = 0;
    int m_failures = 0;
    int m_errno = EIO;
    int m_ownError = -1; // the errno of the most recent call when answered here, else -1
    std::vector<std::string> m_log;
};

} // namespace platform::fakes
