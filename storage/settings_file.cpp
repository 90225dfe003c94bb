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
// A settings file this long is not the program's own, and is never written over.
constexpr std::size_t kMaxSettingsFileBytes = 1 << 20;

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
    const auto bytes = m_files.readFile(kSettingsFileName, kSettingsFileBytes);
    if (!bytes && m_files.exists(kSettingsFileName) != false) {
        // The file is there but cannot be read: this is no first start, and nothing is written.
        state.unreadable = true;
        state.settings = decodeSettings({});
        return state;
    }
    state.settings = bytes ? decodeSettings(*bytes) : decodeSettings({});
    if (state.settings.setupDone == core::kFalse) {
        state.firstStart = true;
        std::array<std::uint8_t, 2> mark{};
        writeInt16(mark.data(), core::kTrue);
        state.markWritten = m_files.writeRecord(kSettingsFileName, kSettingsRecordLength, 1, mark);
    }
    return state;
}

bool SettingsFile::storePlan(std::string_view planText, std::int16_t dailyAllowance) {
    // Both records go in one write, so that the file never holds a plan text without its
    // allowance.
    std::vector<std::uint8_t> content;
    if (const auto bytes = m_files.readFile(kSettingsFileName, kMaxSettingsFileBytes)) {
        if (bytes->size() == kMaxSettingsFileBytes) {
            return false;
        }
        content = *bytes;
    } else if (m_files.exists(kSettingsFileName) != false) {
        return false; // there, but unreadable: never written over
    }
    if (content.size() < kAllowanceOffset + 2) {
        content.resize(kAllowanceOffset + 2, 0);
    }
    std::vector<std::uint8_t> text = encodeCp1252(core::fixedWidth(planText, kPlanTextLength));
    text.resize(kPlanTextLength, ' ');
    std::copy(text.begin(), text.end(), content.begin() + kPlanOffset);
    writeInt16(content.data() + kAllowanceOffset, dailyAllowance);
    return m_files.replaceFile(kSettingsFileName, content);
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
