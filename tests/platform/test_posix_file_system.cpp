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
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <vector>

using platform::FileSystem;
using platform::PosixFileSystem;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using Flush = FileSystem::FolderFlush;
namespace fs = std::filesystem;

namespace {

// A log of system calls with the random part of the hidden temporary file's name left out.
Names steps(const Names& log) {
    static const std::regex temporary(R"(\.surfklocka-[0-9a-f]{16}\.part)");
    Names shown;
    for (const std::string& call : log) {
        shown.push_back(std::regex_replace(call, temporary, "<tmp>"));
    }
    return shown;
}

using Folder = std::map<std::string, Bytes>;

// A data folder holding a = {1} and b = {2, 2}, on system calls that may be made to fail.
struct FaultyFolder {
    explicit FaultyFolder(bool noReplace) {
        dir.write("a", Bytes{1});
        dir.write("b", Bytes{2, 2});
        if (!noReplace) {
            calls.failCall(0, EINVAL, {"renameat2"}); // as on a file system without it
        }
    }
    Folder folder() const {
        Folder found;
        for (const std::string& name : dir.names()) {
            found[name] = dir.read(name);
        }
        return found;
    }
    testing_support::TempDir dir;
    testing_support::RecordingSystemCalls calls;
    PosixFileSystem fs{dir.path(), calls};
};

} // namespace

class PosixFileSystemTest : public ::testing::Test {
protected:
    testing_support::TempDir m_dir;
    testing_support::RecordingSystemCalls m_calls;
    PosixFileSystem m_fs{m_dir.path(), m_calls};

    fs::perms permissions(const std::string& name) const {
        return fs::status(m_dir.file(name)).permissions();
    }
};

