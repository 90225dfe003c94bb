#pragma once

#include <cstdint>
#include <string>

namespace core {

// The program-wide settings shared by all windows for the whole run. The settings file is where
// planText and dailyAllowance are kept between runs; this is only their copy in memory.
struct ProgramSettings {
    std::string planText;            // exactly 10 characters once loaded
    std::int16_t dailyAllowance = 0; // prepaid seconds per day; 0 when no plan is stored
};

// "Surfklocka 3.11": the name and version the windows show.
inline constexpr const char* kProgramName = "Surfklocka 3.11";

} // namespace core
