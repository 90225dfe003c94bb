#pragma once

#include "platform/clock.h"

namespace platform::fakes {

// A clock that gives the date the test sets.
class FakeClock final : public platform::Clock {
public:
    explicit FakeClock(core::Date today) : m_today(today) {}
    core::Date today() const override { return m_today; }
    void set(core::Date today) { m_today = today; }

private:
    core::Date m_today;
};

} // namespace platform::fakes
