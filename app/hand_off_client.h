#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// Handing a booking from the command line to the running window, the command line's end and the
// bytes both ends exchange. The command line first writes the booking as a waiting entry in the
// data folder (storage/pending.h), so that nothing is lost whatever happens next, and then names
// that entry over a local socket in the data folder, which only its owner can reach (the folder
// has mode 0700, the socket 0600). The window (app/hand_off.h) books every waiting entry as its
// own save would and answers with what the command line is to print.
//
// Request: "boka " + entry name + "\n". Answer: the exit code, a line end, the length in bytes
// of the standard output text, a line end, then that text and the standard error text; the
// window closes the connection after it. Both ends read what comes as untrusted bytes, with
// bounds: a request longer than a line of 128 bytes, or one that names no entry, is answered
// with exit code 2 and nothing is booked.
//
// Plain POSIX, no Qt, so that the command line starts like a small tool. It knows nothing of
// bookings or windows.

// The socket's name in the data folder.
inline constexpr const char* kHandOffSocketName = "surfklocka.sock";

struct HandOffAnswer {
    int exitCode = 0;
    std::string out;
    std::string err;
};

// The bytes of the protocol, and back; the readers take any bytes.
std::string requestBytes(const std::string& entryName);
// The entry a request names: nullopt unless it is exactly "boka NAME\n" with a name of the shape
// storage::pendingEntryName gives.
std::optional<std::string> requestedEntry(std::string_view bytes);
std::string answerBytes(const HandOffAnswer& answer);
// nullopt unless the bytes are exactly one whole answer of at most kLongestAnswer bytes.
std::optional<HandOffAnswer> parseAnswer(std::string_view bytes);
inline constexpr std::size_t kLongestRequest = 128;
inline constexpr std::size_t kLongestAnswer = 1024 * 1024;

// Names the entry to the running window and waits at most `timeoutMs` milliseconds in all for its
// answer. nullopt when no window answers in time, or the answer is not one. Only a socket of the
// user's own under kHandOffSocketName in the folder itself is used: a link of that name, or another
// user's socket, is taken as no window listening, and nothing is sent.
std::optional<HandOffAnswer> handOff(const std::string& folder, const std::string& entryName,
                                     int timeoutMs);

// A new entry name from the system's real-time clock and the process id.
std::string newEntryName();

// The wait for the window's answer: 5 seconds, or SURFKLOCKA_HANDOFF_TIMEOUT_MS milliseconds
// (1 to 60000) where that is set, so that tests need not wait.
int handOffTimeoutMs();

} // namespace app
