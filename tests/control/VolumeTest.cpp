#include <algorithm>
#include <string>
#include <vector>

#include "KeyRig.h"

namespace zintor {
namespace {

using Values = std::vector<std::uint32_t>;

using VolumeTest = KeyRig;

TEST_F(VolumeTest, HeldKeyStepsAtOnceThenEvery100MsUpToTheTopAndTheRestRunsAfterTheRelease) {
    world.mixer.setValue(62500);
    Bind(5, {Command(CommandVolume, 0), Command(CommandKey, 0, "x")});  // MASTER UP
    // How many writes the mixer has seen, looked at every 10 ms.
    std::vector<std::size_t> counts;
    for (std::int64_t at = 1005; at < 1600; at += 10) {
        world.loop.schedule(at, [this, &counts] { counts.push_back(world.mixer.sets().size()); });
    }
    const std::uint64_t pumps = world.loop.pumpCount();
    Hold("5", 1000, 1450);
    world.loop.runUntil(2000);
    // The first write at once (after the dispatcher's 10 ms), then one per 100 ms.
    for (std::size_t i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(counts[i], std::min<std::size_t>(i / 10 + (i % 10 == 0 ? 0 : 1), 5))
            << "at " << 1005 + 10 * i;
    }
    // Values at the limit are written again on every pass until the release.
    EXPECT_EQ(world.mixer.sets(), (Values{63500, 64500, 65500, 65535, 65535}));
    EXPECT_FALSE(state.VolumeStepping);
    const auto typed = TimesOf("press 88");
    ASSERT_EQ(typed.size(), 1u);
    EXPECT_GE(typed[0], 1450);
    EXPECT_LT(world.loop.pumpCount() - pumps, 200u) << "the loop blocks between steps";
}

TEST_F(VolumeTest, DownStopsAtZeroAndAQuickReleaseLeavesExactlyOneStep) {
    world.mixer.setValue(700);
    Bind(5, {Command(CommandVolume, 1)});  // MASTER DOWN
    Hold("5", 1000, 1050);                 // released before the first 100 ms pause ends
    world.loop.runUntil(2000);
    EXPECT_EQ(world.mixer.sets(), (Values{0}));
    EXPECT_EQ(world.mixer.value(), 0u);

    // A value above the scale (a sound server above 100 %) comes back into it.
    world.mixer.setValue(70000);
    Hold("5", 3000, 3150);
    world.loop.runUntil(4000);
    EXPECT_EQ(world.mixer.sets(), (Values{0, 65535, 64535}));
}

TEST_F(VolumeTest, OtherLinesAndMixerFailuresDoNothing) {
    for (std::int32_t code : {2, 5, 13, -1}) {
        keys.Volume().VolumeCommand(code);
    }
    EXPECT_EQ(world.mixer.openCalls(), 0);

    world.mixer.failOpen(true);
    keys.Volume().VolumeUp();
    keys.Volume().VolumeDown();
    EXPECT_EQ(world.mixer.openCalls(), 2);  // a failed open is tried again
    world.mixer.failOpen(false);
    world.mixer.failFind(true);
    keys.Volume().VolumeUp();
    EXPECT_TRUE(world.mixer.sets().empty());
    EXPECT_FALSE(state.VolumeStepping);

    // An unreadable level counts as 0; the mixer stays open once opened.
    world.mixer.failFind(false);
    world.mixer.failGet(true);
    world.mixer.setValue(40000);
    Bind(5, {Command(CommandVolume, 0)});
    Hold("5", 1000, 1050);
    world.loop.runUntil(1500);
    EXPECT_EQ(world.mixer.sets(), (Values{1000}));
    EXPECT_EQ(world.mixer.openCalls(), 3);
}

}  // namespace
}  // namespace zintor
