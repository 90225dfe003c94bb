#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// Windows-1252, the code page of the text in the settings file.

// Decodes bytes to UTF-8. Control characters (bytes below 0x20 and 0x7F) and the five undefined
// code points become blanks, so that any bytes give a text fit to show.
std::string decodeCp1252(std::span<const std::uint8_t> bytes);

// Encodes UTF-8 to Windows-1252; a character the code page lacks becomes '?'.
std::vector<std::uint8_t> encodeCp1252(std::string_view text);

} // namespace storage
