// The real file layer where the fake cannot go: the order of its system calls, each of them
// failing in turn, file modes, and links, folders and FIFOs in the data folder.

#include "platform/posix_file_system.h"
#include "support/recording_system_calls.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sys/stat.h>

using platform::FileSystem;
using platform::PosixFileSystem;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using Folder = std::map<std::string, Bytes>;
using Flush = FileSystem::FolderFlush;
using Data = FileSystem::DataFlush;
namespace fs = std::filesystem;

namespace {

// A data folder holding a = {1} and b = {2, 2}, on system calls that may be made to fail; without
// noReplace renameat2 fails with EINVAL, as on a file system that does not offer it.
struct FaultyFolder {
    explicit FaultyFolder(bool noReplace = true) {
        dir.write("a", Bytes{1});
        dir.write("b", Bytes{2, 2});
        if (!noReplace) {
            calls.failCall(0, EINVAL, {"renameat2"});
        }
    }
    // Everything in the folder, the layer's hidden temporary files included.
    Folder folder() const {
        Folder found;
        for (const std::string& name : dir.names()) {
            found[name] = dir.read(name);
        }
        return found;
    }
    // The calls made, with the random part of the temporary file's name left out.
    Names steps() const {
        static const std::regex temporary(R"(\.surfklocka-[0-9a-f]{16}\.part)");
        Names shown;
        for (const std::string& call : calls.log()) {
            shown.push_back(std::regex_replace(call, temporary, "<tmp>"));
        }
        return shown;
    }
    testing_support::TempDir dir;
    testing_support::RecordingSystemCalls calls;
    PosixFileSystem fs{dir.path(), calls};
};

struct Change {
    const char* what;
    bool noReplace;
    std::function<bool(FileSystem&)> change;
    Names calls;
    Folder after;
};

// The new content goes to a hidden file, whose data is flushed before the rename puts it in place;
// the folder is flushed last, unless deferred. A replaced file's mode is kept (fchmod).
std::vector<Change> changes() {
    using L = FileSystem::LinkResult;
    const Folder a3{{"a", {3}}, {"b", {2, 2}}}, renamed{{"b", {2, 2}}, {"c", {1}}},
        withC{{"a", {1}}, {"b", {2, 2}}, {"c", {1}}}, newC{{"a", {1}}, {"b", {2, 2}}, {"c", {}}};
    const Names write{"openat <tmp>",    "write <tmp>", "fchmod <tmp>",
                      "fdatasync <tmp>", "close <tmp>", "renameat <tmp>>a"};
    const auto plus = [](Names names, const Names& more) {
        names.insert(names.end(), more.begin(), more.end());
        return names;
    };
    return {
        {"replace", true, [](FileSystem& f) { return f.replaceFile("a", Bytes{3}); },
         plus(write, {"fsync ."}), a3},
        {"replace deferred", true,
         [](FileSystem& f) { return f.replaceFile("a", Bytes{3}, Flush::Deferred); }, write, a3},
        {"replace unflushed",
         true,
         [](FileSystem& f) { return f.replaceFile("a", Bytes{3}, Flush::Now, Data::Skipped); },
         {"openat <tmp>", "write <tmp>", "fchmod <tmp>", "close <tmp>", "renameat <tmp>>a",
          "fsync ."},
         a3},
        {"new file",
         true,
         [](FileSystem& f) { return f.replaceFile("c", Bytes{1}, Flush::Deferred, Data::Skipped); },
         {"openat <tmp>", "write <tmp>", "close <tmp>", "renameat <tmp>>c"},
         withC},
        {"rename",
         true,
         [](FileSystem& f) { return f.renameFile("a", "c"); },
         {"renameat2 a>c", "fsync ."},
         renamed},
        {"rename by link",
         false,
         [](FileSystem& f) { return f.renameFile("a", "c"); },
         {"renameat2 a>c", "linkat a>c", "unlinkat a", "fsync ."},
         renamed},
        {"move aside",
         true,
         [](FileSystem& f) { return f.moveAside("a", "c", Flush::Deferred); },
         {"renameat2 a>c"},
         renamed},
        {"aside by link",
         false,
         [](FileSystem& f) { return f.moveAside("a", "c"); },
         {"renameat2 a>c", "linkat a>c", "unlinkat a", "fsync ."},
         renamed},
        {"remove",
         true,
         [](FileSystem& f) { return f.removeFile("a"); },
         {"unlinkat a", "fsync ."},
         {{"b", {2, 2}}}},
        {"link",
         true,
         [](FileSystem& f) { return f.linkFile("a", "c") == L::Linked; },
         {"linkat a>c"},
         withC},
        {"exchange",
         true,
         [](FileSystem& f) {
             return f.exchangeFiles("a", "b") == FileSystem::ExchangeResult::Exchanged;
         },
         {"renameat2 a>b", "fsync ."},
         {{"a", {2, 2}}, {"b", {1}}}},
        {"create",
         true,
         [](FileSystem& f) { return f.createIfMissing("c"); },
         {"openat c", "close c", "fsync ."},
         newC},
    };
}

} // namespace

