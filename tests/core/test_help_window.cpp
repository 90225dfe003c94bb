#include "core/help_window.h"

#include <gtest/gtest.h>
#include <map>

using core::HelpLine;
using Colour = core::HelpLine::Colour;

TEST(HelpWindow, CaptionGivesThePlanTextTenPlaces) {
    EXPECT_EQ(core::helpWindowCaption("2 h / dygn"), "Surfklocka 3.11      2 h / dygn      Om...");
    EXPECT_EQ(core::helpWindowCaption(""), "Surfklocka 3.11                      Om...");
}

TEST(HelpWindow, DrawnLinesWithTheirColoursSizesAndLinks) {
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
    const auto lines = core::helpWindowLines();
    ASSERT_EQ(lines.size(), 16u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], drawn.contains(i) ? drawn.at(i) : empty) << i;
    }
}
