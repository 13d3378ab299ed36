// Reading WAIT times: the leading number of a value.

#include <gtest/gtest.h>

#include <string>

#include "keymap/LeadingNumber.h"

namespace zintor {
namespace {

using Cases = std::vector<std::pair<std::string, std::optional<std::int32_t>>>;

void expectNumbers(const Cases& cases) {
    for (const auto& [text, number] : cases) {
        EXPECT_EQ(leadingNumber(text), number) << '"' << text.substr(0, 40) << '"';
    }
}

TEST(leadingNumber, ReadsDecimalNumbersUpToTheFirstOtherCharacter) {
    expectNumbers({{"500 ms", 500}, {"-3", -3}, {"+7", 7}, {"12abc34", 12}, {"007", 7}});
    // No digits: 0.
    expectNumbers({{"", 0}, {"-", 0}, {".", 0}, {"--5", 0}, {"ms 500", 0}, {"E5", 0}});
    // Blanks, tabs and line feeds anywhere are skipped; a carriage return is not.
    expectNumbers({{" \t\n 2 0\t0 \n", 200}, {"- 3", -3}, {"1. 5", 2}, {"\r\n500", 0}});
    // Halves round to even.
    expectNumbers({{"1.5", 2}, {"2.5", 2}, {"2.51", 3}, {".5", 0}, {".6", 1}, {"-2.5", -2}});
    expectNumbers({{"1.5.5", 2}, {"1e3", 1000}, {"15E-1", 2}, {"1E+2", 100}, {"1E", 1}});
    expectNumbers({{"1E-400", 0}, {"0E999999999999", 0}});
}

TEST(leadingNumber, ReadsHexadecimalAndOctalAfterTheirPrefix) {
    expectNumbers({{"&H10", 16}, {"&hff", 255}, {"&H 1 0", 16}, {"&O17", 15}, {"&O19", 1}});
    expectNumbers({{"&H", 0}, {"&Hxyz", 0}, {"&X10", 0}, {"-&H10", 0}});
}

TEST(leadingNumber, NumbersOutside32BitsGiveNothing) {
    expectNumbers({{"2147483647", 2147483647},
                   {"-2147483648", -2147483647 - 1},
                   {"2147483646.5", 2147483646},
                   {"&H7FFFFFFF", 2147483647},
                   {"2147483647.5", std::nullopt},  // rounds to 2147483648
                   {"-2147483649", std::nullopt},
                   {"1E10", std::nullopt},
                   {"1E999999999999999", std::nullopt},
                   {"1" + std::string(400, '0'), std::nullopt},
                   {"&H80000000", std::nullopt},
                   {"&O" + std::string(40, '7'), std::nullopt}});
    // Long texts are read whole and rounded correctly.
    expectNumbers({{std::string(10000, '0') + "42.5" + std::string(5000, '0'), 42},
                   {"42.5" + std::string(5000, '0') + "1", 42},  // 42.5 as a double
                   {std::string(100000, ' ') + "9", 9}});
}

}  // namespace
}  // namespace zintor
