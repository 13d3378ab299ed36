// Loading key maps from small texts: the reader's quirks, and errors, which stop the load where
// they occur, say where (line and column of the file) and what was expected, and keep what was
// read before them. Then the key maps shipped in data/KeyMap.xml.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "LiteralKeyMapLoader.h"
#include "core/keymap/KeyMapLoader.h"
#include "core/keymap/KeyMapNames.h"

namespace zintor {
namespace {

using Lines = std::vector<std::string>;
using Kind = KeyMapLoadError::Kind;

struct Loaded {
    std::vector<KeyMap> maps;
    std::array<USBOutput, 8> outputs;
    KeyMapLoadResult result;
    std::vector<KeyMapNote> notes;
};

Loaded load(const std::string& text) {
    Loaded l;
    KeyMapLoadOptions options;
    options.notes = &l.notes;
    l.result = loadKeyMaps(text, l.maps, l.outputs, options);
    return l;
}

std::string message(const Loaded& l) {
    return l.result.error ? formatLoadError("KeyMap.xml", *l.result.error) : "no error";
}

// A command as `TYPE code`, then ` value N` and ` "text"` when they are set.
std::string shown(const KeyCommand& c) {
    static const char* const kTypes[] = {"KEY",   "WAIT",  "SPECIAL KEY", "KEY DOWN", "KEY UP",
                                         "MOUSE", "INPUT", "WINAMP",      "VOLUME"};
    std::string s = kTypes[static_cast<int>(c.type)];
    s += " " + std::to_string(c.code);
    s += c.value != 0 ? " value " + std::to_string(c.value) : "";
    return s + (c.text.empty() ? "" : " \"" + c.text + "\"");
}

Lines commands(const Loaded& l, int map, int key) {
    Lines out;
    for (const KeyCommand& c : l.maps.at(map).keys.at(key).commands) {
        out.push_back(shown(c));
    }
    return out;
}

// Every field of the key maps and USB outputs, one line per key map and per output, to compare
// two loads whole.
Lines everything(const std::vector<KeyMap>& maps, const std::array<USBOutput, 8>& outputs) {
    Lines out;
    for (const KeyMap& map : maps) {
        std::string line = map.name;
        for (const KeyEntry& key : map.keys) {
            line += " | " + key.name + " / " + key.help;
            for (const KeyCommand& c : key.commands) {
                line += " / " + shown(c);
            }
        }
        out.push_back(line);
    }
    for (const USBOutput& o : outputs) {
        out.push_back(o.nameOn + " | " + o.nameOff + (o.state ? " | on" : ""));
    }
    return out;
}

TEST(loadKeyMaps, OnlyExactElementNamesCountAndValuesAreKeptAsWritten) {
    const Loaded l = load(
        "<?xml version=\"1.0\"?><KEYMAP><KEYMAP_NAME>A</KEYMAP_NAME>"
        "<KEY_1><HELP>a<b &amp;</HELP>"
        "<KEYMAP id=\"2\"><KEYMAP_NAME>B</KEYMAP_NAME>"  // still key map 0
        "<KEY_2 ><NAME>still one</NAME>"                 // still key 1
        "<keymap><key_3><Help>x</Help>"                  // all skipped; the value is text
        "<KEY_4/><COMMAND_ID><COMMAND>x < y\a</COMMAND>");
    ASSERT_TRUE(l.result.ok());
    ASSERT_EQ(l.maps.size(), 1u);
    const KeyEntry& one = l.maps[0].keys[1];
    EXPECT_EQ((Lines{l.maps[0].name, one.help, one.name}), (Lines{"B", "a<b &amp;", "still one"}));
    EXPECT_EQ(commands(l, 0, 1), Lines{"KEY 0 \"x < y\a\""});
    EXPECT_TRUE(commands(l, 0, 4).empty());
    // The checker's notes point at the near misses, not at end tags or the declaration.
    // KEYMAP id, "KEY_2 ", keymap, key_3, Help, KEY_4/, and "x < y\a" with a control character.
    ASSERT_EQ(l.notes.size(), 7u);
    EXPECT_NE(l.notes[0].text.find("<KEYMAP id=\"2\"> is skipped, not read as KEYMAP"),
              std::string::npos);
    EXPECT_NE(l.notes[1].text.find("not read as KEY_2"), std::string::npos);
}

TEST(loadKeyMaps, CommandIsReadByTheTypeInForceAndUnknownNamesGiveCodeZero) {
    const Loaded l = load(
        "<KEYMAP><KEY_1>"
        "<COMMAND_ID><COMMAND_TYPE>key</COMMAND_TYPE><COMMAND>typed</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>SPECIAL KEY</COMMAND_TYPE><COMMAND> F5</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>SPECIAL KEY</COMMAND_TYPE><COMMAND>F5</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>KEY DOWN</COMMAND_TYPE><COMMAND>ctrl</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>MOUSE</COMMAND_TYPE><COMMAND>LEFT HOLD </COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>MOUSE</COMMAND_TYPE><COMMAND>LEFT HOLD</COMMAND>"
        "<COMMAND_ID><COMMAND>500</COMMAND><COMMAND_TYPE>WAIT</COMMAND_TYPE>"
        "<COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE><COMMAND> 2.5 ms</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>WINAMP</COMMAND_TYPE><COMMAND>NEXT TRACK</COMMAND>"
        "<COMMAND_TYPE>VOLUME</COMMAND_TYPE><COMMAND>MASTER DOWN</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>INPUT</COMMAND_TYPE><COMMAND>ignored</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>VOLUME</COMMAND_TYPE><COMMAND>CD UP</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>WINAMP</COMMAND_TYPE><COMMAND>play</COMMAND>");
    ASSERT_TRUE(l.result.ok());
    EXPECT_EQ(commands(l, 0, 1),
              (Lines{"KEY 0 \"typed\"",  // "key" is not "KEY": the type stays as it was
                     "SPECIAL KEY 0", "SPECIAL KEY 116", "KEY DOWN 0",
                     "MOUSE 0",  // "LEFT HOLD " is not "LEFT HOLD": LEFT
                     "MOUSE 2",
                     // COMMAND before COMMAND_TYPE: read as KEY text, then a WAIT of 0 ms.
                     "WAIT 0 \"500\"", "WAIT 0 value 2",
                     // A later COMMAND_TYPE and COMMAND overwrite; the code stays until then.
                     "VOLUME 1", "INPUT 0 \"ignored\"", "VOLUME 8", "WINAMP 0"}));

    // The checker's notes: one per unknown name, and for the known volume that does nothing.
    ASSERT_EQ(l.notes.size(), 6u);
    EXPECT_EQ(l.notes[0].text,
              "COMMAND_TYPE \"key\" is not a type name (KEY, WAIT, SPECIAL KEY, KEY DOWN, KEY UP, "
              "MOUSE, INPUT, WINAMP, VOLUME); the command stays KEY");
    EXPECT_EQ(l.notes[4].text,
              "VOLUME \"CD UP\" is known but does nothing: only MASTER UP and MASTER DOWN act");
    EXPECT_EQ(load("<KEYMAP><COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE><COMMAND>-x5</COMMAND>")
                  .notes.at(0)
                  .text,
              "WAIT time \"-x5\" does not start with a number; it waits 0 ms");
    EXPECT_TRUE(load("<KEYMAP><COMMAND_ID><COMMAND>AZ az09</COMMAND><COMMAND_ID><COMMAND_TYPE>"
                     "WAIT</COMMAND_TYPE><COMMAND>0</COMMAND>")
                    .notes.empty());  // all typed, a number
    // Even a NUL is a control character the checker names.
    const std::string nul = "<KEYMAP><COMMAND_ID><COMMAND>a" + std::string(1, '\0') + "b</COMMAND>";
    EXPECT_EQ(load(nul).notes.at(0).text,
              "KEY text \"a b\" has control characters, which are not typed");
}

TEST(loadKeyMaps, KeyAndCommandCursorsMoveOnlyWithTheirElements) {
    const Loaded l = load(
        "<KEY_5>"  // before any KEYMAP: only selects the key
        "<KEYMAP><HELP>five</HELP><KEYMAP_NAME>A</KEYMAP_NAME><KEYMAP_NAME>A2</KEYMAP_NAME>"
        "<KEY_1><COMMAND_ID><COMMAND>a</COMMAND></KEY_1>"
        "<KEY_2><COMMAND_ID><COMMAND>b</COMMAND><COMMAND_ID><COMMAND>c</COMMAND>"
        "<KEY_1><COMMAND_ID><COMMAND>e</COMMAND>"   // a second KEY_1 appends
        "<KEY_2><COMMAND_TYPE>WAIT</COMMAND_TYPE>"  // command 0 of key 2
        "<KEY_VOLUME_UP><HELP>up</HELP>"            // the key carries into the next map
        "<KEYMAP><HELP>up in B</HELP><KEY_LEFT_SOFTKEY><HELP>soft</HELP>"
        "<KEY_CAMERA><NAME>cam</NAME><KEY_CLEAR><HELP>clr</HELP>");
    ASSERT_TRUE(l.result.ok());
    ASSERT_EQ(l.maps.size(), 2u);
    EXPECT_EQ(commands(l, 0, 1), (Lines{"KEY 0 \"a\"", "KEY 0 \"e\""}));
    EXPECT_EQ(commands(l, 0, 2), (Lines{"WAIT 0 \"b\"", "KEY 0 \"c\""}));
    const auto &a = l.maps[0].keys, &b = l.maps[1].keys;
    EXPECT_EQ(
        (Lines{l.maps[0].name, a[5].help, a[10].help, l.maps[1].name, b[10].help, b[22].help,
               b[16].name, b[12].help}),
        (Lines{"A2", "five", "up", "", "up in B", "soft", "cam", "clr"}));  // A2: the last name
    // Any map or key out of range has no commands.
    const auto has = [&l](int map, int key) { return keyHasCommands(l.maps, map, key); };
    EXPECT_EQ((std::vector{has(0, 1), has(1, 1), has(2, 1), has(-1, 1), has(0, -1),
                           has(0, kKeysPerMap), has(0, kKeysPerMap - 1)}),
              (std::vector{true, false, false, false, false, false, false}));
}

TEST(loadKeyMaps, UsbNamesGoToTheOutputSelectedLastStartingWithOutputOne) {
    const Loaded l = load(
        "<NAME_ON>first on</NAME_ON>"
        "<USB_DIGITAL_OUT_8><NAME_OFF>eight off</NAME_OFF>"
        "<USB_DIGITAL_OUT_9><NAME_ON>eight on</NAME_ON>"  // no such element: still output 8
        "<USB_DIGITAL_OUT_3><NAME_ON>three</NAME_ON><NAME_ON>three again</NAME_ON>");
    ASSERT_TRUE(l.result.ok());
    EXPECT_TRUE(l.maps.empty());
    EXPECT_EQ(everything({}, l.outputs), (Lines{"first on | ", " | ", "three again | ", " | ",
                                                " | ", " | ", " | ", "eight on | eight off"}));
}

TEST(loadKeyMaps, ATextShorterThanThreeCharactersAfterTheLastTagIsNotRead) {
    EXPECT_TRUE(load("<KEYMAP><A").result.ok());
    EXPECT_TRUE(load("<KEYMAP><X></").result.ok());
    EXPECT_FALSE(load("<KEYMAP><AB").result.ok());
    // A value whose "</" has no ">": the text after the value's start is read again as tags.
    const Loaded l = load("<KEYMAP><HELP>a<KEY_2></");
    ASSERT_TRUE(l.result.ok());
    EXPECT_EQ(l.maps[0].keys[0].help, "a<KEY_2>");
}

TEST(LoadErrors, SayWhereAndWhatWasExpected) {
    const struct {
        std::string text;
        Kind kind;
        std::string message;
    } cases[] = {
        {"<KEY_1>\n<HELP>x</HELP>", Kind::kNoKeyMap, "2:1: HELP before the first KEYMAP"},
        {"  <KEYMAP_NAME>1</KEYMAP_NAME>", Kind::kNoKeyMap,
         "1:3: KEYMAP_NAME before the first KEYMAP"},
        {"<COMMAND_ID>", Kind::kNoKeyMap, "1:1: COMMAND_ID before the first KEYMAP"},
        {"<COMMAND>x</COMMAND>", Kind::kNoKeyMap, "1:1: COMMAND before the first KEYMAP"},
        // No key element yet: key 0. A new KEYMAP keeps the key but its list is empty.
        {"<KEYMAP><COMMAND>x</COMMAND>", Kind::kNoCommand,
         "1:9: COMMAND before any COMMAND_ID for key KEY_0"},
        {"<KEYMAP><KEY_LEFT_SOFTKEY><COMMAND_ID>\n<KEYMAP><COMMAND>x</COMMAND>", Kind::kNoCommand,
         "2:9: COMMAND before any COMMAND_ID for key KEY_LEFT_SOFTKEY"},
        {"<KEYMAP>\n  <KEYMAP_NAME>A</KEYMAP_NAME>\n  <KEY_1\n  <HELP", Kind::kUnclosedTag,
         "3:3: expected \">\" to close the tag that starts here"},
        {"<KEYMAP>\n<KEYMAP_NAME>Office\n", Kind::kUnclosedValue,
         "2:1: expected \"</\" to end the value of KEYMAP_NAME"},
        // Lines of the file as written: comments and carriage returns count.
        {"<!-- a comment\r\n over two lines -->\r\n<KEYMAP>\r\n\t<!-- x --><HELP>never ended",
         Kind::kUnclosedValue, "4:12: expected \"</\" to end the value of HELP"},
        // The start of a comment formed by removing another one still maps back to the file.
        {"<KEYMAP>\n<!<!-- x -->-- y -->  <HELP>", Kind::kUnclosedValue,
         "2:23: expected \"</\" to end the value of HELP"},
        {"<KEYMAP><KEY_1><COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE>\n<COMMAND>1E20</COMMAND>",
         Kind::kNumberOutOfRange,
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
    EXPECT_EQ(
        (Lines{l.maps[0].keys[1].commands.at(0).text, l.maps[1].keys[2].help, l.outputs[1].nameOn}),
        (Lines{"a", "h", "on"}));

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
    EXPECT_EQ(c.result.error->kind, Kind::kTooManyCommands);
    EXPECT_EQ(c.result.error->text, "more than 32768 COMMAND_ID elements for key KEY_9");
    EXPECT_EQ(c.result.error->offset, 15u + 32768u * 12u);
    EXPECT_EQ(c.maps[0].keys[9].commands.size(), 32768u);

    std::string maps;
    for (int i = 0; i < 32769; ++i) {
        maps += "<KEYMAP>";
    }
    const Loaded m = load(maps);
    ASSERT_FALSE(m.result.ok());
    EXPECT_EQ(m.result.error->kind, Kind::kTooManyKeyMaps);
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
    EXPECT_EQ(l.result.error->kind, Kind::kUnclosedEndTag);
    EXPECT_EQ(l.result.error->offset, text.size() - 2);
    EXPECT_NE(l.result.error->text.find("expected \">\" to close this \"</\""), std::string::npos);
    EXPECT_EQ(l.maps[0].keys[0].help.substr(0, 8), "x<HELP>x");  // read until then, it stays
}

TEST(DefaultKeyMap, LoadsCleanlyLikeTheLiteralReaderAndBindsEveryKeyAPhoneReports) {
    std::ostringstream text;
    text << std::ifstream(ZINTOR_DEFAULT_KEYMAP, std::ios::binary).rdbuf();
    const Loaded loaded = load(text.str());
    ASSERT_TRUE(loaded.result.ok()) << formatLoadError("KeyMap.xml", *loaded.result.error);
    Lines names;
    for (const KeyMapNote& note : loaded.notes) {
        ADD_FAILURE() << note.at.line << ":" << note.at.column << ": " << note.text;
    }
    std::vector<KeyMap> maps;
    std::array<USBOutput, 8> outputs;
    EXPECT_FALSE(literal::loadKeyMaps(text.str(), maps, outputs));
    EXPECT_EQ(everything(maps, outputs), everything(loaded.maps, loaded.outputs));

    for (const KeyMap& map : loaded.maps) {
        names.push_back(map.name);
        EXPECT_LE(map.name.size(), 15u) << map.name;  // fits the phone's screen
        for (int k = 0; k < kKeysPerMap; ++k) {
            // Keys with an element, except KEY_CLEAR which no phone reports.
            const bool bindable = !keyElementName(k).empty() && k != 12;
            EXPECT_EQ(!map.keys[k].commands.empty(), bindable) << map.name << " key " << k;
            EXPECT_EQ(!map.keys[k].help.empty(), bindable) << map.name << " key " << k;
        }
    }
    EXPECT_EQ(names, (Lines{"Desktop", "Presentation", "Media"}));
    for (const USBOutput& out : loaded.outputs) {
        EXPECT_FALSE(out.nameOn.empty() || out.nameOff.empty());
        EXPECT_NE(out.nameOn, out.nameOff);
        EXPECT_LE(out.nameOn.size(), 15u);
        EXPECT_EQ((out.nameOn + out.nameOff).find('"'), std::string::npos);  // quoted on the phone
    }
}

}  // namespace
}  // namespace zintor