TEST(PosixFileSystemCalls, ChangesMakeTheirSystemCallsInADurableOrder) {
    for (const Change& c : changes()) {
        SCOPED_TRACE(c.what);
        FaultyFolder run(c.noReplace);
        EXPECT_TRUE(c.change(run.fs));
        EXPECT_EQ(run.steps(), c.calls);
        EXPECT_EQ(run.folder(), c.after);
    }
}

// A failure before the folder flush leaves the folder as it was, no temporary file included; the
// flush comes after the change, which stands. Either way the error is the failed call's.
TEST(PosixFileSystemCalls, EverySystemCallFailingInTurnChangesNothingAndIsTheErrorGiven) {
    const Folder before{{"a", {1}}, {"b", {2, 2}}};
    for (const Change& c : changes()) {
        for (std::size_t nth = 1; nth <= c.calls.size(); ++nth) {
            if (c.calls[nth - 1].starts_with("renameat2") && !c.noReplace) {
                continue; // already failing
            }
            const bool afterChange = c.calls[nth - 1].starts_with("fsync");
            for (const int error : {EIO, ENOSPC, EACCES}) {
                SCOPED_TRACE(std::string(c.what) + ": " + c.calls[nth - 1] + " fails with " +
                             std::to_string(error));
                FaultyFolder run(c.noReplace);
                run.calls.failCall(static_cast<int>(nth), error);
                EXPECT_EQ(c.change(run.fs), afterChange);
                EXPECT_EQ(run.folder(), afterChange ? c.after : before);
                EXPECT_EQ(run.fs.lastError(), error);
            }
        }
    }
}

TEST(PosixFileSystem, NewFilesAreTheUsersAloneAndAReplacedFileKeepsItsMode) {
    testing_support::TempDir dir;
    PosixFileSystem files(dir.path());
    ASSERT_TRUE(files.writeRecord("f", 4, 2, Bytes{1}));
    EXPECT_EQ(fs::status(dir.file("f")).permissions(), fs::perms(0600));
    fs::permissions(dir.file("f"), fs::perms(0640));
    ASSERT_TRUE(files.replaceFile("f", Bytes{2}));
    EXPECT_EQ(fs::status(dir.file("f")).permissions(), fs::perms(0640));
    // A temporary file left by a stop is taken away at the next start; names like it are not.
    for (const char* name : {".surfklocka-0123abcd.part", ".surfklocka-x.tmp", "keep.part"}) {
        dir.write(name, Bytes{1});
    }
    files.removeStaleTemporaries();
    EXPECT_EQ(dir.names(), (Names{".surfklocka-x.tmp", "f", "keep.part"}));
    // A folder that is not there cannot be asked.
    PosixFileSystem missing(dir.file("missing"));
    EXPECT_FALSE(missing.isOpen() || missing.exists("f") || missing.syncFolder());
    EXPECT_EQ(files.exists(std::string(300, 'a')), std::nullopt); // a name too long to look up
}

