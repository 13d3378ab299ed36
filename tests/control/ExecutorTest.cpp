#include <string>
#include <vector>

#include "KeyRig.h"

namespace zintor {
namespace {

using Calls = std::vector<std::string>;
using ExecutorTest = KeyRig;

constexpr std::int32_t kVkDown = 40;
constexpr std::int32_t kVkControl = 17;

TEST_F(ExecutorTest, SpecialKeyRepeatsEvery200MsWhileHeldAndTheRestRunsAfterTheRelease) {
    Bind(5, {Command(CommandSpecialKey, kVkDown), Command(CommandKey, 0, "x")});
    Hold("5", 1000, 2000);
    world.loop.runUntil(3000);
    // The loop notices the release when its current 200 ms pause ends; the x is typed once,
    // with the press's behaviour, not again for the release.
    EXPECT_EQ(TimedInput(), (Calls{"1010 press 40", "1210 press 40", "1410 press 40",
                                   "1610 press 40", "1810 press 40", "2010 press 88"}));
    EXPECT_FALSE(state.SpecialKeyRepeating);
}

TEST_F(ExecutorTest, MouseButtonsFollowTheKeyAndCtrlCIsTypedOncePerPress) {
    Bind(5, {Command(CommandMouse, 0)});
    Bind(6, {Command(CommandMouse, 1)});
    Bind(7, {Command(CommandKeyDown, kVkControl), Command(CommandKey, 0, "c"),
             Command(CommandKeyUp, kVkControl)});
    Bind(8, {Command(CommandMouse, 5), Command(99, 13)});  // unknown code and type: nothing
    Hold("5", 1000, 1300);
    Hold("6", 2000, 2400);
    Hold("7", 3000, 3100);
    Hold("8", 4000, 4100);
    world.loop.runUntil(5000);
    EXPECT_EQ(TimedInput(),
              (Calls{"1010 left down", "1310 left up", "2010 right down", "2410 right up",
                     "3010 down 17", "3010 press 67", "3010 up 17"}));
}

TEST_F(ExecutorTest, LeftHoldTogglesOnPressesDragsAndOutlivesTheMode) {
    Bind(5, {Command(CommandMouse, 2)});
    Hold("5", 1000, 1100);
    Hold(">", 1500, 1600);
    world.loop.runUntil(2000);
    EXPECT_TRUE(state.LeftButtonLatched);
    Calls calls = world.input.calls();
    ASSERT_GT(calls.size(), 2u);
    EXPECT_EQ(calls.front(), "left down");
    for (std::size_t i = 1; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].rfind("cursor ", 0), 0u) << calls[i];  // dragging, button held
    }

    // The phone leaves key control and comes back: the button is still held.
    ClearModes(state);
    keys.CloseKeyHelp();
    world.phone.sendAt(2500, "+CKEV: 5,1\r\n");  // not in key control: dropped
    world.loop.runUntil(3000);
    state.ModeFlags[ModeKeyControl] = true;
    world.input.clear();
    Hold("5", 3000, 3100);
    world.loop.runUntil(4000);
    EXPECT_EQ(TimedInput(), (Calls{"3010 left up"}));
    EXPECT_FALSE(state.LeftButtonLatched);
}

TEST_F(ExecutorTest, WaitPausesOnThePressOnly) {
    Bind(5, {Command(CommandKey, 0, "a"), Command(CommandWait, 0, {}, 1500),
             Command(CommandKey, 0, "b")});
    Bind(6, {Command(CommandWait, 0, {}, 1500), Command(CommandMouse, 0)});
    Hold("5", 1000, 1100);
    world.loop.runUntil(4000);
    Hold("6", 4000, 4100);
    world.loop.runUntil(7000);
    // The release of key 6 arrives during its press's pause and runs at once.
    EXPECT_EQ(TimedInput(),
              (Calls{"1010 press 65", "2510 press 66", "4110 left up", "5510 left down"}));
}

TEST_F(ExecutorTest, InputOpensThePhonesTextDialogAndGoesOnWithTheList) {
    Bind(5, {Command(CommandInput, 0, "unused"), Command(CommandKey, 0, "ok")});
    world.phone.on("AT+CMER=0,0,0,0,0").nothing();  // unanswered: the switch happens anyway
    Hold("5", 1000, 1100);
    world.loop.runUntil(4000);

    EXPECT_FALSE(state.ModeFlags[ModeKeyControl]);
    EXPECT_TRUE(state.ModeFlags[ModeTextInput]);
    ASSERT_EQ(world.phone.lines().size(), 2u);
    EXPECT_EQ(world.phone.lines()[0].text, "AT+CMER=0,0,0,0,0");
    EXPECT_EQ(world.phone.lines()[1].text, "AT*EAID=11,2,\"Enter\",\"->\",100");
    EXPECT_EQ(world.phone.lines()[1].atMs - world.phone.lines()[0].atMs, 1000);
    // The rest of the list runs once the dialog has been asked for; the release (no longer in
    // key control) is dropped by the dispatcher.
    const auto typed = TimesOf("press 79");
    ASSERT_EQ(typed.size(), 1u);
    EXPECT_GT(typed[0], world.phone.lines()[1].atMs);
    EXPECT_EQ(world.input.calls(), (Calls{"press 79", "press 75"}));
    EXPECT_EQ(procedures.keyReturns.size(), 1u);
}

TEST_F(ExecutorTest, OnlyKeysThatRunCommandsReachTheKeyMap) {
    const std::int32_t all[] = {12, 17, 18, 22, 23};
    for (std::int32_t key : all) {
        Bind(key, {Command(CommandKey, 0, std::string(1, static_cast<char>('a' + key)))});
    }
    Bind(15, {Command(CommandWinamp, 0x105)});
    Hold(":R", 1000, 1050);  // Back: nothing here
    Hold("c", 1100, 1150);   // the clear key is never decoded
    Hold("[", 1200, 1250);   // left soft key runs
    Hold("]", 1300, 1350);   // right soft key runs
    Hold(":O", 1400, 1450);  // WAP: the command index keeps its low 8 bits
    world.loop.runUntil(2000);
    EXPECT_EQ(world.input.calls(), (Calls{"press 87", "press 88"}));
    EXPECT_EQ(procedures.calls, (Calls{"WinAMP_Execute(5)"}));
}

TEST_F(ExecutorTest, KeysNeverTouchAKeyMapThatDoesNotExist) {
    Hold("5", 1000, 1050);  // no key maps at all
    Hold("#", 1100, 1150);
    world.loop.runUntil(1500);
    Bind(5, {Command(CommandKey, 0, "x")});
    for (std::int16_t index : {std::int16_t{1}, std::int16_t{-1}}) {
        state.CurrentKeyMap = index;
        Hold("5", now() + 100, now() + 150);
        world.loop.runFor(500);
    }
    EXPECT_TRUE(world.input.calls().empty());
    EXPECT_TRUE(world.phone.lines().empty());
    EXPECT_TRUE(world.desktop.calls().empty());
    EXPECT_EQ(procedures.keyReturns.size(), 8u);

    // "#" leads back to a key map that exists.
    Hold("#", now() + 100, now() + 150);
    world.loop.runFor(5000);
    EXPECT_EQ(state.CurrentKeyMap, 0);
    Hold("5", now() + 100, now() + 150);
    world.loop.runFor(500);
    EXPECT_EQ(world.input.calls(), (Calls{"press 88"}));
}

}  // namespace
}  // namespace zintor
