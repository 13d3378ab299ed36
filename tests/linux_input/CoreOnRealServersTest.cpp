// The core's own typing and volume stepping driving the real adapters, against a private Xvfb and
// a private PulseAudio. Time is virtual (the simulated loop); the servers are real.
#include <gtest/gtest.h>

#include <memory>

#include "InputRecorder.h"
#include "PrivatePulseServer.h"
#include "PrivateXServer.h"
#include "app/Program.h"
#include "control/InputSynthesis.h"
#include "control/MasterVolume.h"
#include "platform/linux/PulseMixer.h"
#include "platform/linux/XTestKeyboardMouse.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

using testing::InputRecorder;
using testing::PrivatePulseServer;
using testing::PrivateXServer;
using Texts = std::vector<std::string>;

TEST(CoreTypingOnXvfb, TypeTextArrivesKeyByKeyWithShiftForCapitals) {
    PrivateXServer server;
    if (!server.start()) {
        GTEST_SKIP() << "No X server: Xvfb cannot be started and DISPLAY is not usable";
    }
    InputRecorder recorder(server.display());
    ASSERT_TRUE(recorder.ok());
    SimEventLoop loop;
    XTestKeyboardMouse input({}, server.display());
    InputSynthesis synthesis(input, loop);

    synthesis.TypeText("Ab1");
    EXPECT_EQ(recorder.takeTexts(8),
              (Texts{"+Shift_L", "+a", "-a", "-Shift_L", "+b", "-b", "+1", "-1"}));

    synthesis.TypeText("a b!");
    synthesis.TypeText("");
    synthesis.SendKeyPress('Q');  // marks the end
    EXPECT_EQ(recorder.takeTexts(6), (Texts{"+a", "-a", "+b", "-b", "+q", "-q"}));
}

// The simulated world, with the real PulseMixer in place of the fake one.
class CoreVolumeOnPulseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!PrivatePulseServer::installed()) {
            GTEST_SKIP() << "pulseaudio or pactl is not installed";
        }
        ASSERT_TRUE(pulse_.start()) << pulse_.log();
        mixer_ = std::make_unique<PulseMixer>(pulse_.server());
        Ports ports{world_.loop,  world_.serial(), world_.registry, world_.settings,
                    world_.files, world_.logSink,  world_.desktop,  world_.launcher,
                    world_.input, *mixer_,         world_.player,   world_.board};
        program_ = std::make_unique<Program>(ports);
        volume_ = std::make_unique<MasterVolume>(program_->state(), *mixer_, world_.loop,
                                                 program_->link());
    }

    // The phone key is let go `ms` after the press: the release clears VolumeStepping.
    void releaseAfter(std::int64_t ms) {
        world_.loop.scheduleIn(ms, [this] { program_->state().VolumeStepping = false; });
    }

    unsigned sinkVolume() {
        const auto volumes = pulse_.sinkVolumes();
        return volumes.empty() ? 0 : volumes.front();
    }

    PrivatePulseServer pulse_;
    SimWorld world_;
    std::unique_ptr<PulseMixer> mixer_;
    std::unique_ptr<Program> program_;
    std::unique_ptr<MasterVolume> volume_;
};

TEST_F(CoreVolumeOnPulseTest, HeldVolumeUpStepsTheDefaultSinkUntilReleased) {
    pulse_.pactl("set-sink-volume @DEFAULT_SINK@ 30000");  // level 30000
    releaseAfter(350);                                     // steps at 0, 100, 200 and 300 ms
    volume_->VolumeCommand(0);

    EXPECT_FALSE(program_->state().VolumeStepping);
    EXPECT_NEAR(sinkVolume(), 34000 * 65536.0 / 65535, 1.0);
}

TEST_F(CoreVolumeOnPulseTest, HeldVolumeDownStopsAtSilence) {
    pulse_.pactl("set-sink-volume @DEFAULT_SINK@ 2500");
    releaseAfter(450);
    volume_->VolumeCommand(1);

    EXPECT_EQ(sinkVolume(), 0u);
}

TEST_F(CoreVolumeOnPulseTest, WithoutServerTheKeyDoesNothingAndTheNextPressWorks) {
    pulse_.stop();
    const std::int64_t start = world_.loop.now();
    releaseAfter(250);
    volume_->VolumeCommand(0);
    EXPECT_EQ(world_.loop.now(), start) << "returned at once";
    EXPECT_FALSE(program_->state().VolumeStepping);

    ASSERT_TRUE(pulse_.start()) << pulse_.log();
    pulse_.pactl("set-sink-volume @DEFAULT_SINK@ 0");
    world_.loop.runFor(300);
    releaseAfter(50);  // released before the first pause ends: one step
    volume_->VolumeCommand(0);
    EXPECT_NEAR(sinkVolume(), 1000 * 65536.0 / 65535, 1.0);
}

}  // namespace
}  // namespace zintor
