// The key-map file's reading operations on small texts: tags and values cut from the front, the
// comment stripper, and the leading number of a WAIT time.

#include <gtest/gtest.h>

#include "core/keymap/KeyMapScanner.h"
#include "core/keymap/LeadingNumber.h"
#include "core/keymap/StrippedText.h"

namespace zintor {
namespace {

TEST(Scanner, TagsAndValuesAreCutFromTheFrontExactlyAsWritten) {
    const struct {
        std::optional<std::string> (*read)(std::string&);
        std::string text;
        std::optional<std::string> result;
        std::string rest;  // the text after the call
    } cases[] = {
        {getTag, "abc<X>rest", "X", "rest"},
        {getTag, "<a<b>c", "a<b", "c"},  // everything up to the first ">" is the name
        {getTag, "<>rest", "", "rest"},
        {getTag, "no tags here", "", ""},  // no "<": nothing, and the text is used up
        {getTag, "ab<cd", std::nullopt, "ab<cd"},
        {getTag, "a>b<c", std::nullopt, "a>b<c"},  // a ">" before the "<" does not close it
        {getValueText, "hello</B>tail", "hello", "tail"},
        {getValueText, "a<b</C>", "a<b", ""},
        {getValueText, " Lamp on \r\n\t</NAME_ON>x", " Lamp on \r\n\t", "x"},
        {getValueText, "v</ANYTHING else>rest", "v", "rest"},  // the end tag's name is not read
        {getValueText, "a < / b", std::nullopt, "a < / b"},
        // A "</" without ">": the value is read but the whole text stays.
        {getValueText, "abc</B", "abc", "abc</B"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(c.read(text), c.result) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(stripComments, EachCommentEndsAtTheFirstEndFoundFromItsOwnStart) {
    const std::pair<std::string, std::string> cases[] = {
        {"a<!--b-->c", "ac"},
        {"a<!--1--><!--2-->b", "ab"},
        {"<!-->x", "x"},  // the end is searched from the comment's "<": "<!--" + ">" ends it
        {"<!--->x", "x"},
        {"<!-- <!-- inner --> outer -->x", " outer -->x"},  // no nesting
        {"a-->b<!-", "a-->b<!-"},
        {"a<!---", "a"},  // unclosed: the rest of the text goes
        // Pieces around a removed comment can form a new one.
        {"<!<!--x-->--y-->z", "z"},
        {"<<!---->!--y-->z", "z"},
        {"<!<!--x-->-y", "<!-y"},
    };
    for (const auto& [text, stripped] : cases) {
        std::string t = text;
        stripComments(t);
        EXPECT_EQ(t, stripped) << text;
    }
}

TEST(leadingNumber, DecimalHexadecimalAndOctalNumbersWithin32Bits) {
    using Cases = std::vector<std::pair<std::string, std::optional<std::int32_t>>>;
    const auto expect = [](const Cases& cases) {
        for (const auto& [text, number] : cases) {
            EXPECT_EQ(leadingNumber(text), number) << '"' << text.substr(0, 40) << '"';
        }
    };
    expect({{"500 ms", 500}, {"-3", -3}, {"+7", 7}, {"12abc34", 12}, {"007", 7}});
    // No digits: 0.
    expect({{"", 0}, {"-", 0}, {".", 0}, {"--5", 0}, {"ms 500", 0}, {"E5", 0}});
    // Blanks, tabs and line feeds anywhere are skipped; a carriage return is not.
    expect({{" \t\n 2 0\t0 \n", 200}, {"- 3", -3}, {"1. 5", 2}, {"\r\n500", 0}});
    // Halves round to even.
    expect({{"1.5", 2}, {"2.5", 2}, {"2.51", 3}, {".5", 0}, {".6", 1}, {"-2.5", -2}});
    expect({{"1.5.5", 2}, {"1e3", 1000}, {"15E-1", 2}, {"1E+2", 100}, {"1E", 1}});
    expect({{"1E-400", 0}, {"0E999999999999", 0}});
    // Hexadecimal and octal after their prefix.
    expect({{"&H10", 16}, {"&hfaAZ", 4010}, {"&H 1 0", 16}, {"&O17", 15}, {"&O18", 1}});
    expect({{"&H", 0}, {"&Hxyz", 0}, {"&X10", 0}, {"-&H10", 0}});
    // Outside 32 bits: nothing.
    expect({{"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"1E10", std::nullopt}});
    expect({{"2147483646.5", 2147483646}, {"2147483647.5", std::nullopt}});  // 2^31 when rounded
    expect({{"&H7FFFFFFF", 2147483647}, {"&H80000000", std::nullopt}});
    expect({{"-2147483649", std::nullopt}, {"&O" + std::string(40, '7'), std::nullopt}});
    expect({{"1E999999999999999", std::nullopt}, {"1" + std::string(400, '0'), std::nullopt}});
    // Long texts are read whole and rounded correctly (the second is 42.5 as a double).
    expect({{std::string(10000, '0') + "42.5" + std::string(5000, '0'), 42},
            {"42.5" + std::string(5000, '0') + "1", 42},
            {std::string(100000, ' ') + "9", 9}});
}

}  // namespace
}  // namespace zintor
