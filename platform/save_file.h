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

    // Asks for a path, offering `suggestedName` and the dialog's filters ("CSV (*.csv);;…");
    // nullopt when the user cancels.
    virtual std::optional<std::string> ask(const std::string& suggestedName,
                                           const std::string& filters) = 0;
    // Which of the filters the user chose in the last dialog that was not cancelled (0 the
    // first); 0 before any.
    virtual std::size_t chosenFilter() const = 0;
    // Writes `bytes` to `path`; nullopt when done, else the Swedish reason it failed.
    virtual std::optional<std::string> write(const std::string& path, const std::string& bytes) = 0;
};

} // namespace platform
