#include <gtest/gtest.h>

#include "platform/linux/PulseVolumeScale.h"

namespace zintor {
namespace {

TEST(PulseVolumeScaleTest, EveryLevelSurvivesTheWayToPulseAudioAndBack) {
    // Volume keys read the level, add a step and write it back: a level that came back one
    // lower would make every step drift.
    for (std::uint32_t level = 0; level <= 65535; ++level) {
        const std::uint32_t volume = PulseVolumeFromLevel(level);
        ASSERT_LE(volume, 65536u);
        ASSERT_EQ(PulseLevelFromVolume(volume), level) << "level " << level;
    }
    EXPECT_EQ(PulseVolumeFromLevel(0), 0u);
    EXPECT_EQ(PulseVolumeFromLevel(65535), 65536u);
    EXPECT_EQ(PulseVolumeFromLevel(32768), 32768u + 1u);
    EXPECT_EQ(PulseVolumeFromLevel(4000000000u), 65536u);
    EXPECT_EQ(PulseLevelFromVolume(65536u * 3), 65535u);
}

}  // namespace
}  // namespace zintor
