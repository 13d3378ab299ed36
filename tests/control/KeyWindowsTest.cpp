#include <string>
#include <vector>

#include "KeyRig.h"

namespace zintor {
namespace {

using Calls = std::vector<std::string>;

class KeyWindowsTest : public KeyRig {
  protected:
    KeyWindowsTest() {
        UseKeyMaps({"Mouse", "Media", "Browser"});
        state.KeyMaps[1].Keys[5].Help = "Louder";
    }
    void Press(const std::string& code, std::int64_t atMs) { Hold(code, atMs, atMs + 50); }
    Calls PhoneTexts() const { return world.phone.texts(); }
};

TEST_F(KeyWindowsTest, HashCyclesThroughTheKeyMapsAndShowsTheNoticeForThreeSeconds) {
    state.ModeFlags[ModeApplicationMenu] = true;
    state.KeyMaps[1].Keys[5].Commands = {Command(CommandKey, 0, "k")};
    Press("#", 1000);
    Press("5", 2000);  // handled while the notice is waited for
    world.loop.runUntil(5000);

    EXPECT_EQ(state.CurrentKeyMap, 1);
    EXPECT_EQ(state.LastKeyMap, 1);
    EXPECT_FALSE(state.ModeFlags[ModeApplicationMenu]);
    EXPECT_TRUE(state.ModeFlags[ModeKeyControl]);
    EXPECT_EQ(PhoneTexts(), (Calls{"AT*EAID=13,2,\"Media\""}));
    EXPECT_EQ(world.desktop.calls(),
              (Calls{"showNotice Changed Key Map to\r\nMedia", "notice closes itself"}));
    EXPECT_FALSE(state.KeyMapNoticeShown);
    EXPECT_EQ(world.input.calls(), (Calls{"press 75"}));
    // The "#" handler returned when the notice closed, after the nested key 5.
    EXPECT_EQ(procedures.keyReturns,
              (Calls{"1060 +CKEV: #,0", "2010 +CKEV: 5,1", "2060 +CKEV: 5,0", "4040 +CKEV: #,1"}));

    for (int expected : {2, 0, 1}) {
        Press("#", now() + 100);
        world.loop.runFor(4000);
        EXPECT_EQ(state.CurrentKeyMap, expected);
        EXPECT_EQ(state.LastKeyMap, expected);
    }

    // With one key map "#" stays on it and still shows the notice; a key map that does not
    // exist is never named.
    UseKeyMaps({"Only"});
    world.phone.clearLines();
    world.desktop.clearCalls();
    Press("#", now() + 100);
    world.loop.runFor(4000);
    EXPECT_EQ(state.CurrentKeyMap, 0);
    EXPECT_EQ(state.LastKeyMap, 0);
    EXPECT_EQ(PhoneTexts(), (Calls{"AT*EAID=13,2,\"Only\""}));
    EXPECT_EQ(world.desktop.calls(),
              (Calls{"showNotice Changed Key Map to\r\nOnly", "notice closes itself"}));
    state.CurrentKeyMap = 3;
    keys.ChangeKeyMap();
    EXPECT_EQ(PhoneTexts().size(), 1u);
}

TEST_F(KeyWindowsTest, ASecondHashWithinThreeSecondsRenamesTheOpenNotice) {
    Press("#", 1000);
    Press("#", 2500);
    world.loop.runUntil(7000);
    EXPECT_EQ(state.CurrentKeyMap, 2);
    EXPECT_EQ(world.desktop.calls(),
              (Calls{"showNotice Changed Key Map to\r\nMedia",
                     "setNoticeText Changed Key Map to\r\nBrowser", "notice closes itself"}));
    // The first "#" waited until three seconds after the second.
    EXPECT_EQ(procedures.keyReturns.back(), "5540 +CKEV: #,1");
}

TEST_F(KeyWindowsTest, StarOpensAndClosesTheHelpAndReplacesTheNotice) {
    world.phone.sendAt(500, "+CKEV: *,0\r\n");  // releases of "*" and "#" do nothing
    world.phone.sendAt(600, "+CKEV: #,0\r\n");
    Press("*", 1000);
    world.loop.runUntil(1500);
    EXPECT_TRUE(state.KeyHelpShown);
    EXPECT_EQ(world.desktop.keyHelpCaption(), "Zintor Key Help   -   Mouse");
    EXPECT_EQ(world.desktop.keyHelpRows().size(), 20u);
    Press("*", 2000);
    world.loop.runUntil(2500);
    EXPECT_EQ(world.desktop.calls(),
              (Calls{"hideMainWindow", "showKeyHelp Zintor Key Help   -   Mouse (20 rows)",
                     "closeKeyHelp"}));
    EXPECT_FALSE(state.KeyHelpShown);
    EXPECT_TRUE(PhoneTexts().empty());

    // "*" while the notice is up: the notice goes, the help comes; the waiting "#" then shows
    // the help again and waits until the user closes it.
    world.desktop.clearCalls();
    Press("#", 3000);
    Press("*", 4000);
    bool helpAt6000 = false;
    world.loop.schedule(6000, [&] { helpAt6000 = state.KeyHelpShown; });
    world.loop.schedule(7000, [this] { world.desktop.userClosesKeyHelp(); });
    world.loop.runUntil(8000);
    EXPECT_TRUE(helpAt6000);
    EXPECT_EQ(world.desktop.calls(),
              (Calls{"showNotice Changed Key Map to\r\nMedia", "closeNotice",
                     "showKeyHelp Zintor Key Help   -   Media (20 rows)", "closeKeyHelp",
                     "showKeyHelp Zintor Key Help   -   Media (20 rows)", "user closes key help"}));
    EXPECT_FALSE(state.KeyHelpShown);
    EXPECT_EQ(world.desktop.keyHelpRows()[5].function, "Louder");
    EXPECT_EQ(procedures.keyReturns.back(), "7000 +CKEV: #,1");  // when the help was closed
}

TEST_F(KeyWindowsTest, HashWithTheHelpOpenRebuildsItAndWaitsForIt) {
    Press("*", 1000);
    Press("#", 2000);
    Press("#", 3000);  // nested: rebuilds again
    // Leaving the mode closes the help, which lets both waiting handlers return.
    std::size_t returnsBefore = 99;
    world.loop.schedule(4000, [&] {
        returnsBefore = procedures.keyReturns.size();
        keys.CloseKeyHelp();
    });
    world.loop.runUntil(5000);
    EXPECT_EQ(state.CurrentKeyMap, 2);
    EXPECT_EQ(world.desktop.keyHelpCaption(), "Zintor Key Help   -   Browser");
    EXPECT_EQ(
        world.desktop.calls(),
        (Calls{"hideMainWindow", "showKeyHelp Zintor Key Help   -   Mouse (20 rows)",
               "closeKeyHelp", "showKeyHelp Zintor Key Help   -   Media (20 rows)", "closeKeyHelp",
               "showKeyHelp Zintor Key Help   -   Browser (20 rows)", "closeKeyHelp"}));
    EXPECT_EQ(returnsBefore, 4u);  // "*" and the releases; both "#" presses still waiting
    EXPECT_EQ(procedures.keyReturns.size(), 6u);
    EXPECT_FALSE(state.KeyHelpShown);
    EXPECT_EQ(world.loop.waitDepth(), 0);
}

}  // namespace
}  // namespace zintor
