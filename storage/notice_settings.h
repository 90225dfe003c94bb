// Whether the program gives a notice when a day nears or passes its prepaid time: one 16-bit
// boolean in its own file, "avisering.it" in the data folder, so that the settings file keeps
// its bytes. It reads and writes that file and nothing else; it does not decide when a notice is
// due (core/allowance_notice.h) nor show one (platform/notifier.h).
#pragma once

#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace storage {

inline constexpr std::string_view kNoticeFileName = "avisering.it";
// The whole file: one boolean, little-endian, -1 (True) for on and 0 (False) for off.
inline constexpr std::size_t kNoticeFileBytes = 2;

// The setting from the bytes of a file: on or off for exactly two bytes holding -1 or 0; nullopt
// for any other bytes, which are no file the program wrote.
std::optional<bool> decodeNoticeSetting(std::span<const std::uint8_t> fileBytes);

enum class NoticeFileState {
    NoFile,     // nothing of that name: notices are on
    Stored,     // the program's own file
    Damaged,    // another length or value, or no regular file (a symbolic link, a folder, a
                // FIFO): reads as on and is never written over
    Unreadable, // a regular file that could not be read, or the folder could not be asked:
                // reads as on and is never written over
};

// The notice setting's file. Each call reads or writes and is done; nothing is held open and no
// read takes more than one byte past the two the file holds.
class NoticeSettings {
public:
    explicit NoticeSettings(platform::FileSystem& files) : m_files(files) {}

    struct Loaded {
        bool on = true;
        NoticeFileState state = NoticeFileState::NoFile;
    };
    // The setting as stored: on when the file is missing, damaged or cannot be read, with the
    // file's state to tell which.
    Loaded load();

    // Replaces the file, atomically, with the two bytes for on or off. False, writing nothing,
    // when something is there that is damaged or cannot be read, or when the write fails.
    bool store(bool on);

private:
    platform::FileSystem& m_files;
};

} // namespace storage
