#include "platform/posix_file_system.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using platform::FileSystem;
using platform::PosixFileSystem;
using Bytes = std::vector<std::uint8_t>;

Bytes filled(std::size_t count, std::uint8_t value) {
    return Bytes(count, value);
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool hasTemporary(const testing_support::TempDir& dir) {
    for (const std::string& name : dir.names()) {
        if (name.ends_with(".part")) {
            return true;
        }
    }
    return false;
}

unsigned modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

class PosixFileSystemTest : public ::testing::Test {
protected:
    testing_support::TempDir m_dir;
    PosixFileSystem m_fs{m_dir.path()};
};

TEST(PlainFileName, AcceptsOnlyNamesWithoutFolderParts) {
    EXPECT_TRUE(platform::isPlainFileName("0112.tid"));
    EXPECT_TRUE(platform::isPlainFileName(".hidden"));
    EXPECT_TRUE(platform::isPlainFileName("..."));
    EXPECT_FALSE(platform::isPlainFileName(""));
    EXPECT_FALSE(platform::isPlainFileName("."));
    EXPECT_FALSE(platform::isPlainFileName(".."));
    EXPECT_FALSE(platform::isPlainFileName("a/b"));
    EXPECT_FALSE(platform::isPlainFileName("/x"));
    EXPECT_FALSE(platform::isPlainFileName(std::string_view("a\0b", 3)));
}

TEST(PosixFileSystemOpen, MissingFolderFailsEveryOperation) {
    testing_support::TempDir dir;
    PosixFileSystem fs(dir.file("missing"));
    EXPECT_FALSE(fs.isOpen());
    EXPECT_FALSE(fs.createIfMissing("a.tid"));
    EXPECT_FALSE(fs.writeRecord("a.tid", 4, 1, Bytes{1}));
    EXPECT_FALSE(fs.removeByExtension(".tid").has_value());
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

TEST_F(PosixFileSystemTest, LengthOfMissingEmptyRegularAndDirectory) {
    ASSERT_TRUE(m_fs.isOpen());
    m_dir.write("empty", {});
    m_dir.write("seven", filled(7, 0x41));
    std::filesystem::create_directory(m_dir.file("folder"));
    EXPECT_FALSE(m_fs.fileLength("missing").has_value());
    EXPECT_EQ(m_fs.fileLength("empty"), 0);
    EXPECT_EQ(m_fs.fileLength("seven"), 7);
    EXPECT_FALSE(m_fs.fileLength("folder").has_value());
}

TEST_F(PosixFileSystemTest, ReadFileStopsAtMaxBytes) {
    m_dir.write("f", Bytes{1, 2, 3, 4, 5});
    EXPECT_EQ(m_fs.readFile("f", 3), (Bytes{1, 2, 3}));
    EXPECT_EQ(m_fs.readFile("f", 100), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_FALSE(m_fs.readFile("missing", 10).has_value());
}

TEST_F(PosixFileSystemTest, ReadRecordZeroFillsPastTheEnd) {
    m_dir.write("f", Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(m_fs.readRecord("f", 4, 1), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(m_fs.readRecord("f", 4, 2), (Bytes{5, 6, 7, 8}));
    EXPECT_EQ(m_fs.readRecord("f", 4, 3), (Bytes{9, 10, 0, 0}));
    EXPECT_EQ(m_fs.readRecord("f", 4, 50), filled(4, 0));
}

TEST_F(PosixFileSystemTest, ReadRecordRefusesBadArguments) {
    m_dir.write("f", filled(8, 1));
    EXPECT_FALSE(m_fs.readRecord("f", 4, 0).has_value());
    EXPECT_FALSE(m_fs.readRecord("f", 4, -1).has_value());
    EXPECT_FALSE(m_fs.readRecord("f", 0, 1).has_value());
    EXPECT_FALSE(m_fs.readRecord("f", 1 << 20, INT64_MAX).has_value());
    EXPECT_FALSE(m_fs.readRecord("missing", 4, 1).has_value());
}

TEST_F(PosixFileSystemTest, WriteRecordGrowsMissingFileWithZeroGap) {
    const Bytes record = filled(16, 0xAB);
    ASSERT_TRUE(m_fs.writeRecord("0112.tid", 16, 20, record));
    EXPECT_EQ(m_dir.read("0112.tid"), concat(filled(304, 0), record));
    EXPECT_EQ(modeOf(m_dir.file("0112.tid")), 0600u);
    EXPECT_FALSE(hasTemporary(m_dir));
}

TEST_F(PosixFileSystemTest, WriteRecordDoesNotPadShortBytes) {
    m_dir.write("empty", {});
    ASSERT_TRUE(m_fs.writeRecord("empty", 30, 3, Bytes{0x12, 0x34}));
    EXPECT_EQ(m_dir.read("empty"), concat(filled(60, 0), Bytes{0x12, 0x34}));
}

TEST_F(PosixFileSystemTest, WriteRecordOverwritesInTheMiddleAndNeverShrinks) {
    m_dir.write("f", filled(12, 9));
    ASSERT_TRUE(m_fs.writeRecord("f", 4, 2, Bytes{1, 2}));
    EXPECT_EQ(m_dir.read("f"), (Bytes{9, 9, 9, 9, 1, 2, 9, 9, 9, 9, 9, 9}));
    ASSERT_TRUE(m_fs.writeRecord("f", 2, 1, Bytes{}));
    EXPECT_EQ(m_dir.read("f").size(), 12u);
}

TEST_F(PosixFileSystemTest, WriteRecordRefusesOversizedBytesAndBadNumbers) {
    m_dir.write("f", filled(4, 7));
    EXPECT_FALSE(m_fs.writeRecord("f", 2, 1, Bytes{1, 2, 3}));
    EXPECT_FALSE(m_fs.writeRecord("f", 2, 0, Bytes{1}));
    EXPECT_FALSE(m_fs.writeRecord("f", 0, 1, Bytes{}));
    EXPECT_FALSE(m_fs.writeRecord("f", 1 << 20, INT64_MAX, Bytes{1}));
    EXPECT_EQ(m_dir.read("f"), filled(4, 7));
    EXPECT_FALSE(hasTemporary(m_dir));
}

TEST_F(PosixFileSystemTest, WriteKeepsPermissionBitsOfReplacedFile) {
    m_dir.write("f", filled(4, 7));
    std::filesystem::permissions(m_dir.file("f"), std::filesystem::perms(0640));
    ASSERT_TRUE(m_fs.writeRecord("f", 4, 1, Bytes{1}));
    EXPECT_EQ(modeOf(m_dir.file("f")), 0640u);
}

TEST_F(PosixFileSystemTest, WriteOverADirectoryFailsAndLeavesNoTemporary) {
    std::filesystem::create_directory(m_dir.file("d.tid"));
    m_dir.write("src", Bytes{1, 2});
    EXPECT_FALSE(m_fs.writeRecord("d.tid", 4, 1, Bytes{1}));
    EXPECT_FALSE(m_fs.copyFile("src", "d.tid"));
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.file("d.tid")));
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"d.tid", "src"}));
}

