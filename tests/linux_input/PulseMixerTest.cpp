// PulseMixer against a private PulseAudio daemon; the effect is read back with pactl.
#include <gtest/gtest.h>

#include <cmath>

#include "PrivatePulseServer.h"
#include "platform/linux/PulseMixer.h"

namespace zintor {
namespace {

using testing::PrivatePulseServer;

constexpr std::uint32_t kTop = 65535;
constexpr unsigned kNorm = 65536;  // PulseAudio's 100%

// The PulseAudio volume that a level should give: the level's share of the scale times 100%.
double expectedVolume(std::uint32_t level) {
    return level * double(kNorm) / kTop;
}

class PulseMixerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!PrivatePulseServer::installed()) {
            GTEST_SKIP() << "pulseaudio or pactl is not installed";
        }
        ASSERT_TRUE(pulse_.start()) << pulse_.log();
    }

    // Every channel of the sink at the same volume, as pactl reports it.
    unsigned sinkVolume(const std::string& sink = "@DEFAULT_SINK@") {
        const auto volumes = pulse_.sinkVolumes(sink);
        EXPECT_FALSE(volumes.empty()) << pulse_.pactl("list sinks");
        for (unsigned volume : volumes) {
            EXPECT_EQ(volume, volumes.front()) << "channels differ";
        }
        return volumes.empty() ? 0 : volumes.front();
    }

    PrivatePulseServer pulse_;
};

TEST_F(PulseMixerTest, StepsUpAndDownMoveTheDefaultSinkVolume) {
    pulse_.pactl("set-sink-volume @DEFAULT_SINK@ 30000");
    PulseMixer mixer(pulse_.server());
    ASSERT_TRUE(mixer.open());
    ASSERT_TRUE(mixer.findMasterVolume());

    std::uint32_t level = 0;
    ASSERT_TRUE(mixer.getVolume(level));
    EXPECT_NEAR(level, 30000 * double(kTop) / kNorm, 0.5);

    // Three steps up and one down, each read fresh from the server as a volume key would.
    for (int step = 0; step < 3; ++step) {
        ASSERT_TRUE(mixer.getVolume(level));
        ASSERT_TRUE(mixer.setVolume(level + 1000));
    }
    EXPECT_NEAR(sinkVolume(), expectedVolume(33000), 0.5);
    ASSERT_TRUE(mixer.getVolume(level));
    EXPECT_EQ(level, 33000u);
    ASSERT_TRUE(mixer.setVolume(level - 1000));
    EXPECT_NEAR(sinkVolume(), expectedVolume(32000), 0.5);
}

TEST_F(PulseMixerTest, EndsOfTheScaleAreSilenceAndOneHundredPercent) {
    PulseMixer mixer(pulse_.server());
    ASSERT_TRUE(mixer.open());
    ASSERT_TRUE(mixer.findMasterVolume());

    ASSERT_TRUE(mixer.setVolume(kTop));
    EXPECT_EQ(sinkVolume(), kNorm);
    ASSERT_TRUE(mixer.setVolume(0));
    EXPECT_EQ(sinkVolume(), 0u);
    ASSERT_TRUE(mixer.setVolume(kTop + 5000));  // beyond the scale: the top of it
    EXPECT_EQ(sinkVolume(), kNorm);

    // Louder than 100% (set by another program) reads as the top of the scale.
    pulse_.pactl("set-sink-volume @DEFAULT_SINK@ 90000");
    std::uint32_t level = 0;
    ASSERT_TRUE(mixer.getVolume(level));
    EXPECT_EQ(level, kTop);
}

TEST_F(PulseMixerTest, UnevenChannelsReadAsTheLoudestAndAreSetAlike) {
    pulse_.pactl("set-sink-volume @DEFAULT_SINK@ 20000 40000");
    PulseMixer mixer(pulse_.server());
    ASSERT_TRUE(mixer.open());
    ASSERT_TRUE(mixer.findMasterVolume());
    std::uint32_t level = 0;
    ASSERT_TRUE(mixer.getVolume(level));
    EXPECT_NEAR(level, 40000 * double(kTop) / kNorm, 0.5);

    ASSERT_TRUE(mixer.setVolume(level + 1000));
    const auto volumes = pulse_.sinkVolumes();
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(volumes[0], volumes[1]);
    EXPECT_NEAR(volumes[0], 41000, 1.5);
}

TEST_F(PulseMixerTest, FollowsTheDefaultSinkWhenTheUserSwitchesOutputs) {
    PulseMixer mixer(pulse_.server());
    ASSERT_TRUE(mixer.open());
    ASSERT_TRUE(mixer.findMasterVolume());
    ASSERT_TRUE(mixer.setVolume(kTop));

    pulse_.pactl("load-module module-null-sink sink_name=zintor_other");
    pulse_.pactl("set-default-sink zintor_other");
    pulse_.pactl("set-sink-volume zintor_other 65536");
    ASSERT_TRUE(mixer.findMasterVolume());
    ASSERT_TRUE(mixer.setVolume(20000));

    EXPECT_NEAR(sinkVolume("zintor_other"), expectedVolume(20000), 0.5);
    EXPECT_EQ(sinkVolume("zintor_test"), kNorm);
}

TEST_F(PulseMixerTest, WithoutServerNothingHappensAndTheNextCommandTriesAgain) {
    pulse_.stop();
    PulseMixer mixer(pulse_.server());
    EXPECT_FALSE(mixer.open());
    EXPECT_FALSE(mixer.findMasterVolume());
    std::uint32_t level = 4242;
    EXPECT_FALSE(mixer.getVolume(level));
    EXPECT_EQ(level, 4242u);
    EXPECT_FALSE(mixer.setVolume(1000));

    ASSERT_TRUE(pulse_.start()) << pulse_.log();
    ASSERT_TRUE(mixer.open());
    ASSERT_TRUE(mixer.findMasterVolume());
    ASSERT_TRUE(mixer.setVolume(10000));
    EXPECT_NEAR(sinkVolume(), expectedVolume(10000), 0.5);

    // The server goes away while the mixer is open, and comes back.
    pulse_.stop();
    EXPECT_FALSE(mixer.setVolume(20000));
    EXPECT_FALSE(mixer.findMasterVolume());
    ASSERT_TRUE(pulse_.start()) << pulse_.log();
    ASSERT_TRUE(mixer.open());
    ASSERT_TRUE(mixer.findMasterVolume());
    ASSERT_TRUE(mixer.setVolume(20000));
    EXPECT_NEAR(sinkVolume(), expectedVolume(20000), 0.5);
}

}  // namespace
}  // namespace zintor
