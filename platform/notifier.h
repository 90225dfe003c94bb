// A short word to the user on the desktop (a notification): a title and a text, in UTF-8. It says
// nothing of how the word is shown, and a call never fails or waits for the user: where no
// desktop can show it, it is dropped.
#pragma once

#include <string>

namespace platform {

class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const std::string& title, const std::string& body) = 0;
};

} // namespace platform
