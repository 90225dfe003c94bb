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
// What it does: lengths, whole-file and record reads, record writes, copy, hard link, rename,
// exchange, delete and delete by extension, and flushing the folder. Every write replaces its file
// atomically through a new file, so a crash leaves either the old or the new content, never a torn
// file, and no file is ever changed in place: a file that has a second name (linkFile) keeps its
// bytes under that name whatever is later written under the other.
//
// Durability: every change is on disk when its call returns (the file's data and the folder are
// flushed), except where the caller asks for FolderFlush::Deferred or DataFlush::Skipped, and in
// linkFile. Those leave the folder (or the new file's data) unflushed: a crash of the program
// still finds the change made, but after a power cut the name change may be missing until
// syncFolder() has been called, and a file whose data flush was skipped may be found without its
// bytes. A caller that makes several changes defers the folder flush of each and calls
// syncFolder() once at the end, which makes them all durable together.
//
// Symbolic links are never followed: a link in the folder is "something other than a regular
// file". It is never read, copied, renamed (moveAside sets the link itself aside) or exchanged,
// and nothing is written through it or over it (a write to a name that is a link fails and leaves
// the link as it was, so that what it points to stays untouched and the link stays there to be
// found). Deleting a link deletes the link alone.
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

    // Whether a change flushes the folder before it returns (Now), or leaves that to a later
    // syncFolder() (Deferred).
    enum class FolderFlush { Now, Deferred };
    // Whether a written file's data is flushed before it is renamed into place (Now), or not at all
    // (Skipped). Skipped is for files whose loss in a power cut costs nothing that a later flush
    // does not cover, such as a journal entry that is rewritten or flushed before anything relies
    // on it: the rename is atomic all the same, so a crash of the program finds the old content or
    // the new, never a torn file.
    enum class DataFlush { Now, Skipped };

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

    // Replaces the whole content of a file, creating it when it is missing: the content goes to a
    // new file, which is flushed (one data flush, unless DataFlush::Skipped) and then renamed over
    // the name. Fails, changing nothing, when something other than a regular file (a link, a
    // folder) has that name. With FolderFlush::Deferred the folder is not flushed (see
    // syncFolder).
    virtual bool replaceFile(std::string_view name, std::span<const std::uint8_t> content,
                             FolderFlush flush = FolderFlush::Now,
                             DataFlush data = DataFlush::Now) = 0;

    // Creates an empty file when the name is free. True when a regular file of that name exists
    // afterwards (whether it was just made or was there before). An empty file has no data to
    // flush; with FolderFlush::Deferred its name is not flushed either (see syncFolder).
    virtual bool createIfMissing(std::string_view name, FolderFlush flush = FolderFlush::Now) = 0;

    // Copies a regular file to another name, creating the target or replacing it. Fails,
    // changing nothing, when the source is longer than maxBytes or either name is something other
    // than a regular file.
    virtual bool copyFile(std::string_view from, std::string_view to,
                          std::size_t maxBytes = kDefaultMaxFileBytes) = 0;

    enum class LinkResult {
        Linked,      // both names now name the same file
        Unsupported, // the file system cannot give this file a second name; nothing changed
        Failed,      // nothing changed
    };
    // Gives a regular file a second name (a hard link), without copying a byte: both names then
    // name the same file, whose bytes are already on disk. Never follows a symbolic link (a link
    // as the source fails) and never replaces an existing target, whatever it is: fails instead.
    // The folder is not flushed (see syncFolder). Unsupported when the file system refuses hard
    // links there (not allowed, another file system, too many links, not offered); the caller
    // then copies instead. Since no operation of this layer changes a file in place, writing
    // under one name later never changes what the other name holds.
    virtual LinkResult linkFile(std::string_view from, std::string_view to) = 0;

    // Renames a regular file. Never replaces an existing target: fails instead. With
    // FolderFlush::Deferred the folder is not flushed (see syncFolder).
    virtual bool renameFile(std::string_view from, std::string_view to,
                            FolderFlush flush = FolderFlush::Now) = 0;

    // Renames whatever has the name (a regular file, a symbolic link itself, a FIFO, a folder),
    // so that something the program cannot use can be set aside once instead of being reported
    // again and again. Never follows a link and never replaces an existing target: fails instead.
    // With FolderFlush::Deferred the folder is not flushed (see syncFolder).
    virtual bool moveAside(std::string_view from, std::string_view to,
                           FolderFlush flush = FolderFlush::Now) = 0;

    enum class ExchangeResult {
        Exchanged,   // both names now name the other's former file
        Unsupported, // the file system cannot exchange atomically; nothing changed
        Failed,      // nothing changed
    };
    // Exchanges two existing regular files in one atomic step where the file system allows it.
    virtual ExchangeResult exchangeFiles(std::string_view first, std::string_view second) = 0;

    // Deletes one file, or a symbolic link (not what it points to). False when it is missing or
    // cannot be deleted. With FolderFlush::Deferred the folder is not flushed (see syncFolder).
    virtual bool removeFile(std::string_view name, FolderFlush flush = FolderFlush::Now) = 0;

    // Deletes every regular file and every symbolic link (the link, never what it points to) in
    // the data folder whose name ends in the given lower-case extension (".tid" for the pattern
    // "*.tid"). Returns how many were deleted, or nullopt when the folder could not be listed or
    // something of such a name is left: a file that could not be deleted, or a folder, which is
    // passed over and never deleted. With FolderFlush::Deferred the folder is not flushed (see
    // syncFolder).
    virtual std::optional<int> removeByExtension(std::string_view extension,
                                                 FolderFlush flush = FolderFlush::Now) = 0;

    // The names in the data folder that end in the given lower-case extension (and are longer
    // than it), of whatever kind, sorted by their bytes; the layer's own hidden temporary files
    // are left out. nullopt when the folder cannot be listed or the extension is not one.
    virtual std::optional<std::vector<std::string>>
    namesWithExtension(std::string_view extension) = 0;

    // Every name in the data folder, of whatever kind, sorted by their bytes; the layer's own
    // hidden temporary files are left out. One listing of the folder, for a caller that needs
    // several kinds of names at once. nullopt when the folder cannot be listed.
    virtual std::optional<std::vector<std::string>> listNames() = 0;

    // The system's error number (errno) of the most recent call when it failed for a reason the
    // system gave (ENOSPC, EACCES, EIO, ...); 0 when it succeeded, or failed for a reason of the
    // layer's own (a name it refuses, a link where a file should be, a file longer than allowed).
    // A caller that names the cause of a failure asks right after the call that failed. A change
    // that has been made when the folder flush after it fails is not undone and is reported as
    // made; lastError() then holds the flush's errno, though the call answered success.
    virtual int lastError() const = 0;

    // Flushes the folder: every name change made so far (a deferred one included) survives a
    // power cut once this returns true. False when the folder could not be flushed; the changes
    // are made all the same, and nothing is undone.
    virtual bool syncFolder() = 0;

    // The folder's note: a short text that the holder of the data folder leaves in the folder's
    // own metadata (no file changes), telling the next holder what it would otherwise have to
    // list the folder for (storage/journal.h). A note holds only while no new name has appeared in
    // the folder since it was left: a layer drops it after every change that makes a new name (a
    // new file, a link, a rename) unless it holds it, and a note left before the folder's last
    // change (by anyone) is not given out. A layer that keeps no notes, as this default, gives out
    // none and keeps none.
    //
    // Takes the note: its text when there is one that holds, nullopt otherwise. From then on the
    // note is held by this layer, so that none holds for anyone else until it leaves one: a holder
    // that stops before that leaves none behind.
    virtual std::optional<std::string> takeFolderNote() { return std::nullopt; }
    // Leaves the note with this text if this layer still holds it, that is if no other process
    // changed a name since it was taken; false otherwise, or when it could not be kept. Either way
    // this layer holds it no more.
    virtual bool leaveFolderNote(std::string_view /*text*/) { return false; }
    // Drops the note, held or not.
    virtual void dropFolderNote() {}
};

} // namespace platform
