#pragma once

#include <cstdint>

namespace core {

// One day of a month file, as the program works with it. All zero means the day has no record.
// The byte layout of the record belongs to the storage layer.
struct DayRecord {
    float extraCost = 0.0f;            // öre
    std::int32_t connectedSeconds = 0; // 0 to 86400 in files the program wrote
    std::int32_t extraSeconds = 0;     // seconds beyond the daily allowance
    std::int16_t dayNumber = 0;        // equal to the record number
    std::int16_t overAllowance = 0;    // 0 = False, -1 = True

    bool operator==(const DayRecord&) const = default;
};

// Booleans are 16-bit integers, 0 for False and -1 for True, in memory and in files.
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

} // namespace core
