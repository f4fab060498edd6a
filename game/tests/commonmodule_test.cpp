// The number helpers every window shares: rounding and the reading of settings numbers.
#include "game/commonmodule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace game;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.51), 3);
}

TEST(Rounding, OutOfRangeValuesAreClampedAndNaNIsZero) {
    EXPECT_EQ(RoundHalfEven(1e30), std::numeric_limits<int>::max());
    EXPECT_EQ(RoundHalfEven(-1e30), std::numeric_limits<int>::min());
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEven(INFINITY), std::numeric_limits<int>::max());
}

TEST(LeadingNumber, ReadsLikeValWithBankersRounding) {
    EXPECT_EQ(LeadingNumber("16"), 16);
    EXPECT_EQ(LeadingNumber("  24abc"), 24);
    EXPECT_EQ(LeadingNumber("2 (blue)"), 2);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("."), 0);
    EXPECT_EQ(LeadingNumber("2.5"), 2);
    EXPECT_EQ(LeadingNumber("3.5"), 4);
    EXPECT_EQ(LeadingNumber("1.6"), 2);
    EXPECT_EQ(LeadingNumber(".7"), 1);
    EXPECT_EQ(LeadingNumber("1.2.3"), 1);
    EXPECT_EQ(LeadingNumber("-7"), -7);
    EXPECT_EQ(LeadingNumber("+7"), 7);
}

TEST(LeadingNumber, HeldIn16Bits) {
    EXPECT_EQ(LeadingNumber("99999"), 32767);
    EXPECT_EQ(LeadingNumber("-99999"), -32768);
    EXPECT_EQ(LeadingNumber("99999999999999999999999"), 32767);
}
