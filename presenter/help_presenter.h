#pragma once

// What the help window decides: its caption, the lines it shows with their colours and sizes,
// its three links with their targets and hints, the help page "hjalp.html" in the data folder,
// and what a click on a link does. Plain C++, no Qt: the window renders the view and forwards
// the clicks. It stores nothing but the help page, which it writes only where none is.

#include "core/program_settings.h"
#include "platform/services.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace presenter {

// The file the help link opens, in the data folder.
inline constexpr std::string_view kHelpFileName = "hjalp.html";
// The program's contact address and home page.
inline constexpr std::string_view kContactAddress = "surfklocka@example.org";
inline constexpr std::string_view kHomePage = "https://surfklocka.example.org/";

struct HelpLink {
    std::string target; // also the text the link shows
    std::string hint;

    bool operator==(const HelpLink&) const = default;
};

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

// Everything the help window shows, named after its controls.
struct HelpView {
    // "Surfklocka 3.11" + 6 blanks + the plan text (cut or filled to 10 characters) + 6 blanks +
    // "Om...".
    std::string caption;
    // From the top: an empty line in the window's own font and colour, the red 12-point welcome,
    // then in 8 points the three "klicka här:" lines (each with its link beside it, two empty
    // lines after each), the note about the home page, and the red closing notice.
    std::vector<HelpLine> lines;
    // aghHjalp(0) to (2): the help file, an e-mail to the contact address with the subject
    // "Om Surfklocka 3.11", and the home page.
    std::array<HelpLink, 3> aghHjalp;
    std::string cmdStangHint;
    // The help page (HTML) the window shows itself because the desktop could not open it; empty
    // while it shows none.
    std::string txtHjalp;

    bool operator==(const HelpView&) const = default;
};

// The help page as the program carries it (UTF-8 HTML), made from resources/hjalp.html.
std::string_view helpPage();

// The help window's decisions. Loading writes the help page into the data folder when no file of
// that name is there, so that the help link opens it: whole under a hidden temporary name first,
// then renamed with a rename that never replaces, so a crash leaves no half-written page and a
// page that appears meanwhile (or the user's own) is kept. Clicking a link hands its target to
// the link opener. When the help page cannot be opened that way, the view carries the page from
// the data folder (the program's own where that cannot be read) for the window to show itself;
// any other link that cannot be opened is told in a message box.
class HelpPresenter {
public:
    HelpPresenter(platform::Services services, const core::ProgramSettings& settings);

    const HelpView& load();
    // aghHjalp(index) was clicked; another index changes nothing.
    const HelpView& click(int index);
    // A link in the help page shown was clicked (not one to a place in the page itself).
    const HelpView& openLink(const std::string& target);

    const HelpView& view() const { return m_view; }

private:
    bool open(const std::string& target);

    platform::Services m_services;
    const core::ProgramSettings& m_settings;
    HelpView m_view;
};

} // namespace presenter