TEST_F(PosixFileSystemTest, CreateIfMissingKeepsExistingContent) {
    EXPECT_TRUE(m_fs.createIfMissing("new"));
    EXPECT_EQ(m_fs.fileLength("new"), 0);
    m_dir.write("old", Bytes{5});
    EXPECT_TRUE(m_fs.createIfMissing("old"));
    EXPECT_EQ(m_dir.read("old"), Bytes{5});
    std::filesystem::create_directory(m_dir.file("folder"));
    EXPECT_FALSE(m_fs.createIfMissing("folder"));
}

TEST_F(PosixFileSystemTest, RenameNeverReplacesAnExistingTarget) {
    m_dir.write("a", Bytes{1});
    m_dir.write("b", Bytes{2});
    EXPECT_FALSE(m_fs.renameFile("a", "b"));
    EXPECT_EQ(m_dir.read("a"), Bytes{1});
    EXPECT_EQ(m_dir.read("b"), Bytes{2});
    EXPECT_FALSE(m_fs.renameFile("missing", "c"));
    EXPECT_FALSE(m_dir.exists("c"));
    ASSERT_TRUE(m_fs.renameFile("a", "c"));
    EXPECT_FALSE(m_dir.exists("a"));
    EXPECT_EQ(m_dir.read("c"), Bytes{1});
}

