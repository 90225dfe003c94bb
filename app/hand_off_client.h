#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// Handing a booking from the command line to the running window, the command line's end and the
// bytes both ends exchange. The command line first writes the booking as an entry of the journal
// in the data folder (storage/journal.h), so that nothing is lost whatever happens next, and then
// names that entry over a local socket in the data folder, which only its owner can reach (the
// folder has mode 0700, the socket 0600). The window books every entry waiting in the journal,
// leaves each one's answer in the folder, and then says "klar": the answer itself is read from
// the folder, never from the socket.
//
// Request: "boka " + entry name + "\n". Answer: "klar\n" once the window has booked what waits,
// "fel\n" for a request longer than a line of 128 bytes or one that names no entry; the window
// closes the connection after it. Both ends read what comes as untrusted bytes, with bounds.
//
// Plain POSIX, no Qt, so that the command line starts like a small tool. It knows nothing of
// bookings or windows.

// The socket's name in the data folder.
inline constexpr const char* kHandOffSocketName = "surfklocka.sock";
// The window's answers: done (the answer is in the data folder), or not a request.
inline constexpr std::string_view kDoneAnswer = "klar\n";
inline constexpr std::string_view kNotUnderstoodAnswer = "fel\n";

// The bytes of the protocol, and back; the readers take any bytes.
std::string requestBytes(const std::string& entryName);
// The entry a request names: nullopt unless it is exactly "boka NAME\n" with a name of the shape
// storage::pendingEntryName gives.
std::optional<std::string> requestedEntry(std::string_view bytes);
inline constexpr std::size_t kLongestRequest = 128;

// Names the entry to the running window: a connected socket on which the request has been sent,
// for the caller to watch (readable once the window has answered or gone) and close; -1 when no
// window listens or the request could not be sent within `timeoutMs` milliseconds. Only a socket
// of the user's own under kHandOffSocketName in the folder itself is used: a link of that name, or
// another user's socket, is taken as no window listening, and nothing is sent.
int sendRequest(const std::string& folder, const std::string& entryName, int timeoutMs);

// A new entry name from the system's real-time clock and the process id.
std::string newEntryName();

// How long a booking waits for the holder of the data folder (the window's answer, or the lock):
// 10 seconds, or SURFKLOCKA_HANDOFF_TIMEOUT_MS milliseconds (1 to 60000) where that is set, so
// that tests need not wait.
int handOffTimeoutMs();

// Whether the command of an entry made at the time in its name may still be waiting for its
// answer at `nowNanoseconds`: it waits at most handOffTimeoutMs().
bool commandMayWait(std::string_view entryName, std::int64_t nowNanoseconds);

} // namespace app
