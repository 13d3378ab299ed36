// PulseMixer against a private PulseAudio daemon, the effect read back with pactl. The core's
// stepping on a mixer is in the volume transcript.
#include <gtest/gtest.h>

#include <cstdio>

#include "NeedsComponent.h"
#include "PrivatePulseServer.h"
#include "platform/linux/PulseMixer.h"
#include "platform/linux/PulseVolumeScale.h"

namespace zintor {
namespace {

using testing::PrivatePulseServer;

constexpr std::uint32_t kTop = 65535;
constexpr unsigned kNorm = 65536;  // PulseAudio's 100%

TEST(PulseMixer, StepsMoveTheDefaultSinkFollowTheUsersSwitchAndOutliveTheServerGoingAway) {
    ZINTOR_SKIP_UNLESS(PrivatePulseServer::installed(), "pulseaudio or pactl is not installed");
    PrivatePulseServer pulse;
    ASSERT_TRUE(pulse.start()) << pulse.log();
    PulseMixer mixer{pulse.server()};
    const auto level = [&] {
        std::uint32_t value = 0;
        EXPECT_TRUE(mixer.getVolume(value));
        return value;
    };
    // Both channels of the sink at the same volume, as pactl reports it.
    const auto sinkVolume = [&](const std::string& sink = "@DEFAULT_SINK@") {
        const std::string text = pulse.pactl("get-sink-volume " + sink);
        unsigned left = 0, right = 1;
        const char* format = "Volume: front-left: %u / %*s / %*s dB, front-right: %u";
        EXPECT_TRUE(std::sscanf(text.c_str(), format, &left, &right) == 2 && left == right) << text;
        return left;
    };

    // Levels (0..65535) and PulseAudio volumes (65536 is 100%) differ by a factor of 1.00002.
    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 30000");
    ASSERT_TRUE(mixer.open() && mixer.findMasterVolume());
    EXPECT_NEAR(level(), 30000, 1.0);
    ASSERT_TRUE(mixer.setVolume(33000));
    EXPECT_NEAR(sinkVolume(), 33000, 1.0);
    EXPECT_EQ(level(), 33000u);  // as set (every level: the scale test below)
    for (const std::uint32_t to : {kTop, 0u, kTop + 5000}) {  // beyond the scale: the top of it
        ASSERT_TRUE(mixer.setVolume(to));
        EXPECT_EQ(sinkVolume(), to == 0 ? 0 : kNorm);
    }
    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 90000");  // above 100%, set elsewhere
    EXPECT_EQ(level(), kTop);
    ASSERT_TRUE(mixer.setVolume(41000));

    pulse.pactl("load-module module-null-sink sink_name=zintor_other");
    pulse.pactl("set-default-sink zintor_other");
    pulse.pactl("set-sink-volume zintor_other 65536");
    ASSERT_TRUE(mixer.findMasterVolume());
    ASSERT_TRUE(mixer.setVolume(20000));
    EXPECT_NEAR(sinkVolume("zintor_other"), 20000, 1.0);
    EXPECT_NEAR(sinkVolume("zintor_test"), 41000, 1.5);  // the other one untouched

    // The server goes: every call fails; it comes back: found again.
    pulse.stop();
    EXPECT_FALSE(mixer.setVolume(20000));
    std::uint32_t value = 0;
    EXPECT_FALSE(mixer.getVolume(value));
    ASSERT_TRUE(pulse.start()) << pulse.log();
    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 0");
    ASSERT_TRUE(mixer.setVolume(level() + 1000));  // connects again by itself
    EXPECT_NEAR(sinkVolume(), 1000, 1.0);
}

TEST(PulseVolumeScale, EveryLevelSurvivesTheWayToPulseAudioAndBack) {
    // Volume keys read the level, add a step and write it back: a level that came back one
    // lower would make every step drift.
    for (std::uint32_t level = 0; level <= kTop; ++level) {
        const std::uint32_t volume = pulseVolumeFromLevel(level);
        ASSERT_LE(volume, kNorm);
        ASSERT_EQ(pulseLevelFromVolume(volume), level) << "level " << level;
    }
}

}  // namespace
}  // namespace zintor
