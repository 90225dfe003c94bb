#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// What the help window says: its caption, the lines drawn on its surface with their colours and
// sizes, and its three links with their targets and hints. Pure data; it draws nothing and
// opens nothing.

// The file the help link opens, in the data folder.
inline constexpr std::string_view kHelpFileName = "hjalp.html";
// The program's contact address and home page.
inline constexpr std::string_view kContactAddress = "surfklocka@example.org";
inline constexpr std::string_view kHomePage = "https://surfklocka.example.org/";

struct HelpLink {
    std::string target; // also the text the link shows
    std::string hint;
};

// aghHjalp(0) to (2): the help file, an e-mail to the contact address with the subject
// "Om Surfklocka 3.11", and the home page.
std::array<HelpLink, 3> helpLinks();

struct HelpLine {
    enum class Colour {
        Initial, // the window's own text colour
        Red,     // pure red, RGB 255, 0, 0
        Normal,  // the system's button-text colour
    };
    std::string text; // an empty text is an empty line
    Colour colour = Colour::Initial;
    int pointSize = 0; // 0: the window's own font
    int link = -1;     // the index of the link that stands beside this line, or -1

    bool operator==(const HelpLine&) const = default;
};

// The lines drawn on the help window, from the top: an empty line in the window's own font and
// colour, the red 12-point welcome, then in 8 points the three "klicka här:" lines (each with
// its link beside it, two empty lines after each), the note about the home page, and the red
// closing notice.
std::vector<HelpLine> helpWindowLines();

// "Surfklocka 3.11" + 6 blanks + the plan text (cut or filled to 10 characters) + 6 blanks +
// "Om...".
std::string helpWindowCaption(std::string_view planText);

} // namespace core
