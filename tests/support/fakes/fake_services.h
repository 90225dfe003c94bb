#pragma once

#include "platform/link_opener.h"
#include "platform/printing.h"
#include "platform/save_file.h"
#include "platform/services.h"
#include "support/fakes/fake_clock.h"
#include "support/fakes/fake_message_box.h"
#include "support/fakes/fake_notifier.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::fakes {

// A print dialog that answers with a set number of copies, or cancels.
class FakePrintDialog final : public platform::PrintDialog {
public:
    std::optional<int> ask() override {
        ++m_asked;
        return m_copies;
    }
    void answer(std::optional<int> copies) { m_copies = copies; }
    int asked() const { return m_asked; }

private:
    std::optional<int> m_copies = 1;
    int m_asked = 0;
};

// A printer that keeps what it was given, and can be made to fail.
class FakePrinter final : public platform::Printer {
public:
    bool print(const platform::PrintDocument& items) override {
        m_printed.insert(m_printed.end(), items.begin(), items.end());
        return m_works;
    }
    void fail() { m_works = false; }
    const platform::PrintDocument& printed() const { return m_printed; }

private:
    platform::PrintDocument m_printed;
    bool m_works = true;
};

// A link opener that records the targets it was asked to open, and can be made to fail.
class FakeLinkOpener final : public platform::LinkOpener {
public:
    bool open(const std::string& target) override {
        m_opened.push_back(target);
        return m_works;
    }
    const std::vector<std::string>& opened() const { return m_opened; }
    void fail() { m_works = false; }

private:
    std::vector<std::string> m_opened;
    bool m_works = true;
};

// A save-file dialog that answers a scripted path and filter (or cancels), and a write that
// records what it was given and can be made to fail with a reason. The home folder is
// "/home/anna".
class FakeSaveFile final : public platform::SaveFile {
public:
    struct Written {
        std::string path;
        std::string bytes;
    };

    std::optional<Choice> ask(const std::string& title, const std::string& suggestedName,
                              const std::string& filters) override {
        m_title = title;
        m_suggested.push_back(suggestedName);
        m_filters = filters;
        return m_answer;
    }
    std::optional<std::string> write(const std::string& path, const std::string& bytes) override {
        if (m_failure) {
            return m_failure;
        }
        m_written.push_back({path, bytes});
        return std::nullopt;
    }
    std::string homeFolder() const override { return "/home/anna"; }
    // The path (and the filter chosen) the next dialogs answer; nullopt cancels.
    void answer(std::optional<std::string> path, std::size_t filter = 0) {
        m_answer = path ? std::optional<Choice>(Choice{*path, filter}) : std::nullopt;
    }
    void fail(std::string reason) { m_failure = std::move(reason); }
    const std::vector<Written>& written() const { return m_written; }
    const std::vector<std::string>& suggested() const { return m_suggested; }
    const std::string& filters() const { return m_filters; }
    const std::string& title() const { return m_title; }

private:
    std::optional<Choice> m_answer;
    std::optional<std::string> m_failure;
    std::vector<Written> m_written;
    std::vector<std::string> m_suggested;
    std::string m_filters;
    std::string m_title;
};

// The fakes of every outside service but the file layer, and the services made of them with a
// file layer of the caller's choosing.
struct FakeOutside {
    explicit FakeOutside(core::Date today) : clock(today) {}

    platform::Services with(platform::FileSystem& files) {
        return {files, clock, messages, printDialog, printer, links, saveFile, notifier};
    }

    FakeClock clock;
    FakeMessageBox messages;
    FakePrintDialog printDialog;
    FakePrinter printer;
    FakeLinkOpener links;
    FakeSaveFile saveFile;
    FakeNotifier notifier;
};

} // namespace platform::fakes
