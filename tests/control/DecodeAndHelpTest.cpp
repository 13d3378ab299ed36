#include <gtest/gtest.h>

#include <string>

#include "control/DecodeKeyEvent.h"
#include "control/KeyHelpContent.h"

namespace zintor {
namespace {

TEST(DecodeKeyEvent, EveryPhoneCodeGivesItsKeyNumberAndAnythingElse99) {
    const std::pair<std::string, int> table[] = {
        {"0", 0},
        {"1", 1},
        {"9", 9},
        {"u", 10},
        {"d", 11},
        {"*", 13},
        {"#", 14},
        {":O", 15},
        {":C", 16},
        {":R", 17},
        {"<", 18},
        {">", 19},
        {"v", 20},
        {"^", 21},
        {"[", 22},
        {"]", 23},
        {"c", 99},
        {"D", 99},
        {"", 99},
        {":c", 99},
        {"55", 99},
        {"u ", 99},
        {std::string("\0", 1), 99},
    };
    for (const auto& [code, key] : table) {
        const KeyEvent down = DecodeKeyEvent("+CKEV: " + code + ",1");
        const KeyEvent up = DecodeKeyEvent("+CKEV: " + code + ",0\r\n");
        EXPECT_EQ(down.Key, key) << code;
        EXPECT_TRUE(down.Pressed) << code;
        EXPECT_EQ(up.Key, key) << code;
        EXPECT_FALSE(up.Pressed) << code;
    }
    // Neither marker: a release of whatever is left.
    EXPECT_EQ(DecodeKeyEvent("+CKEV: 7").Key, 7);
    EXPECT_FALSE(DecodeKeyEvent("+CKEV: 7").Pressed);
    EXPECT_EQ(DecodeKeyEvent("+CKEV: 5,2").Key, 99);
    EXPECT_EQ(DecodeKeyEvent("garbage").Key, 99);
}

TEST(KeyHelpContent, RowsSkipTheDirectionKeysAndUseFixedTextsForTheSpecialKeys) {
    ProgramState state;
    state.KeyNames = {"Key 0", "Key 1", "Key 2", "Key 3", "Key 4",     "Key 5",
                      "Key 6", "Key 7", "Key 8", "Key 9", "Volume Up", "Volume Down",
                      "Clear", "*",     "#",     "WAP",   "Camera",    "Back",
                      "",      "",      "",      "",      "Left",      "Right"};
    KeyMap first;
    first.Name = "Media";
    first.Keys[5].Help = "Volume of the selected track";
    first.Keys[12].Help = "clears";
    first.Keys[13].Help = "never shown";
    state.KeyMaps = {first, KeyMap{}};
    state.KeyMaps[1].Name = "Browser";

    const auto rows = KeyHelpRows(state);
    ASSERT_EQ(rows.size(), 20u);
    std::vector<std::string> shown;
    for (int i : {0, 5, 12, 13, 14, 17, 18, 19}) {
        shown.push_back(rows[i].key + ": " + rows[i].function);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Key 0: ", "Key 5: Volume of the selected track",
                                               "Clear: clears", "*: Shows help", "#: Change keymap",
                                               "Back: Leave this function", "Left: ", "Right: "}));
    EXPECT_EQ(KeyHelpCaption(state), "Zintor Key Help   -   Media");
    EXPECT_EQ(NoticeText(state), "Changed Key Map to\r\nMedia");
    state.CurrentKeyMap = 1;
    EXPECT_EQ(KeyHelpCaption(state), "Zintor Key Help   -   Browser");
    EXPECT_EQ(KeyHelpRows(state)[5].function, "");

    // A key map that does not exist reads as an empty one.
    for (std::int16_t index : {std::int16_t{2}, std::int16_t{-1}}) {
        state.CurrentKeyMap = index;
        EXPECT_EQ(KeyHelpCaption(state), "Zintor Key Help   -   ");
        EXPECT_EQ(NoticeText(state), "Changed Key Map to\r\n");
        EXPECT_EQ(KeyHelpRows(state)[5].function, "");
        EXPECT_EQ(KeyHelpRows(state)[13].function, "Shows help");
    }
    state.KeyMaps.clear();
    state.CurrentKeyMap = 0;
    EXPECT_EQ(CurrentKeyMapOf(state), nullptr);
}

}  // namespace
}  // namespace zintor
