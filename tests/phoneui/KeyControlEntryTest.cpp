// Entering and leaving key control, and the text input dialog that key control can open.
#include <gtest/gtest.h>

#include "MenuRig.h"

namespace zintor::testing {
namespace {

const std::string kMenu = "AT*EASM=\"Zintor\",1,1,3,\"Move Mouse\",\"Application\",\"About\"";
const Lines kResetPhoneUI{"AT+CMER=0,0,0,0,0", "AT*EAM=\"Zintor\""};

class KeyControlEntry : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.connect();
        for (const char* name : {"Mouse and keys for the desktop", "Media", "Slides"}) {
            KeyMap map;
            map.Name = name;
            rig.state.KeyMaps.push_back(map);
        }
    }

    // Key control as the key map's INPUT action leaves it: text input instead of key control.
    void openTextInput() {
        rig.say("*EAMI: 1");
        rig.state.ModeFlags[ModeKeyControl] = false;
        rig.state.ModeFlags[ModeTextInput] = true;
    }

    MenuRig rig;
};

TEST_F(KeyControlEntry, UsesTheLastKeyMapOrTheFirst) {
    rig.state.LastKeyMap = 2;
    EXPECT_EQ(rig.say("*EAMI: 1"), (Lines{"AT*EAID=13,2,\"Slides\"", "AT+CMER=3,2,0,0,0"}));
    EXPECT_TRUE(rig.onlyFlag(ModeKeyControl));
    EXPECT_EQ(rig.state.CurrentKeyMap, 2);

    // Back: keypad reporting off, key help closed, main menu on item 1.
    EXPECT_EQ(rig.say("*EAII: 0"), (Lines{"AT+CMER=0,0,0,0,0", kMenu}));
    EXPECT_EQ(rig.procedures.others, Lines{"CloseKeyHelp"});
    EXPECT_TRUE(NoModeActive(rig.state));

    // Beyond the last key map (and below the first): key map 0, its name cut to 15 characters.
    for (std::int16_t last : {3, 4, -1}) {
        rig.state.LastKeyMap = last;
        EXPECT_EQ(rig.say("*EAMI: 1"),
                  (Lines{"AT*EAID=13,2,\"Mouse and keys \"", "AT+CMER=3,2,0,0,0"}))
            << last;
        EXPECT_EQ(rig.state.CurrentKeyMap, 0);
        rig.say("*EAII: 0");
    }
}

TEST_F(KeyControlEntry, WithoutKeyMapsThePhoneIsToldAndStaysOnTheMenu) {
    rig.state.KeyMaps.clear();
    EXPECT_EQ(
        rig.say("*EAMI: 1"),
        Lines{"AT*EAID=1,2,\"No key map loaded - fix or add KeyMap.xml and restart Zintor\",80"});
    EXPECT_TRUE(rig.onlyFlag(ModeErrorPopUp));
    EXPECT_EQ(rig.say("+CKEV: 5,1"), Lines{});  // no key reaches a key map
    EXPECT_TRUE(rig.procedures.others.empty());
    EXPECT_EQ(rig.say("*EAII: 1,1"), Lines{kMenu});
}

TEST_F(KeyControlEntry, TextInputTypesWithoutQuotesAndReopensTheDialog) {
    openTextInput();
    const Lines dialog{"AT*EAID=11,2,\"Enter\",\"->\",100"};
    EXPECT_EQ(rig.say("*EAII: 11,\"Say \"hi\" twice\""), dialog);
    EXPECT_EQ(rig.say("*EAII: 11,"), dialog);
    EXPECT_EQ(rig.say("*EAII: 11,a,b \"\"\""), dialog);
    EXPECT_EQ(rig.procedures.others,
              (Lines{"TypeText Say hi twice", "TypeText ", "TypeText a,b "}));
    EXPECT_TRUE(rig.onlyFlag(ModeTextInput));

    // Closing the dialog goes back to key control.
    EXPECT_EQ(rig.say("*EAII: 0"),
              (Lines{"AT*EAID=13,2,\"Mouse and keys \"", "AT+CMER=3,2,0,0,0"}));
    EXPECT_TRUE(rig.onlyFlag(ModeKeyControl));

    openTextInput();
    EXPECT_EQ(rig.say("*EAII"), kResetPhoneUI);
    EXPECT_TRUE(NoModeActive(rig.state));
}

TEST_F(KeyControlEntry, BareEaiiEndsKeyControlAndThePopUps) {
    for (int item : {1, 3}) {  // key control, About
        rig.say("*EAMI: " + std::to_string(item));
        EXPECT_FALSE(NoModeActive(rig.state));
        EXPECT_EQ(rig.say("*EAII"), kResetPhoneUI) << item;
        EXPECT_TRUE(NoModeActive(rig.state));
    }
    rig.state.KeyMaps.clear();
    rig.say("*EAMI: 1");
    EXPECT_TRUE(rig.onlyFlag(ModeErrorPopUp));
    EXPECT_EQ(rig.say("*EAII"), kResetPhoneUI);
}

TEST_F(KeyControlEntry, LeavingThePlaylistHighlightsWinamp) {
    rig.state.AppPath[9] = "/opt/winamp/winamp";
    rig.state.ModeFlags[ModeWinampMenu] = true;
    rig.world.phone.clearLines();
    rig.menus->HandleMenuSelection("*EAII: 0");
    rig.world.loop.runFor(500);
    EXPECT_EQ(
        rig.world.phone.texts(),
        Lines{"AT*EASM=\"Zintor\",1,3,4,\"Move Mouse\",\"Application\",\"WinAMP\",\"About\""});
    EXPECT_EQ(rig.procedures.others, Lines{"CloseKeyHelp"});
    EXPECT_TRUE(NoModeActive(rig.state));
}

}  // namespace
}  // namespace zintor::testing
