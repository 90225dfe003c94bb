#pragma once

#include "platform/message_box.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace platform::fakes {

// A message box for tests: records every box shown and answers from a script. A box with only an
// OK button answers Ok without a script entry; a question with no scripted answer left is
// counted in unscriptedQuestions() and answered Cancel (or No where there is no Cancel).
class FakeMessageBox final : public platform::MessageBox {
public:
    struct Shown {
        std::string text;
        std::string title;
        Buttons buttons;
        Icon icon;
        bool secondIsDefault;
    };

    Answer show(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                bool secondIsDefault = false) override;

    // Answers for the coming questions, in order.
    void script(std::initializer_list<Answer> answers);

    const std::vector<Shown>& shown() const { return m_shown; }
    const Shown& last() const { return m_shown.back(); }
    void clear() { m_shown.clear(); }
    // Forgets the answers not asked for.
    void dropScript() { m_script.clear(); }
    int unscriptedQuestions() const { return m_unscripted; }
    // Runs while each box is shown, as a real box's own event loop would run what arrives.
    std::function<void(const Shown&)> whileShown;
    std::size_t answersLeft() const { return m_script.size(); }

private:
    std::vector<Shown> m_shown;
    std::deque<Answer> m_script;
    int m_unscripted = 0;
};

} // namespace platform::fakes
