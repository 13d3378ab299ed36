#include <algorithm>
#include <string>
#include <vector>

#include "KeyRig.h"

namespace zintor {
namespace {

using Calls = std::vector<std::string>;
using TypingTest = KeyRig;

TEST_F(TypingTest, TypeTextSendsShiftOnlyForCapitalsAndSkipsEverythingButLettersAndDigits) {
    keys.TypeText("Ab1");
    // Five injection calls: Shift down; A press; Shift up; B press; 1 press.
    EXPECT_EQ(world.input.calls(), (Calls{"down 16", "press 65", "up 16", "press 66", "press 49"}));

    world.input.clear();
    keys.TypeText("a b!");
    EXPECT_EQ(world.input.calls(), (Calls{"press 65", "press 66"}));

    world.input.clear();
    keys.TypeText("");
    keys.TypeText(" \t\r\n.,;:\xe4\xc4\x80\xff");
    EXPECT_TRUE(world.input.calls().empty());

    keys.TypeText("09AZaz@[`{/:");
    EXPECT_EQ(world.input.calls(), (Calls{"press 48", "press 57", "down 16", "press 65", "up 16",
                                          "down 16", "press 90", "up 16", "press 65", "press 90"}));
}

TEST_F(TypingTest, TypeTextLetsEventsRunBetweenCharacters) {
    // A key line that arrives while typing is handled in the middle of it.
    Bind(5, {Command(CommandKeyDown, 17)});
    world.phone.pressKey("5");
    const std::uint64_t pumpsBefore = world.loop.pumpCount();
    keys.TypeText("abcdefghijklmnopqrstuvwxyz");
    EXPECT_GE(world.loop.pumpCount() - pumpsBefore, 26u);
    // The dispatcher's 10 ms gathering pause lies between two characters.
    const Calls calls = world.input.calls();
    ASSERT_EQ(calls.size(), 27u);
    EXPECT_EQ(calls.front(), "press 65");
    EXPECT_EQ(calls.back(), "press 90");
    EXPECT_NE(std::find(calls.begin(), calls.end(), "down 17"), calls.end());
}

}  // namespace
}  // namespace zintor
