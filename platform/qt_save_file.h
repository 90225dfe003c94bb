#pragma once

#include "platform/save_file.h"

namespace platform {

// Saving through Qt: QFileDialog's save dialog titled "Exportera", and QSaveFile for the atomic
// write. It shows no message: a failure is only reported back.
class QtSaveFile final : public SaveFile {
public:
    std::optional<std::string> ask(const std::string& suggestedName,
                                   const std::string& filters) override;
    std::size_t chosenFilter() const override { return m_chosenFilter; }
    std::optional<std::string> write(const std::string& path, const std::string& bytes) override;

private:
    std::size_t m_chosenFilter = 0;
};

} // namespace platform
