#include "support/fakes/fake_message_box.h"

namespace platform::fakes {

platform::MessageBox::Answer FakeMessageBox::show(const std::string& text, const std::string& title,
                                                  Buttons buttons, Icon icon,
                                                  bool secondIsDefault) {
    m_shown.push_back(Shown{text, title, buttons, icon, secondIsDefault});
    if (whileShown) {
        whileShown(m_shown.back());
    }
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    if (m_script.empty()) {
        ++m_unscripted;
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
    const Answer answer = m_script.front();
    m_script.pop_front();
    return answer;
}

void FakeMessageBox::script(std::initializer_list<Answer> answers) {
    m_script.insert(m_script.end(), answers.begin(), answers.end());
}

} // namespace platform::fakes
