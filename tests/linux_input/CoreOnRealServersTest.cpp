// The core's own typing and volume stepping driving the real adapters, against a private Xvfb and
// a private PulseAudio. Time is virtual (the simulated loop); the servers are real.
#include <gtest/gtest.h>

#include "InputRecorder.h"
#include "NeedsComponent.h"
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
        ZINTOR_SKIP_WITHOUT("No X server: Xvfb cannot be started and DISPLAY is not usable");
    }
    InputRecorder recorder(server.display());
    ASSERT_TRUE(recorder.ok());
    SimEventLoop loop;
    XTestKeyboardMouse input({}, server.display());
    InputSynthesis synthesis(input, loop);

    synthesis.typeText("Ab1");
    EXPECT_EQ(recorder.takeTexts(8),
              (Texts{"+Shift_L", "+a", "-a", "-Shift_L", "+b", "-b", "+1", "-1"}));

    synthesis.typeText("a b!");
    synthesis.typeText("");
    synthesis.sendKeyPress('Q');  // marks the end
    EXPECT_EQ(recorder.takeTexts(6), (Texts{"+a", "-a", "+b", "-b", "+q", "-q"}));
}

// The simulated world, with the real PulseMixer in place of the fake one.
TEST(CoreVolumeOnPulse, HeldKeysStepTheDefaultSinkUntilReleasedAndNoServerCostsNothing) {
    if (!PrivatePulseServer::installed()) {
        ZINTOR_SKIP_WITHOUT("pulseaudio or pactl is not installed");
    }
    PrivatePulseServer pulse;
    SimWorld world;
    PulseMixer mixer(pulse.server());
    Program program(Ports{world.loop, world.serial(), world.registry, world.settings, world.files,
                          world.logSink, world.desktop, world.launcher, world.input, mixer,
                          world.player, world.board});
    MasterVolume volume(program.state(), mixer, world.loop, program.link());
    program.state().modeFlags[ModeKeyControl] = true;  // the volume keys act in key control
    bool& stepping = program.state().volumeStepping;
    // The phone key is let go `ms` after the press: the release clears volumeStepping.
    const auto releaseAfter = [&](std::int64_t ms) {
        world.loop.scheduleIn(ms, [&stepping] { stepping = false; });
    };
    const auto sinkVolume = [&] {
        const auto volumes = pulse.sinkVolumes();
        return volumes.empty() ? 0u : volumes.front();
    };

    // No server yet: the key returns at once having done nothing; the next press works.
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
    EXPECT_NEAR(sinkVolume(), 1000 * 65536.0 / 65535, 1.0);

    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 30000");  // level 30000
    releaseAfter(350);                                    // steps at 0, 100, 200 and 300 ms
    volume.volumeCommand(0);
    EXPECT_FALSE(stepping);
    EXPECT_NEAR(sinkVolume(), 34000 * 65536.0 / 65535, 1.0);

    pulse.pactl("set-sink-volume @DEFAULT_SINK@ 2500");
    releaseAfter(450);
    volume.volumeCommand(1);
    EXPECT_EQ(sinkVolume(), 0u);  // stops at silence
}

}  // namespace
}  // namespace zintor
