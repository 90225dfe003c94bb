#include "app/hand_off_client.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

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
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Whether a connection waits: it does from the moment the other end connected.
    bool called() const {
        pollfd watched{fd, POLLIN, 0};
        return ::poll(&watched, 1, 0) == 1;
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
};

// Everything read from a descriptor until its other end closes it.
std::string readAll(int fd) {
    std::string bytes;
    char byte = 0;
    pollfd readable{fd, POLLIN, 0};
    while (::poll(&readable, 1, 5000) == 1 && ::read(fd, &byte, 1) == 1) {
        bytes += byte;
    }
    return bytes;
}

} // namespace

TEST(HandOffClient, OnlyTheSocketInTheFolderItselfIsCalled) {
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
    std::string request;
    std::thread answering([&] {
        const int connection = ::accept(window.fd, nullptr, nullptr);
        char byte = 0;
        while (!request.ends_with('\n') && ::read(connection, &byte, 1) == 1) {
            request += byte;
        }
        EXPECT_EQ(::write(connection, "klar\n", 5), 5);
        ::close(connection);
    });
    const int socket = app::sendRequest(folder.path(), "x", 5000);
    if (socket < 0) {
        ::shutdown(window.fd, SHUT_RD); // wakes the accept that waits in vain
    }
    // The request is sent; the window's answer comes on the same connection.
    const std::string answer = socket >= 0 ? readAll(socket) : "";
    answering.join();
    ::close(socket);
    EXPECT_EQ(request, "boka x\n");
    EXPECT_EQ(answer, "klar\n");
}

TEST(HandOffClient, AnotherUsersSocketIsNotCalled) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a socket to another user";
    }
    testing_support::TempDir folder;
    const std::string name = folder.file(app::kHandOffSocketName);
    const Listener window(name);
    ASSERT_EQ(::lchown(name.c_str(), 65534, 65534), 0);
    EXPECT_EQ(app::sendRequest(folder.path(), "x", 5000), -1);
    EXPECT_FALSE(window.called());
}
