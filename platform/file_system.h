#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
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
// Symbolic links are never followed: a link in the folder is "something other than a regular
// file". It is never read, copied, renamed or exchanged, and nothing is written through it or
// over it (a write to a name that is a link fails and leaves the link as it was, so that what it
// points to stays untouched and the link stays there to be found). Deleting a link deletes the
// link alone.
//
// No operation reads more of a file than its caller allows: a copy or a record write refuses a
// file longer than its bound instead of reading it whole.
//
// What it does not do: it keeps no file open between calls, caches nothing, and knows nothing of
// record layouts; those belong to the storage layer.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The longest file a copy or a record write reads whole when the caller names no smaller
    // bound. Every file the program keeps is far shorter (a month file at most 496 bytes, the
    // settings file 90, the help page some kilobytes); a longer one is not the program's own.
    static constexpr std::size_t kDefaultMaxFileBytes = 64 * 1024;

    enum class EntryKind {
        Missing,     // nothing of that name
        RegularFile, // a regular file
        Other,       // something else: a symbolic link (not followed), a folder, a FIFO, a device
    };
    // What is in the folder under a name, without following a symbolic link; nullopt when the
    // folder cannot be asked. It tells a file that cannot be read from one that is no file at all.
    virtual std::optional<EntryKind> entryKind(std::string_view name) = 0;

    // Length in bytes of a regular file; nullopt when it is missing, is something else (a link
    // included) or cannot be examined.
    virtual std::optional<std::int64_t> fileLength(std::string_view name) = 0;

    // Whether anything of that name is in the folder: false only when it is certainly missing,
    // nullopt when the folder cannot be asked. It tells a missing file from one that cannot be
    // read.
    virtual std::optional<bool> exists(std::string_view name) = 0;

    // The first maxBytes bytes of a regular file (all of it when shorter); nullopt when it is
    // missing, is not a regular file or cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> readFile(std::string_view name,
                                                              std::size_t maxBytes) = 0;

    // Record recordNumber (counted from 1) of recordLength bytes. Bytes past the end of the file
    // read as zero, so a record beyond the end reads as all zeros. nullopt when the file is
    // missing or cannot be read, or when recordNumber < 1 or recordLength < 1.
    virtual std::optional<std::vector<std::uint8_t>>
    readRecord(std::string_view name, std::size_t recordLength, std::int64_t recordNumber) = 0;

    // Writes bytes (at most recordLength of them) at the start of record recordNumber, creating
    // the file when it is missing. A file shorter than the end of the bytes written grows to it,
    // with any gap read as zero bytes; a file is never shortened. Fails, changing nothing, when
    // the file is longer than maxFileBytes or is not a regular file.
    virtual bool writeRecord(std::string_view name, std::size_t recordLength,
                             std::int64_t recordNumber, std::span<const std::uint8_t> bytes,
                             std::size_t maxFileBytes = kDefaultMaxFileBytes) = 0;

    // Replaces the whole content of a file, creating it when it is missing. Fails, changing
    // nothing, when something other than a regular file (a link, a folder) has that name.
    virtual bool replaceFile(std::string_view name, std::span<const std::uint8_t> content) = 0;

    // Creates an empty file when the name is free. True when a regular file of that name exists
    // afterwards (whether it was just made or was there before).
    virtual bool createIfMissing(std::string_view name) = 0;

    // Copies a regular file to another name, creating the target or replacing it. Fails,
    // changing nothing, when the source is longer than maxBytes or either name is something other
    // than a regular file.
    virtual bool copyFile(std::string_view from, std::string_view to,
                          std::size_t maxBytes = kDefaultMaxFileBytes) = 0;

    // Renames a regular file. Never replaces an existing target: fails instead.
    virtual bool renameFile(std::string_view from, std::string_view to) = 0;

    enum class ExchangeResult {
        Exchanged,   // both names now name the other's former file
        Unsupported, // the file system cannot exchange atomically; nothing changed
        Failed,      // nothing changed
    };
    // Exchanges two existing regular files in one atomic step where the file system allows it.
    virtual ExchangeResult exchangeFiles(std::string_view first, std::string_view second) = 0;

    // Deletes one file, or a symbolic link (not what it points to). False when it is missing or
    // cannot be deleted.
    virtual bool removeFile(std::string_view name) = 0;

    // Deletes every regular file and every symbolic link (the link, never what it points to) in
    // the data folder whose name ends in the given lower-case extension (".tid" for the pattern
    // "*.tid"). Returns how many were deleted, or nullopt when the folder could not be listed or
    // something of such a name is left: a file that could not be deleted, or a folder, which is
    // passed over and never deleted.
    virtual std::optional<int> removeByExtension(std::string_view extension) = 0;

    // The names in the data folder that end in the given lower-case extension (and are longer
    // than it), of whatever kind, sorted by their bytes; the layer's own hidden temporary files
    // are left out. nullopt when the folder cannot be listed or the extension is not one.
    virtual std::optional<std::vector<std::string>>
    namesWithExtension(std::string_view extension) = 0;
};

} // namespace platform
