#include "app/hand_off_client.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

// A socket listening at a path, standing in for the window.
class Listener {
public:
    explicit Listener(const std::string& path) : m_fd(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(m_fd, 4), 0);
    }
    ~Listener() { ::close(m_fd); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Whether a connection waits: it does from the moment the other end connected.
    bool called() const {
        pollfd watched{m_fd, POLLIN, 0};
        return ::poll(&watched, 1, 0) == 1;
    }
    // Takes one connection, answers its request line with `bytes` and gives the request; empty
    // when stop() came first.
    std::string answer(const std::string& bytes) const {
        const int connection = ::accept(m_fd, nullptr, nullptr);
        std::string request;
        char byte = 0;
        while (connection >= 0 && !request.ends_with('\n') && ::read(connection, &byte, 1) == 1) {
            request += byte;
        }
        if (connection >= 0) {
            EXPECT_EQ(::write(connection, bytes.data(), bytes.size()), ssize_t(bytes.size()));
            ::close(connection);
        }
        return request;
    }
    // Wakes an answer() that waits for a connection that will not come.
    void stop() const { ::shutdown(m_fd, SHUT_RD); }

private:
    int m_fd;
};

} // namespace

TEST(HandOffClient, OnlyTheSocketInTheFolderItselfIsCalled) {
    testing_support::TempDir folder;
    testing_support::TempDir elsewhere;
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
    std::thread answering([&] { request = window.answer("klar\n"); });
    const int socket = app::sendRequest(folder.path(), "x", 5000);
    ASSERT_GE(socket, 0);
    // The request is sent; the window's answer comes on the same connection.
    std::string answer;
    char byte = 0;
    pollfd readable{socket, POLLIN, 0};
    while (::poll(&readable, 1, 5000) == 1 && ::read(socket, &byte, 1) == 1) {
        answer += byte;
    }
    ::close(socket);
    window.stop();
    answering.join();
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
