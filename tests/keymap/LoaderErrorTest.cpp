// Errors stop the load where they occur, say where (line and column of the file) and what was
// expected, and keep what was read before them.

#include <gtest/gtest.h>

#include "LoaderTestSupport.h"

namespace zintor {
namespace {

using testing::load;
using testing::Loaded;
using Kind = KeyMapLoadError::Kind;

std::string message(const Loaded& l) {
    return l.result.error ? formatLoadError("KeyMap.xml", *l.result.error) : "no error";
}

TEST(LoadErrors, SayWhereAndWhatWasExpected) {
    const struct {
        std::string text;
        Kind kind;
        std::string message;
    } cases[] = {
        {"<Zintor_KeyMap>\n<KEYMAP>\n  <KEY_3>\n    <COMMAND_TYPE>KEY</COMMAND_TYPE>\n",
         Kind::NoCommand, "4:5: COMMAND_TYPE before any COMMAND_ID for key KEY_3"},
        {"<KEY_1>\n<HELP>x</HELP>", Kind::NoKeyMap, "2:1: HELP before the first KEYMAP"},
        {"  <KEYMAP_NAME>1</KEYMAP_NAME>", Kind::NoKeyMap,
         "1:3: KEYMAP_NAME before the first KEYMAP"},
        {"<COMMAND_ID>", Kind::NoKeyMap, "1:1: COMMAND_ID before the first KEYMAP"},
        // No key element yet: key 0. A new KEYMAP keeps the key but its list is empty.
        {"<KEYMAP><COMMAND>x</COMMAND>", Kind::NoCommand,
         "1:9: COMMAND before any COMMAND_ID for key KEY_0"},
        {"<KEYMAP><KEY_LEFT_SOFTKEY><COMMAND_ID>\n<KEYMAP><COMMAND>x</COMMAND>", Kind::NoCommand,
         "2:9: COMMAND before any COMMAND_ID for key KEY_LEFT_SOFTKEY"},
        {"<KEYMAP>\n  <KEYMAP_NAME>A</KEYMAP_NAME>\n  <KEY_1\n  <HELP", Kind::UnclosedTag,
         "3:3: expected \">\" to close the tag that starts here"},
        {"<KEYMAP>\n<KEYMAP_NAME>Office\n", Kind::UnclosedValue,
         "2:1: expected \"</\" to end the value of KEYMAP_NAME"},
        // Lines of the file as written: comments and carriage returns count.
        {"<!-- a comment\r\n over two lines -->\r\n<KEYMAP>\r\n\t<!-- x --><HELP>never ended",
         Kind::UnclosedValue, "4:12: expected \"</\" to end the value of HELP"},
        // The start of a comment formed by removing another one still maps back to the file.
        {"<KEYMAP>\n<!<!-- x -->-- y -->  <HELP>", Kind::UnclosedValue,
         "2:23: expected \"</\" to end the value of HELP"},
        {"<KEYMAP><KEY_1><COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE>\n<COMMAND>1E20</COMMAND>",
         Kind::NumberOutOfRange,
         "2:1: expected a WAIT time from -2147483648 to 2147483647, found \"1E20\""},
    };
    for (const auto& c : cases) {
        const Loaded l = load(c.text);
        ASSERT_FALSE(l.result.ok()) << c.text;
        EXPECT_EQ(l.result.error->kind, c.kind) << c.text;
        EXPECT_EQ(message(l), "KeyMap.xml:" + c.message);
    }
}

TEST(LoadErrors, WhatWasReadBeforeTheErrorIsKept) {
    const Loaded l = load(
        "<KEYMAP><KEYMAP_NAME>One</KEYMAP_NAME><KEY_1><COMMAND_ID><COMMAND>a</COMMAND>"
        "<KEYMAP><KEYMAP_NAME>Two</KEYMAP_NAME><KEY_2><HELP>h</HELP>"
        "<USB_DIGITAL_OUT_2><NAME_ON>on</NAME_ON>"
        "<KEY_3><COMMAND>b</COMMAND>"
        "<KEYMAP><KEYMAP_NAME>Three</KEYMAP_NAME>");
    EXPECT_EQ(message(l), "KeyMap.xml:1:184: COMMAND before any COMMAND_ID for key KEY_3");
    ASSERT_EQ(l.maps.size(), 2u);
    EXPECT_EQ(l.maps[0].keys[1].commands.at(0).text, "a");
    EXPECT_EQ(l.maps[1].keys[2].help, "h");
    EXPECT_EQ(l.outputs[1].nameOn, "on");

    // A file cut off inside the last end tag: the value is read, then its "</" is a "<"
    // without ">".
    const Loaded cut = load("<KEYMAP><KEYMAP_NAME>Office</KEYMAP_NAME");
    EXPECT_EQ(message(cut), "KeyMap.xml:1:28: expected \">\" to close the tag that starts here");
    EXPECT_EQ(cut.maps[0].name, "Office");
}

TEST(LoadErrors, KeyMapAndCommandNumbersStopAt32767) {
    std::string commands = "<KEYMAP><KEY_9>";
    for (int i = 0; i < 32769; ++i) {
        commands += "<COMMAND_ID>";
    }
    const Loaded c = load(commands);
    ASSERT_FALSE(c.result.ok());
    EXPECT_EQ(c.result.error->kind, Kind::TooManyCommands);
    EXPECT_EQ(c.result.error->text, "more than 32768 COMMAND_ID elements for key KEY_9");
    EXPECT_EQ(c.result.error->offset, 15u + 32768u * 12u);
    EXPECT_EQ(c.maps[0].keys[9].commands.size(), 32768u);

    std::string maps;
    for (int i = 0; i < 32769; ++i) {
        maps += "<KEYMAP>";
    }
    const Loaded m = load(maps);
    ASSERT_FALSE(m.result.ok());
    EXPECT_EQ(m.result.error->kind, Kind::TooManyKeyMaps);
    EXPECT_EQ(m.result.error->offset, 32768u * 8u);
    EXPECT_EQ(m.maps.size(), 32768u);
}

TEST(LoadErrors, ValuesReadAgainAndAgainBehindAnUnclosedEndTagEndTheLoadInsteadOfHanging) {
    // Every HELP value runs to the final "</", which has no ">": each is read from its start
    // to the end of the file, and the tags inside are read again. Unbounded, that work grows
    // with the square of the file; the loader gives up with a message at the culprit.
    std::string text = "<KEYMAP>";
    for (int i = 0; i < 200000; ++i) {
        text += "<HELP>x";
    }
    text += "</";
    const Loaded l = load(text);
    ASSERT_FALSE(l.result.ok());
    EXPECT_EQ(l.result.error->kind, Kind::UnclosedEndTag);
    EXPECT_EQ(l.result.error->offset, text.size() - 2);
    EXPECT_NE(l.result.error->text.find("expected \">\" to close this \"</\""), std::string::npos);
    EXPECT_EQ(l.maps[0].keys[0].help.substr(0, 8), "x<HELP>x");  // read until then, it stays
}

}  // namespace
}  // namespace zintor
