// PulseMixer against a private PulseAudio daemon, the effect read back with pactl; and the core's
// volume stepping driving it (virtual time, real server).
#include <gtest/gtest.h>

#include "NeedsComponent.h"
#include "PrivatePulseServer.h"
#include "app/Program.h"
#include "control/MasterVolume.h"
#include "platform/linux/PulseMixer.h"
#include "platform/linux/PulseVolumeScale.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

using testing::PrivatePulseServer;

constexpr std::uint32_t kTop = 65535;
constexpr unsigned kNorm = 65536;  // PulseAudio's 100%

// The PulseAudio volume that a level should give: the level's share of the scale times 100%.
double volumeOf(std::uint32_t level) {
    return level * double(kNorm) / kTop;
}

class PulseMixerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!PrivatePulseServer::installed()) {
            ZINTOR_SKIP_WITHOUT("pulseaudio or pactl is not installed");
        }
        ASSERT_TRUE(pulse.start()) << pulse.log();
    }
    bool ready() { return mixer.open() && mixer.findMasterVolume(); }
    std::uint32_t level() {
        std::uint32_t value = 0;
        EXPECT_TRUE(mixer.getVolume(value));
        return value;
    }
    // Every channel of the sink at the same volume, as pactl reports it.
    unsigned sinkVolume(const std::string& sink = "@DEFAULT_SINK@") {
        const auto volumes = pulse.sinkVolumes(sink);
        EXPECT_FALSE(volumes.empty()) << pulse.pactl("list sinks");
        for (unsigned volume : volumes) {
            EXPECT_EQ(volume, volumes.front()) << "channels differ";
        }
        return volumes.empty() ? 0 : volumes.front();
    }

    PrivatePulseServer pulse;
    PulseMixer mixer{pulse.server()};
};

TEST_F(PulseMixerTest, StepsMoveTheDefaultSinkBetweenSilenceAndFullAndFollowTheUsersSwitch) {
    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 30000");
    ASSERT_TRUE(ready());
    EXPECT_NEAR(level(), 30000 * double(kTop) / kNorm, 0.5);
    // Three steps up and one down, each read fresh from the server as a volume key would.
    for (int step = 0; step < 3; ++step) {
        ASSERT_TRUE(mixer.setVolume(level() + 1000));
    }
    EXPECT_NEAR(sinkVolume(), volumeOf(33000), 0.5);
    EXPECT_EQ(level(), 33000u);
    ASSERT_TRUE(mixer.setVolume(level() - 1000));
    EXPECT_NEAR(sinkVolume(), volumeOf(32000), 0.5);
    ASSERT_TRUE(mixer.setVolume(kTop));
    EXPECT_EQ(sinkVolume(), kNorm);
    ASSERT_TRUE(mixer.setVolume(0));
    EXPECT_EQ(sinkVolume(), 0u);
    ASSERT_TRUE(mixer.setVolume(kTop + 5000));  // beyond the scale: the top of it
    EXPECT_EQ(sinkVolume(), kNorm);
    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 90000");  // above 100%, set elsewhere
    EXPECT_EQ(level(), kTop);
    // Uneven channels read as the loudest and are set alike.
    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 20000 40000");
    const std::uint32_t loudest = level();
    EXPECT_NEAR(loudest, 40000 * double(kTop) / kNorm, 0.5);
    ASSERT_TRUE(mixer.setVolume(loudest + 1000));
    EXPECT_NEAR(sinkVolume(), 41000, 1.5);

    pulse.pactl("load-module module-null-sink sink_name=zintor_other");
    pulse.pactl("set-default-sink zintor_other");
    pulse.pactl("set-sink-volume zintor_other 65536");
    ASSERT_TRUE(mixer.findMasterVolume());
    ASSERT_TRUE(mixer.setVolume(20000));
    EXPECT_NEAR(sinkVolume("zintor_other"), volumeOf(20000), 0.5);
    EXPECT_NEAR(sinkVolume("zintor_test"), 41000, 1.5);  // the other one untouched
}

TEST_F(PulseMixerTest, TheServerGoingAwayAndBackWhileTheCoreStepsTheVolume) {
    SimWorld world;
    Program program(Ports{world.loop, world.serial(), world.registry, world.settings, world.files,
                          world.logSink, world.desktop, world.launcher, world.input, mixer,
                          world.player, world.board});
    MasterVolume volume(program.state(), mixer, world.loop, program.link());
    program.state().modeFlags[ModeKeyControl] = true;  // the volume keys act in key control
    bool& stepping = program.state().volumeStepping;
    // The phone key is let go `ms` after the press: the release clears VolumeStepping.
    const auto releaseAfter = [&](std::int64_t ms) {
        world.loop.scheduleIn(ms, [&stepping] { stepping = false; });
    };
    ASSERT_TRUE(ready());
    pulse.stop();
    EXPECT_FALSE(mixer.setVolume(20000));
    EXPECT_FALSE(mixer.findMasterVolume());
    std::uint32_t untouched = 4242;
    EXPECT_FALSE(mixer.getVolume(untouched));
    EXPECT_EQ(untouched, 4242u);
    // No server: the key returns at once having done nothing; the next press works.
    const std::int64_t start = world.loop.now();
    releaseAfter(250);
    volume.volumeCommand(0);
    EXPECT_EQ(world.loop.now(), start) << "returned at once";
    EXPECT_FALSE(stepping);
    world.loop.runFor(300);

    ASSERT_TRUE(pulse.start()) << pulse.log();
    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 0");
    releaseAfter(50);  // released before the first pause ends: one step
    volume.volumeCommand(0);
    EXPECT_NEAR(sinkVolume(), volumeOf(1000), 1.0);
    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 30000");  // level 30000
    releaseAfter(350);                                    // steps at 0, 100, 200 and 300 ms
    volume.volumeCommand(0);
    EXPECT_FALSE(stepping);
    EXPECT_NEAR(sinkVolume(), volumeOf(34000), 1.0);
    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 2500");
    releaseAfter(450);
    volume.volumeCommand(1);
    EXPECT_EQ(sinkVolume(), 0u);  // stops at silence
}

TEST(PulseVolumeScale, EveryLevelSurvivesTheWayToPulseAudioAndBack) {
    // Volume keys read the level, add a step and write it back: a level that came back one
    // lower would make every step drift.
    for (std::uint32_t level = 0; level <= kTop; ++level) {
        const std::uint32_t volume = pulseVolumeFromLevel(level);
        ASSERT_LE(volume, kNorm);
        ASSERT_EQ(pulseLevelFromVolume(volume), level) << "level " << level;
    }
    EXPECT_EQ(pulseVolumeFromLevel(4000000000u), kNorm);
    EXPECT_EQ(pulseLevelFromVolume(kNorm * 3), kTop);
}

}  // namespace
}  // namespace zintor
