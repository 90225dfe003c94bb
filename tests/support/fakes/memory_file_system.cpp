#include "support/fakes/memory_file_system.h"

#include "platform/posix_file_system.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <limits>
#include <new>
#include <utility>

namespace platform::fakes {

namespace {

// The byte offset of a record, or nullopt when the arguments cannot name one: a record number or
// length below 1, or a record that would end past the largest file offset, as on a real disk.
std::optional<std::size_t> recordOffset(std::size_t recordLength, std::int64_t recordNumber) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    if (recordLength < 1 || recordNumber < 1 || recordLength > static_cast<std::uint64_t>(kMax)) {
        return std::nullopt;
    }
    const auto length = static_cast<std::int64_t>(recordLength);
    const std::int64_t index = recordNumber - 1;
    if (index > (kMax - length) / length) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index * length);
}

// The names the real layer gives its hidden temporary files, which deleting by extension passes
// over there (see PosixFileSystem).
bool isTemporaryName(std::string_view name) {
    constexpr std::string_view kPrefix = ".surfklocka-";
    constexpr std::string_view kSuffix = ".part";
    return name.size() > kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) &&
           name.ends_with(kSuffix);
}

} // namespace

std::optional<platform::FileSystem::EntryKind> MemoryFileSystem::entryKind(std::string_view name) {
    m_lastError = 0;
    if (!platform::isPlainFileName(name)) {
        return std::nullopt;
    }
    return m_files.contains(std::string(name)) ? EntryKind::RegularFile : EntryKind::Missing;
}

std::optional<std::int64_t> MemoryFileSystem::fileLength(std::string_view name) {
    const auto found = m_files.find(std::string(name));
    if (!platform::isPlainFileName(name) || found == m_files.end()) {
        fail(platform::isPlainFileName(name) ? ENOENT : 0);
        return std::nullopt;
    }
    m_lastError = 0;
    return static_cast<std::int64_t>(found->second.size());
}

std::optional<bool> MemoryFileSystem::exists(std::string_view name) {
    m_lastError = 0;
    if (!platform::isPlainFileName(name)) {
        return std::nullopt;
    }
    return m_files.contains(std::string(name));
}

std::optional<std::vector<std::uint8_t>> MemoryFileSystem::readFile(std::string_view name,
                                                                    std::size_t maxBytes) {
    const auto found = m_files.find(std::string(name));
    if (!platform::isPlainFileName(name) || found == m_files.end()) {
        fail(platform::isPlainFileName(name) ? ENOENT : 0);
        return std::nullopt;
    }
    m_lastError = 0;
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
    m_lastError = 0;
    if (!offset || !platform::isPlainFileName(name) || found == m_files.end()) {
        fail(offset && platform::isPlainFileName(name) ? ENOENT : 0);
        return std::nullopt;
    }
    std::vector<std::uint8_t> record;
    try {
        record.assign(recordLength, 0);
    } catch (const std::bad_alloc&) {
        fail(ENOMEM);
        return std::nullopt;
    }
    const auto& bytes = found->second;
    for (std::size_t i = 0; i < recordLength && *offset + i < bytes.size(); ++i) {
        record[i] = bytes[*offset + i];
    }
    return record;
}

bool MemoryFileSystem::writeRecord(std::string_view name, std::size_t recordLength,
                                   std::int64_t recordNumber, std::span<const std::uint8_t> bytes,
                                   std::size_t maxFileBytes) {
    m_lastError = 0;
    const auto offset = recordOffset(recordLength, recordNumber);
    if (!offset || bytes.size() > recordLength || !platform::isPlainFileName(name)) {
        return false;
    }
    const auto found = m_files.find(std::string(name));
    if (found != m_files.end() && found->second.size() > maxFileBytes) {
        return false;
    }
    // Built aside, so that a file too large to hold leaves everything as it was.
    std::vector<std::uint8_t> content;
    try {
        if (found != m_files.end()) {
            content = found->second;
        }
        if (content.size() < *offset + bytes.size()) {
            content.resize(*offset + bytes.size(), 0);
        }
    } catch (const std::exception&) {
        return fail(ENOMEM);
    }
    std::copy(bytes.begin(), bytes.end(), content.begin() + static_cast<std::ptrdiff_t>(*offset));
    m_files[std::string(name)] = std::move(content);
    return true;
}

bool MemoryFileSystem::replaceFile(std::string_view name, std::span<const std::uint8_t> content,
                                   FolderFlush /*flush*/, DataFlush /*data*/) {
    m_lastError = 0;
    if (!platform::isPlainFileName(name)) {
        return false;
    }
    m_files[std::string(name)].assign(content.begin(), content.end());
    return true;
}

