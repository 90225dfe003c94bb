// The help window's decisions: its caption, lines and links, the help page written into the data
// folder only where none is, and the links opened, the help page shown in the window when the
// desktop cannot open it.

#include "presenter/help_presenter.h"
#include "support/fakes/fake_services.h"
#include "support/fakes/memory_file_system.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>

using presenter::HelpLine;
using presenter::HelpView;
using Colour = presenter::HelpLine::Colour;
using Bytes = std::vector<std::uint8_t>;

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

TEST_F(HelpPresenterTest, CaptionLinesAndLinks) {
    const HelpView& view = m_presenter.load();
    EXPECT_EQ(view.caption, "Surfklocka 3.11      2 h / dygn      Om...");
    m_settings.planText = "";
    EXPECT_EQ(m_presenter.load().caption, "Surfklocka 3.11                      Om...");

    const std::map<std::size_t, HelpLine> drawn = {
        {0, {"", Colour::Initial, 0, -1}},
        {1, {"            Välkommen till Surfklocka 3.11", Colour::Red, 12, -1}},
        {2, {"", Colour::Red, 12, -1}},
        {3, {"    För hjälp om programmet, klicka här:", Colour::Normal, 8, 0}},
        {6, {"    För att skicka e-post, klicka här:", Colour::Normal, 8, 1}},
        {9, {"    För att komma till programmets hemsida, klicka här:", Colour::Normal, 8, 2}},
        {12, {"    (För information om programmet", Colour::Normal, 8, -1}},
        {13, {"     och för att hämta senaste versionen.)", Colour::Normal, 8, -1}},
        {15,
         {"Copyright © Surfklockas upphovsmän. Fri programvara under MIT-licensen.", Colour::Red, 8,
          -1}}};
    const HelpLine empty{"", Colour::Normal, 8, -1}; // every line not listed
    ASSERT_EQ(view.lines.size(), 16u);
    for (std::size_t i = 0; i < view.lines.size(); ++i) {
        EXPECT_EQ(view.lines[i], drawn.contains(i) ? drawn.at(i) : empty) << i;
    }
    const std::array<presenter::HelpLink, 3> links{{
        {"hjalp.html", "Öppnar hjälpen."},
        {"mailto:surfklocka@example.org?subject=Om Surfklocka 3.11", "E-post om programmet."},
        {"https://surfklocka.example.org/", "Till programmets hemsida."},
    }};
    EXPECT_EQ(view.aghHjalp, links);
    EXPECT_EQ(view.cmdStangHint, "Stänger detta formulär.");
    EXPECT_EQ(view.txtHjalp, "");
}

TEST_F(HelpPresenterTest, WritesTheHelpPageOnlyWhereNoneIs) {
    m_files.files()[".hjalp.html.ny"] = Bytes(100000, 'x'); // left by an interrupted run
    m_presenter.load();
    EXPECT_EQ(m_files.files().at("hjalp.html"), sourcePage());
    EXPECT_EQ(m_files.files().count(".hjalp.html.ny"), 0u);

    const Bytes own = {'m', 'i', 'n'};
    m_files.files()["hjalp.html"] = own;
    m_presenter.load();
    EXPECT_EQ(m_files.files().at("hjalp.html"), own);
    EXPECT_EQ(m_files.files().size(), 1u);
}

TEST_F(HelpPresenterTest, LinksOpenAndAHelpPageNoBrowserShowsIsShownInTheWindow) {
    m_presenter.load();
    for (int index : {0, 1, 2, 3, -1}) {
        EXPECT_EQ(m_presenter.click(index).txtHjalp, "");
    }
    EXPECT_EQ(m_outside.links.opened(),
              (std::vector<std::string>{"hjalp.html",
                                        "mailto:surfklocka@example.org?subject=Om Surfklocka 3.11",
                                        "https://surfklocka.example.org/"}));

    m_outside.links.fail();
    m_files.files()["hjalp.html"] = {'<', 'p', '>', 'm', 'i', 'n'};
    EXPECT_EQ(m_presenter.click(0).txtHjalp, "<p>min"); // the page in the data folder
    EXPECT_TRUE(m_outside.messages.shown().empty());
    m_files.files().erase("hjalp.html");
    const Bytes page = sourcePage();
    EXPECT_EQ(m_presenter.click(0).txtHjalp, std::string(page.begin(), page.end()));

    // Any other link that cannot be opened is told.
    m_presenter.click(2);
    m_presenter.openLink("mailto:surfklocka@example.org");
    ASSERT_EQ(m_outside.messages.shown().size(), 2u);
    EXPECT_EQ(m_outside.messages.shown()[0].text,
              "Det gick inte att öppna https://surfklocka.example.org/.");
    EXPECT_EQ(m_outside.messages.shown()[1].text,
              "Det gick inte att öppna mailto:surfklocka@example.org.");
    EXPECT_EQ(m_outside.messages.last().title, "Länken kunde inte öppnas");
}
