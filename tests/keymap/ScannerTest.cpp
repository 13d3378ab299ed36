// The front-consuming reading operations on small texts, and the comment stripper.

#include <gtest/gtest.h>

#include "keymap/CommentStripper.h"
#include "keymap/KeyMapScanner.h"

namespace zintor {
namespace {

struct Step {
    std::optional<std::string> result;
    std::string rest;
};

Step Tag(std::string text) {
    auto result = GetTag(text);
    return {result, text};
}

Step Value(std::string text) {
    auto result = GetValueText(text);
    return {result, text};
}

std::string Stripped(std::string text) {
    StripComments(text);
    return text;
}

TEST(GetTag, ReturnsTheTextBetweenTheNextLessAndGreaterThanAndCutsTheFront) {
    EXPECT_EQ(Tag("abc<X>rest").result, "X");
    EXPECT_EQ(Tag("abc<X>rest").rest, "rest");
    // Everything inside is the name: attributes, blanks, slashes, another "<".
    EXPECT_EQ(Tag("<KEYMAP id=\"1\">x").result, "KEYMAP id=\"1\"");
    EXPECT_EQ(Tag("</KEY_1>").result, "/KEY_1");
    EXPECT_EQ(Tag("<a<b>c").result, "a<b");
    EXPECT_EQ(Tag("<a<b>c").rest, "c");
    EXPECT_EQ(Tag("<>rest").result, "");
    EXPECT_EQ(Tag("<>rest").rest, "rest");
}

TEST(GetTag, WithoutLessThanGivesNothingAndEmptiesTheText) {
    EXPECT_EQ(Tag("no tags here").result, "");
    EXPECT_EQ(Tag("no tags here").rest, "");
    EXPECT_EQ(Tag("").result, "");
}

TEST(GetTag, ALessThanWithoutGreaterThanFailsAndLeavesTheText) {
    EXPECT_EQ(Tag("ab<cd").result, std::nullopt);
    EXPECT_EQ(Tag("ab<cd").rest, "ab<cd");
    // A ">" before the "<" does not close it.
    EXPECT_EQ(Tag("a>b<c").result, std::nullopt);
}

TEST(GetValueText, KeepsEverythingBeforeTheNextClosingTagExactly) {
    EXPECT_EQ(Value("hello</B>tail").result, "hello");
    EXPECT_EQ(Value("hello</B>tail").rest, "tail");
    EXPECT_EQ(Value("a<b</C>").result, "a<b");
    EXPECT_EQ(Value("a<b</C>").rest, "");
    EXPECT_EQ(Value(" Lamp on \r\n\t</NAME_ON>x").result, " Lamp on \r\n\t");
    // The end tag's name is not looked at; it ends at the first ">" after "</".
    EXPECT_EQ(Value("v</ANYTHING else>rest").rest, "rest");
    EXPECT_EQ(Value("</>").result, "");
    EXPECT_EQ(Value("&amp;&#65;</X>").result, "&amp;&#65;");
}

TEST(GetValueText, WithoutClosingTagFailsAndLeavesTheText) {
    EXPECT_EQ(Value("no end").result, std::nullopt);
    EXPECT_EQ(Value("no end").rest, "no end");
    EXPECT_EQ(Value("a < / b").result, std::nullopt);
}

TEST(GetValueText, AClosingTagWithoutGreaterThanGivesTheValueButKeepsTheWholeText) {
    EXPECT_EQ(Value("abc</B").result, "abc");
    EXPECT_EQ(Value("abc</B").rest, "abc</B");
}

TEST(GetValueNumber, ReadsTheValueAsANumberAndCutsLikeGetValueText) {
    std::string text = "2.5</W>rest";
    EXPECT_EQ(GetValueNumber(text), 2);
    EXPECT_EQ(text, "rest");
    text = "1 5</W>";
    EXPECT_EQ(GetValueNumber(text), 15);
    text = "&H10</W>";
    EXPECT_EQ(GetValueNumber(text), 16);
    text = "abc</W>";
    EXPECT_EQ(GetValueNumber(text), 0);
    text = "no end";
    EXPECT_EQ(GetValueNumber(text), std::nullopt);
    text = "99999999999</W>";
    EXPECT_EQ(GetValueNumber(text), std::nullopt);
    EXPECT_EQ(text, "99999999999</W>");
}

TEST(StripComments, RemovesEachCommentUpToTheFirstEndFoundFromItsOwnStart) {
    EXPECT_EQ(Stripped("a<!--b-->c"), "ac");
    EXPECT_EQ(Stripped("a<!--1--><!--2-->b"), "ab");
    // The end is searched from the comment's first character: "<!--" then ">" ends at once.
    EXPECT_EQ(Stripped("<!-->x"), "x");
    EXPECT_EQ(Stripped("<!--->x"), "x");
    EXPECT_EQ(Stripped("<!-- -- -- -->x"), "x");
    // No nesting: the first "-->" ends the outer comment.
    EXPECT_EQ(Stripped("<!-- <!-- inner --> outer -->x"), " outer -->x");
    EXPECT_EQ(Stripped("a-->b<!-"), "a-->b<!-");
    EXPECT_EQ(Stripped("<!-- <KEYMAP> -->"), "");
}

TEST(StripComments, AnUnclosedCommentRemovesTheRestOfTheText) {
    EXPECT_EQ(Stripped("a<!--b"), "a");
    EXPECT_EQ(Stripped("keep<!--<KEYMAP><KEYMAP_NAME>x</KEYMAP_NAME>"), "keep");
    EXPECT_EQ(Stripped("a<!--"), "a");
}

TEST(StripComments, PiecesAroundARemovedCommentCanFormANewComment) {
    // "<!" + "--y-->z" once the first comment is gone: that is a comment too.
    EXPECT_EQ(Stripped("<!<!--x-->--y-->z"), "z");
    EXPECT_EQ(Stripped("<<!---->!--y-->z"), "z");
    EXPECT_EQ(Stripped("<!-<!---->->z"), "z");
    // ...but pieces that do not spell "<!--" stay.
    EXPECT_EQ(Stripped("<!<!--x-->-y"), "<!-y");
}

TEST(StrippedText, MapsEachKeptCharacterToItsPlaceInTheFile) {
    StrippedText t("ab<!--x-->cd<!-- y -->e");
    ASSERT_EQ(t.text(), "abcde");
    EXPECT_EQ(t.originalOffset(0), 0u);
    EXPECT_EQ(t.originalOffset(1), 1u);
    EXPECT_EQ(t.originalOffset(2), 10u);
    EXPECT_EQ(t.originalOffset(4), 22u);
    EXPECT_EQ(t.originalOffset(5), 23u);  // the end

    StrippedText joined("ab<!<!--x-->--y-->z");
    ASSERT_EQ(joined.text(), "abz");
    EXPECT_EQ(joined.originalOffset(1), 1u);
    EXPECT_EQ(joined.originalOffset(2), 18u);
}

TEST(StrippedText, ReportsProgressOncePerRemovedComment) {
    int removed = 0;
    StrippedText t("<!--a-->b<!--c-->d<!<!--x-->--y-->", [&] { ++removed; });
    EXPECT_EQ(t.text(), "bd");
    EXPECT_EQ(removed, 4);
}

TEST(KeyMapScanner, RereadsValuesBehindAClosingTagWithoutGreaterThan) {
    // The classic reader kept the whole text after such a value: the tags inside it are read
    // next, and a value read again ends at the same "</".
    KeyMapScanner s("x<A>y<B>z</");
    EXPECT_EQ(s.nextValue(), "x<A>y<B>z");
    EXPECT_EQ(s.position(), 0u);
    EXPECT_EQ(s.valueEndAt(), 9u);
    EXPECT_EQ(s.nextTag()->name, "A");
    EXPECT_EQ(s.nextValue(), "y<B>z");
    EXPECT_EQ(s.nextTag()->name, "B");
    EXPECT_EQ(s.remaining(), 3u);  // "z</"
    EXPECT_EQ(s.nextTag(), std::nullopt);
    EXPECT_EQ(s.unclosedAt(), 9u);
    EXPECT_EQ(s.valueWork(), 14u);
}

}  // namespace
}  // namespace zintor
