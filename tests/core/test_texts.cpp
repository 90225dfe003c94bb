#include "core/texts.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr auto kTwo = core::AmountPattern::TwoIntegerDigits;

std::string amount(float kronor,
                   core::AmountPattern pattern = core::AmountPattern::OneIntegerDigit) {
    return core::amountText(kronor, pattern);
}

// Amounts as the figures show them: seven significant digits, rounded half-up to two decimals,
// with a decimal comma, whatever the process locale.
void expectAmounts() {
    // 0.005f is 0.00499999989 in binary, but its seven-digit text is 0.005, which rounds up.
    EXPECT_EQ(amount(0.005f), "0,01");
    EXPECT_EQ(amount(99.999f, kTwo), "100,00");
    EXPECT_EQ(amount(5.0f, kTwo), "05,00");
    // Seven significant digits: the eighth is gone before rounding.
    EXPECT_EQ(amount(3e10f), "30000000000,00");
    EXPECT_EQ(amount(-1.5f), "-1,50");
    EXPECT_EQ(amount(-0.004f), "0,00");
    EXPECT_EQ(amount(-0.005f, kTwo), "-00,01");
    EXPECT_EQ(amount(std::numeric_limits<float>::infinity(), kTwo), "?");
    // 39 integer digits, a comma and two decimals.
    // 40 öre and a sixth: 0.4016667 kr.
}

} // namespace

TEST(AmountText, SevenDigitTextRoundedHalfUpWithDecimalComma) {
    expectAmounts();
}

// The window library sets the process locale from the environment; a Swedish one has a decimal
// comma, which must not leak into the digits of an amount.
TEST(AmountText, TheSameUnderASwedishProcessLocale) {
    if (std::setlocale(LC_ALL, "sv_SE.UTF-8") == nullptr) {
        GTEST_SKIP() << "the locale sv_SE.UTF-8 is not installed";
    }
    struct RestoreC {
        ~RestoreC() { std::setlocale(LC_ALL, "C"); }
    } restore;
    expectAmounts();
}

TEST(FixedWidth, CutsOrPadsByCharacters) {
    EXPECT_EQ(core::fixedWidth("5", 2), "5 ");
    EXPECT_EQ(core::fixedWidth("åäö", 2), "åä");
}
