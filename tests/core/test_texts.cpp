#include "core/texts.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using core::durationText;

namespace {

constexpr auto kOne = core::AmountPattern::OneIntegerDigit;
constexpr auto kTwo = core::AmountPattern::TwoIntegerDigits;

std::string amount(float kronor, core::AmountPattern pattern = kOne) {
    return core::amountText(kronor, pattern);
}

} // namespace

TEST(DurationText, EachNonZeroPartWithItsUnitAndTrailingBlank) {
    EXPECT_EQ(durationText(3725), "1 h 2 m 5 s ");
    EXPECT_EQ(durationText(7260), "2 h 1 m ");
    EXPECT_EQ(durationText(3605), "1 h 5 s ");
    EXPECT_EQ(durationText(59), "59 s ");
    EXPECT_EQ(durationText(60), "1 m ");
    EXPECT_EQ(durationText(86400), "24 h ");
    EXPECT_EQ(durationText(0), "");
    // Damaged values still give a text.
    EXPECT_EQ(durationText(-3725), "-1 h -2 m -5 s ");
    EXPECT_EQ(durationText(std::numeric_limits<std::int32_t>::max()), "596523 h 14 m 7 s ");
    EXPECT_FALSE(durationText(std::numeric_limits<std::int64_t>::min()).empty());
}

TEST(AmountText, SevenDigitTextRoundedHalfUpWithDecimalComma) {
    EXPECT_EQ(amount(1.9f), "1,90");
    EXPECT_EQ(amount(0.0f), "0,00");
    // 0.005f is 0.00499999989 in binary, but its seven-digit text is 0.005, which rounds up.
    EXPECT_EQ(amount(0.005f), "0,01");
    EXPECT_EQ(amount(1.005f), "1,01");
    EXPECT_EQ(amount(2.675f), "2,68");
    EXPECT_EQ(amount(0.004f), "0,00");
    EXPECT_EQ(amount(9.995f), "10,00");
    EXPECT_EQ(amount(99.999f, kTwo), "100,00");
    EXPECT_EQ(amount(5.0f, kTwo), "05,00");
    EXPECT_EQ(amount(0.0f, kTwo), "00,00");
    EXPECT_EQ(amount(1234.5f, kTwo), "1234,50");
    // Seven significant digits: the eighth is gone before rounding.
    EXPECT_EQ(amount(123456.78f), "123456,80");
    EXPECT_EQ(amount(3e10f), "30000000000,00");
    EXPECT_EQ(amount(-1.5f), "-1,50");
    EXPECT_EQ(amount(-0.004f), "0,00");
    EXPECT_EQ(amount(-0.005f, kTwo), "-00,01");
    EXPECT_EQ(amount(std::nanf("")), "?");
    EXPECT_EQ(amount(std::numeric_limits<float>::infinity(), kTwo), "?");
    // 39 integer digits, a comma and two decimals.
    EXPECT_EQ(amount(std::numeric_limits<float>::max()).size(), 42u);
}

TEST(AmountText, OreAndTheWorkedSums) {
    // 40 öre and a sixth: 0.4016667 kr.
    EXPECT_EQ(core::amountTextOfOre(static_cast<float>(10.0 / 60.0 + 40.0), kOne), "0,40");
    EXPECT_EQ(core::amountTextOfOre(340.0f, kOne), "3,40");
    // 14650 öre of extra cost with the 145 kr fee; 390 öre with the 245 kr fee.
    EXPECT_EQ(amount(14650.0f / 100.0f + 145.0f, kTwo), "291,50");
    EXPECT_EQ(amount(390.0f / 100.0f + 245.0f, kTwo), "248,90");
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
    EXPECT_EQ(amount(0.5f), "0,50");
    EXPECT_EQ(amount(3.9f), "3,90");
    EXPECT_EQ(amount(248.9f, kTwo), "248,90");
    EXPECT_EQ(amount(5.0f, kTwo), "05,00");
    EXPECT_EQ(core::amountTextOfOre(190.0f, kOne), "1,90");
    // 0.005f: seven digits "0.005", rounded up; 3e10f: the exponent form "3e+10".
    EXPECT_EQ(amount(0.005f), "0,01");
    EXPECT_EQ(amount(3e10f), "30000000000,00");
    EXPECT_EQ(amount(-1.5f), "-1,50");
}

TEST(FixedWidth, CutsOrPadsByCharacters) {
    EXPECT_EQ(core::fixedWidth("5", 2), "5 ");
    EXPECT_EQ(core::fixedWidth("123", 2), "12");
    EXPECT_EQ(core::fixedWidth("åäö", 2), "åä");
}