TEST_F(PosixFileSystemTest, CopyReplacesTargetAndKeepsSource) {
    m_dir.write("from", Bytes{1, 2, 3});
    m_dir.write("to", filled(10, 9));
    ASSERT_TRUE(m_fs.copyFile("from", "to"));
    EXPECT_EQ(m_dir.read("to"), (Bytes{1, 2, 3}));
    EXPECT_EQ(m_dir.read("from"), (Bytes{1, 2, 3}));
    EXPECT_FALSE(m_fs.copyFile("missing", "to"));
    EXPECT_EQ(m_dir.read("to"), (Bytes{1, 2, 3}));
    EXPECT_FALSE(m_fs.copyFile("from", "from"));
    EXPECT_FALSE(hasTemporary(m_dir));
}

TEST_F(PosixFileSystemTest, ReplaceFileSetsTheWholeContent) {
    m_dir.write("0112.tid", filled(320, 7));
    ASSERT_TRUE(m_fs.replaceFile("0112.tid", Bytes{1, 2}));
    EXPECT_EQ(m_dir.read("0112.tid"), (Bytes{1, 2}));
    ASSERT_TRUE(m_fs.replaceFile("0112.tid", Bytes{}));
    EXPECT_EQ(m_fs.fileLength("0112.tid"), 0);
    ASSERT_TRUE(m_fs.replaceFile("new.tmp", Bytes{5}));
    EXPECT_EQ(m_dir.read("new.tmp"), Bytes{5});
    EXPECT_FALSE(m_fs.replaceFile("../outside", Bytes{5}));
    EXPECT_FALSE(hasTemporary(m_dir));
}

TEST_F(PosixFileSystemTest, ExchangeSwapsContents) {
    m_dir.write("a", Bytes{1});
    m_dir.write("b", Bytes{2, 2});
    EXPECT_EQ(m_fs.exchangeFiles("a", "missing"), FileSystem::ExchangeResult::Failed);
    EXPECT_FALSE(m_dir.exists("missing"));
    const auto result = m_fs.exchangeFiles("a", "b");
    if (result == FileSystem::ExchangeResult::Unsupported) {
        GTEST_SKIP() << "the file system under the temporary folder cannot exchange";
    }
    ASSERT_EQ(result, FileSystem::ExchangeResult::Exchanged);
    EXPECT_EQ(m_dir.read("a"), (Bytes{2, 2}));
    EXPECT_EQ(m_dir.read("b"), Bytes{1});
}

TEST_F(PosixFileSystemTest, RemoveFileRefusesMissingFilesAndDirectories) {
    m_dir.write("f", Bytes{1});
    std::filesystem::create_directory(m_dir.file("d"));
    EXPECT_TRUE(m_fs.removeFile("f"));
    EXPECT_FALSE(m_dir.exists("f"));
    EXPECT_FALSE(m_fs.removeFile("f"));
    EXPECT_FALSE(m_fs.removeFile("d"));
    EXPECT_TRUE(m_dir.exists("d"));
}

