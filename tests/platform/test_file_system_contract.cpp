// The same cases on the real file layer over a temporary folder and on the fake in memory that
// the model and fault tests use, so that the fake keeps to what the real layer does. Links,
// folders and other kinds of entry exist on the real layer alone; their cases are in
// test_posix_file_system.cpp.

#include "platform/posix_file_system.h"
#include "support/fakes/memory_file_system.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

using platform::FileSystem;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using Kind = FileSystem::EntryKind;
using Exchange = FileSystem::ExchangeResult;
using Link = FileSystem::LinkResult;
using Flush = FileSystem::FolderFlush;

namespace {

// The real layer on the folder "data" inside a temporary folder, so that a name that escaped the
// folder would still land where the test sees it. Files are put in place and looked at directly,
// not through the layer.
class PosixLayer {
public:
    static constexpr const char* kName = "Posix";

    FileSystem& files() { return m_files; }
    void put(const std::string& name, const Bytes& bytes) { m_root.write("data/" + name, bytes); }
    std::optional<Bytes> content(const std::string& name) const {
        if (!m_root.exists("data/" + name)) {
            return std::nullopt;
        }
        return m_root.read("data/" + name);
    }
    // The names in the folder, sorted, and any beside it as "../name".
    Names names() const {
        Names found;
        for (const std::string& outside : m_root.names()) {
            if (outside != "data") {
                found.push_back("../" + outside);
            }
        }
        for (const auto& entry : std::filesystem::directory_iterator(m_data)) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    static std::string madeFolder(const std::string& path) {
        std::filesystem::create_directory(path);
        return path;
    }

    testing_support::TempDir m_root;
    std::string m_data = madeFolder(m_root.file("data"));
    platform::PosixFileSystem m_files{m_data};
};

// The fake, with its files put in place and looked at in its map.
class MemoryLayer {
public:
    static constexpr const char* kName = "Memory";

