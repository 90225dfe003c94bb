#pragma once

#include "core/day_record.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

namespace testing_support {

// Day records and month files made by hand for the tests: month files byte for byte,
// independently of the program's own encoder.

// A day with connected time, as the booking leaves it: over its allowance when it has extra time.
inline core::DayRecord bookedDay(std::int16_t dayNumber, std::int32_t connected,
                                 std::int32_t extra = 0, float costOre = 0.0f) {
    core::DayRecord record;
    record.dayNumber = dayNumber;
    record.connectedSeconds = connected;
    record.extraSeconds = extra;
    record.extraCost = costOre;
    record.overAllowance = extra > 0 ? core::kTrue : core::kFalse;
    return record;
}

// A 16-byte day record, little-endian: cost (float, öre), connected and extra seconds, day
// number, and the over-allowance flag (-1 when there is extra time).
inline std::vector<std::uint8_t> dayRecordBytes(std::int32_t connected, std::int32_t extra,
                                                float costOre, std::int16_t day,
                                                std::optional<std::int16_t> over = std::nullopt) {
    std::vector<std::uint8_t> bytes(16, 0);
    std::uint32_t costBits = 0;
    std::memcpy(&costBits, &costOre, sizeof costBits);
    const auto put = [&bytes](std::size_t offset, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes[offset + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
        }
    };
    put(0, costBits, 4);
    put(4, static_cast<std::uint32_t>(connected), 4);
    put(8, static_cast<std::uint32_t>(extra), 4);
    put(12, static_cast<std::uint16_t>(day), 2);
    put(14, over ? static_cast<std::uint16_t>(*over) : (extra > 0 ? 0xFFFFu : 0u), 2);
    return bytes;
}

// A month file holding the given days (day number to record bytes); it ends with its highest
// day, and the days between read as empty records.
inline std::vector<std::uint8_t>
monthFileBytes(const std::map<int, std::vector<std::uint8_t>>& days) {
    if (days.empty()) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(days.rbegin()->first) * 16, 0);
    for (const auto& [day, record] : days) {
        std::copy(record.begin(), record.end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>((day - 1) * 16));
    }
    return bytes;
}

} // namespace testing_support
