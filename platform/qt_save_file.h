#pragma once

#include "platform/save_file.h"

#include <QString>

namespace platform {

// Saving through Qt: QFileDialog's save dialog, and QSaveFile for the atomic write. The dialog
// opens in the user's documents folder (QStandardPaths::DocumentsLocation, or the home folder
// where that is missing), and later in the folder last saved to. A name typed without an ending
// gets the chosen filter's ending before the dialog asks whether to replace a file, so that it
// asks about the file that will be written. It shows no message: a failure is only reported back.
class QtSaveFile final : public SaveFile {
public:
    std::optional<Choice> ask(const std::string& title, const std::string& suggestedName,
                              const std::string& filters) override;
    std::optional<std::string> write(const std::string& path, const std::string& bytes) override;
    std::string homeFolder() const override;

private:
    QString m_folder; // the folder last saved to
};

} // namespace platform
