#include "presenter/help_presenter.h"

#include "core/texts.h"

#include <cstdint>
#include <utility>

namespace presenter {

namespace {

// Neither "*.tid" nor "*.tmp" matches it, so no sweep of the program's files touches it.
constexpr std::string_view kTemporaryName = ".hjalp.html.ny";

std::vector<HelpLine> helpLines() {
    using Colour = HelpLine::Colour;
    const auto red12 = [](std::string text) { return HelpLine{std::move(text), Colour::Red, 12}; };
    const auto small = [](std::string text, int link = -1) {
        return HelpLine{std::move(text), Colour::Normal, 8, link};
    };
    return {
        HelpLine{},
        red12(std::string(12, ' ') + "Välkommen till " + core::kProgramName),
        red12(""),
        small("    För hjälp om programmet, klicka här:", 0),
        small(""),
        small(""),
        small("    För att skicka e-post, klicka här:", 1),
        small(""),
        small(""),
        small("    För att komma till programmets hemsida, klicka här:", 2),
        small(""),
        small(""),
        small("    (För information om programmet"),
        small("     och för att hämta senaste versionen.)"),
        small(""),
        HelpLine{"Copyright © Surfklockas upphovsmän. Fri programvara under MIT-licensen.",
                 Colour::Red, 8},
    };
}

// Writes the page into the data folder when no file of that name is there.
void writeHelpFileIfMissing(platform::FileSystem& files) {
    if (files.exists(kHelpFileName) != false) {
        return; // there, or the folder cannot be asked
    }
    const std::string_view page = helpPage();
    const std::vector<std::uint8_t> bytes(page.begin(), page.end());
    // A copy left behind by an interrupted run would keep its longer tail: it goes first.
    files.removeFile(kTemporaryName);
    if (!files.writeRecord(kTemporaryName, bytes.size(), 1, bytes) ||
        !files.renameFile(kTemporaryName, kHelpFileName)) {
        files.removeFile(kTemporaryName);
    }
}

} // namespace

HelpPresenter::HelpPresenter(platform::Services services, const core::ProgramSettings& settings)
    : m_services(services), m_settings(settings) {}

const HelpView& HelpPresenter::load() {
    m_view = HelpView{};
    m_view.caption = std::string(core::kProgramName) + std::string(6, ' ') +
                     core::fixedWidth(m_settings.planText, 10) + std::string(6, ' ') + "Om...";
    m_view.lines = helpLines();
    m_view.aghHjalp = {{
        {std::string(kHelpFileName), "Öppnar hjälpen."},
        {"mailto:" + std::string(kContactAddress) + "?subject=Om " + core::kProgramName,
         "E-post om programmet."},
        {std::string(kHomePage), "Till programmets hemsida."},
    }};
    m_view.cmdStangHint = "Stänger detta formulär.";
    writeHelpFileIfMissing(m_services.files);
    return m_view;
}

const HelpView& HelpPresenter::click(int index) {
    if (index < 0 || index >= static_cast<int>(m_view.aghHjalp.size())) {
        return m_view;
    }
    const std::string target = m_view.aghHjalp[static_cast<std::size_t>(index)].target;
    if (index != 0) {
        open(target);
    } else if (!m_services.links.open(target)) {
        // No browser to show it: the window shows the page itself.
        const auto page =
            m_services.files.readFile(kHelpFileName, platform::FileSystem::kDefaultMaxFileBytes);
        m_view.txtHjalp = page && !page->empty() ? std::string(page->begin(), page->end())
                                                 : std::string(helpPage());
    }
    return m_view;
}

const HelpView& HelpPresenter::openLink(const std::string& target) {
    open(target);
    return m_view;
}

bool HelpPresenter::open(const std::string& target) {
    if (m_services.links.open(target)) {
        return true;
    }
    m_services.messages.show("Det gick inte att öppna " + target + ".", "Länken kunde inte öppnas",
                             platform::MessageBox::Buttons::Ok,
                             platform::MessageBox::Icon::Exclamation);
    return false;
}

} // namespace presenter
