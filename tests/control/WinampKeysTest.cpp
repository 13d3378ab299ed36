#include <string>
#include <vector>

#include "KeyRig.h"

namespace zintor {
namespace {

using Calls = std::vector<std::string>;

class WinampKeysTest : public KeyRig {
  protected:
    WinampKeysTest() {
        keys.BuildWinampKeyMap();
        ClearModes(state);
        state.ModeFlags[ModeWinampStatus] = true;
        // The media player's volume repeat, as it behaves: it runs until the flag is cleared.
        procedures.onWinampExecute = [this](int command) {
            if (command == 0 || command == 1) {
                state.WinampRepeatVolume = true;
                while (state.WinampRepeatVolume) {
                    link.Wait(0.1f);
                    world.loop.pumpOnce();
                }
                repeatEndedAt = now();
            }
        };
    }
    std::int64_t repeatEndedAt = -1;
};

TEST_F(WinampKeysTest, StatusKeysRunTheFixedMapAndNothingElse) {
    UseKeyMaps({"Ignored"});
    Bind(5, {Command(CommandKey, 0, "x")});
    for (const char* code : {"1", "2", "3", "7", "8", "u", "d", "5", "*", "#", "<", ":R", "c"}) {
        Hold(code, now() + 100, now() + 150);
        world.loop.runFor(300);
    }
    EXPECT_EQ(
        procedures.calls,
        (Calls{"WinAMP_Execute(3)", "WinAMP_Execute(4)", "WinAMP_Execute(5)", "WinAMP_Execute(6)",
               "WinAMP_Execute(7)", "WinAMP_Execute(0)", "WinAMP_Execute(1)"}));
    EXPECT_TRUE(state.WinampKeyMap.Keys[5].Commands.empty());
    EXPECT_TRUE(world.input.calls().empty());
    EXPECT_TRUE(world.desktop.calls().empty());
    EXPECT_EQ(state.CurrentKeyMap, 0);
}

TEST_F(WinampKeysTest, APressDuringTheVolumeRepeatIsDroppedAndItsReleaseEndsTheRepeat) {
    Hold("u", 1000, 3000);
    Hold("1", 1500, 1700);
    world.loop.runUntil(4000);
    EXPECT_EQ(procedures.calls, (Calls{"WinAMP_Execute(0)"}));
    EXPECT_FALSE(state.WinampRepeatVolume);
    EXPECT_GE(repeatEndedAt, 1700);
    EXPECT_LE(repeatEndedAt, 1811);
}

TEST_F(WinampKeysTest, TheRepeatAlsoDropsKeyControlPresses) {
    // A repeat started from a key map in key-control mode.
    ClearModes(state);
    state.ModeFlags[ModeKeyControl] = true;
    Bind(10, {Command(CommandWinamp, 1)});
    Bind(5, {Command(CommandKey, 0, "x")});
    Hold("u", 3000, 4000);
    Hold("5", 3200, 3300);
    world.loop.runUntil(5000);
    EXPECT_EQ(procedures.calls, (Calls{"WinAMP_Execute(1)"}));
    EXPECT_TRUE(world.input.calls().empty());  // "x" was never typed
    EXPECT_GE(repeatEndedAt, 3300);
    EXPECT_LE(repeatEndedAt, 3411);

    // With the repeat over, key 5 works again.
    Hold("5", 5000, 5100);
    world.loop.runUntil(6000);
    EXPECT_EQ(world.input.calls(), (Calls{"press 88"}));
}

}  // namespace
}  // namespace zintor
