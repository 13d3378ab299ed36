// The player commands of the key map and the player queries, on the simulated world.
#include <gtest/gtest.h>

#include "MediaRig.h"
#include "media/WinampControl.h"

namespace zintor::testing {
namespace {

class PlayerControl : public ::testing::Test {
  protected:
    MediaRig rig;
    ScriptedPlayer& player = rig.world.player;
    Ports ports = rig.world.ports();
    WinampControl control{rig.state(), ports, rig.program->link(), *rig.program};
};

TEST_F(PlayerControl, TimeAlternatesBetweenElapsedAndRemaining) {
    for (int i = 0; i < 3; ++i) {
        rig.program->WinAMP_Execute(8);
    }
    EXPECT_EQ(rig.playerCalls("command"),
              (Lines{"command 40037", "command 40038", "command 40037"}));
}

TEST_F(PlayerControl, KeyMapCommandsSendTheirIds) {
    for (int command : {3, 4, 5, 6, 7, 9, 10, 255, -1}) {
        rig.program->WinAMP_Execute(command);
    }
    EXPECT_EQ(rig.playerCalls("command"),
              (Lines{"command 40045", "command 40046", "command 40047", "command 40044",
                     "command 40048", "command 40001"}));
    EXPECT_FALSE(player.running());  // closed by 40001
    rig.program->WinAMP_Execute(3);  // nothing to send to
    EXPECT_EQ(rig.playerCalls("command").size(), 6u);
}

TEST_F(PlayerControl, StartFromTheKeyMap) {
    player.setRunning(false);
    rig.program->WinAMP_Execute(2);
    EXPECT_EQ(rig.playerCalls("start"), Lines{"start " + kPlayerPath});
    EXPECT_TRUE(rig.world.desktop.callsStartingWith("messageBox").empty());

    player.setStartResult(false);
    rig.program->WinAMP_Execute(2);
    EXPECT_EQ(rig.world.desktop.callsStartingWith("messageBox").size(), 1u);
    EXPECT_NE(rig.world.desktop.calls().back().find("Couldn't find WinAMP's Window"),
              std::string::npos);
}

TEST_F(PlayerControl, WithoutAPathTheKeyMapCommandsTellThePhone) {
    rig.state().LogEnabled = true;
    rig.program->link().InitLog();
    rig.state().AppPath[9].clear();
    rig.world.phone.clearLines();
    rig.program->WinAMP_Execute(0);  // even a volume key returns at once
    rig.world.loop.runFor(500);
    EXPECT_EQ(rig.world.phone.texts(), Lines{"AT*EAID=1,2,\"WinAMP path not set\",30"});
    EXPECT_TRUE(player.calls().empty());
    EXPECT_NE(rig.world.files.contents(rig.state().LogFileName).find("Winamp path not set"),
              std::string::npos);
}

TEST_F(PlayerControl, QueriesWithoutAWindowShowTheMessageBox) {
    ASSERT_EQ(rig.state().WinampWindow, 0);
    EXPECT_EQ(control.WinAMP_GetStatus(), "");
    EXPECT_EQ(control.WinAMP_GetPosition(), 0);
    const Lines boxes = rig.world.desktop.callsStartingWith("messageBox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].find("WinAMP Not Found"), std::string::npos);
    EXPECT_NE(boxes[0].find("WinAMP window not found yet..."), std::string::npos);
    EXPECT_TRUE(player.calls().empty());
}

TEST_F(PlayerControl, StatusAndPositionOfAFoundPlayer) {
    ASSERT_TRUE(control.WinAMP_FindWindow());
    player.setPositionMs(61'500);
    EXPECT_EQ(control.WinAMP_GetPosition(), 61);
    EXPECT_EQ(control.WinAMP_GetStatus(), "PLAYING");
    player.setState(ScriptedPlayer::Paused);
    EXPECT_EQ(control.WinAMP_GetStatus(), "PAUSED");
    player.setState(ScriptedPlayer::Stopped);
    EXPECT_EQ(control.WinAMP_GetStatus(), "STOPPED");
    EXPECT_EQ(control.WinAMP_GetPosition(), -1);

    // Closed, but not searched again: the old handle is asked and answers nothing.
    player.setState(ScriptedPlayer::Playing);
    player.setRunning(false);
    EXPECT_EQ(control.WinAMP_GetStatus(), "STOPPED");
    EXPECT_TRUE(rig.world.desktop.callsStartingWith("messageBox").empty());
}

// The main window's player check reports on the PC what the phone's player menu would find.
TEST_F(PlayerControl, PlayerCheckStartsPlaybackAndNamesTheFirstEntry) {
    player.setPlaylist(Tracks(4), 2);
    player.setState(ScriptedPlayer::Stopped);
    rig.program->playerCheckClicked();
    EXPECT_EQ(rig.playerCalls("command"), Lines{"command 40045"});
    EXPECT_EQ(rig.world.desktop.calls().back(),
              "notify Zintor - Player check: Playlist of 4 entries; the first is: Track 0");

    player.setState(ScriptedPlayer::Playing);
    player.setPlaylist({}, 0);
    rig.program->playerCheckClicked();
    EXPECT_EQ(rig.playerCalls("command").size(), 1u);  // playing already: no second start
    EXPECT_NE(rig.world.desktop.calls().back().find("playlist is empty"), std::string::npos);

    player.setRunning(false);
    rig.program->playerCheckClicked();
    EXPECT_EQ(rig.world.desktop.calls().back(),
              "notify Zintor - Player check: The player is not running: " + kPlayerPath);
    EXPECT_TRUE(rig.world.phone.texts().empty());  // the phone never hears of it
}

}  // namespace
}  // namespace zintor::testing