TEST_F(PosixFileSystemTest, ReadsTellAMissingFileFromOneThatCannotBeExamined) {
    m_dir.write("f", Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(m_fs.exists("f"), true);
    EXPECT_EQ(m_fs.exists("missing"), false);
    EXPECT_FALSE(m_fs.exists(std::string(300, 'a')).has_value()); // a name too long to look up
    PosixFileSystem missingFolder(m_dir.file("missing"));         // not made, and cannot be asked
    EXPECT_FALSE(missingFolder.isOpen() || missingFolder.exists("f").has_value());
    EXPECT_EQ(m_fs.fileLength("f"), 10);
    EXPECT_FALSE(m_fs.fileLength("missing").has_value());
    EXPECT_EQ(m_fs.readFile("f", 3), (Bytes{1, 2, 3}));
    // Records past the end read as zeros.
    EXPECT_EQ(m_fs.readRecord("f", 4, 2), (Bytes{5, 6, 7, 8}));
    EXPECT_EQ(m_fs.readRecord("f", 4, 3), (Bytes{9, 10, 0, 0}));
    EXPECT_EQ(m_fs.readRecord("f", 4, 50), Bytes(4, 0));
}

TEST_F(PosixFileSystemTest, RecordWritesZeroFillGapsAndNeverShrink) {
    // Fewer bytes than a record are not padded; the gap before them reads as zeros.
    ASSERT_TRUE(m_fs.writeRecord("f", 4, 3, Bytes{1, 2}));
    EXPECT_EQ(m_dir.read("f"), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
    EXPECT_EQ(permissions("f"), fs::perms(0600));
    fs::permissions(m_dir.file("f"), fs::perms(0640));
    ASSERT_TRUE(m_fs.writeRecord("f", 4, 1, Bytes{9}));
    EXPECT_EQ(m_dir.read("f"), (Bytes{9, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
    EXPECT_EQ(permissions("f"), fs::perms(0640)); // the replaced file's permissions are kept
    EXPECT_EQ(m_dir.names(), Names{"f"});         // no temporary left behind
}

TEST_F(PosixFileSystemTest, BadRecordArgumentsAndDirectoriesChangeNothing) {
    m_dir.write("f", Bytes(4, 7));
    fs::create_directory(m_dir.file("d.tid"));
    EXPECT_FALSE(m_fs.readRecord("f", 1 << 20, INT64_MAX).has_value());
    EXPECT_FALSE(m_fs.writeRecord("f", 2, 1, Bytes{1, 2, 3})); // more bytes than a record
    EXPECT_FALSE(m_fs.writeRecord("f", 2, 0, Bytes{1}));
    EXPECT_FALSE(m_fs.writeRecord("f", 1 << 20, INT64_MAX, Bytes{1}));
    EXPECT_FALSE(m_fs.writeRecord("d.tid", 4, 1, Bytes{1}));
    EXPECT_FALSE(m_fs.copyFile("f", "d.tid"));
    EXPECT_FALSE(m_fs.createIfMissing("d.tid"));
    EXPECT_FALSE(m_fs.removeFile("d.tid"));
    EXPECT_EQ(m_dir.read("f"), Bytes(4, 7));
    EXPECT_TRUE(fs::is_directory(m_dir.file("d.tid")));
    EXPECT_EQ(m_dir.names(), (Names{"d.tid", "f"}));
}

TEST_F(PosixFileSystemTest, RemovalByExactLowerCaseExtensionAndOfStaleTemporaries) {
    fs::create_directory(m_dir.file("d.tid"));
    m_dir.write("d.tid/in.tid", Bytes{1});
    for (const char* name : {"0112.tid", "0212.tid", "0112.TID", "x.tidy", ".tid", "keep.part",
                             ".surfklocka-0123abcd.part", ".surfklocka-x.tmp"}) {
        m_dir.write(name, Bytes{1});
    }
    // The folder d.tid is passed over, and the removal says that something is left.
    EXPECT_FALSE(m_fs.removeByExtension(".tid").has_value());
    EXPECT_FALSE(m_dir.exists("0112.tid") || m_dir.exists("0212.tid"));
    EXPECT_EQ(m_fs.removeByExtension(".part"), 1); // not the program's own temporary
    EXPECT_FALSE(m_fs.removeByExtension("tid").has_value());
    EXPECT_FALSE(m_fs.removeByExtension("../x.tid").has_value());
    EXPECT_TRUE(platform::isPlainFileName(".hidden") && platform::isPlainFileName("..."));
    EXPECT_TRUE(m_dir.exists(".surfklocka-0123abcd.part"));
    m_fs.removeStaleTemporaries();
    EXPECT_TRUE(m_dir.exists("d.tid/in.tid"));
    EXPECT_EQ(m_dir.names(), (Names{".surfklocka-x.tmp", ".tid", "0112.TID", "d.tid", "x.tidy"}));
}

TEST_F(PosixFileSystemTest, EntryKindsAreToldWithoutFollowingLinks) {
    using Kind = FileSystem::EntryKind;
    testing_support::TempDir elsewhere;
    elsewhere.write("real", Bytes{1});
    m_dir.write("f", Bytes{});
    fs::create_directory(m_dir.file("d"));
    fs::create_symlink(elsewhere.file("real"), m_dir.file("link"));
    fs::create_symlink(elsewhere.file("none"), m_dir.file("dangling"));
    ASSERT_EQ(::mkfifo(m_dir.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(m_fs.entryKind("f"), Kind::RegularFile);
    EXPECT_EQ(m_fs.entryKind("missing"), Kind::Missing);
    for (const char* other : {"d", "link", "dangling", "fifo"}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(m_fs.entryKind(other), Kind::Other);
        EXPECT_FALSE(m_fs.fileLength(other).has_value());
        EXPECT_FALSE(m_fs.readFile(other, 10).has_value());
        EXPECT_FALSE(m_fs.readRecord(other, 1, 1).has_value());
    }
    EXPECT_FALSE(m_fs.entryKind("a/b").has_value());
    EXPECT_FALSE(PosixFileSystem(m_dir.file("missing")).entryKind("f").has_value());
}

TEST_F(PosixFileSystemTest, NothingIsWrittenCopiedOrMovedThroughALink) {
    testing_support::TempDir elsewhere;
    elsewhere.write("real.tid", Bytes{1, 2});
    m_dir.write("f.tid", Bytes{7});
    fs::create_symlink(elsewhere.file("real.tid"), m_dir.file("link.tid"));
    fs::create_symlink(elsewhere.file("new.tid"), m_dir.file("dangling.tid"));
    for (const char* link : {"link.tid", "dangling.tid"}) {
        SCOPED_TRACE(link);
        EXPECT_FALSE(m_fs.writeRecord(link, 2, 1, Bytes{9}));
        EXPECT_FALSE(m_fs.replaceFile(link, Bytes{9}));
        EXPECT_FALSE(m_fs.createIfMissing(link));
        EXPECT_FALSE(m_fs.copyFile(link, "copy.tid"));
        EXPECT_FALSE(m_fs.copyFile("f.tid", link));
        EXPECT_EQ(m_fs.linkFile(link, "second.tid"), FileSystem::LinkResult::Failed);
        EXPECT_EQ(m_fs.linkFile("f.tid", link), FileSystem::LinkResult::Failed);
        EXPECT_FALSE(m_fs.renameFile(link, "moved.tid"));
        EXPECT_EQ(m_fs.exchangeFiles(link, "f.tid"), FileSystem::ExchangeResult::Failed);
        EXPECT_EQ(m_fs.exchangeFiles("f.tid", link), FileSystem::ExchangeResult::Failed);
        EXPECT_TRUE(fs::is_symlink(m_dir.file(link)));
    }
    EXPECT_EQ(elsewhere.read("real.tid"), (Bytes{1, 2}));
    EXPECT_EQ(elsewhere.names(), (Names{"real.tid"})); // nothing made where the dangling one points
    EXPECT_EQ(m_dir.read("f.tid"), Bytes{7});
    EXPECT_EQ(m_dir.names(), (Names{"dangling.tid", "f.tid", "link.tid"}));

    // Deleting removes the links themselves, never what they point to.
    EXPECT_TRUE(m_fs.removeFile("dangling.tid"));
    EXPECT_EQ(m_fs.removeByExtension(".tid"), 2);
    EXPECT_TRUE(m_dir.names().empty());
    EXPECT_EQ(elsewhere.read("real.tid"), (Bytes{1, 2}));
}

TEST_F(PosixFileSystemTest, AHardLinkNamesTheSameFileAndAFolderIsNeverLinked) {
    m_dir.write("0112.tid", Bytes{1, 2, 3});
    ASSERT_EQ(m_fs.linkFile("0112.tid", "0112.tmp"), FileSystem::LinkResult::Linked);
    struct stat month {};
    struct stat copy {};
    ASSERT_EQ(::lstat(m_dir.file("0112.tid").c_str(), &month), 0);
    ASSERT_EQ(::lstat(m_dir.file("0112.tmp").c_str(), &copy), 0);
    EXPECT_EQ(copy.st_ino, month.st_ino);
    EXPECT_EQ(copy.st_nlink, 2U);
    // Replacing the month gives it a new file; the second name keeps the old one, now its only
    // name.
    ASSERT_TRUE(m_fs.replaceFile("0112.tid", Bytes{4}, FileSystem::FolderFlush::Deferred));
    ASSERT_EQ(::lstat(m_dir.file("0112.tmp").c_str(), &copy), 0);
    EXPECT_EQ(copy.st_ino, month.st_ino);
    EXPECT_EQ(copy.st_nlink, 1U);
    EXPECT_EQ(m_dir.read("0112.tmp"), (Bytes{1, 2, 3}));
    EXPECT_EQ(m_dir.read("0112.tid"), Bytes{4});

    // A folder gives EPERM from linkat, which is not "no hard links here": it is refused first.
    fs::create_directory(m_dir.file("folder"));
    EXPECT_EQ(m_fs.linkFile("folder", "second"), FileSystem::LinkResult::Failed);
    EXPECT_EQ(m_fs.linkFile("0112.tid", "folder"), FileSystem::LinkResult::Failed);
    EXPECT_TRUE(m_fs.syncFolder());
    EXPECT_EQ(m_dir.names(), (Names{"0112.tid", "0112.tmp", "folder"}));
    EXPECT_EQ(PosixFileSystem(m_dir.file("missing")).linkFile("0112.tid", "x"),
              FileSystem::LinkResult::Failed);
    EXPECT_FALSE(PosixFileSystem(m_dir.file("missing")).syncFolder());
}

TEST_F(PosixFileSystemTest, MoveAsideTakesAnyKindOfEntryItselfAndNeverReplaces) {
    testing_support::TempDir elsewhere;
    elsewhere.write("real", Bytes{1});
    m_dir.write("f", Bytes{7});
    fs::create_directory(m_dir.file("d"));
    m_dir.write("d/in", Bytes{2});
    fs::create_symlink(elsewhere.file("real"), m_dir.file("link"));
    fs::create_symlink(elsewhere.file("none"), m_dir.file("dangling"));
    ASSERT_EQ(::mkfifo(m_dir.file("fifo").c_str(), 0600), 0);
    const Names kinds{"d", "dangling", "f", "fifo", "link"};
    EXPECT_EQ(m_fs.listNames(), kinds);
    for (const std::string& from : kinds) {
        for (const std::string& to : kinds) {
            SCOPED_TRACE(from + ">" + to);
            EXPECT_FALSE(m_fs.moveAside(from, to));
            EXPECT_EQ(m_fs.lastError(), EEXIST);
        }
    }
    for (const std::string& from : kinds) {
        ASSERT_TRUE(m_fs.moveAside(from, from + ".skadad")) << from;
    }
    EXPECT_EQ(m_fs.listNames(),
              (Names{"d.skadad", "dangling.skadad", "f.skadad", "fifo.skadad", "link.skadad"}));
    EXPECT_EQ(fs::read_symlink(m_dir.file("link.skadad")), elsewhere.file("real"));
    EXPECT_EQ(fs::read_symlink(m_dir.file("dangling.skadad")), elsewhere.file("none"));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(m_dir.file("fifo.skadad"))));
    EXPECT_EQ(m_dir.read("d.skadad/in"), Bytes{2});
    EXPECT_EQ(m_dir.read("f.skadad"), Bytes{7});
    EXPECT_EQ(elsewhere.names(), Names{"real"}); // nothing made or moved where the links point
    EXPECT_EQ(elsewhere.read("real"), Bytes{1});

    // Where renameat2 cannot refuse to replace, a regular file alone is moved, by link and unlink.
    m_calls.failCall(0, EINVAL, {"renameat2"});
    m_calls.clearLog();
    for (const char* other : {"d.skadad", "fifo.skadad", "link.skadad"}) {
        EXPECT_FALSE(m_fs.moveAside(other, "x"));
        EXPECT_EQ(m_fs.lastError(), EINVAL);
    }
    EXPECT_TRUE(m_fs.moveAside("f.skadad", "f", Flush::Deferred));
    EXPECT_EQ(m_calls.log(),
              (Names{"renameat2 d.skadad>x", "renameat2 fifo.skadad>x", "renameat2 link.skadad>x",
                     "renameat2 f.skadad>f", "linkat f.skadad>f", "unlinkat f.skadad"}));
    EXPECT_EQ(m_dir.read("f"), Bytes{7});
}

TEST_F(PosixFileSystemTest, ChangesMakeTheirSystemCallsInADurableOrder) {
    using Data = FileSystem::DataFlush;
    struct Case {
        std::function<bool(FileSystem&)> change;
        Names calls;
    };
    // The new content goes to a hidden file, whose data is flushed before the rename puts it in
    // place; the folder is flushed last, unless deferred. A replaced file's mode is kept (fchmod).
    const Case cases[] = {
        {[](FileSystem& f) {
             return f.replaceFile("f", Bytes{1, 2});
         },
         {"openat <tmp>", "write <tmp>", "fchmod <tmp>", "fdatasync <tmp>", "close <tmp>",
          "renameat <tmp>>f", "fsync ."}},
        {[](FileSystem& f) {
             return f.replaceFile("f", Bytes{1, 2}, Flush::Deferred);
         },
         {"openat <tmp>", "write <tmp>", "fchmod <tmp>", "fdatasync <tmp>", "close <tmp>",
          "renameat <tmp>>f"}},
        {[](FileSystem& f) {
             return f.replaceFile("f", Bytes{1, 2}, Flush::Now, Data::Skipped);
         },
         {"openat <tmp>", "write <tmp>", "fchmod <tmp>", "close <tmp>", "renameat <tmp>>f",
          "fsync ."}},
        {[](FileSystem& f) {
             return f.replaceFile("new", Bytes{3}, Flush::Deferred, Data::Skipped);
         },
         {"openat <tmp>", "write <tmp>", "close <tmp>", "renameat <tmp>>new"}},
        {[](FileSystem& f) { return f.renameFile("f", "g"); }, {"renameat2 f>g", "fsync ."}},
        {[](FileSystem& f) { return f.renameFile("g", "f", Flush::Deferred); }, {"renameat2 g>f"}},
        {[](FileSystem& f) { return f.moveAside("f", "g", Flush::Deferred); }, {"renameat2 f>g"}},
        {[](FileSystem& f) { return f.linkFile("g", "f") == FileSystem::LinkResult::Linked; },
         {"linkat g>f"}},
        {[](FileSystem& f) {
             return f.exchangeFiles("f", "new") == FileSystem::ExchangeResult::Exchanged;
         },
         {"renameat2 f>new", "fsync ."}},
        {[](FileSystem& f) { return f.removeFile("g", Flush::Deferred); }, {"unlinkat g"}},
        {[](FileSystem& f) { return f.removeFile("f"); }, {"unlinkat f", "fsync ."}},
        {[](FileSystem& f) { return f.createIfMissing("e"); }, {"openat e", "close e", "fsync ."}},
    };
    m_dir.write("f", Bytes{9});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.calls.front());
        m_calls.clearLog();
        EXPECT_TRUE(c.change(m_fs));
        EXPECT_EQ(steps(m_calls.log()), c.calls);
    }
    EXPECT_EQ(m_dir.names(), (Names{"e", "new"}));
    EXPECT_EQ(m_dir.read("new"), (Bytes{1, 2})); // the replaced f's, given by the exchange
}

TEST(PosixFileSystemFaults, EverySystemCallFailingInTurnChangesNothingAndIsTheErrorGiven) {
    using Link = FileSystem::LinkResult;
    using Exchange = FileSystem::ExchangeResult;
    struct Case {
        const char* what;
        bool noReplace;    // whether renameat2 can refuse to replace
        std::size_t calls; // as the order test above has them; a fallback adds linkat, unlinkat
        Folder after;
        std::function<bool(FileSystem&)> change;
    };
    const Folder replaced{{"a", {3}}, {"b", {2, 2}}}, renamed{{"b", {2, 2}}, {"c", {1}}},
        removed{{"b", {2, 2}}}, linked{{"a", {1}}, {"b", {2, 2}}, {"c", {1}}},
        exchanged{{"a", {2, 2}}, {"b", {1}}};
    const Case cases[] = {
        {"replace", true, 7, replaced, [](FileSystem& f) { return f.replaceFile("a", Bytes{3}); }},
        {"rename", true, 2, renamed, [](FileSystem& f) { return f.renameFile("a", "c"); }},
        {"rename by link", false, 4, renamed, [](FileSystem& f) { return f.renameFile("a", "c"); }},
        {"move aside", true, 2, renamed, [](FileSystem& f) { return f.moveAside("a", "c"); }},
        {"aside by link", false, 4, renamed, [](FileSystem& f) { return f.moveAside("a", "c"); }},
        {"remove", true, 2, removed, [](FileSystem& f) { return f.removeFile("a"); }},
        {"link", true, 1, linked,
         [](FileSystem& f) { return f.linkFile("a", "c") == Link::Linked; }},
        {"exchange", true, 2, exchanged,
         [](FileSystem& f) { return f.exchangeFiles("a", "b") == Exchange::Exchanged; }},
    };
    const Folder before{{"a", {1}}, {"b", {2, 2}}};
    for (const Case& c : cases) {
        FaultyFolder clean(c.noReplace);
        ASSERT_TRUE(c.change(clean.fs)) << c.what;
        EXPECT_EQ(clean.folder(), c.after) << c.what;
        const Names made = clean.calls.log();
        ASSERT_EQ(made.size(), c.calls) << c.what;
        for (std::size_t nth = 1; nth <= made.size(); ++nth) {
            if (made[nth - 1].starts_with("renameat2") && !c.noReplace) {
                continue; // already failing
            }
            // The folder flush comes after the change, which stands: the call answers success.
            const bool afterChange = made[nth - 1].starts_with("fsync");
            for (const auto& [error, errorName] :
                 {std::pair{EIO, "EIO"}, std::pair{ENOSPC, "ENOSPC"},
                  std::pair{EACCES, "EACCES"}}) {
                SCOPED_TRACE(std::string(c.what) + ": " + made[nth - 1] + " fails, " + errorName);
                FaultyFolder run(c.noReplace);
                run.calls.failCall(static_cast<int>(nth), error);
                EXPECT_EQ(c.change(run.fs), afterChange);
                EXPECT_EQ(run.folder(), afterChange ? c.after : before);
                EXPECT_EQ(run.fs.lastError(), error);
            }
        }
    }
}

// The folder's note, as separate processes see it: each layer below stands for one program on
// the same data folder.
class FolderNoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        // tmpfs before Linux 6.6 keeps no user attributes; there the layer never has a note.
        if (::setxattr(m_dir.path().c_str(), "user.surfklocka.probe", "1", 1, 0) != 0) {
            GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
        }
        ::removexattr(m_dir.path().c_str(), "user.surfklocka.probe");
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
