#include "storage/settings_file.h"

#include "core/day_record.h"
#include "core/plan.h"
#include "core/texts.h"
#include "storage/cp1252.h"
#include "storage/little_endian.h"

#include <array>

namespace storage {

namespace {

constexpr std::size_t kSettingsFileBytes = kSettingsFileMaxBytes;
constexpr std::size_t kPlanOffset = kSettingsRecordLength;
constexpr std::size_t kAllowanceOffset = 2 * kSettingsRecordLength;
// One byte more than the three records: a read that gets it has found a damaged file.
constexpr std::size_t kSettingsReadBytes = kSettingsFileBytes + 1;

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

std::optional<std::vector<std::uint8_t>> SettingsFile::readBytes(bool& unreadable, bool& damaged) {
    unreadable = false;
    damaged = false;
    auto bytes = m_files.readFile(kSettingsFileName, kSettingsReadBytes);
    m_readError = bytes ? 0 : m_files.lastError();
    if (bytes) {
        if (bytes->size() > kSettingsFileBytes) {
            unreadable = damaged = true;
            return std::nullopt;
        }
        return bytes;
    }
    const auto kind = m_files.entryKind(kSettingsFileName);
    if (kind == platform::FileSystem::EntryKind::Missing) {
        return std::vector<std::uint8_t>{};
    }
    unreadable = true;
    damaged = kind == platform::FileSystem::EntryKind::Other;
    return std::nullopt;
}

SettingsFile::Loaded SettingsFile::load() {
    Loaded loaded;
    const auto bytes = readBytes(loaded.unreadable, loaded.damaged);
    loaded.error = loaded.unreadable ? m_readError : 0;
    loaded.missing =
        bytes && bytes->empty() &&
        m_files.entryKind(kSettingsFileName) == platform::FileSystem::EntryKind::Missing;
    loaded.settings = bytes ? decodeSettings(*bytes) : decodeSettings({});
    return loaded;
}

SettingsFile::StartState SettingsFile::loadAtStart() {
    StartState state;
    const auto bytes = readBytes(state.unreadable, state.damaged);
    state.error = state.unreadable ? m_readError : 0;
    if (!bytes) {
        // The file is there but cannot be used: this is no first start, and nothing is written.
        state.settings = decodeSettings({});
        return state;
    }
    state.settings = decodeSettings(*bytes);
    if (state.settings.setupDone == core::kFalse) {
        state.firstStart = true;
        std::array<std::uint8_t, 2> mark{};
        writeInt16(mark.data(), core::kTrue);
        state.markWritten = m_files.writeRecord(kSettingsFileName, kSettingsRecordLength, 1, mark,
                                                kSettingsFileBytes);
    } else if (!core::planForAllowance(state.settings.dailyAllowance)) {
        // The mark is there but no plan: the last first start ended before the plan was chosen.
        state.firstStart = true;
    }
    return state;
}

bool SettingsFile::storePlan(std::string_view planText, std::int16_t dailyAllowance) {
    // Both records go in one write, so that the file never holds a plan text without its
    // allowance.
    bool unreadable = false;
    bool damaged = false;
    auto bytes = readBytes(unreadable, damaged);
    if (!bytes) {
        return false; // there, but cannot be used: never written over
    }
    std::vector<std::uint8_t> content = std::move(*bytes);
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
    const auto bytes = m_files.readFile(kSettingsFileName, kSettingsReadBytes);
    if (!bytes || bytes->size() < kAllowanceOffset + 2 || bytes->size() > kSettingsFileBytes) {
        return std::nullopt;
    }
    return readInt16(bytes->data() + kAllowanceOffset);
}

bool SettingsFile::remove() {
    return m_files.removeFile(kSettingsFileName);
}

} // namespace storage