// Links (to a file and dangling), a folder and a FIFO are never read, written, copied, linked,
// renamed or exchanged; each is set aside as itself, and deleting a link deletes the link alone.
TEST(PosixFileSystem, WhatIsNoRegularFileIsNeverFollowedOrWrittenThrough) {
    testing_support::TempDir dir, elsewhere;
    PosixFileSystem files(dir.path());
    elsewhere.write("real", Bytes{1, 2});
    dir.write("f", Bytes{7});
    fs::create_directory(dir.file("d.tid"));
    dir.write("d.tid/in", Bytes{3});
    fs::create_symlink(elsewhere.file("real"), dir.file("link.tid"));
    fs::create_symlink(elsewhere.file("none"), dir.file("dangling.tid"));
    ASSERT_EQ(::mkfifo(dir.file("fifo.tid").c_str(), 0600), 0);
    const Names others{"d.tid", "dangling.tid", "fifo.tid", "link.tid"};
    for (const std::string& other : others) {
        SCOPED_TRACE(other);
        EXPECT_EQ(files.entryKind(other), FileSystem::EntryKind::Other);
        EXPECT_FALSE(files.fileLength(other) || files.readFile(other, 9) ||
                     files.readRecord(other, 1, 1));
        EXPECT_FALSE(files.writeRecord(other, 2, 1, Bytes{9}) ||
                     files.replaceFile(other, Bytes{9}) || files.createIfMissing(other) ||
                     files.copyFile(other, "copy") || files.copyFile("f", other) ||
                     files.renameFile(other, "moved"));
        EXPECT_EQ(files.linkFile(other, "second"), FileSystem::LinkResult::Failed);
        EXPECT_EQ(files.linkFile("f", other), FileSystem::LinkResult::Failed);
        EXPECT_EQ(files.exchangeFiles(other, "f"), FileSystem::ExchangeResult::Failed);
        EXPECT_EQ(files.exchangeFiles("f", other), FileSystem::ExchangeResult::Failed);
        EXPECT_FALSE(files.moveAside("f", other));
        EXPECT_EQ(files.lastError(), EEXIST);
    }
    EXPECT_EQ(dir.names(), (Names{"d.tid", "dangling.tid", "f", "fifo.tid", "link.tid"}));
    EXPECT_EQ(dir.read("f"), Bytes{7});
    EXPECT_EQ(elsewhere.names(), Names{"real"}); // nothing made where the dangling link points
    EXPECT_EQ(elsewhere.read("real"), (Bytes{1, 2}));

    // Where renameat2 cannot refuse to replace, only a regular file is moved (by link and unlink).
    testing_support::RecordingSystemCalls noReplace;
    noReplace.failCall(0, EINVAL, {"renameat2"});
    PosixFileSystem fallback(dir.path(), noReplace);
    for (const std::string& other : others) {
        EXPECT_FALSE(fallback.moveAside(other, "x")) << other;
    }
    for (const std::string& other : others) {
        ASSERT_TRUE(files.moveAside(other, other + ".skadad")) << other;
    }
    EXPECT_EQ(fs::read_symlink(dir.file("link.tid.skadad")), elsewhere.file("real"));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir.file("fifo.tid.skadad"))));
    EXPECT_EQ(dir.read("d.tid.skadad/in"), Bytes{3});
    for (const std::string& other : others) {
        ASSERT_TRUE(files.moveAside(other + ".skadad", other)) << other;
    }
    // The links go; the folder is passed over, and the removal says that something is left.
    EXPECT_TRUE(files.removeFile("dangling.tid"));
    EXPECT_EQ(files.removeByExtension(".tid"), std::nullopt);
    EXPECT_EQ(dir.names(), (Names{"d.tid", "f", "fifo.tid"}));
    EXPECT_EQ(elsewhere.read("real"), (Bytes{1, 2}));
}
