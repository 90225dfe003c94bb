#include "storage/settings_file.h"

#include "core/day_record.h"
#include "core/texts.h"
#include "storage/cp1252.h"
#include "storage/little_endian.h"

#include <array>

namespace storage {

namespace {

constexpr std::size_t kSettingsFileBytes = 3 * kSettingsRecordLength;
constexpr std::size_t kPlanOffset = kSettingsRecordLength;
constexpr std::size_t kAllowanceOffset = 2 * kSettingsRecordLength;

} // namespace

Settings decodeSettings(std::span<const std::uint8_t> fileBytes) {
    std::array<std::uint8_t, kSettingsFileBytes> bytes{};
    for (std::size_t i = 0; i < bytes.size() && i < fileBytes.size(); ++i) {
        bytes[i] = fileBytes[i];
    }
    Settings settings;
    settings.setupDone = readInt16(bytes.data());
    settings.planText =
        decodeCp1252(std::span<const std::uint8_t>(bytes.data() + kPlanOffset, kPlanTextLength));
    settings.dailyAllowance = readInt16(bytes.data() + kAllowanceOffset);
    return settings;
}

Settings SettingsFile::load() {
    const auto bytes = m_files.readFile(kSettingsFileName, kSettingsFileBytes);
    if (!bytes) {
        return decodeSettings({});
    }
    return decodeSettings(*bytes);
}

SettingsFile::StartState SettingsFile::loadAtStart() {
    StartState state;
    state.settings = load();
    if (state.settings.setupDone == core::kFalse) {
        state.firstStart = true;
        std::array<std::uint8_t, 2> mark{};
        writeInt16(mark.data(), core::kTrue);
        state.markWritten = m_files.writeRecord(kSettingsFileName, kSettingsRecordLength, 1, mark);
    }
    return state;
}

bool SettingsFile::storePlan(std::string_view planText, std::int16_t dailyAllowance) {
    std::vector<std::uint8_t> text = encodeCp1252(core::fixedWidth(planText, kPlanTextLength));
    text.resize(kPlanTextLength, ' ');
    if (!m_files.writeRecord(kSettingsFileName, kSettingsRecordLength, 2, text)) {
        return false;
    }
    std::array<std::uint8_t, 2> allowance{};
    writeInt16(allowance.data(), dailyAllowance);
    return m_files.writeRecord(kSettingsFileName, kSettingsRecordLength, 3, allowance);
}

std::optional<std::int16_t> SettingsFile::readDailyAllowance() {
    const auto bytes = m_files.readFile(kSettingsFileName, kSettingsFileBytes);
    if (!bytes || bytes->size() < kAllowanceOffset + 2) {
        return std::nullopt;
    }
    return readInt16(bytes->data() + kAllowanceOffset);
}

bool SettingsFile::remove() {
    return m_files.removeFile(kSettingsFileName);
}

} // namespace storage
