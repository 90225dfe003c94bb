// A notifier for tests: records every title and text it is given, in order. It shows nothing.
#pragma once

#include "platform/notifier.h"

#include <string>
#include <vector>

namespace platform::fakes {

class FakeNotifier final : public platform::Notifier {
public:
    struct Notice {
        std::string title;
        std::string body;

        bool operator==(const Notice&) const = default;
    };

    void notify(const std::string& title, const std::string& body) override {
        m_notices.push_back({title, body});
    }
    const std::vector<Notice>& notices() const { return m_notices; }
    void clear() { m_notices.clear(); }

private:
    std::vector<Notice> m_notices;
};

} // namespace platform::fakes
