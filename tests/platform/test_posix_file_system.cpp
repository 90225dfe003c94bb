// The real file layer where the fake cannot go: the order of its system calls, each of them
// failing in turn, file modes, and links, folders and FIFOs in the data folder.

#include "platform/posix_file_system.h"
#include "support/recording_system_calls.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <regex>
#include <sys/stat.h>
#include <vector>

using platform::FileSystem;
using platform::PosixFileSystem;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using Flush = FileSystem::FolderFlush;
using Data = FileSystem::DataFlush;
using Link = FileSystem::LinkResult;
using Exchange = FileSystem::ExchangeResult;
namespace fs = std::filesystem;

namespace {

// A data folder holding a = {1} and b = {2, 2}, on system calls that may be made to fail; without
// noReplace renameat2 fails with EINVAL, as on a file system that does not offer it.
struct FaultyFolder {
    explicit FaultyFolder(bool noReplace) {
        dir.write("a", Bytes{1});
        dir.write("b", Bytes{2, 2});
        if (!noReplace) {
            calls.failCall(0, EINVAL, {"renameat2"});
        }
    }
    // The folder as "name=bytes ...", a digit a byte, the layer's hidden temporary files included.
    std::string folder() const {
        std::string text;
        for (const std::string& name : dir.names()) {
            text += (text.empty() ? "" : " ") + name + "=";
            for (const std::uint8_t byte : dir.read(name)) {
                text += static_cast<char>('0' + byte);
            }
        }
        return text;
    }
    // The calls made, with the random part of the temporary file's name left out.
    std::string steps() const {
        static const std::regex temporary(R"(\.surfklocka-[0-9a-f]{16}\.part)");
        std::string text;
        for (const std::string& call : calls.log()) {
            text += (text.empty() ? "" : ", ") + std::regex_replace(call, temporary, "<tmp>");
        }
        return text;
    }
    testing_support::TempDir dir;
    testing_support::RecordingSystemCalls calls;
    PosixFileSystem fs{dir.path(), calls};
};

using F = FileSystem&;
struct Change {
    const char* what;
    std::function<bool(F)> change;
    std::string calls;
    std::string after;
    bool noReplace = true;
};

// The new content goes to a hidden file, whose data is flushed before the rename puts it in place;
// the folder is flushed last, unless deferred. A replaced file's mode is kept (fchmod).
const Change kChanges[] = {
    {"replace", [](F f) { return f.replaceFile("a", Bytes{3}); },
     "openat <tmp>, write <tmp>, fchmod <tmp>, fdatasync <tmp>, close <tmp>, renameat <tmp>>a, "
     "fsync .",
     "a=3 b=22"},
    {"replace deferred", [](F f) { return f.replaceFile("a", Bytes{3}, Flush::Deferred); },
     "openat <tmp>, write <tmp>, fchmod <tmp>, fdatasync <tmp>, close <tmp>, renameat <tmp>>a",
     "a=3 b=22"},
    {"replace unflushed",
     [](F f) { return f.replaceFile("a", Bytes{3}, Flush::Now, Data::Skipped); },
     "openat <tmp>, write <tmp>, fchmod <tmp>, close <tmp>, renameat <tmp>>a, fsync .", "a=3 b=22"},
    {"new", [](F f) { return f.replaceFile("c", Bytes{1}, Flush::Deferred, Data::Skipped); },
     "openat <tmp>, write <tmp>, close <tmp>, renameat <tmp>>c", "a=1 b=22 c=1"},
    {"rename", [](F f) { return f.renameFile("a", "c", Flush::Deferred); }, "renameat2 a>c",
     "b=22 c=1"},
    {"rename by link", [](F f) { return f.renameFile("a", "c"); },
     "renameat2 a>c, linkat a>c, unlinkat a, fsync .", "b=22 c=1", false},
    {"move aside", [](F f) { return f.moveAside("a", "c", Flush::Deferred); }, "renameat2 a>c",
     "b=22 c=1"},
    {"aside by link", [](F f) { return f.moveAside("a", "c"); },
     "renameat2 a>c, linkat a>c, unlinkat a, fsync .", "b=22 c=1", false},
    {"remove", [](F f) { return f.removeFile("a"); }, "unlinkat a, fsync .", "b=22"},
    {"remove deferred", [](F f) { return f.removeFile("a", Flush::Deferred); }, "unlinkat a",
     "b=22"},
    {"link", [](F f) { return f.linkFile("a", "c") == Link::Linked; }, "linkat a>c",
     "a=1 b=22 c=1"},
    {"exchange", [](F f) { return f.exchangeFiles("a", "b") == Exchange::Exchanged; },
     "renameat2 a>b, fsync .", "a=22 b=1"},
    {"create", [](F f) { return f.createIfMissing("c"); }, "openat c, close c, fsync .",
     "a=1 b=22 c="},
    {"flush", [](F f) { return f.syncFolder(); }, "fsync .", "a=1 b=22"},
};

} // namespace

