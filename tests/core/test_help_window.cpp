#include "core/help_window.h"

#include <gtest/gtest.h>

using core::HelpLine;
using Colour = core::HelpLine::Colour;

TEST(HelpWindow, CaptionForEachPlan) {
    EXPECT_EQ(core::helpWindowCaption("1 h / dygn"), "Surfklocka 3.11      1 h / dygn      Om...");
    EXPECT_EQ(core::helpWindowCaption("2 h / dygn"), "Surfklocka 3.11      2 h / dygn      Om...");
    EXPECT_EQ(core::helpWindowCaption("8 h / dygn"), "Surfklocka 3.11      8 h / dygn      Om...");
    // The plan text always takes its ten places.
    EXPECT_EQ(core::helpWindowCaption(""), "Surfklocka 3.11                      Om...");
}

TEST(HelpWindow, LinksAndTheirHints) {
    const auto links = core::helpLinks();
    EXPECT_EQ(links[0].target, "hjalp.html");
    EXPECT_EQ(links[0].hint, "Öppnar hjälpen.");
    EXPECT_EQ(links[1].target, "mailto:surfklocka@example.org?subject=Om Surfklocka 3.11");
    EXPECT_EQ(links[1].hint, "E-post om programmet.");
    EXPECT_EQ(links[2].target, "https://surfklocka.example.org/");
    EXPECT_EQ(links[2].hint, "Till programmets hemsida.");
}

TEST(HelpWindow, DrawnLinesWithTheirColoursAndSizes) {
    const auto lines = core::helpWindowLines();
    ASSERT_EQ(lines.size(), 16u);
    const auto smallEmpty = HelpLine{"", Colour::Normal, 8, -1};

    EXPECT_EQ(lines[0], (HelpLine{"", Colour::Initial, 0, -1}));
    EXPECT_EQ(lines[1],
              (HelpLine{"            Välkommen till Surfklocka 3.11", Colour::Red, 12, -1}));
    EXPECT_EQ(lines[2], (HelpLine{"", Colour::Red, 12, -1}));
    EXPECT_EQ(lines[3],
              (HelpLine{"    För hjälp om programmet, klicka här:", Colour::Normal, 8, 0}));
    EXPECT_EQ(lines[4], smallEmpty);
    EXPECT_EQ(lines[5], smallEmpty);
    EXPECT_EQ(lines[6], (HelpLine{"    För att skicka e-post, klicka här:", Colour::Normal, 8, 1}));
    EXPECT_EQ(lines[7], smallEmpty);
    EXPECT_EQ(lines[8], smallEmpty);
    EXPECT_EQ(lines[9], (HelpLine{"    För att komma till programmets hemsida, klicka här:",
                                  Colour::Normal, 8, 2}));
    EXPECT_EQ(lines[10], smallEmpty);
    EXPECT_EQ(lines[11], smallEmpty);
    EXPECT_EQ(lines[12], (HelpLine{"    (För information om programmet", Colour::Normal, 8, -1}));
    EXPECT_EQ(lines[13],
              (HelpLine{"     och för att hämta senaste versionen.)", Colour::Normal, 8, -1}));
    EXPECT_EQ(lines[14], smallEmpty);
    // The closing notice: red again at the small size, a copyright and licence line.
    EXPECT_EQ(lines[15].colour, Colour::Red);
    EXPECT_EQ(lines[15].pointSize, 8);
    EXPECT_EQ(lines[15].link, -1);
    EXPECT_NE(lines[15].text.find("Copyright ©"), std::string::npos);
    EXPECT_NE(lines[15].text.find("licens"), std::string::npos);
}
