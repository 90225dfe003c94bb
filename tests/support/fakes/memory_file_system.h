#pragma once

#include "platform/file_system.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace platform::fakes {

// The file layer in memory, with the same contract as the real one: every call is all or
// nothing, renames never replace, names are plain file names, copies and record writes keep to
// their bounds, and deleting by extension passes over the real layer's hidden temporary names.
// It lets long randomized runs go without touching a disk; one typed test runs the same cases on
// both layers to keep the two alike. Every entry is a regular file: it has no links, folders or
// other kinds of entry (tests of those use the real layer on a temporary folder), and it makes no
// temporary files of its own. A hard link (linkFile) is a copy here: files are values, and since
// no operation changes a file in place on either layer, a second name and a copy hold the same
// bytes for as long as they exist. Nothing is ever lost to a power cut here, so the folder flush
// does nothing and a deferred one (or a skipped data flush) is the same as one made at once.
// moveAside is a rename here, since every entry is a regular file. lastError() gives the errno
// the real layer gives for the causes a map can have: ENOENT for a missing file, EEXIST for a
// target that exists, ENOTSUP where a flag above makes a call unsupported, 0 for the layer's own
// refusals.
class MemoryFileSystem final : public platform::FileSystem {
public:
    using Files = std::map<std::string, std::vector<std::uint8_t>>;

    const Files& files() const { return m_files; }
    Files& files() { return m_files; }

    // When set, exchangeFiles answers Unsupported, as some file systems do.
    bool exchangeUnsupported = false;
    // When set, linkFile answers Unsupported, as file systems without hard links do.
    bool linkUnsupported = false;

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
    bool syncFolder() override {
        m_lastError = 0;
        return true;
    }

private:
    // Keeps error as the cause of the failure now being returned (0 for the layer's own).
    bool fail(int error) {
        m_lastError = error;
        return false;
    }

    Files m_files;
    int m_lastError = 0;
};

} // namespace platform::fakes
