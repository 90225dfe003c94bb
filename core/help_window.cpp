#include "core/help_window.h"

#include "core/program_settings.h"
#include "core/texts.h"

namespace core {

std::array<HelpLink, 3> helpLinks() {
    return {{
        {std::string(kHelpFileName), "Öppnar hjälpen."},
        {"mailto:" + std::string(kContactAddress) + "?subject=Om " + kProgramName,
         "E-post om programmet."},
        {std::string(kHomePage), "Till programmets hemsida."},
    }};
}

std::vector<HelpLine> helpWindowLines() {
    using Colour = HelpLine::Colour;
    const auto red12 = [](std::string text) { return HelpLine{std::move(text), Colour::Red, 12}; };
    const auto small = [](std::string text, int link = -1) {
        return HelpLine{std::move(text), Colour::Normal, 8, link};
    };
    return {
        HelpLine{},
        red12(std::string(12, ' ') + "Välkommen till " + kProgramName),
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

std::string helpWindowCaption(std::string_view planText) {
    return std::string(kProgramName) + std::string(6, ' ') + fixedWidth(planText, 10) +
           std::string(6, ' ') + "Om...";
}

} // namespace core
