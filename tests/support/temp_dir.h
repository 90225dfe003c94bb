#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

    // Whole-file helpers for checking bytes directly, outside the program's file layer.
    bool exists(const std::string& name) const;
    std::vector<std::uint8_t> read(const std::string& name) const;
    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    // Names of the files in the folder, sorted.
    std::vector<std::string> names() const;
    // Whether the folder's file system keeps user extended attributes (tmpfs before Linux 6.6
    // keeps none).
    bool keepsAttributes() const;

private:
    std::string m_path;
};

} // namespace testing_support
