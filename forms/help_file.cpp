#include "forms/help_file.h"

#include "core/help_window.h"

#include <QFile>
#include <string>

namespace forms {

namespace {

// Neither "*.tid" nor "*.tmp" matches it, so no sweep of the program's files touches it.
constexpr std::string_view kTemporaryName = ".hjalp.html.ny";

} // namespace

std::vector<std::uint8_t> helpPage() {
    QFile resource(QStringLiteral(":/help/hjalp.html"));
    if (!resource.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = resource.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

HelpFileResult writeHelpFileIfMissing(platform::FileSystem& files) {
    const std::string_view name = core::kHelpFileName;
    if (files.fileLength(name)) {
        return HelpFileResult::AlreadyThere;
    }
    const std::vector<std::uint8_t> page = helpPage();
    if (page.empty()) {
        return HelpFileResult::Failed;
    }
    // A copy left behind by an interrupted run would keep its longer tail: it goes first.
    files.removeFile(kTemporaryName);
    if (!files.writeRecord(kTemporaryName, page.size(), 1, page)) {
        files.removeFile(kTemporaryName);
        return HelpFileResult::Failed;
    }
    if (!files.renameFile(kTemporaryName, name)) {
        files.removeFile(kTemporaryName);
        return files.fileLength(name) ? HelpFileResult::AlreadyThere : HelpFileResult::Failed;
    }
    return HelpFileResult::Written;
}

} // namespace forms
