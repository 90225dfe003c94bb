#pragma once

#include <string>

namespace platform {

// A modal message box: a text (which may hold line feeds), a title, a set of buttons and an
// icon. It shows the box and returns the button pressed; it does not decide what the program
// does with the answer.
class MessageBox {
public:
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Icon { None, Exclamation, Stop };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~MessageBox() = default;

    // Texts are UTF-8. With secondIsDefault the second button (No of Yes/No) is the default.
    virtual Answer show(const std::string& text, const std::string& title, Buttons buttons,
                        Icon icon, bool secondIsDefault = false) = 0;
};

} // namespace platform