TEST(PosixFileSystemRemoveByExtension, DeletesOnlyExactLowerCaseMatchesInTheFolder) {
    testing_support::TempDir outer;
    std::filesystem::create_directory(outer.file("data"));
    outer.write("outside.tid", Bytes{1});
    PosixFileSystem fs(outer.file("data"));
    const auto inside = [&](const std::string& name) { return "data/" + name; };
    for (const char* name : {"0112.tid", "0212.tid", "0112.TID", "x.tidy", ".tid", "a.tmp"}) {
        outer.write(inside(name), Bytes{1});
    }
    std::filesystem::create_directory(outer.file(inside("d.tid")));

    EXPECT_EQ(fs.removeByExtension(".tid"), 2);
    EXPECT_EQ(fs.removeByExtension(".tid"), 0);
    EXPECT_TRUE(outer.exists("outside.tid"));
    EXPECT_EQ(outer.names(), (std::vector<std::string>{"data", "outside.tid"}));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(outer.file("data"))) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".tid", "0112.TID", "a.tmp", "d.tid", "x.tidy"}));
    EXPECT_FALSE(fs.removeByExtension("tid").has_value());
    EXPECT_FALSE(fs.removeByExtension(".").has_value());
    EXPECT_FALSE(fs.removeByExtension("./x").has_value());
}

TEST_F(PosixFileSystemTest, RemoveStaleTemporariesDeletesOnlyProgramTemporaries) {
    m_dir.write(".surfklocka-0123abcd.part", Bytes{1});
    m_dir.write("keep.part", Bytes{1});
    m_dir.write(".surfklocka-x.tid", Bytes{1});
    std::filesystem::create_directory(m_dir.file(".surfklocka-d.part"));
    EXPECT_EQ(m_fs.removeByExtension(".part"), 1);
    EXPECT_TRUE(m_dir.exists(".surfklocka-0123abcd.part"));
    m_fs.removeStaleTemporaries();
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{".surfklocka-d.part", ".surfklocka-x.tid"}));
}

TEST(PosixFileSystemSafety, UnsafeNamesAreRefusedEverywhere) {
    testing_support::TempDir outer;
    std::filesystem::create_directory(outer.file("data"));
    std::filesystem::create_directory(outer.file("data/a"));
    outer.write("x.tid", Bytes{7, 7});
    outer.write("data/a/b", Bytes{8});
    outer.write("data/ok", Bytes{3});
    PosixFileSystem fs(outer.file("data"));
    ASSERT_TRUE(fs.isOpen());

    for (const std::string_view bad :
         {std::string_view("../x.tid"), std::string_view("a/b"), std::string_view(""),
          std::string_view(".."), std::string_view("."), std::string_view("ok\0x", 4)}) {
        SCOPED_TRACE(std::string(bad));
        EXPECT_FALSE(fs.fileLength(bad).has_value());
        EXPECT_FALSE(fs.readFile(bad, 10).has_value());
        EXPECT_FALSE(fs.readRecord(bad, 1, 1).has_value());
        EXPECT_FALSE(fs.writeRecord(bad, 1, 1, Bytes{1}));
        EXPECT_FALSE(fs.createIfMissing(bad));
        EXPECT_FALSE(fs.copyFile("ok", bad));
        EXPECT_FALSE(fs.copyFile(bad, "copy"));
        EXPECT_FALSE(fs.renameFile("ok", bad));
        EXPECT_FALSE(fs.renameFile(bad, "moved"));
        EXPECT_EQ(fs.exchangeFiles("ok", bad), FileSystem::ExchangeResult::Failed);
        EXPECT_FALSE(fs.removeFile(bad));
    }
    EXPECT_FALSE(fs.removeByExtension("../x.tid").has_value());
    EXPECT_EQ(outer.read("x.tid"), (Bytes{7, 7}));
    EXPECT_EQ(outer.read("data/a/b"), Bytes{8});
    EXPECT_EQ(outer.read("data/ok"), Bytes{3});
    EXPECT_EQ(outer.names(), (std::vector<std::string>{"data", "x.tid"}));
    EXPECT_FALSE(outer.exists("data/copy"));
    EXPECT_FALSE(outer.exists("data/moved"));
}

} // namespace
