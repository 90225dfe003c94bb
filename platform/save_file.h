#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// Saving a file the user names: a save-file dialog that asks for the file's path, and a write
// that replaces the file atomically (the old file or the new one, never a torn one). It does not
// decide what the file holds nor what its name should be.
class SaveFile {
public:
    virtual ~SaveFile() = default;

    // What the user chose in the dialog: the path, and which of its filters was chosen (0 the
    // first).
    struct Choice {
        std::string path;
        std::size_t filter = 0;

        bool operator==(const Choice&) const = default;
    };

    // Asks for a path in a dialog titled `title`, offering `suggestedName` in the user's
    // documents folder and the dialog's filters ("CSV (*.csv);;…"); nullopt when the user
    // cancels.
    virtual std::optional<Choice> ask(const std::string& title, const std::string& suggestedName,
                                      const std::string& filters) = 0;
    // Writes `bytes` to `path`; nullopt when done, else the Swedish reason it failed.
    virtual std::optional<std::string> write(const std::string& path, const std::string& bytes) = 0;
    // The user's home folder, so that a path can be shown with it written as "~".
    virtual std::string homeFolder() const = 0;
};

} // namespace platform
