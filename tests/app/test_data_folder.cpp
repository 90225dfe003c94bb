// The data folder: its path, the folders made for it, the folders refused, the Swedish texts of
// its failures, the lock that lets one copy of the program run at a time, and the socket a
// command hands its booking to the window through.

#include "app/data_folder.h"
#include "app/hand_off_client.h"
#include "platform/system_errors.h"
#include "support/temp_dir.h"

#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <clocale>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;
using app::InstanceLock;
using Value = std::optional<std::string>;

namespace {

// Sets or unsets (nullopt) an environment variable.
void put(const char* name, const Value& value) {
    value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
}

Value get(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? Value(value) : std::nullopt;
}

// The Swedish text of why the folder could not be entered; empty when it was.
std::string enterError(const std::string& path) {
    std::string error;
    return app::enterDataFolder(path, error) ? "" : error;
}

// Puts the working directory, HOME and XDG_DATA_HOME back, as the tests change them.
struct DataFolderTest : ::testing::Test {
    ~DataFolderTest() override {
        fs::current_path(m_path);
        put("HOME", m_home);
        put("XDG_DATA_HOME", m_xdg);
    }
    // A folder that is not the user's own is refused before anything in it changes: its mode
    // stays, it stays empty, and the working directory stays where it was.
    void expectRefused(const std::string& path, const std::string& reason) {
        const fs::perms mode = fs::status(path).permissions();
        const fs::path before = fs::current_path();
        EXPECT_EQ(enterError(path), "Mappen " + path + reason);
        EXPECT_EQ(app::foreignFolderReason(path), "Mappen " + path + reason);
        EXPECT_EQ(fs::status(path).permissions(), mode);
        EXPECT_TRUE(fs::is_empty(path));
        EXPECT_EQ(fs::current_path(), before);
    }
    fs::path m_path = fs::current_path();
    Value m_home = get("HOME"), m_xdg = get("XDG_DATA_HOME");
    testing_support::TempDir m_dir;
};

// A socket listening at a path, standing in for the window.
struct Listener {
    explicit Listener(const std::string& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(fd, 4), 0);
    }
    ~Listener() { ::close(fd); }
    // Whether a connection waits: it does from the moment the other end connected.
    bool called() const {
        pollfd watched{fd, POLLIN, 0};
        return ::poll(&watched, 1, 0) == 1;
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
};

} // namespace

// The XDG base directory rule, as Qt's generic data location follows it: XDG_DATA_HOME as it
// stands where it is an absolute path, else the home folder written plainly + "/.local/share";
// a HOME that is missing or relative gives way to the user database. Where Qt reads the same
// environment, its answer must be the same as the program's (the command line has no Qt to ask).
TEST_F(DataFolderTest, PathFollowsTheXdgRuleAsQtDoes) {
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_TRUE(user != nullptr && user->pw_dir != nullptr);
    const std::string database = std::string(user->pw_dir) + "/.local/share/surfklocka";
    const std::string anna = "/home/anna/.local/share/surfklocka";
    const auto qt = [] {
        return QFile::encodeName(
                   QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                   QStringLiteral("/surfklocka"))
            .toStdString();
    };
    for (const auto& [xdg, home, path, asQt] :
         std::vector<std::tuple<Value, Value, std::string, bool>>{
             {"/data/anna", "/home/anna", "/data/anna/surfklocka", true},
             {"/data/åsa/", "/home/åsa", "/data/åsa//surfklocka", true},
             {"/data/anna", {}, "/data/anna/surfklocka", true},
             {{}, "/home/anna", anna, true},
             {"", "/home/anna", anna, true},
             {"data/anna", "/home/anna", anna, false}, // the rule ignores it; this Qt does not
             {{}, "/home//anna/./x/../", anna, true},
             {{}, "/", "//.local/share/surfklocka", true},
             {{}, {}, database, false},
             {{}, "anna", database, false},
         }) {
        put("XDG_DATA_HOME", xdg);
        put("HOME", home);
        EXPECT_EQ(app::dataFolderPath(), path) << xdg.value_or("-") << " " << home.value_or("-");
        if (asQt) {
            EXPECT_EQ(qt(), path) << xdg.value_or("-") << " " << home.value_or("-");
        }
    }
}

TEST_F(DataFolderTest, FoldersMadeAreTheUsersOwnAndOthersWritableOrForeignOnesAreRefused) {
    for (const mode_t mask : {mode_t{077}, mode_t{0}, mode_t{0777}}) {
        SCOPED_TRACE(mask);
        testing_support::TempDir dir;
        const mode_t before = ::umask(mask);
        EXPECT_EQ(enterError(dir.file("share/data/surfklocka")), "");
        ::umask(before);
        for (const char* made : {"share", "share/data", "share/data/surfklocka"}) {
            EXPECT_EQ(fs::status(dir.file(made)).permissions(), fs::perms(0700)) << made;
        }
        EXPECT_EQ(fs::current_path(), fs::path(dir.file("share/data/surfklocka")));
    }
    // A folder that is there keeps its mode.
    fs::permissions(m_dir.path(), fs::perms(0750));
    EXPECT_EQ(enterError(m_dir.path()), "");
    EXPECT_EQ(fs::status(m_dir.path()).permissions(), fs::perms(0750));
    EXPECT_EQ(fs::current_path(), fs::path(m_dir.path()));
    const std::string path = m_dir.file("surfklocka");
    fs::create_directory(path);
    for (const unsigned mode : {0777U, 0770U, 0707U, 01777U, 0720U, 0702U}) {
        SCOPED_TRACE(mode);
        fs::permissions(path, fs::perms(mode));
        expectRefused(path, " kan ändras av andra användare än du.");
    }
    // The user's own, and a missing one, have nothing to tell.
    fs::permissions(path, fs::perms(0755));
    EXPECT_EQ(app::foreignFolderReason(path), std::nullopt);
    EXPECT_EQ(app::foreignFolderReason(m_dir.file("missing")), std::nullopt);
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    for (const unsigned mode : {0700U, 0777U}) { // the owner is the cause, whatever the mode
        fs::permissions(path, fs::perms(mode));
        expectRefused(path, " tillhör en annan användare.");
    }
}

