#include "app/data_folder.h"
#include "platform/system_errors.h"
#include "support/temp_dir.h"

#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using app::InstanceLock;

namespace {

// Puts the working directory back, as entering a data folder changes it.
class KeepWorkingDirectory {
public:
    KeepWorkingDirectory() : m_path(fs::current_path()) {}
    ~KeepWorkingDirectory() { fs::current_path(m_path); }
    KeepWorkingDirectory(const KeepWorkingDirectory&) = delete;
    KeepWorkingDirectory& operator=(const KeepWorkingDirectory&) = delete;

private:
    fs::path m_path;
};

// Sets environment variables for one test and puts them back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            put(it->first.c_str(), it->second);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    // nullopt unsets the variable.
    void set(const char* name, const std::optional<std::string>& value) {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        put(name, value);
    }

private:
    static void put(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace

// The path is worked out without Qt, by the rule Qt's generic data location follows: the same
// path, but where Qt goes against the XDG rule (a relative XDG_DATA_HOME, taken as it stands) or
// has no home (a missing or relative HOME, taken as "/").
TEST(DataFolder, PathIsQtsGenericDataLocationByTheXdgRule) {
    ScopedEnvironment environment;
    const passwd* user = ::getpwuid(::getuid());
    const std::optional<std::string> userHome =
        user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] == '/'
            ? std::optional<std::string>(user->pw_dir)
            : std::nullopt;
    using Value = std::optional<std::string>;
    const auto qt = [] {
        return QFile::encodeName(
                   QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                   QStringLiteral("/surfklocka"))
            .toStdString();
    };
    struct Case {
        Value xdg;
        Value home;
        bool asQt = true;
        Value expected{}; // unless as Qt
    };
    const Value fromDatabase = userHome ? Value(*userHome + "/.local/share/surfklocka") : Value();
    const std::vector<Case> cases{
        {"/data/anna", "/home/anna"},
        {"/data/åsa/", "/home/åsa"}, // as it stands, its "/" too
        {{}, "/home/anna"},
        {"", "/home/anna"},
        {{}, "/home//anna/./x/../"}, // the home folder written plainly
        {{}, "/"},
        {"/data/anna", {}},
        // A relative XDG_DATA_HOME is ignored: the home folder's rule.
        {"data/anna", "/home/anna", false, "/home/anna/.local/share/surfklocka"},
        // A HOME that is missing or relative gives way to the user database.
        {{}, {}, false, fromDatabase},
        {{}, "anna", false, fromDatabase},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xdg.value_or("(unset)") + " " + c.home.value_or("(unset)"));
        environment.set("XDG_DATA_HOME", c.xdg);
        environment.set("HOME", c.home);
        EXPECT_EQ(app::dataFolderPath(), c.asQt ? Value(qt()) : c.expected);
    }
}

TEST(DataFolder, IsMadeWithItsParentsAndEntered) {
    const KeepWorkingDirectory keep;
    testing_support::TempDir dir;
    const std::string path = dir.file("share/surfklocka");
    std::string error;
    ASSERT_TRUE(app::enterDataFolder(path, error)) << error;
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::current_path(), fs::path(path));

    // A folder that is there keeps its mode.
    const std::string shared = dir.file("shared");
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms(0750));
    ASSERT_TRUE(app::enterDataFolder(shared, error)) << error;
    EXPECT_EQ(fs::status(shared).permissions(), fs::perms(0750));
    EXPECT_EQ(fs::current_path(), fs::path(shared));
}

TEST(DataFolder, EveryFolderItMakesIsTheUsersOwnWhateverTheUmask) {
    const KeepWorkingDirectory keep;
    for (const mode_t mask : {mode_t{077}, mode_t{0}, mode_t{0777}}) {
        SCOPED_TRACE(mask);
        testing_support::TempDir dir;
        const mode_t before = ::umask(mask);
        std::string error;
        const bool entered = app::enterDataFolder(dir.file("share/data/surfklocka"), error);
        ::umask(before);
        ASSERT_TRUE(entered) << error;
        for (const char* made : {"share", "share/data", "share/data/surfklocka"}) {
            EXPECT_EQ(static_cast<unsigned>(fs::status(dir.file(made)).permissions()), 0700U)
                << made;
        }
    }
}

namespace {

// A folder that others may write in, or that is another user's, is refused before anything in it
// changes: its mode stays, it stays empty, and the working directory stays where it was.
void expectRefused(const std::string& path, const std::string& reason) {
    const fs::perms mode = fs::status(path).permissions();
    const fs::path before = fs::current_path();
    std::string error;
    EXPECT_FALSE(app::enterDataFolder(path, error));
    EXPECT_EQ(error, "Mappen " + path + reason);
    EXPECT_EQ(app::foreignFolderReason(path), "Mappen " + path + reason);
    EXPECT_EQ(fs::status(path).permissions(), mode);
    EXPECT_TRUE(fs::is_empty(path));
    EXPECT_EQ(fs::current_path(), before);
}

} // namespace

