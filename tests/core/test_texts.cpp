#include "core/texts.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using core::AmountPattern;
using core::amountText;
using core::amountTextOfOre;
using core::durationText;

TEST(DurationText, WritesEachNonZeroPartWithItsUnitAndTrailingBlank) {
    EXPECT_EQ(durationText(3725), "1 h 2 m 5 s ");
    EXPECT_EQ(durationText(7260), "2 h 1 m ");
    EXPECT_EQ(durationText(3605), "1 h 5 s ");
    EXPECT_EQ(durationText(45), "45 s ");
    EXPECT_EQ(durationText(60), "1 m ");
    EXPECT_EQ(durationText(3600), "1 h ");
    EXPECT_EQ(durationText(86400), "24 h ");
    EXPECT_EQ(durationText(59), "59 s ");
    EXPECT_EQ(durationText(0), "");
}

TEST(DurationText, DamagedNegativeOrHugeValuesStillGiveAText) {
    EXPECT_EQ(durationText(-5), "-5 s ");
    EXPECT_EQ(durationText(-3725), "-1 h -2 m -5 s ");
    EXPECT_EQ(durationText(std::numeric_limits<std::int32_t>::max()), "596523 h 14 m 7 s ");
    EXPECT_FALSE(durationText(std::numeric_limits<std::int64_t>::min()).empty());
}

TEST(AmountText, OreBecomeKronorWithDecimalComma) {
    EXPECT_EQ(amountTextOfOre(190.0f, AmountPattern::OneIntegerDigit), "1,90");
    EXPECT_EQ(amountTextOfOre(0.0f, AmountPattern::OneIntegerDigit), "0,00");
    EXPECT_EQ(amountTextOfOre(50.0f, AmountPattern::OneIntegerDigit), "0,50");
    EXPECT_EQ(amountTextOfOre(340.0f, AmountPattern::OneIntegerDigit), "3,40");
}

TEST(AmountText, RoundsTheSevenDigitTextHalfUp) {
    // 40 öre and a sixth: 0.4016667 kr.
    const float charge = static_cast<float>(10.0 / 60.0 + 40.0);
    EXPECT_EQ(amountTextOfOre(charge, AmountPattern::OneIntegerDigit), "0,40");
    // 0.005f is 0.00499999989 in binary, but its seven-digit text is 0.005, which rounds up.
    EXPECT_EQ(amountText(0.005f, AmountPattern::OneIntegerDigit), "0,01");
    EXPECT_EQ(amountText(1.005f, AmountPattern::OneIntegerDigit), "1,01");
    EXPECT_EQ(amountText(2.675f, AmountPattern::OneIntegerDigit), "2,68");
    EXPECT_EQ(amountText(0.004f, AmountPattern::OneIntegerDigit), "0,00");
    EXPECT_EQ(amountText(9.995f, AmountPattern::OneIntegerDigit), "10,00");
    EXPECT_EQ(amountText(99.999f, AmountPattern::TwoIntegerDigits), "100,00");
}

TEST(AmountText, TotalPatternPadsToTwoIntegerDigitsOnly) {
    EXPECT_EQ(amountText(5.0f, AmountPattern::TwoIntegerDigits), "05,00");
    EXPECT_EQ(amountText(0.0f, AmountPattern::TwoIntegerDigits), "00,00");
    EXPECT_EQ(amountText(291.5f, AmountPattern::TwoIntegerDigits), "291,50");
    EXPECT_EQ(amountText(146.9f, AmountPattern::TwoIntegerDigits), "146,90");
    EXPECT_EQ(amountText(1234.5f, AmountPattern::TwoIntegerDigits), "1234,50");
}

TEST(AmountText, WorkedTotalsOfThePlans) {
    // 14650 öre of extra cost with the 145 kr fee.
    const float total = 14650.0f / 100.0f + 145.0f;
    EXPECT_EQ(amountText(total, AmountPattern::TwoIntegerDigits), "291,50");
    const float withFee = 390.0f / 100.0f + 245.0f;
    EXPECT_EQ(amountText(withFee, AmountPattern::TwoIntegerDigits), "248,90");
}

TEST(AmountText, LargeSmallAndNegativeValues) {
    // Seven significant digits: the eighth is gone before rounding.
    EXPECT_EQ(amountText(123456.78f, AmountPattern::OneIntegerDigit), "123456,80");
    EXPECT_EQ(amountText(3e10f, AmountPattern::OneIntegerDigit), "30000000000,00");
    EXPECT_EQ(amountText(1e-7f, AmountPattern::OneIntegerDigit), "0,00");
    EXPECT_EQ(amountText(-1.5f, AmountPattern::OneIntegerDigit), "-1,50");
    EXPECT_EQ(amountText(-0.004f, AmountPattern::OneIntegerDigit), "0,00");
    EXPECT_EQ(amountText(-0.005f, AmountPattern::TwoIntegerDigits), "-00,01");
}

TEST(AmountText, NonFiniteValuesDoNotPassForAmounts) {
    EXPECT_EQ(amountText(std::nanf(""), AmountPattern::OneIntegerDigit), "?");
    EXPECT_EQ(amountText(std::numeric_limits<float>::infinity(), AmountPattern::TwoIntegerDigits),
              "?");
    EXPECT_EQ(amountText(std::numeric_limits<float>::max(), AmountPattern::OneIntegerDigit).size(),
              42u); // 39 integer digits, a comma and two decimals
}

TEST(FixedWidth, CutsOrPadsByCharacters) {
    EXPECT_EQ(core::fixedWidth("5", 2), "5 ");
    EXPECT_EQ(core::fixedWidth("123", 2), "12");
    EXPECT_EQ(core::fixedWidth("", 2), "  ");
    EXPECT_EQ(core::fixedWidth("åäö", 2), "åä");
    EXPECT_EQ(core::fixedWidth("0112.tid", 8), "0112.tid");
}
