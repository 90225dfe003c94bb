#include "support/fakes/fake_notifier.h"

#include <gtest/gtest.h>

using Notice = platform::fakes::FakeNotifier::Notice;

TEST(FakeNotifier, RecordsEveryCallInOrder) {
    platform::fakes::FakeNotifier fake;
    platform::Notifier& notifier = fake;
    EXPECT_TRUE(fake.notices().empty());
    notifier.notify("Extra tid har börjat", "Å ä ö");
    notifier.notify("Snart slut", "");
    notifier.notify("Extra tid har börjat", "Å ä ö");
    EXPECT_EQ(fake.notices(), (std::vector<Notice>{{"Extra tid har börjat", "Å ä ö"},
                                                   {"Snart slut", ""},
                                                   {"Extra tid har börjat", "Å ä ö"}}));
    fake.clear();
    EXPECT_TRUE(fake.notices().empty());
}
