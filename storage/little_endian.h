#pragma once

#include <bit>
#include <cstdint>

namespace storage {

// Little-endian numbers in the files, whatever the machine's byte order.

inline std::int16_t readInt16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

inline std::int32_t readInt32(const std::uint8_t* p) {
    const std::uint32_t v =
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(v);
}

inline float readFloat32(const std::uint8_t* p) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(readInt32(p)));
}

inline void writeInt16(std::uint8_t* p, std::int16_t value) {
    const auto v = static_cast<std::uint16_t>(value);
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void writeInt32(std::uint8_t* p, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
    }
}

inline void writeFloat32(std::uint8_t* p, float value) {
    writeInt32(p, static_cast<std::int32_t>(std::bit_cast<std::uint32_t>(value)));
}

} // namespace storage
