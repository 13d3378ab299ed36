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

}  // namespace
}  // namespace zintor
