#include "support/fakes/faulty_file_system.h"

namespace platform::fakes {

int FaultyFileSystem::readsOf(std::string_view name) const {
    std::string suffix(1, ' ');
    suffix += name;
    int reads = 0;
    for (const std::string& entry : m_log) {
        if ((entry.starts_with("readFile ") || entry.starts_with("readRecord ")) &&
            entry.ends_with(suffix)) {
            ++reads;
        }
    }
    return reads;
}

int FaultyFileSystem::changeRequests() const {
    int changes = 0;
    for (const std::string& entry : m_log) {
        if (!entry.starts_with("read") && !entry.starts_with("fileLength ") &&
            !entry.starts_with("exists ") && !entry.starts_with("entryKind ") &&
            !entry.starts_with("namesWithExtension ") && !entry.starts_with("listNames ") &&
            !entry.ends_with("FolderNote .")) {
            ++changes;
        }
    }
    return changes;
}

bool FaultyFileSystem::fails(const char* what, bool changes, std::string_view name) {
    m_log.push_back(std::string(what) + " " + std::string(name));
    m_ownError = -1;
    if (m_onlyChanges && !changes) {
        return false;
    }
    ++m_calls;
    if (m_mode == Mode::Crash && m_calls == m_failAt) {
        ++m_failures;
        throw SimulatedCrash{m_calls};
    }
    const bool fail = (m_mode == Mode::Once && m_calls == m_failAt) ||
                      (m_mode == Mode::FromThenOn && m_calls >= m_failAt);
    if (fail) {
        ++m_failures;
        m_ownError = m_errno;
    }
    return fail;
}

std::optional<platform::FileSystem::EntryKind> FaultyFileSystem::entryKind(std::string_view name) {
    if (fails("entryKind", false, name)) {
        return std::nullopt;
    }
    return m_real.entryKind(name);
}

std::optional<std::int64_t> FaultyFileSystem::fileLength(std::string_view name) {
    if (fails("fileLength", false, name)) {
        return std::nullopt;
    }
    return m_real.fileLength(name);
}

std::optional<bool> FaultyFileSystem::exists(std::string_view name) {
    if (fails("exists", false, name)) {
        return std::nullopt;
    }
    return m_real.exists(name);
}

std::optional<std::vector<std::uint8_t>> FaultyFileSystem::readFile(std::string_view name,
                                                                    std::size_t maxBytes) {
    if (fails("readFile", false, name)) {
        return std::nullopt;
    }
    return m_real.readFile(name, maxBytes);
}

std::optional<std::vector<std::uint8_t>> FaultyFileSystem::readRecord(std::string_view name,
                                                                      std::size_t recordLength,
                                                                      std::int64_t recordNumber) {
    if (fails("readRecord", false, name)) {
        return std::nullopt;
    }
    return m_real.readRecord(name, recordLength, recordNumber);
}

bool FaultyFileSystem::writeRecord(std::string_view name, std::size_t recordLength,
                                   std::int64_t recordNumber, std::span<const std::uint8_t> bytes,
                                   std::size_t maxFileBytes) {
    return !fails("writeRecord", true, name) &&
           m_real.writeRecord(name, recordLength, recordNumber, bytes, maxFileBytes);
}

namespace {

const char* named(const char* now, const char* deferred, platform::FileSystem::FolderFlush flush) {
    return flush == platform::FileSystem::FolderFlush::Now ? now : deferred;
}

} // namespace

bool FaultyFileSystem::replaceFile(std::string_view name, std::span<const std::uint8_t> content,
                                   FolderFlush flush, DataFlush data) {
    const char* what = data == DataFlush::Now ? named("replaceFile", "replaceFile:deferred", flush)
                                              : named("replaceFile:unflushed",
                                                      "replaceFile:deferred:unflushed", flush);
    return !fails(what, true, name) && m_real.replaceFile(name, content, flush, data);
}

bool FaultyFileSystem::createIfMissing(std::string_view name, FolderFlush flush) {
    return !fails(named("createIfMissing", "createIfMissing:deferred", flush), true, name) &&
           m_real.createIfMissing(name, flush);
}

bool FaultyFileSystem::copyFile(std::string_view from, std::string_view to, std::size_t maxBytes) {
    return !fails("copyFile", true, from) && m_real.copyFile(from, to, maxBytes);
}

platform::FileSystem::LinkResult FaultyFileSystem::linkFile(std::string_view from,
                                                            std::string_view to) {
    if (fails("linkFile", true, std::string(from) + ">" + std::string(to))) {
        return LinkResult::Failed;
    }
    if (linkUnsupported) {
        m_ownError = ENOTSUP;
        return LinkResult::Unsupported;
    }
    return m_real.linkFile(from, to);
}

bool FaultyFileSystem::renameFile(std::string_view from, std::string_view to, FolderFlush flush) {
    return !fails(named("renameFile", "renameFile:deferred", flush), true, from) &&
           m_real.renameFile(from, to, flush);
}

bool FaultyFileSystem::moveAside(std::string_view from, std::string_view to, FolderFlush flush) {
    return !fails(named("moveAside", "moveAside:deferred", flush), true,
                  std::string(from) + ">" + std::string(to)) &&
           m_real.moveAside(from, to, flush);
}

platform::FileSystem::ExchangeResult FaultyFileSystem::exchangeFiles(std::string_view first,
                                                                     std::string_view second) {
    if (fails("exchangeFiles", true, first)) {
        return ExchangeResult::Failed;
    }
    if (exchangeUnsupported) {
        m_ownError = ENOTSUP;
        return ExchangeResult::Unsupported;
    }
    return m_real.exchangeFiles(first, second);
}

bool FaultyFileSystem::removeFile(std::string_view name, FolderFlush flush) {
    return !fails(named("removeFile", "removeFile:deferred", flush), true, name) &&
           m_real.removeFile(name, flush);
}

std::optional<int> FaultyFileSystem::removeByExtension(std::string_view extension,
                                                       FolderFlush flush) {
    if (fails(named("removeByExtension", "removeByExtension:deferred", flush), true, extension)) {
        return std::nullopt;
    }
    return m_real.removeByExtension(extension, flush);
}

std::optional<std::vector<std::string>>
FaultyFileSystem::namesWithExtension(std::string_view extension) {
    if (fails("namesWithExtension", false, extension)) {
        return std::nullopt;
    }
    return m_real.namesWithExtension(extension);
}

std::optional<std::vector<std::string>> FaultyFileSystem::listNames() {
    if (fails("listNames", false, ".")) {
        return std::nullopt;
    }
    return m_real.listNames();
}

bool FaultyFileSystem::syncFolder() {
    return !fails("syncFolder", true, ".") && m_real.syncFolder();
}

std::optional<std::string> FaultyFileSystem::takeFolderNote() {
    if (fails("takeFolderNote", false, ".")) {
        return std::nullopt;
    }
    return m_real.takeFolderNote();
}

bool FaultyFileSystem::leaveFolderNote(std::string_view text) {
    return !fails("leaveFolderNote", false, ".") && m_real.leaveFolderNote(text);
}

void FaultyFileSystem::dropFolderNote() {
    if (!fails("dropFolderNote", false, ".")) {
        m_real.dropFolderNote();
    }
}

} // namespace platform::fakes
