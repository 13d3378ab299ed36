#include <gtest/gtest.h>

#include <string>

#include "control/DecodeKeyEvent.h"
#include "control/KeyHelpContent.h"

namespace zintor {
namespace {

TEST(DecodeKeyEvent, EveryPhoneCodeGivesItsKeyNumber) {
    const std::pair<const char*, int> table[] = {
        {"0", 0},   {"9", 9},   {"u", 10}, {"d", 11}, {"*", 13},  {"#", 14},  {":O", 15},
        {":C", 16}, {":R", 17}, {"<", 18}, {">", 19}, {"v", 20},  {"^", 21},  {"[", 22},
        {"]", 23},  {"c", 99},  {"D", 99}, {"", 99},  {":c", 99}, {"55", 99}, {"u ", 99},
    };
    for (const auto& [code, key] : table) {
        const KeyEvent down = DecodeKeyEvent(std::string("+CKEV: ") + code + ",1");
        const KeyEvent up = DecodeKeyEvent(std::string("+CKEV: ") + code + ",0");
        EXPECT_EQ(down.Key, key) << code;
        EXPECT_TRUE(down.Pressed) << code;
        EXPECT_EQ(up.Key, key) << code;
        EXPECT_FALSE(up.Pressed) << code;
    }
}

TEST(DecodeKeyEvent, KeyOneAndLineEndsAndGarbage) {
    // The press marker of key 1 looks like the key itself.
    EXPECT_EQ(DecodeKeyEvent("+CKEV: 1,1").Key, 1);
    EXPECT_EQ(DecodeKeyEvent("+CKEV: 1,0").Key, 1);
    EXPECT_EQ(DecodeKeyEvent("+CKEV: 5,1\r\n").Key, 5);
    EXPECT_EQ(DecodeKeyEvent("+CKEV: :C,0").Key, 16);
    // Neither marker: a release of whatever is left.
    const KeyEvent bare = DecodeKeyEvent("+CKEV: 7");
    EXPECT_EQ(bare.Key, 7);
    EXPECT_FALSE(bare.Pressed);
    EXPECT_EQ(DecodeKeyEvent("+CKEV: 5,2").Key, 99);
    EXPECT_EQ(DecodeKeyEvent(std::string("+CKEV: \0,1", 10)).Key, 99);
    EXPECT_EQ(DecodeKeyEvent("garbage").Key, 99);
}

class KeyHelpContentTest : public ::testing::Test {
  protected:
    KeyHelpContentTest() {
        state.KeyNames = {"Key 0", "Key 1", "Key 2", "Key 3", "Key 4",     "Key 5",
                          "Key 6", "Key 7", "Key 8", "Key 9", "Volume Up", "Volume Down",
                          "Clear", "*",     "#",     "WAP",   "Camera",    "Back",
                          "",      "",      "",      "",      "Left",      "Right"};
        KeyMap first;
        first.Name = "Media";
        first.Keys[5].Help = "Volume of the selected track";
        first.Keys[12].Help = "clears";
        first.Keys[13].Help = "never shown";
        KeyMap second;
        second.Name = "Browser";
        state.KeyMaps = {first, second};
    }
    ProgramState state;
};

TEST_F(KeyHelpContentTest, RowsSkipTheDirectionKeysAndUseFixedTextsForTheSpecialKeys) {
    const auto rows = KeyHelpRows(state);
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[5].key, "Key 5");
    EXPECT_EQ(rows[5].function, "Volume of the selected track");
    EXPECT_EQ(rows[12].key, "Clear");
    EXPECT_EQ(rows[12].function, "clears");
    EXPECT_EQ(rows[13].function, "Shows help");
    EXPECT_EQ(rows[14].function, "Change keymap");
    EXPECT_EQ(rows[17].function, "Leave this function");
    EXPECT_EQ(rows[18].key, "Left");
    EXPECT_EQ(rows[19].key, "Right");
    EXPECT_EQ(rows[0].function, "");

    EXPECT_EQ(KeyHelpCaption(state), "Zintor Key Help   -   Media");
    EXPECT_EQ(NoticeText(state), "Changed Key Map to\r\nMedia");
    state.CurrentKeyMap = 1;
    EXPECT_EQ(KeyHelpCaption(state), "Zintor Key Help   -   Browser");
    EXPECT_EQ(KeyHelpRows(state)[5].function, "");
}

TEST_F(KeyHelpContentTest, AKeyMapThatDoesNotExistReadsAsAnEmptyOne) {
    for (std::int16_t index : {std::int16_t{2}, std::int16_t{-1}}) {
        state.CurrentKeyMap = index;
        EXPECT_EQ(KeyHelpCaption(state), "Zintor Key Help   -   ");
        EXPECT_EQ(NoticeText(state), "Changed Key Map to\r\n");
        const auto rows = KeyHelpRows(state);
        ASSERT_EQ(rows.size(), 20u);
        EXPECT_EQ(rows[5].function, "");
        EXPECT_EQ(rows[13].function, "Shows help");
    }
    state.KeyMaps.clear();
    state.CurrentKeyMap = 0;
    EXPECT_EQ(CurrentKeyMapOf(state), nullptr);
}

}  // namespace
}  // namespace zintor