// Each change makes its system calls in a durable order. Each of them failing in turn before the
// folder flush leaves the folder as it was, no temporary file included; the flush comes after the
// change, which stands (a flush alone fails). The error is the failed call's.
TEST(PosixFileSystemCalls, ChangesAreDurableAndEachSystemCallFailingChangesNothing) {
    for (const Change& c : kChanges) {
        FaultyFolder clean(c.noReplace);
        EXPECT_TRUE(c.change(clean.fs)) << c.what;
        EXPECT_EQ(clean.steps(), c.calls) << c.what;
        EXPECT_EQ(clean.folder(), c.after) << c.what;
        const Names made = clean.calls.log();
        for (std::size_t nth = 1; nth <= made.size(); ++nth) {
            if (made[nth - 1].starts_with("renameat2") && !c.noReplace) {
                continue; // already failing
            }
            const bool afterChange = made[nth - 1].starts_with("fsync") && nth > 1;
            for (const int error : {EIO, ENOSPC, EACCES}) {
                SCOPED_TRACE(std::string(c.what) + ": " + made[nth - 1] + " fails with " +
                             std::to_string(error));
                FaultyFolder run(c.noReplace);
                run.calls.failCall(static_cast<int>(nth), error);
                EXPECT_EQ(c.change(run.fs), afterChange);
                EXPECT_EQ(run.folder(), afterChange ? c.after : "a=1 b=22");
                EXPECT_EQ(run.fs.lastError(), error);
            }
        }
    }
}

// New files are the user's alone, and a replaced file keeps its mode. Links (to a file and
// dangling), a folder and a FIFO are never read, written, copied, linked, renamed or exchanged;
// deleting a link deletes the link alone.
TEST(PosixFileSystem, WhatIsNoRegularFileIsNeverFollowedOrWrittenThrough) {
    testing_support::TempDir dir, elsewhere;
    PosixFileSystem files(dir.path());
    ASSERT_TRUE(files.writeRecord("f", 4, 2, Bytes{1}));
    EXPECT_EQ(fs::status(dir.file("f")).permissions(), fs::perms(0600));
    fs::permissions(dir.file("f"), fs::perms(0640));
    ASSERT_TRUE(files.replaceFile("f", Bytes{7}));
    EXPECT_EQ(fs::status(dir.file("f")).permissions(), fs::perms(0640));
    elsewhere.write("real", Bytes{1, 2});
    fs::create_directory(dir.file("d.tid"));
    fs::create_symlink(elsewhere.file("real"), dir.file("link.tid"));
    fs::create_symlink(elsewhere.file("none"), dir.file("dangling.tid"));
    ASSERT_EQ(::mkfifo(dir.file("fifo.tid").c_str(), 0600), 0);
    const Names others{"d.tid", "dangling.tid", "fifo.tid", "link.tid"};
    testing_support::RecordingSystemCalls noReplace;
    noReplace.failCall(0, EINVAL, {"renameat2"});
    PosixFileSystem fallback(dir.path(), noReplace);
    for (const std::string& other : others) {
        SCOPED_TRACE(other);
        EXPECT_EQ(files.entryKind(other), FileSystem::EntryKind::Other);
        EXPECT_FALSE(files.fileLength(other) || files.readFile(other, 9) ||
                     files.readRecord(other, 1, 1));
        EXPECT_FALSE(files.writeRecord(other, 2, 1, Bytes{9}) ||
                     files.replaceFile(other, Bytes{9}) || files.createIfMissing(other) ||
                     files.copyFile(other, "copy") || files.copyFile("f", other) ||
                     files.renameFile(other, "moved"));
        EXPECT_TRUE(files.linkFile(other, "second") == Link::Failed &&
                    files.linkFile("f", other) == Link::Failed &&
                    files.exchangeFiles(other, "f") == Exchange::Failed &&
                    files.exchangeFiles("f", other) == Exchange::Failed);
        // Where renameat2 cannot refuse to replace, only a regular file is moved (link, unlink).
        EXPECT_FALSE(fallback.moveAside(other, "x"));
    }
    EXPECT_EQ(dir.names(), (Names{"d.tid", "dangling.tid", "f", "fifo.tid", "link.tid"}));
    EXPECT_EQ(dir.read("f"), Bytes{7});
    EXPECT_EQ(elsewhere.names(), Names{"real"}); // nothing made where the dangling link points
    // The links go; the folder and the FIFO are passed over, and the removal says so.
    EXPECT_TRUE(files.removeFile("dangling.tid"));
    EXPECT_EQ(files.removeByExtension(".tid"), std::nullopt);
    EXPECT_EQ(elsewhere.read("real"), (Bytes{1, 2}));
    // A temporary file left by a stop is taken away at the next start; names like it are not.
    for (const char* name : {".surfklocka-0123abcd.part", ".surfklocka-x.tmp", "keep.part"}) {
        dir.write(name, Bytes{1});
    }
    files.removeStaleTemporaries();
    EXPECT_EQ(dir.names(), (Names{".surfklocka-x.tmp", "d.tid", "f", "fifo.tid", "keep.part"}));
    EXPECT_EQ(files.exists(std::string(300, 'a')), std::nullopt); // a name too long to look up
    PosixFileSystem missing(dir.file("missing")); // a folder that is not there cannot be asked
    EXPECT_FALSE(missing.isOpen() || missing.exists("f") || missing.syncFolder());
}

