#pragma once

#include "app/data_folder.h"
#include "platform/file_system.h"

#include <optional>
#include <string>

namespace app {

// A booking of the command line while another copy of the program holds the data folder: its
// entry is in the journal (storage/journal.h), and it waits for the holder to book it. It names
// the entry to the running window, if one listens, and watches the folder for the entry's answer
// and the lock for its release, whichever comes first, for at most a bounded time. Plain POSIX;
// it books nothing itself and prints nothing.
struct BookingWait {
    enum class Outcome {
        Answered, // the holder booked the entry: `answer` holds its answer file's bytes
        Holder,   // the lock was released, and this copy holds it now: it books the entry itself
        TimedOut, // no holder booked it in time: the entry still waits in the folder
        Vanished, // the entry was taken from the folder, but no answer was left for it
    };
    Outcome outcome = Outcome::TimedOut;
    std::string answer;
};

// Waits at most `timeoutMs` milliseconds in all. The lock must be held by another copy.
BookingWait awaitBooking(platform::FileSystem& files, const std::string& folder,
                         const std::string& entryName, InstanceLock& lock, int timeoutMs);

} // namespace app
