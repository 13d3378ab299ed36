// Reading WAIT times: the leading number of a value.

#include <gtest/gtest.h>

#include <string>

#include "keymap/LeadingNumber.h"

namespace zintor {
namespace {

TEST(LeadingNumber, ReadsTheLeadingDecimalNumberAndStopsAtTheFirstOtherCharacter) {
    EXPECT_EQ(LeadingNumber("250"), 250);
    EXPECT_EQ(LeadingNumber("500 ms"), 500);
    EXPECT_EQ(LeadingNumber("500ms"), 500);
    EXPECT_EQ(LeadingNumber("-3"), -3);
    EXPECT_EQ(LeadingNumber("+7"), 7);
    EXPECT_EQ(LeadingNumber("12abc34"), 12);
    EXPECT_EQ(LeadingNumber("1.5.5"), 2);
    EXPECT_EQ(LeadingNumber("007"), 7);
}

TEST(LeadingNumber, NoDigitsGiveZero) {
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("."), 0);
    EXPECT_EQ(LeadingNumber("--5"), 0);
    EXPECT_EQ(LeadingNumber("ms 500"), 0);
    EXPECT_EQ(LeadingNumber("E5"), 0);
}

TEST(LeadingNumber, BlanksTabsAndLineFeedsAnywhereAreIgnoredButNotCarriageReturns) {
    EXPECT_EQ(LeadingNumber("1 5"), 15);
    EXPECT_EQ(LeadingNumber(" \t\n 2 0\t0 \n"), 200);
    EXPECT_EQ(LeadingNumber("- 3"), -3);
    EXPECT_EQ(LeadingNumber("1. 5"), 2);
    EXPECT_EQ(LeadingNumber("\r\n500"), 0);
    EXPECT_EQ(LeadingNumber("500\r\n"), 500);
}

TEST(LeadingNumber, FractionsRoundToTheNearestWholeNumberHalvesToEven) {
    EXPECT_EQ(LeadingNumber("1.5"), 2);
    EXPECT_EQ(LeadingNumber("2.5"), 2);
    EXPECT_EQ(LeadingNumber("3.5"), 4);
    EXPECT_EQ(LeadingNumber("2.51"), 3);
    EXPECT_EQ(LeadingNumber("0.5"), 0);
    EXPECT_EQ(LeadingNumber(".5"), 0);
    EXPECT_EQ(LeadingNumber(".6"), 1);
    EXPECT_EQ(LeadingNumber("-2.5"), -2);
    EXPECT_EQ(LeadingNumber("-1.5"), -2);
    EXPECT_EQ(LeadingNumber("0.0000000001"), 0);
}

TEST(LeadingNumber, ReadsAnExponent) {
    EXPECT_EQ(LeadingNumber("1E3"), 1000);
    EXPECT_EQ(LeadingNumber("1e3"), 1000);
    EXPECT_EQ(LeadingNumber("2.5E1"), 25);
    EXPECT_EQ(LeadingNumber("15E-1"), 2);
    EXPECT_EQ(LeadingNumber("1E+2"), 100);
    EXPECT_EQ(LeadingNumber("1E"), 1);
    EXPECT_EQ(LeadingNumber("1E-400"), 0);
    EXPECT_EQ(LeadingNumber("0E999999999999"), 0);
}

TEST(LeadingNumber, ReadsHexadecimalAndOctalAfterTheirPrefix) {
    EXPECT_EQ(LeadingNumber("&H10"), 16);
    EXPECT_EQ(LeadingNumber("&hff"), 255);
    EXPECT_EQ(LeadingNumber("&H 1 0"), 16);
    EXPECT_EQ(LeadingNumber("&O17"), 15);
    EXPECT_EQ(LeadingNumber("&O19"), 1);
    EXPECT_EQ(LeadingNumber("&H"), 0);
    EXPECT_EQ(LeadingNumber("&Hxyz"), 0);
    EXPECT_EQ(LeadingNumber("&X10"), 0);
    EXPECT_EQ(LeadingNumber("-&H10"), 0);
    EXPECT_EQ(LeadingNumber("&H7FFFFFFF"), 2147483647);
}

TEST(LeadingNumber, NumbersOutside32BitsGiveNothing) {
    EXPECT_EQ(LeadingNumber("2147483647"), 2147483647);
    EXPECT_EQ(LeadingNumber("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(LeadingNumber("2147483646.5"), 2147483646);
    EXPECT_EQ(LeadingNumber("2147483647.5"), std::nullopt);  // rounds to 2147483648
    EXPECT_EQ(LeadingNumber("2147483648"), std::nullopt);
    EXPECT_EQ(LeadingNumber("-2147483649"), std::nullopt);
    EXPECT_EQ(LeadingNumber("1E10"), std::nullopt);
    EXPECT_EQ(LeadingNumber("1E999999999999999"), std::nullopt);
    EXPECT_EQ(LeadingNumber("1" + std::string(400, '0')), std::nullopt);
    EXPECT_EQ(LeadingNumber("&H80000000"), std::nullopt);
    EXPECT_EQ(LeadingNumber("&O" + std::string(40, '7')), std::nullopt);
}

TEST(LeadingNumber, LongTextsAreReadWhole) {
    // Many leading zeros and a long fraction still give the correctly rounded number.
    EXPECT_EQ(LeadingNumber(std::string(10000, '0') + "42.5" + std::string(5000, '0')), 42);
    EXPECT_EQ(LeadingNumber("42.5" + std::string(5000, '0') + "1"), 42);  // 42.5 as a double
    EXPECT_EQ(LeadingNumber(std::string(100000, ' ') + "9"), 9);
}

}  // namespace
}  // namespace zintor