// The folder's note, as separate processes see it: each layer below stands for one program on
// the same data folder.
class FolderNoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        // tmpfs before Linux 6.6 keeps no user attributes; there the layer never has a note.
        if (!m_dir.keepsAttributes()) {
            GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
        }
    }
    PosixFileSystem layer() const { return PosixFileSystem(m_dir.path()); }

    testing_support::TempDir m_dir;
};

TEST_F(FolderNoteTest, ANoteLeftIsTakenByTheNextHolderAndHeldUntilItLeavesOne) {
    PosixFileSystem first(m_dir.path());
    EXPECT_EQ(first.takeFolderNote(), std::nullopt); // none yet
    EXPECT_TRUE(first.leaveFolderNote("0101.tmp\n"));
    EXPECT_FALSE(first.leaveFolderNote("again")); // taken once, left once

    PosixFileSystem second(m_dir.path());
    EXPECT_EQ(second.takeFolderNote(), std::optional<std::string>("0101.tmp\n"));
    // Held: a holder that stopped now would leave no note for anyone.
    EXPECT_EQ(layer().takeFolderNote(), std::nullopt);
    PosixFileSystem third(m_dir.path());
    EXPECT_EQ(third.takeFolderNote(), std::nullopt);
    EXPECT_TRUE(third.leaveFolderNote(""));
    EXPECT_EQ(layer().takeFolderNote(), std::optional<std::string>(""));
}

TEST_F(FolderNoteTest, TheHoldersOwnChangesKeepItAndAnyOtherChangeOfANameDropsIt) {
    PosixFileSystem holder(m_dir.path());
    holder.takeFolderNote();
    ASSERT_TRUE(holder.replaceFile("0101.tid", Bytes{1}));
    ASSERT_EQ(holder.linkFile("0101.tid", "kopia.ny"), FileSystem::LinkResult::Linked);
    ASSERT_TRUE(holder.renameFile("kopia.ny", "0101.tmp"));
    EXPECT_TRUE(holder.leaveFolderNote("0101.tmp\n"));

    // Another program's change of a name after the note was left: the note goes.
    PosixFileSystem other(m_dir.path());
    ASSERT_TRUE(other.replaceFile("mon.tmp", Bytes{2}));
    EXPECT_EQ(layer().takeFolderNote(), std::nullopt);

    // And one made while the note is held: the holder then leaves none.
    holder.takeFolderNote();
    ASSERT_TRUE(holder.leaveFolderNote("mon.tmp\n"));
    PosixFileSystem next(m_dir.path());
    ASSERT_EQ(next.takeFolderNote(), std::optional<std::string>("mon.tmp\n"));
    ASSERT_TRUE(other.createIfMissing("0102.tmp"));
    EXPECT_FALSE(next.leaveFolderNote("mon.tmp\n"));
    EXPECT_EQ(layer().takeFolderNote(), std::nullopt);
}

TEST_F(FolderNoteTest, ANoteLeftBeforeTheFoldersLastChangeIsNotGivenOut) {
    PosixFileSystem holder(m_dir.path());
    holder.takeFolderNote();
    ASSERT_TRUE(holder.leaveFolderNote("0101.tmp\n"));
    // A change by something that knows nothing of notes (a file made by hand) moves the folder's
    // time of last change; it is set here, as a change within the same clock tick would not move
    // it.
    struct stat folder {};
    ASSERT_EQ(::stat(m_dir.path().c_str(), &folder), 0);
    timespec times[2] = {folder.st_atim, folder.st_mtim};
    times[1].tv_sec += 1;
    ASSERT_EQ(::utimensat(AT_FDCWD, m_dir.path().c_str(), times, 0), 0);
    EXPECT_EQ(layer().takeFolderNote(), std::nullopt);
}

TEST_F(FolderNoteTest, DroppingTheNoteLeavesNone) {
    PosixFileSystem holder(m_dir.path());
    holder.takeFolderNote();
    ASSERT_TRUE(holder.leaveFolderNote("0101.tmp\n"));
    layer().dropFolderNote();
    EXPECT_EQ(layer().takeFolderNote(), std::nullopt);
}