TEST(DataFolder, AFolderOthersMayWriteInIsRefused) {
    const KeepWorkingDirectory keep;
    testing_support::TempDir dir;
    const std::string path = dir.file("surfklocka");
    fs::create_directory(path);
    for (const unsigned mode : {0777U, 0770U, 0707U, 01777U, 0720U}) {
        SCOPED_TRACE(mode);
        fs::permissions(path, fs::perms(mode));
        expectRefused(path, " kan ändras av andra användare än du.");
    }
    // The user's own, and a missing one, have nothing to tell.
    fs::permissions(path, fs::perms(0755));
    EXPECT_EQ(app::foreignFolderReason(path), std::nullopt);
    EXPECT_EQ(app::foreignFolderReason(dir.file("missing")), std::nullopt);
}

TEST(DataFolder, AFolderOfAnotherUserIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    const KeepWorkingDirectory keep;
    testing_support::TempDir dir;
    const std::string path = dir.file("surfklocka");
    fs::create_directory(path);
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    // Its owner's mode or not, the owner is the cause.
    for (const unsigned mode : {0700U, 0777U}) {
        fs::permissions(path, fs::perms(mode));
        expectRefused(path, " tillhör en annan användare.");
    }
}

TEST(DataFolder, FailuresAreNamedInSwedish) {
    const KeepWorkingDirectory keep;
    testing_support::TempDir dir;
    dir.write("file", {});
    std::string error;
    EXPECT_FALSE(app::enterDataFolder(dir.file("file/surfklocka"), error));
    EXPECT_EQ(error, "Mappen " + dir.file("file/surfklocka") +
                         " kunde inte skapas: en del av sökvägen är ingen mapp.");
    EXPECT_FALSE(app::enterDataFolder(dir.file("file"), error));
    EXPECT_EQ(error, dir.file("file") + " är ingen mapp.");
}

TEST(DataFolder, AFolderThatCannotBeWrittenIsNamedInSwedish) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write in every folder";
    }
    const KeepWorkingDirectory keep;
    testing_support::TempDir dir;
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    std::string error;
    EXPECT_FALSE(app::enterDataFolder(dir.file("surfklocka"), error));
    EXPECT_EQ(error, "Mappen " + dir.file("surfklocka") + " kunde inte skapas: behörighet saknas.");
    EXPECT_FALSE(app::enterDataFolder(dir.path(), error));
    EXPECT_EQ(error, "Surfklocka får inte skriva i mappen " + dir.path() + ": behörighet saknas.");
}

TEST(InstanceLock, ASecondCopyFindsTheLockHeld) {
    testing_support::TempDir dir;
    std::optional<InstanceLock> first(std::in_place, dir.path());
    EXPECT_EQ(first->result(), InstanceLock::Result::Acquired);
    EXPECT_TRUE(first->acquired());
    {
        // Each lock opens the file anew, so the two conflict even within one process.
        const InstanceLock second(dir.path());
        EXPECT_EQ(second.result(), InstanceLock::Result::HeldByOther);
        EXPECT_FALSE(second.acquired());
        EXPECT_EQ(second.failure(), "");
    }
    first.reset();
    const InstanceLock third(dir.path());
    EXPECT_EQ(third.result(), InstanceLock::Result::Acquired);
    EXPECT_TRUE(fs::is_regular_file(dir.file("surfklocka.lock")));
}

TEST(InstanceLock, ALockFileThatIsNoFileIsAFailureOfItsOwn) {
    testing_support::TempDir dir;
    const std::string lock = dir.file("surfklocka.lock");

    fs::create_directory(lock);
    const InstanceLock folder(dir.path());
    EXPECT_EQ(folder.result(), InstanceLock::Result::Failed);
    EXPECT_EQ(folder.failure(), "Låsfilen " + lock + " är en mapp.");
    fs::remove(lock);

    // A dangling link is not followed: no file appears where it points.
    testing_support::TempDir elsewhere;
    fs::create_symlink(elsewhere.file("target"), lock);
    const InstanceLock link(dir.path());
    EXPECT_EQ(link.result(), InstanceLock::Result::Failed);
    EXPECT_EQ(link.failure(),
              "Låsfilen " + lock + " är en symbolisk länk, som Surfklocka inte följer.");
    EXPECT_FALSE(fs::exists(elsewhere.file("target")));
    EXPECT_TRUE(fs::is_symlink(lock));

    const InstanceLock noFolder(dir.file("missing"));
    EXPECT_EQ(noFolder.result(), InstanceLock::Result::Failed);
    EXPECT_EQ(noFolder.failure(), "Låsfilen " + dir.file("missing/surfklocka.lock") +
                                      " kunde inte öppnas: filen eller mappen finns inte.");
}

TEST(SystemErrors, CommonFailuresHaveSwedishWordsAndOthersTheirNumber) {
    EXPECT_EQ(platform::systemErrorText(EACCES), "behörighet saknas");
    EXPECT_EQ(platform::systemErrorText(ENOSPC), "disken är full");
    // Under a Swedish locale too, an unknown number is written with plain digits.
    const std::string before = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "sv_SE.UTF-8");
    EXPECT_EQ(platform::systemErrorText(123456), "okänt fel (felkod 123456)");
    EXPECT_EQ(platform::systemErrorText(-7), "okänt fel (felkod -7)");
    std::setlocale(LC_ALL, before.c_str());
}
