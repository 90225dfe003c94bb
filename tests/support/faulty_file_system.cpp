#include "support/faulty_file_system.h"

namespace testing_support {

bool FaultyFileSystem::fails(const char* what, bool changes) {
    m_log.emplace_back(what);
    if (m_onlyChanges && !changes) {
        return false;
    }
    ++m_calls;
    const bool fail = (m_mode == Mode::Once && m_calls == m_failAt) ||
                      (m_mode == Mode::FromThenOn && m_calls >= m_failAt);
    if (fail) {
        ++m_failures;
    }
    return fail;
}

std::optional<std::int64_t> FaultyFileSystem::fileLength(std::string_view name) {
    if (fails("fileLength", false)) {
        return std::nullopt;
    }
    return m_real.fileLength(name);
}

std::optional<std::vector<std::uint8_t>> FaultyFileSystem::readFile(std::string_view name,
                                                                    std::size_t maxBytes) {
    if (fails("readFile", false)) {
        return std::nullopt;
    }
    return m_real.readFile(name, maxBytes);
}

std::optional<std::vector<std::uint8_t>> FaultyFileSystem::readRecord(std::string_view name,
                                                                      std::size_t recordLength,
                                                                      std::int64_t recordNumber) {
    if (fails("readRecord", false)) {
        return std::nullopt;
    }
    return m_real.readRecord(name, recordLength, recordNumber);
}

bool FaultyFileSystem::writeRecord(std::string_view name, std::size_t recordLength,
                                   std::int64_t recordNumber, std::span<const std::uint8_t> bytes) {
    return !fails("writeRecord", true) &&
           m_real.writeRecord(name, recordLength, recordNumber, bytes);
}

bool FaultyFileSystem::replaceFile(std::string_view name, std::span<const std::uint8_t> content) {
    return !fails("replaceFile", true) && m_real.replaceFile(name, content);
}

bool FaultyFileSystem::createIfMissing(std::string_view name) {
    return !fails("createIfMissing", true) && m_real.createIfMissing(name);
}

bool FaultyFileSystem::copyFile(std::string_view from, std::string_view to) {
    return !fails("copyFile", true) && m_real.copyFile(from, to);
}

bool FaultyFileSystem::renameFile(std::string_view from, std::string_view to) {
    return !fails("renameFile", true) && m_real.renameFile(from, to);
}

platform::FileSystem::ExchangeResult FaultyFileSystem::exchangeFiles(std::string_view first,
                                                                     std::string_view second) {
    if (fails("exchangeFiles", true)) {
        return ExchangeResult::Failed;
    }
    if (exchangeUnsupported) {
        return ExchangeResult::Unsupported;
    }
    return m_real.exchangeFiles(first, second);
}

bool FaultyFileSystem::removeFile(std::string_view name) {
    return !fails("removeFile", true) && m_real.removeFile(name);
}

std::optional<int> FaultyFileSystem::removeByExtension(std::string_view extension) {
    if (fails("removeByExtension", true)) {
        return std::nullopt;
    }
    return m_real.removeByExtension(extension);
}

} // namespace testing_support