bool MemoryFileSystem::createIfMissing(std::string_view name, FolderFlush /*flush*/) {
    m_lastError = 0;
    if (!platform::isPlainFileName(name)) {
        return false;
    }
    m_files.try_emplace(std::string(name));
    return true;
}

bool MemoryFileSystem::copyFile(std::string_view from, std::string_view to, std::size_t maxBytes) {
    m_lastError = 0;
    if (!platform::isPlainFileName(from) || !platform::isPlainFileName(to) || from == to) {
        return false;
    }
    const auto found = m_files.find(std::string(from));
    if (found == m_files.end()) {
        return fail(ENOENT);
    }
    if (found->second.size() > maxBytes) {
        return false;
    }
    const std::vector<std::uint8_t> content = found->second;
    m_files[std::string(to)] = content;
    return true;
}

platform::FileSystem::LinkResult MemoryFileSystem::linkFile(std::string_view from,
                                                            std::string_view to) {
    m_lastError = 0;
    if (!platform::isPlainFileName(from) || !platform::isPlainFileName(to) || from == to) {
        return LinkResult::Failed;
    }
    const auto found = m_files.find(std::string(from));
    if (found == m_files.end() || m_files.contains(std::string(to))) {
        fail(found == m_files.end() ? ENOENT : EEXIST);
        return LinkResult::Failed;
    }
    if (linkUnsupported) {
        fail(ENOTSUP);
        return LinkResult::Unsupported;
    }
    const std::vector<std::uint8_t> content = found->second;
    m_files.emplace(std::string(to), content);
    return LinkResult::Linked;
}

bool MemoryFileSystem::renameFile(std::string_view from, std::string_view to,
                                  FolderFlush /*flush*/) {
    m_lastError = 0;
    if (!platform::isPlainFileName(from) || !platform::isPlainFileName(to)) {
        return false;
    }
    const auto found = m_files.find(std::string(from));
    if (found == m_files.end() || m_files.contains(std::string(to))) {
        return fail(found == m_files.end() ? ENOENT : EEXIST);
    }
    auto content = std::move(found->second);
    m_files.erase(found);
    m_files.emplace(std::string(to), std::move(content));
    return true;
}

bool MemoryFileSystem::moveAside(std::string_view from, std::string_view to, FolderFlush flush) {
    return renameFile(from, to, flush);
}

platform::FileSystem::ExchangeResult MemoryFileSystem::exchangeFiles(std::string_view first,
                                                                     std::string_view second) {
    m_lastError = 0;
    if (!platform::isPlainFileName(first) || !platform::isPlainFileName(second) ||
        first == second) {
        return ExchangeResult::Failed;
    }
    const auto a = m_files.find(std::string(first));
    const auto b = m_files.find(std::string(second));
    if (a == m_files.end() || b == m_files.end()) {
        fail(ENOENT);
        return ExchangeResult::Failed;
    }
    if (exchangeUnsupported) {
        fail(ENOTSUP);
        return ExchangeResult::Unsupported;
    }
    std::swap(a->second, b->second);
    return ExchangeResult::Exchanged;
}

bool MemoryFileSystem::removeFile(std::string_view name, FolderFlush /*flush*/) {
    m_lastError = 0;
    if (!platform::isPlainFileName(name)) {
        return false;
    }
    return m_files.erase(std::string(name)) == 1 || fail(ENOENT);
}

std::optional<int> MemoryFileSystem::removeByExtension(std::string_view extension,
                                                       FolderFlush /*flush*/) {
    m_lastError = 0;
    if (extension.size() < 2 || extension.front() != '.' || !platform::isPlainFileName(extension)) {
        return std::nullopt;
    }
    int removed = 0;
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (it->first.size() > extension.size() && it->first.ends_with(extension) &&
            !isTemporaryName(it->first)) {
            it = m_files.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    return removed;
}

std::optional<std::vector<std::string>>
MemoryFileSystem::namesWithExtension(std::string_view extension) {
    m_lastError = 0;
    if (extension.size() < 2 || extension.front() != '.' || !platform::isPlainFileName(extension)) {
        return std::nullopt;
    }
    std::vector<std::string> names; // the map keeps them sorted
    for (const auto& entry : m_files) {
        if (entry.first.size() > extension.size() && entry.first.ends_with(extension) &&
            !isTemporaryName(entry.first)) {
            names.push_back(entry.first);
        }
    }
    return names;
}

std::optional<std::vector<std::string>> MemoryFileSystem::listNames() {
    m_lastError = 0;
    std::vector<std::string> names; // the map keeps them sorted by their bytes
    for (const auto& entry : m_files) {
        if (!isTemporaryName(entry.first)) {
            names.push_back(entry.first);
        }
    }
    return names;
}

} // namespace platform::fakes
