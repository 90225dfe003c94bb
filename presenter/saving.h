#pragma once

// What the windows that save a file share: the file types a save dialog offers, the path and type
// a chosen name is written as, and the line that says where the file went. Plain C++, no Qt; it
// asks for nothing and writes nothing.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace presenter {

// A type of file a save dialog offers: its filter ("CSV (*.csv)") and its ending (".csv").
struct FileType {
    std::string_view filter;
    std::string_view ending;
};

// The dialog's filters, one per type in order: "CSV (*.csv);;JSON (*.json)".
std::string saveFilters(std::span<const FileType> types);

struct SaveTarget {
    std::string path;
    std::size_t type = 0; // the index of the type written

    bool operator==(const SaveTarget&) const = default;
};

// Where a chosen path is written and as which type. A name that ends in one of the types' endings,
// in any case, is that type. Any other name is the type chosen in the dialog (`chosen`, the first
// when out of range), and gets that type's ending added: "ut" becomes "ut.json" with JSON chosen.
SaveTarget saveTarget(std::string path, std::span<const FileType> types, std::size_t chosen);

// "Sparat som ~/Dokument/ut.csv": the path saved to, the home folder in it written as "~".
std::string savedAsText(const std::string& path, const std::string& home);

} // namespace presenter