    FileSystem& files() { return m_files; }
    platform::fakes::MemoryFileSystem& fake() { return m_files; }
    void put(const std::string& name, const Bytes& bytes) { m_files.files()[name] = bytes; }
    std::optional<Bytes> content(const std::string& name) const {
        const auto found = m_files.files().find(name);
        if (found == m_files.files().end()) {
            return std::nullopt;
        }
        return found->second;
    }
    Names names() const {
        Names found;
        for (const auto& [name, bytes] : m_files.files()) {
            found.push_back(name);
        }
        return found;
    }

private:
    platform::fakes::MemoryFileSystem m_files;
};

class LayerNames {
public:
    template <typename Layer>
    static std::string GetName(int) {
        return Layer::kName;
    }
};

template <typename Layer>
class FileSystemContract : public ::testing::Test {
protected:
    Layer m_layer;
    FileSystem& m_fs = m_layer.files();
};

using Layers = ::testing::Types<PosixLayer, MemoryLayer>;
TYPED_TEST_SUITE(FileSystemContract, Layers, LayerNames);

constexpr std::size_t kDefaultBound = FileSystem::kDefaultMaxFileBytes;

} // namespace

TYPED_TEST(FileSystemContract, MissingEmptyAndWrittenFiles) {
    FileSystem& fs = this->m_fs;
    this->m_layer.put("empty", {});
    this->m_layer.put("f", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(fs.entryKind("missing"), Kind::Missing);
    EXPECT_EQ(fs.entryKind("empty"), Kind::RegularFile);
    EXPECT_EQ(fs.entryKind("f"), Kind::RegularFile);
    EXPECT_EQ(fs.exists("empty"), true);
    EXPECT_EQ(fs.fileLength("empty"), 0);
    EXPECT_EQ(fs.fileLength("f"), 10);
    EXPECT_EQ(fs.readFile("empty", 10), Bytes{});
    EXPECT_EQ(fs.readFile("f", 3), (Bytes{1, 2, 3}));
    EXPECT_EQ(fs.readFile("f", 0), Bytes{});
    EXPECT_EQ(fs.readFile("f", 100), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TYPED_TEST(FileSystemContract, RecordsPastTheEndReadAsZeros) {
    FileSystem& fs = this->m_fs;
    this->m_layer.put("empty", {});
    this->m_layer.put("f", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(fs.readRecord("f", 4, 1), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(fs.readRecord("f", 4, 3), (Bytes{9, 10, 0, 0}));
    EXPECT_EQ(fs.readRecord("f", 4, 50), Bytes(4, 0));
    EXPECT_EQ(fs.readRecord("empty", 2, 1), (Bytes{0, 0}));
    // Far past four gigabytes, which a 32-bit offset cannot reach.
    EXPECT_EQ(fs.readRecord("f", 16, std::int64_t{1} << 40), Bytes(16, 0));
    EXPECT_EQ(fs.readRecord("f", 4, -1), std::nullopt);
    EXPECT_EQ(fs.readRecord("f", 0, 1), std::nullopt);
    EXPECT_EQ(fs.readRecord("f", 1 << 20, INT64_MAX), std::nullopt); // ends past any offset
}

TYPED_TEST(FileSystemContract, RecordWritesGrowWithZerosNeverShortenAndKeepToTheirBound) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    // Fewer bytes than a record are not padded; the gap before them is zeros.
    ASSERT_TRUE(fs.writeRecord("new", 4, 3, Bytes{1, 2}));
    EXPECT_EQ(layer.content("new"), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
    ASSERT_TRUE(fs.writeRecord("new", 4, 1, Bytes{9}));
    EXPECT_EQ(layer.content("new"), (Bytes{9, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
    ASSERT_TRUE(fs.writeRecord("gap", 4, 2, Bytes{}));
    EXPECT_EQ(layer.content("gap"), Bytes(4, 0));

    EXPECT_FALSE(fs.writeRecord("new", 2, 1, Bytes{1, 2, 3})); // more bytes than a record
    EXPECT_FALSE(fs.writeRecord("new", 2, 0, Bytes{1}));
    EXPECT_FALSE(fs.writeRecord("new", 0, 1, Bytes{}));
    EXPECT_FALSE(fs.writeRecord("other", 1 << 20, INT64_MAX, Bytes{1}));
    EXPECT_EQ(layer.content("new"), (Bytes{9, 0, 0, 0, 0, 0, 0, 0, 1, 2}));

    // The bound is on the file as it is before the write; a missing file is empty.
    layer.put("five", {1, 2, 3, 4, 5});
    EXPECT_FALSE(fs.writeRecord("five", 2, 1, Bytes{9}, 4));
    EXPECT_EQ(layer.content("five"), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_TRUE(fs.writeRecord("five", 2, 4, Bytes{9}, 5));
    EXPECT_EQ(layer.content("five"), (Bytes{1, 2, 3, 4, 5, 0, 9}));
    EXPECT_TRUE(fs.writeRecord("zero", 2, 1, Bytes{8}, 0));
    EXPECT_EQ(layer.content("zero"), Bytes{8});
    // Without a bound of the caller's, the layer's own.
    layer.put("max", Bytes(kDefaultBound, 3));
    layer.put("long", Bytes(kDefaultBound + 1, 4));
    EXPECT_TRUE(fs.writeRecord("max", 1, 1, Bytes{6}));
    EXPECT_FALSE(fs.writeRecord("long", 1, 1, Bytes{6}));
    EXPECT_EQ(layer.content("long"), Bytes(kDefaultBound + 1, 4));
    EXPECT_EQ(layer.names(), (Names{"five", "gap", "long", "max", "new", "zero"}));
}

TYPED_TEST(FileSystemContract, ReplaceAndCreateIfMissing) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    layer.put("f", Bytes(320, 7));
    ASSERT_TRUE(fs.replaceFile("f", Bytes{1, 2}));
    EXPECT_EQ(layer.content("f"), (Bytes{1, 2}));
    ASSERT_TRUE(fs.replaceFile("new", Bytes{}));
    EXPECT_EQ(layer.content("new"), Bytes{});

    EXPECT_TRUE(fs.createIfMissing("f"));
    EXPECT_EQ(layer.content("f"), (Bytes{1, 2}));
    EXPECT_TRUE(fs.createIfMissing("made"));
    EXPECT_EQ(layer.content("made"), Bytes{});
    EXPECT_EQ(layer.names(), (Names{"f", "made", "new"}));
}

TYPED_TEST(FileSystemContract, CopiesReplaceTheirTargetWithinTheirBound) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    layer.put("a", {1, 2, 3});
    layer.put("b", {9, 9, 9, 9, 9});
    ASSERT_TRUE(fs.copyFile("a", "b"));
    EXPECT_EQ(layer.content("b"), (Bytes{1, 2, 3}));
    EXPECT_EQ(layer.content("a"), (Bytes{1, 2, 3}));
    EXPECT_FALSE(fs.copyFile("a", "c", 2));
    EXPECT_EQ(layer.content("c"), std::nullopt);
    EXPECT_TRUE(fs.copyFile("a", "c", 3));
    EXPECT_EQ(layer.content("c"), (Bytes{1, 2, 3}));
    EXPECT_FALSE(fs.copyFile("a", "a"));

    layer.put("max", Bytes(kDefaultBound, 3));
    layer.put("long", Bytes(kDefaultBound + 1, 4));
    EXPECT_TRUE(fs.copyFile("max", "max2"));
    EXPECT_EQ(layer.content("max2"), Bytes(kDefaultBound, 3));
    EXPECT_FALSE(fs.copyFile("long", "b"));
    EXPECT_EQ(layer.content("b"), (Bytes{1, 2, 3}));
    EXPECT_EQ(layer.names(), (Names{"a", "b", "c", "long", "max", "max2"}));
}

TYPED_TEST(FileSystemContract, RenamesAndMovesAsideNeverReplace) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    using Move = bool (FileSystem::*)(std::string_view, std::string_view, Flush);
    for (const Move move : {Move{&FileSystem::renameFile}, Move{&FileSystem::moveAside}}) {
        layer.put("a", {1});
        layer.put("b", {2, 2});
        struct Case {
            const char* from;
            const char* to;
            int error; // the system's answer, or 0 where the layer refuses the name itself
        };
        for (const Case refused : {Case{"a", "b", EEXIST}, Case{"a", "a", EEXIST},
                                   Case{"missing", "c", ENOENT}, Case{"a", "../c", 0}}) {
            SCOPED_TRACE(std::string(refused.from) + ">" + refused.to);
            EXPECT_FALSE((fs.*move)(refused.from, refused.to, Flush::Now));
            EXPECT_EQ(fs.lastError(), refused.error);
        }
        EXPECT_EQ(layer.names(), (Names{"a", "b"}));
        EXPECT_EQ(layer.content("a"), Bytes{1});
        EXPECT_EQ(layer.content("b"), (Bytes{2, 2}));
        ASSERT_TRUE((fs.*move)("a", "c", Flush::Now));
        EXPECT_EQ(fs.lastError(), 0);
        EXPECT_EQ(layer.names(), (Names{"b", "c"}));
        EXPECT_EQ(layer.content("c"), Bytes{1});
        ASSERT_TRUE(fs.removeFile("b") && fs.removeFile("c"));
    }
}

TYPED_TEST(FileSystemContract, EveryCallTellsTheSystemsCauseOfItsFailure) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    layer.put("a", {1});
    layer.put("b", {2});
    layer.put("long", Bytes(kDefaultBound + 1, 4));
    struct Case {
        const char* call;
        bool (*answersAsItShould)(FileSystem&);
        int error; // 0: succeeded, or refused for a reason of the layer's own
    };
    const Case cases[] = {
        {"readFile missing", [](FileSystem& f) { return !f.readFile("missing", 9); }, ENOENT},
        {"fileLength missing", [](FileSystem& f) { return !f.fileLength("missing"); }, ENOENT},
        {"readRecord missing", [](FileSystem& f) { return !f.readRecord("missing", 1, 1); },
         ENOENT},
        {"copyFile missing", [](FileSystem& f) { return !f.copyFile("missing", "c"); }, ENOENT},
        {"removeFile missing", [](FileSystem& f) { return !f.removeFile("missing"); }, ENOENT},
        {"linkFile missing",
         [](FileSystem& f) { return f.linkFile("missing", "c") == Link::Failed; }, ENOENT},
        {"linkFile over b", [](FileSystem& f) { return f.linkFile("a", "b") == Link::Failed; },
         EEXIST},
        {"exchangeFiles missing",
         [](FileSystem& f) { return f.exchangeFiles("a", "missing") == Exchange::Failed; }, ENOENT},
        {"copyFile too long", [](FileSystem& f) { return !f.copyFile("long", "c"); }, 0},
        {"writeRecord too long", [](FileSystem& f) { return !f.writeRecord("long", 1, 1, {}); }, 0},
        {"readRecord 0", [](FileSystem& f) { return !f.readRecord("a", 1, 0); }, 0},
        {"replaceFile a/b", [](FileSystem& f) { return !f.replaceFile("a/b", Bytes{1}); }, 0},
        {"namesWithExtension x", [](FileSystem& f) { return !f.namesWithExtension("x"); }, 0},
        {"readFile a", [](FileSystem& f) { return f.readFile("a", 9) == Bytes{1}; }, 0},
        {"exists missing", [](FileSystem& f) { return f.exists("missing") == false; }, 0},
        {"replaceFile a", [](FileSystem& f) { return f.replaceFile("a", Bytes{3}); }, 0},
        {"syncFolder", [](FileSystem& f) { return f.syncFolder(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        ASSERT_FALSE(fs.removeFile("missing")); // so that a call that clears no error is seen
        ASSERT_EQ(fs.lastError(), ENOENT);
        EXPECT_TRUE(c.answersAsItShould(fs));
        EXPECT_EQ(fs.lastError(), c.error);
    }
    EXPECT_EQ(layer.names(), (Names{"a", "b", "long"}));
    EXPECT_EQ(layer.content("a"), Bytes{3});
}

TYPED_TEST(FileSystemContract, ExchangesSwapBothFilesOrChangeNothing) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    layer.put("a", {1});
    layer.put("b", {2, 2});
    EXPECT_EQ(fs.exchangeFiles("missing", "a"), Exchange::Failed);
    EXPECT_EQ(fs.exchangeFiles("a", "a"), Exchange::Failed);
    EXPECT_EQ(layer.names(), (Names{"a", "b"}));
    EXPECT_EQ(layer.content("a"), Bytes{1});

    if constexpr (std::is_same_v<TypeParam, MemoryLayer>) {
        layer.fake().exchangeUnsupported = true;
        EXPECT_EQ(fs.exchangeFiles("a", "b"), Exchange::Unsupported);
        EXPECT_EQ(fs.exchangeFiles("a", "missing"), Exchange::Failed);
        EXPECT_EQ(layer.content("a"), Bytes{1});
        EXPECT_EQ(layer.content("b"), (Bytes{2, 2}));
        layer.fake().exchangeUnsupported = false;
    }
    const Exchange result = fs.exchangeFiles("a", "b");
    if (result == Exchange::Unsupported) {
        EXPECT_EQ(layer.content("a"), Bytes{1});
        EXPECT_EQ(layer.content("b"), (Bytes{2, 2}));
        GTEST_SKIP() << "the file system of the temporary folder cannot exchange two files";
    }
    ASSERT_EQ(result, Exchange::Exchanged);
    EXPECT_EQ(layer.content("a"), (Bytes{2, 2}));
    EXPECT_EQ(layer.content("b"), Bytes{1});
    EXPECT_EQ(layer.names(), (Names{"a", "b"}));
}

TYPED_TEST(FileSystemContract, RemovalOfOneFileAndByLowerCaseExtension) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    for (const char* name : {"0112.tid", "0212.tid", "0112.TID", "x.tidy", ".tid", "keep.part",
                             ".surfklocka-0123abcd.part", "0112.tmp"}) {
        layer.put(name, {1});
    }
    EXPECT_TRUE(fs.removeFile("0112.tmp"));
    EXPECT_EQ(fs.removeByExtension(".tid"), 2);
    EXPECT_EQ(fs.removeByExtension(".tid"), 0);
    // The layer's own hidden temporary file is not among them.
    EXPECT_EQ(fs.removeByExtension(".part"), 1);
    for (const std::string_view bad : {"tid", ".", "", "../x.tid", ".t/d"}) {
        SCOPED_TRACE(std::string(bad));
        EXPECT_EQ(fs.removeByExtension(bad), std::nullopt);
    }
    EXPECT_EQ(layer.names(), (Names{".surfklocka-0123abcd.part", ".tid", "0112.TID", "x.tidy"}));
}

TYPED_TEST(FileSystemContract, NamesByExtensionAreSortedAndLeaveTheLayersOwnOut) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    for (const char* name : {"b.vantande", "a.vantande", "A.vantande", ".vantande", "x.VANTANDE",
                             "a.vantande.skadad", ".surfklocka-0123abcd.part", "0112.tid"}) {
        layer.put(name, {1});
    }
    // Sorted by bytes: upper-case letters before lower-case ones.
    EXPECT_EQ(fs.namesWithExtension(".vantande"),
              (Names{"A.vantande", "a.vantande", "b.vantande"}));
    EXPECT_EQ(fs.namesWithExtension(".tmp"), Names{});
    EXPECT_EQ(fs.namesWithExtension(".part"), Names{});
    for (const std::string_view bad : {"vantande", ".", "", "../x.tid"}) {
        SCOPED_TRACE(std::string(bad));
        EXPECT_EQ(fs.namesWithExtension(bad), std::nullopt);
    }
    // Every name but the layer's own, sorted by bytes ('.' 0x2e, '0' 0x30, 'A' 0x41, 'a' 0x61).
    EXPECT_EQ(fs.listNames(), (Names{".vantande", "0112.tid", "A.vantande", "a.vantande",
                                     "a.vantande.skadad", "b.vantande", "x.VANTANDE"}));
}

TYPED_TEST(FileSystemContract, HardLinksGiveASecondNameAndNeverReplace) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    layer.put("a", {1, 2, 3});
    layer.put("b", {9});
    ASSERT_EQ(fs.linkFile("a", "c"), Link::Linked);
    EXPECT_EQ(layer.content("c"), (Bytes{1, 2, 3}));
    EXPECT_EQ(layer.content("a"), (Bytes{1, 2, 3}));
    // An existing target is never replaced, and a missing source or the same name links nothing.
    EXPECT_EQ(fs.linkFile("a", "b"), Link::Failed);
    EXPECT_EQ(fs.linkFile("a", "c"), Link::Failed);
    EXPECT_EQ(fs.linkFile("a", "a"), Link::Failed);
    EXPECT_EQ(layer.content("b"), Bytes{9});
    EXPECT_EQ(layer.names(), (Names{"a", "b", "c"}));

    // No write goes in place: whatever is written under one name, the other keeps its bytes.
    ASSERT_TRUE(fs.writeRecord("a", 2, 1, Bytes{7, 7}));
    EXPECT_EQ(layer.content("a"), (Bytes{7, 7, 3}));
    ASSERT_TRUE(fs.replaceFile("c", Bytes{5}, Flush::Deferred));
    EXPECT_EQ(layer.content("a"), (Bytes{7, 7, 3}));
    EXPECT_EQ(layer.content("c"), Bytes{5});
    ASSERT_EQ(fs.linkFile("a", "d"), Link::Linked);
    ASSERT_TRUE(fs.replaceFile("a", Bytes{4, 4}));
    EXPECT_EQ(layer.content("d"), (Bytes{7, 7, 3}));
    // Deleting one name leaves the other.
    ASSERT_TRUE(fs.removeFile("a"));
    EXPECT_EQ(layer.content("d"), (Bytes{7, 7, 3}));
    EXPECT_TRUE(fs.syncFolder());
    EXPECT_EQ(layer.names(), (Names{"b", "c", "d"}));

    if constexpr (std::is_same_v<TypeParam, MemoryLayer>) {
        layer.fake().linkUnsupported = true;
        EXPECT_EQ(fs.linkFile("b", "e"), Link::Unsupported);
        EXPECT_EQ(fs.linkFile("b", "c"), Link::Failed);
        EXPECT_EQ(layer.names(), (Names{"b", "c", "d"}));
        EXPECT_EQ(layer.content("c"), Bytes{5});
    }
}

TYPED_TEST(FileSystemContract, ADeferredFolderFlushChangesTheFilesAsAFlushNow) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    layer.put("f", Bytes(40, 7));
    layer.put("old.tmp", {1});
    layer.put("older.tmp", {2});
    layer.put("keep.tid", {3});
    layer.put("gone", {4});
    ASSERT_TRUE(fs.replaceFile("f", Bytes{1, 2}, Flush::Deferred));
    ASSERT_TRUE(fs.replaceFile("new", Bytes{3}, Flush::Deferred, FileSystem::DataFlush::Skipped));
    ASSERT_TRUE(fs.replaceFile("unflushed", Bytes{5}, Flush::Now, FileSystem::DataFlush::Skipped));
    ASSERT_TRUE(fs.renameFile("keep.tid", "kept.tid", Flush::Deferred));
    ASSERT_TRUE(fs.moveAside("kept.tid", "aside", Flush::Deferred));
    ASSERT_TRUE(fs.removeFile("gone", Flush::Deferred));
    EXPECT_FALSE(fs.renameFile("f", "new", Flush::Deferred));
    EXPECT_FALSE(fs.moveAside("f", "new", Flush::Deferred));
    EXPECT_FALSE(fs.removeFile("gone", Flush::Deferred));
    EXPECT_TRUE(fs.createIfMissing("empty", Flush::Deferred));
    EXPECT_TRUE(fs.createIfMissing("f", Flush::Deferred));
    EXPECT_EQ(fs.removeByExtension(".tmp", Flush::Deferred), 2);
    EXPECT_EQ(fs.removeByExtension(".tmp", Flush::Deferred), 0);
    EXPECT_FALSE(fs.replaceFile("../f", Bytes{1}, Flush::Deferred));
    EXPECT_FALSE(fs.createIfMissing("a/b", Flush::Deferred));
    EXPECT_EQ(fs.removeByExtension("tmp", Flush::Deferred), std::nullopt);
    EXPECT_TRUE(fs.syncFolder());
    EXPECT_EQ(layer.content("f"), (Bytes{1, 2}));
    EXPECT_EQ(layer.content("new"), Bytes{3});
    EXPECT_EQ(layer.content("empty"), Bytes{});
    EXPECT_EQ(layer.content("unflushed"), Bytes{5});
    EXPECT_EQ(layer.content("aside"), Bytes{3});
    EXPECT_EQ(layer.names(), (Names{"aside", "empty", "f", "new", "unflushed"}));
}

TYPED_TEST(FileSystemContract, OnlyPlainNamesAreAccepted) {
    FileSystem& fs = this->m_fs;
    auto& layer = this->m_layer;
    layer.put("ok", {3});
    for (const std::string_view bad :
         {std::string_view("../ok"), std::string_view("a/b"), std::string_view("/ok"),
          std::string_view(""), std::string_view(".."), std::string_view("."),
          std::string_view("ok\0x", 4)}) {
        SCOPED_TRACE(std::string(bad));
        EXPECT_EQ(fs.entryKind(bad), std::nullopt);
        EXPECT_EQ(fs.exists(bad), std::nullopt);
        EXPECT_EQ(fs.fileLength(bad), std::nullopt);
        EXPECT_EQ(fs.readFile(bad, 10), std::nullopt);
        EXPECT_EQ(fs.readRecord(bad, 1, 1), std::nullopt);
        EXPECT_FALSE(fs.writeRecord(bad, 1, 1, Bytes{1}));
        EXPECT_FALSE(fs.replaceFile(bad, Bytes{1}));
        EXPECT_FALSE(fs.createIfMissing(bad));
        EXPECT_FALSE(fs.copyFile("ok", bad));
        EXPECT_FALSE(fs.copyFile(bad, "copy"));
        EXPECT_EQ(fs.linkFile("ok", bad), Link::Failed);
        EXPECT_EQ(fs.linkFile(bad, "second"), Link::Failed);
        EXPECT_FALSE(fs.renameFile("ok", bad));
        EXPECT_FALSE(fs.renameFile(bad, "moved"));
        EXPECT_FALSE(fs.moveAside("ok", bad));
        EXPECT_FALSE(fs.moveAside(bad, "moved"));
        EXPECT_EQ(fs.exchangeFiles("ok", bad), Exchange::Failed);
        EXPECT_EQ(fs.exchangeFiles(bad, "ok"), Exchange::Failed);
        EXPECT_FALSE(fs.removeFile(bad));
    }
    EXPECT_EQ(layer.names(), Names{"ok"});
    EXPECT_EQ(layer.content("ok"), Bytes{3});
}
