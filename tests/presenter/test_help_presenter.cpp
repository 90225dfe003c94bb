// The help window's decisions: its caption, lines and links, the help page written into the data
// folder only where none is, and the links opened, the help page shown in the window when the
// desktop cannot open it.

#include "presenter/help_presenter.h"
#include "support/fakes/fake_services.h"
#include "support/fakes/memory_file_system.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using presenter::HelpLine;
using Colour = presenter::HelpLine::Colour;
using Bytes = std::vector<std::uint8_t>;
using Files = platform::fakes::MemoryFileSystem::Files;

namespace {

// The page as the source tree holds it.
Bytes sourcePage() {
    std::ifstream file(SURFKLOCKA_SOURCE_DIR "/resources/hjalp.html", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class HelpPresenterTest : public ::testing::Test {
protected:
    platform::fakes::MemoryFileSystem m_files;
    platform::fakes::FakeOutside m_outside{core::Date{2001, 12, 5}};
    core::ProgramSettings m_settings{"2 h / dygn", 7200};
    presenter::HelpPresenter m_presenter{m_outside.with(m_files), m_settings};
};

} // namespace

TEST_F(HelpPresenterTest, CaptionLinesAndTheHelpPageWrittenOnlyWhereNoneIs) {
    m_files.files()[".hjalp.html.ny"] = Bytes(100000, 'x'); // left by an interrupted run
    const presenter::HelpView& view = m_presenter.load();
    EXPECT_EQ(m_files.files(), (Files{{"hjalp.html", sourcePage()}}));
    EXPECT_EQ(view.caption, "Surfklocka 3.11      2 h / dygn      Om...");
    std::vector<HelpLine> lines(16, HelpLine{"", Colour::Normal, 8, -1});
    lines[0] = {"", Colour::Initial, 0, -1};
    lines[1] = {"            Välkommen till Surfklocka 3.11", Colour::Red, 12, -1};
    lines[2] = {"", Colour::Red, 12, -1};
    lines[3] = {"    För hjälp om programmet, klicka här:", Colour::Normal, 8, 0};
    lines[6] = {"    För att skicka e-post, klicka här:", Colour::Normal, 8, 1};
    lines[9] = {"    För att komma till programmets hemsida, klicka här:", Colour::Normal, 8, 2};
    lines[12] = {"    (För information om programmet", Colour::Normal, 8, -1};
    lines[13] = {"     och för att hämta senaste versionen.)", Colour::Normal, 8, -1};
    lines[15] = {"Copyright © Surfklockas upphovsmän. Fri programvara under MIT-licensen.",
                 Colour::Red, 8, -1};
    EXPECT_EQ(view.lines, lines);
    const std::array<presenter::HelpLink, 3> links{{
        {"hjalp.html", "Öppnar hjälpen."},
        {"mailto:surfklocka@example.org?subject=Om Surfklocka 3.11", "E-post om programmet."},
        {"https://surfklocka.example.org/", "Till programmets hemsida."},
    }};
    EXPECT_EQ(view.aghHjalp, links);
    EXPECT_EQ(view.cmdStangHint, "Stänger detta formulär.");
    m_settings.planText = "";
    m_files.files()["hjalp.html"] = {'<', 'p', '>'};
    EXPECT_EQ(m_presenter.load().caption, "Surfklocka 3.11                      Om...");
}

// The links open on the desktop; a help page no browser shows is shown in the window, the one in
// the data folder or else the program's own, and any other link that cannot be opened is told.
TEST_F(HelpPresenterTest, LinksOpenOrAreShownOrTold) {
    m_presenter.load();
    for (const int index : {3, -1, 2}) { // no fourth link, nor one before the first
        m_presenter.click(index);
    }
    EXPECT_EQ(m_outside.links.opened(),
              std::vector<std::string>{"https://surfklocka.example.org/"});
    m_outside.links.fail();
    m_files.files()["hjalp.html"] = {'<', 'p', '>'};
    EXPECT_EQ(m_presenter.click(0).txtHjalp, "<p>");
    m_files.files().erase("hjalp.html");
    const Bytes page = sourcePage();
    EXPECT_EQ(m_presenter.click(0).txtHjalp, std::string(page.begin(), page.end()));
    m_presenter.openLink("mailto:surfklocka@example.org");
    EXPECT_EQ(m_outside.messages.last().text + " | " + m_outside.messages.last().title,
              "Det gick inte att öppna mailto:surfklocka@example.org. | Länken kunde inte öppnas");
}
