#include "storage/notice_settings.h"

#include "core/day_record.h"
#include "storage/little_endian.h"

#include <array>

namespace storage {

namespace {

// One byte more than the file: a read that gets it has found a damaged file.
constexpr std::size_t kNoticeReadBytes = kNoticeFileBytes + 1;

} // namespace

std::optional<bool> decodeNoticeSetting(std::span<const std::uint8_t> fileBytes) {
    if (fileBytes.size() != kNoticeFileBytes) {
        return std::nullopt;
    }
    const std::int16_t value = readInt16(fileBytes.data());
    if (value == core::kTrue) {
        return true;
    }
    if (value == core::kFalse) {
        return false;
    }
    return std::nullopt;
}

NoticeSettings::Loaded NoticeSettings::load() {
    Loaded loaded;
    const auto bytes = m_files.readFile(kNoticeFileName, kNoticeReadBytes);
    if (bytes) {
        const auto on = decodeNoticeSetting(*bytes);
        loaded.state = on ? NoticeFileState::Stored : NoticeFileState::Damaged;
        loaded.on = on.value_or(true);
        return loaded;
    }
    const auto kind = m_files.entryKind(kNoticeFileName);
    if (kind == platform::FileSystem::EntryKind::Missing) {
        loaded.state = NoticeFileState::NoFile;
    } else if (kind == platform::FileSystem::EntryKind::Other) {
        loaded.state = NoticeFileState::Damaged;
    } else {
        loaded.state = NoticeFileState::Unreadable;
    }
    return loaded;
}

bool NoticeSettings::store(bool on) {
    const NoticeFileState state = load().state;
    if (state == NoticeFileState::Damaged || state == NoticeFileState::Unreadable) {
        return false; // not the program's file, or cannot be told: never written over
    }
    std::array<std::uint8_t, kNoticeFileBytes> bytes{};
    writeInt16(bytes.data(), on ? core::kTrue : core::kFalse);
    return m_files.replaceFile(kNoticeFileName, bytes);
}

} // namespace storage
