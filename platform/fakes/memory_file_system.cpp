#include "platform/fakes/memory_file_system.h"

#include "platform/posix_file_system.h"

#include <limits>

namespace platform::fakes {

namespace {

// The byte offset of a record, or nullopt when the arguments cannot name one.
std::optional<std::size_t> recordOffset(std::size_t recordLength, std::int64_t recordNumber) {
    if (recordLength < 1 || recordNumber < 1) {
        return std::nullopt;
    }
    const auto index = static_cast<std::uint64_t>(recordNumber - 1);
    if (index > (std::numeric_limits<std::uint32_t>::max() / recordLength)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index * recordLength);
}

} // namespace

std::optional<platform::FileSystem::EntryKind> MemoryFileSystem::entryKind(std::string_view name) {
    if (!platform::isPlainFileName(name)) {
        return std::nullopt;
    }
    return m_files.contains(std::string(name)) ? EntryKind::RegularFile : EntryKind::Missing;
}

std::optional<std::int64_t> MemoryFileSystem::fileLength(std::string_view name) {
    const auto found = m_files.find(std::string(name));
    if (!platform::isPlainFileName(name) || found == m_files.end()) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(found->second.size());
}

std::optional<bool> MemoryFileSystem::exists(std::string_view name) {
    if (!platform::isPlainFileName(name)) {
        return std::nullopt;
    }
    return m_files.contains(std::string(name));
}

std::optional<std::vector<std::uint8_t>> MemoryFileSystem::readFile(std::string_view name,
                                                                    std::size_t maxBytes) {
    const auto found = m_files.find(std::string(name));
    if (!platform::isPlainFileName(name) || found == m_files.end()) {
        return std::nullopt;
    }
    const auto& bytes = found->second;
    return std::vector<std::uint8_t>(
        bytes.begin(),
        bytes.begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, bytes.size())));
}

std::optional<std::vector<std::uint8_t>> MemoryFileSystem::readRecord(std::string_view name,
                                                                      std::size_t recordLength,
                                                                      std::int64_t recordNumber) {
    const auto offset = recordOffset(recordLength, recordNumber);
    const auto found = m_files.find(std::string(name));
    if (!offset || !platform::isPlainFileName(name) || found == m_files.end()) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> record(recordLength, 0);
    const auto& bytes = found->second;
    for (std::size_t i = 0; i < recordLength && *offset + i < bytes.size(); ++i) {
        record[i] = bytes[*offset + i];
    }
    return record;
}

bool MemoryFileSystem::writeRecord(std::string_view name, std::size_t recordLength,
                                   std::int64_t recordNumber, std::span<const std::uint8_t> bytes,
                                   std::size_t maxFileBytes) {
    const auto offset = recordOffset(recordLength, recordNumber);
    if (!offset || bytes.size() > recordLength || !platform::isPlainFileName(name)) {
        return false;
    }
    const auto found = m_files.find(std::string(name));
    if (found != m_files.end() && found->second.size() > maxFileBytes) {
        return false;
    }
    auto& content = m_files[std::string(name)];
    if (content.size() < *offset + bytes.size()) {
        content.resize(*offset + bytes.size(), 0);
    }
    std::copy(bytes.begin(), bytes.end(), content.begin() + static_cast<std::ptrdiff_t>(*offset));
    return true;
}

bool MemoryFileSystem::replaceFile(std::string_view name, std::span<const std::uint8_t> content) {
    if (!platform::isPlainFileName(name)) {
        return false;
    }
    m_files[std::string(name)].assign(content.begin(), content.end());
    return true;
}

bool MemoryFileSystem::createIfMissing(std::string_view name) {
    if (!platform::isPlainFileName(name)) {
        return false;
    }
    m_files.try_emplace(std::string(name));
    return true;
}

bool MemoryFileSystem::copyFile(std::string_view from, std::string_view to, std::size_t maxBytes) {
    const auto found = m_files.find(std::string(from));
    if (!platform::isPlainFileName(from) || !platform::isPlainFileName(to) || from == to ||
        found == m_files.end() || found->second.size() > maxBytes) {
        return false;
    }
    const std::vector<std::uint8_t> content = found->second;
    m_files[std::string(to)] = content;
    return true;
}

bool MemoryFileSystem::renameFile(std::string_view from, std::string_view to) {
    const auto found = m_files.find(std::string(from));
    if (!platform::isPlainFileName(from) || !platform::isPlainFileName(to) ||
        found == m_files.end() || m_files.count(std::string(to)) != 0) {
        return false;
    }
    auto content = std::move(found->second);
    m_files.erase(found);
    m_files.emplace(std::string(to), std::move(content));
    return true;
}

platform::FileSystem::ExchangeResult MemoryFileSystem::exchangeFiles(std::string_view first,
                                                                     std::string_view second) {
    const auto a = m_files.find(std::string(first));
    const auto b = m_files.find(std::string(second));
    if (!platform::isPlainFileName(first) || !platform::isPlainFileName(second) ||
        first == second || a == m_files.end() || b == m_files.end()) {
        return ExchangeResult::Failed;
    }
    if (exchangeUnsupported) {
        return ExchangeResult::Unsupported;
    }
    std::swap(a->second, b->second);
    return ExchangeResult::Exchanged;
}

bool MemoryFileSystem::removeFile(std::string_view name) {
    return platform::isPlainFileName(name) && m_files.erase(std::string(name)) == 1;
}

std::optional<int> MemoryFileSystem::removeByExtension(std::string_view extension) {
    if (extension.size() < 2 || extension.front() != '.' || !platform::isPlainFileName(extension)) {
        return std::nullopt;
    }
    int removed = 0;
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (it->first.size() > extension.size() && it->first.ends_with(extension)) {
            it = m_files.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    return removed;
}

} // namespace platform::fakes
