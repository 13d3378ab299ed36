// The front-consuming reading operations on small texts, and the comment stripper.

#include <gtest/gtest.h>

#include "keymap/CommentStripper.h"
#include "keymap/KeyMapScanner.h"

namespace zintor {
namespace {

struct Case {
    std::optional<std::string> (*read)(std::string&);
    std::string text;
    std::optional<std::string> result;
    std::string rest;  // the text after the call
};

TEST(Scanner, TagsAndValuesAreCutFromTheFrontExactlyAsWritten) {
    const Case cases[] = {
        {getTag, "abc<X>rest", "X", "rest"},
        // Everything between "<" and the next ">" is the name: attributes, slashes, a "<".
        {getTag, "<KEYMAP id=\"1\">x", "KEYMAP id=\"1\"", "x"},
        {getTag, "<a<b>c", "a<b", "c"},
        {getTag, "<>rest", "", "rest"},
        {getTag, "no tags here", "", ""},  // no "<": nothing, and the text is used up
        {getTag, "ab<cd", std::nullopt, "ab<cd"},
        {getTag, "a>b<c", std::nullopt, "a>b<c"},  // a ">" before the "<" does not close it
        {getValueText, "hello</B>tail", "hello", "tail"},
        {getValueText, "a<b</C>", "a<b", ""},
        {getValueText, " Lamp on \r\n\t</NAME_ON>x", " Lamp on \r\n\t", "x"},
        {getValueText, "v</ANYTHING else>rest", "v", "rest"},  // the end tag's name is not read
        {getValueText, "&amp;&#65;</X>", "&amp;&#65;", ""},
        {getValueText, "a < / b", std::nullopt, "a < / b"},
        // A "</" without ">": the value is read but the whole text stays.
        {getValueText, "abc</B", "abc", "abc</B"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(c.read(text), c.result) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(Scanner, GetValueNumberReadsTheValueAsALeadingNumber) {
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"2.5</W>", 2},
        {"1 5</W>", 15},
        {"&H10</W>", 16},
        {"abc</W>", 0},
        {"-3</W>", -3},
        {"250</W>", 250},
        {"no end", std::nullopt},
        {"99999999999</W>", std::nullopt},  // too large: fails and leaves the text
    };
    for (const auto& [original, number] : cases) {
        std::string text = original + "rest";
        EXPECT_EQ(getValueNumber(text), number) << original;
        EXPECT_EQ(text, number ? "rest" : original + "rest");
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
        {"a<!--b", "a"},  // unclosed: the rest of the text goes
        {"keep<!--<KEYMAP><KEYMAP_NAME>x</KEYMAP_NAME>", "keep"},
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

TEST(StrippedText, MapsEachKeptCharacterToItsPlaceInTheFileAndReportsEachComment) {
    int removed = 0;
    const StrippedText t("ab<!--x-->cd<!<!-- y -->--z-->e", [&] { ++removed; });
    ASSERT_EQ(t.text(), "abcde");
    std::vector<std::size_t> offsets;
    for (std::size_t k = 0; k <= t.text().size(); ++k) {
        offsets.push_back(t.originalOffset(k));
    }
    EXPECT_EQ(offsets, (std::vector<std::size_t>{0, 1, 10, 11, 30, 31}));  // the end maps too
    EXPECT_EQ(removed, 3);
}

}  // namespace
}  // namespace zintor
