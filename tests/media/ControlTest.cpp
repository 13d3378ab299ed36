// The player commands of the key map and the player queries, on the simulated world.
#include <gtest/gtest.h>

#include "MediaRig.h"
#include "media/WinampControl.h"

namespace zintor::testing {
namespace {

using namespace ::testing;

class PlayerControl : public ::testing::Test {
  protected:
    MediaRig rig;
    ScriptedPlayer& player = rig.world.player;
    Ports ports = rig.world.ports();
    WinampControl control{rig.state(), ports, rig.program->link(), *rig.program};
};

TEST_F(PlayerControl, KeyMapCommandsSendTheirIdsAndTimeAlternates) {
    for (int command : {8, 8, 8, 3, 4, 5, 6, 7, 9, 10, 255, -1}) {
        rig.program->WinAMP_Execute(command);
    }
    // TIME toggles between elapsed (40037) and remaining (40038); 40001 closes the player.
    EXPECT_EQ(
        rig.playerCalls("command"),
        (Lines{"command 40037", "command 40038", "command 40037", "command 40045", "command 40046",
               "command 40047", "command 40044", "command 40048", "command 40001"}));
    EXPECT_FALSE(player.running());
    rig.program->WinAMP_Execute(3);  // nothing to send to
    EXPECT_EQ(rig.playerCalls("command").size(), 9u);
}

TEST_F(PlayerControl, StartFromTheKeyMap) {
    player.setRunning(false);
    rig.program->WinAMP_Execute(2);
    EXPECT_EQ(rig.playerCalls("start"), Lines{"start " + kPlayerPath});
    EXPECT_TRUE(rig.world.desktop.callsStartingWith("messageBox").empty());

    player.setStartResult(false);
    rig.program->WinAMP_Execute(2);
    EXPECT_THAT(rig.world.desktop.callsStartingWith("messageBox"),
                ElementsAre(HasSubstr("Couldn't find WinAMP's Window")));
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
    EXPECT_THAT(rig.world.files.contents(rig.state().LogFileName),
                HasSubstr("Winamp path not set"));
}

TEST_F(PlayerControl, QueriesBeforeASearchShowTheMessageBoxAndAnOldHandleAnswersNothing) {
    EXPECT_EQ(control.WinAMP_GetStatus(), "");
    EXPECT_EQ(control.WinAMP_GetPosition(), 0);
    EXPECT_THAT(
        rig.world.desktop.callsStartingWith("messageBox"),
        ElementsAre(
            AllOf(HasSubstr("WinAMP Not Found"), HasSubstr("WinAMP window not found yet...")), _));
    EXPECT_TRUE(player.calls().empty());

    // Found, then closed but not searched again: the old handle is asked and answers nothing.
    ASSERT_TRUE(control.WinAMP_FindWindow());
    player.setState(ScriptedPlayer::Paused);
    EXPECT_EQ(control.WinAMP_GetStatus(), "PAUSED");
    player.setRunning(false);
    EXPECT_EQ(control.WinAMP_GetStatus(), "STOPPED");
    EXPECT_EQ(rig.world.desktop.callsStartingWith("messageBox").size(), 2u);
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
    EXPECT_THAT(rig.world.desktop.calls().back(), HasSubstr("playlist is empty"));

    player.setRunning(false);
    rig.program->playerCheckClicked();
    EXPECT_EQ(rig.world.desktop.calls().back(),
              "notify Zintor - Player check: The player is not running: " + kPlayerPath);
    EXPECT_TRUE(rig.world.phone.texts().empty());  // the phone never hears of it
}

}  // namespace
}  // namespace zintor::testing