TEST_F(DataFolderTest, FailuresAreNamedInSwedish) {
    m_dir.write("file", {});
    EXPECT_EQ(enterError(m_dir.file("file/surfklocka")),
              "Mappen " + m_dir.file("file/surfklocka") +
                  " kunde inte skapas: en del av sökvägen är ingen mapp.");
    EXPECT_EQ(enterError(m_dir.file("file")), m_dir.file("file") + " är ingen mapp.");
    EXPECT_EQ(platform::systemErrorText(EACCES), "behörighet saknas");
    EXPECT_EQ(platform::systemErrorText(ENOSPC), "disken är full");
    // Under a Swedish locale too, an unknown number is written with plain digits.
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "sv_SE.UTF-8");
    EXPECT_EQ(platform::systemErrorText(123456), "okänt fel (felkod 123456)");
    EXPECT_EQ(platform::systemErrorText(-7), "okänt fel (felkod -7)");
    std::setlocale(LC_ALL, locale.c_str());
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write in every folder";
    }
    fs::permissions(m_dir.path(), fs::perms(0500));
    EXPECT_EQ(enterError(m_dir.file("surfklocka")),
              "Mappen " + m_dir.file("surfklocka") + " kunde inte skapas: behörighet saknas.");
    EXPECT_EQ(enterError(m_dir.path()),
              "Surfklocka får inte skriva i mappen " + m_dir.path() + ": behörighet saknas.");
}

TEST(InstanceLock, ASecondCopyFindsTheLockHeldAndALockFileThatIsNoFileFails) {
    testing_support::TempDir dir, elsewhere;
    std::optional<InstanceLock> first(std::in_place, dir.path());
    EXPECT_EQ(first->result(), InstanceLock::Result::Acquired);
    {
        // Each lock opens the file anew, so the two conflict even within one process.
        const InstanceLock second(dir.path());
        EXPECT_EQ(second.result(), InstanceLock::Result::HeldByOther);
    }
    first.reset();
    EXPECT_TRUE(InstanceLock(dir.path()).acquired());

    const std::string lock = dir.file("surfklocka.lock");
    fs::remove(lock);
    fs::create_directory(lock);
    EXPECT_EQ(InstanceLock(dir.path()).failure(), "Låsfilen " + lock + " är en mapp.");
    fs::remove(lock);
    // A dangling link is not followed: no file appears where it points.
    fs::create_symlink(elsewhere.file("target"), lock);
    const InstanceLock link(dir.path());
    EXPECT_EQ(link.result(), InstanceLock::Result::Failed);
    EXPECT_EQ(link.failure(),
              "Låsfilen " + lock + " är en symbolisk länk, som Surfklocka inte följer.");
    EXPECT_FALSE(fs::exists(elsewhere.file("target")));
    EXPECT_EQ(InstanceLock(dir.file("missing")).failure(),
              "Låsfilen " + dir.file("missing/surfklocka.lock") +
                  " kunde inte öppnas: filen eller mappen finns inte.");
}

// The request goes to the socket of the user's own in the folder itself, never through a link or to
// another user's socket, which could carry it to whoever listens there.
TEST(HandOffClient, OnlyTheUsersOwnSocketInTheFolderItselfIsCalled) {
    testing_support::TempDir folder, elsewhere;
    const std::string name = folder.file(app::kHandOffSocketName);
    {
        const Listener other(elsewhere.file("socket"));
        std::filesystem::create_symlink(elsewhere.file("socket"), name);
        EXPECT_EQ(app::sendRequest(folder.path(), "x", 5000), -1);
        EXPECT_FALSE(other.called());
        std::filesystem::remove(name);
    }
    const Listener window(name);
    const int socket = app::sendRequest(folder.path(), "x", 5000);
    ASSERT_GE(socket, 0);
    const int connection = ::accept(window.fd, nullptr, nullptr);
    char request[16] = {};
    EXPECT_EQ(::read(connection, request, sizeof request), 7);
    EXPECT_STREQ(request, "boka x\n");
    // The window's answer comes on the same connection.
    EXPECT_EQ(::write(connection, "klar\n", 5), 5);
    ::close(connection);
    char answer[16] = {};
    EXPECT_EQ(::read(socket, answer, sizeof answer), 5);
    EXPECT_STREQ(answer, "klar\n");
    ::close(socket);
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a socket to another user";
    }
    ASSERT_EQ(::lchown(name.c_str(), 65534, 65534), 0);
    EXPECT_EQ(app::sendRequest(folder.path(), "x", 5000), -1);
    EXPECT_FALSE(window.called());
}
