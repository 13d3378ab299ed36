// The status dialog of the current track and the keypad in it, on the simulated world.
#include <gtest/gtest.h>

#include "MediaRig.h"

namespace zintor::testing {
namespace {

const std::string kKeysOn = "AT+CMER=3,2,0,0,0";
const std::string kKeysOff = "AT+CMER=0,0,0,0,0";
const std::string kPressClear = "AT+CKPD=\"c\"";

std::string Dialog(const std::string& text) {
    return "AT*EAID=14,2,\"WinAMP\",\"" + text + "\"";
}

// A key pressed and released `heldMs` later.
void Tap(SimWorld& world, const std::string& key, int heldMs = 150) {
    const std::int64_t at = world.loop.now();
    world.phone.sendAt(at, "+CKEV: " + key + ",1\r\n");
    world.phone.sendAt(at + heldMs, "+CKEV: " + key + ",0\r\n");
    world.loop.runFor(heldMs + 300);
}

class StatusDialog : public ::testing::Test {
  protected:
    StatusDialog() {
        player.setPlaylist(Tracks(5), 0);
        player.setCaption("1. Artist - Song - Winamp");
        player.setPositionMs(83'400);
        player.setLengthSeconds(245);
    }

    // Opens the playlist and chooses the current track.
    Lines open() {
        rig.openPlaylist();
        return rig.say("*EAMI: 1");
    }

    MediaRig rig;
    ScriptedPlayer& player = rig.world.player;
};

TEST_F(StatusDialog, TheCurrentTrackOpensItAndItIsRefreshedEveryFourSeconds) {
    EXPECT_EQ(open(), (Lines{kKeysOn, Dialog("Artist - Song  1:23 (4:05)"), kPressClear}));
    EXPECT_TRUE(rig.onlyFlag(ModeWinampStatus));
    EXPECT_TRUE(rig.timerRunning(3));
    EXPECT_FALSE(rig.timerRunning(2));
    EXPECT_TRUE(rig.playerCalls("query 121").empty());  // the track is not restarted

    player.setPositionMs(87'999);
    EXPECT_EQ(rig.after(4000), (Lines{Dialog("Artist - Song  1:27 (4:05)"), kPressClear}));
    player.setState(ScriptedPlayer::Stopped);  // nothing plays: no position to show
    EXPECT_EQ(rig.after(4000), (Lines{Dialog("Artist - Song  0:00 (4:05)"), kPressClear}));
    EXPECT_TRUE(rig.timerRunning(3));
}

TEST_F(StatusDialog, BothExitsReturnToThePlaylistWithKeypadReportingOff) {
    const std::string playlist =
        PlaylistLine(1, {"Track 0", "Track 1", "Track 2", "Track 3", "More.."});
    for (const char* exit : {"*EAII: 0", "*EAII: 14,1"}) {
        open();
        EXPECT_EQ(rig.say(exit), (Lines{kKeysOff, playlist})) << exit;
        EXPECT_TRUE(rig.onlyFlag(ModeWinampMenu)) << exit;
        EXPECT_FALSE(rig.timerRunning(3)) << exit;
        EXPECT_TRUE(rig.timerRunning(2)) << exit;
        rig.say("*EAMI: 0");  // back to the main menu for the next round
    }
}

TEST_F(StatusDialog, ThePlayerGoneDuringTheDialogLeadsToTheMainMenu) {
    open();
    player.setRunning(false);
    EXPECT_EQ(rig.after(4000), Lines{MainMenuLine(3)});
    EXPECT_TRUE(NoModeActive(rig.state()));
    EXPECT_FALSE(rig.timerRunning(3));
    EXPECT_FALSE(rig.timerRunning(2));
    EXPECT_EQ(rig.after(10000), Lines{});
}

TEST_F(StatusDialog, TheCurrentTrackFromOtherWindows) {
    // Item 2 of the window reached with "More.." while the current entry is 0, then item 2 of
    // the first window when the current entry is 5.
    player.setPlaylist(Tracks(20), 0);
    rig.openPlaylist();
    rig.say("*EAMI: 10");
    EXPECT_EQ(rig.say("*EAMI: 2")[0], kKeysOn);
    EXPECT_TRUE(rig.onlyFlag(ModeWinampStatus));
    rig.say("*EAII: 0");
    rig.say("*EAMI: 0");

    player.setPlaylist(Tracks(20), 5);
    rig.openPlaylist();
    EXPECT_EQ(rig.say("*EAMI: 2")[0], kKeysOn);
    EXPECT_TRUE(rig.onlyFlag(ModeWinampStatus));
    EXPECT_TRUE(rig.playerCalls("query 121").empty());
}

TEST_F(StatusDialog, TheKeypadControlsThePlayer) {
    open();
    Tap(rig.world, "8");
    EXPECT_EQ(player.current(), 1);
    Tap(rig.world, "2");
    EXPECT_EQ(player.state(), ScriptedPlayer::Paused);
    // The caption now carries the paused marker; the title stays the same.
    player.setCaption("2. Artist - Other Song - Winamp [Paused]");
    EXPECT_EQ(rig.after(4000)[0], Dialog("Artist - Other Song  0:00 (4:05)"));
    Tap(rig.world, "1");
    EXPECT_EQ(player.state(), ScriptedPlayer::Playing);
}

TEST_F(StatusDialog, AHeldVolumeKeyStepsUntilItsReleaseOrTheLinkIsLost) {
    open();
    Tap(rig.world, "u", 1000);
    const int steps = player.volumeSteps();
    EXPECT_GE(steps, 10);
    EXPECT_LE(steps, 11);
    EXPECT_FALSE(rig.state().WinampRepeatVolume);
    rig.world.loop.runFor(2000);
    EXPECT_EQ(player.volumeSteps(), steps);  // nothing after the release
    Tap(rig.world, "d", 50);
    EXPECT_EQ(player.volumeSteps(), steps - 1);  // a short press is one step

    rig.world.phone.pressKey("u");
    rig.world.loop.scheduleIn(700, [this] { rig.world.phone.hangUp(); });
    rig.world.loop.runFor(2000);
    EXPECT_FALSE(rig.state().WinampRepeatVolume);
    const int afterHangUp = player.volumeSteps();
    EXPECT_GE(afterHangUp, steps - 1 + 7);
    rig.world.loop.runFor(2000);
    EXPECT_EQ(player.volumeSteps(), afterHangUp);
}

}  // namespace
}  // namespace zintor::testing
