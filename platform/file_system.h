#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace platform {

// The file layer: every file the program keeps lives in one folder, the data folder, and is
// named by a plain file name (no folder part). A name that is empty, ".", "..", or holds a '/'
// or a NUL character is refused by every operation.
//
// What it does: lengths, whole-file and record reads, record writes, copy, rename, exchange,
// delete and delete by extension. Every write replaces its file atomically, so a crash leaves
// either the old or the new content, never a torn file.
//
// What it does not do: it keeps no file open between calls, caches nothing, and knows nothing of
// record layouts; those belong to the storage layer.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Length in bytes of a regular file; nullopt when it is missing or cannot be examined.
    virtual std::optional<std::int64_t> fileLength(std::string_view name) = 0;

    // Whether anything of that name is in the folder: false only when it is certainly missing,
    // nullopt when the folder cannot be asked. It tells a missing file from one that cannot be
    // read.
    virtual std::optional<bool> exists(std::string_view name) = 0;

    // The first maxBytes bytes of a file (all of it when shorter); nullopt when it is missing or
    // cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> readFile(std::string_view name,
                                                              std::size_t maxBytes) = 0;

    // Record recordNumber (counted from 1) of recordLength bytes. Bytes past the end of the file
    // read as zero, so a record beyond the end reads as all zeros. nullopt when the file is
    // missing or cannot be read, or when recordNumber < 1 or recordLength < 1.
    virtual std::optional<std::vector<std::uint8_t>>
    readRecord(std::string_view name, std::size_t recordLength, std::int64_t recordNumber) = 0;

    // Writes bytes (at most recordLength of them) at the start of record recordNumber, creating
    // the file when it is missing. A file shorter than the end of the bytes written grows to it,
    // with any gap read as zero bytes; a file is never shortened.
    virtual bool writeRecord(std::string_view name, std::size_t recordLength,
                             std::int64_t recordNumber, std::span<const std::uint8_t> bytes) = 0;

    // Replaces the whole content of a file, creating it when it is missing.
    virtual bool replaceFile(std::string_view name, std::span<const std::uint8_t> content) = 0;

    // Creates an empty file when the name is free. True when a regular file of that name exists
    // afterwards (whether it was just made or was there before).
    virtual bool createIfMissing(std::string_view name) = 0;

    // Copies a file over another, replacing the target when it exists.
    virtual bool copyFile(std::string_view from, std::string_view to) = 0;

    // Renames a file. Never replaces an existing target: fails instead.
    virtual bool renameFile(std::string_view from, std::string_view to) = 0;

    enum class ExchangeResult {
        Exchanged,   // both names now name the other's former file
        Unsupported, // the file system cannot exchange atomically; nothing changed
        Failed,      // nothing changed
    };
    // Exchanges two existing files in one atomic step where the file system allows it.
    virtual ExchangeResult exchangeFiles(std::string_view first, std::string_view second) = 0;

    // Deletes one file. False when it is missing or cannot be deleted.
    virtual bool removeFile(std::string_view name) = 0;

    // Deletes every regular file in the data folder whose name ends in the given lower-case
    // extension (".tid" for the pattern "*.tid"). Returns how many were deleted, or nullopt when
    // the folder could not be listed. Files that cannot be deleted are passed over.
    virtual std::optional<int> removeByExtension(std::string_view extension) = 0;
};

} // namespace platform
