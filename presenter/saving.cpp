#include "presenter/saving.h"

#include <algorithm>
#include <cctype>

namespace presenter {

namespace {

bool endsWithNoCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), text.end() - static_cast<long>(ending.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace

std::string saveFilters(std::span<const FileType> types) {
    std::string filters;
    for (const FileType& type : types) {
        if (!filters.empty()) {
            filters += ";;";
        }
        filters += type.filter;
    }
    return filters;
}

SaveTarget saveTarget(std::string path, std::span<const FileType> types, std::size_t chosen) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name =
        std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (name.size() > types[i].ending.size() && endsWithNoCase(name, types[i].ending)) {
            return {std::move(path), i};
        }
    }
    const std::size_t type = chosen < types.size() ? chosen : 0;
    if (!types.empty()) {
        path += types[type].ending;
    }
    return {std::move(path), type};
}

std::string savedAsText(const std::string& path, const std::string& home) {
    std::string folder = home;
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    const bool inHome = folder.size() > 1 && path.size() > folder.size() &&
                        path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
    return "Sparat som " + (inHome ? "~" + path.substr(folder.size()) : path);
}

} // namespace presenter
