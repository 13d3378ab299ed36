// The playlist menu on the phone, the whole program on the simulated world with a scripted player.
#include <gtest/gtest.h>

#include "MediaRig.h"

namespace zintor::testing {
namespace {

Lines Names(int from, int to) {
    Lines names;
    for (int i = from; i <= to; ++i) {
        names.push_back("Track " + std::to_string(i));
    }
    return names;
}

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class PlaylistMenu : public ::testing::Test {
  protected:
    MediaRig rig;
    ScriptedPlayer& player = rig.world.player;
};

TEST_F(PlaylistMenu, FiveEntriesFromTheFirstAndTheLastOnePlayed) {
    player.setPlaylist(Tracks(5), 0);
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(1, Join(Names(0, 3), {"More.."}))});
    EXPECT_TRUE(rig.onlyFlag(ModeWinampMenu));
    EXPECT_TRUE(rig.timerRunning(2));
    EXPECT_EQ(player.lastSearchPath(), kPlayerPath);

    player.clearCalls();
    EXPECT_EQ(rig.say("*EAMI: 5"), Lines{PlaylistLine(0, {"..More", "Track 4"})});
    EXPECT_EQ(rig.playerCalls("query 121"), Lines{"query 121 4"});
    EXPECT_EQ(rig.playerCalls("command"), Lines{"command 40045"});
    EXPECT_EQ(player.current(), 4);
    EXPECT_TRUE(rig.onlyFlag(ModeWinampMenu));
}

TEST_F(PlaylistMenu, TwentyEntriesPageForwardByEight) {
    player.setPlaylist(Tracks(20), 0);
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(1, Join(Names(0, 8), {"More.."}))});
    EXPECT_EQ(rig.say("*EAMI: 10"),
              Lines{PlaylistLine(2, Join(Join({"..More"}, Names(8, 15)), {"More.."}))});
    EXPECT_EQ(rig.say("*EAMI: 10"), Lines{PlaylistLine(2, Join({"..More"}, Names(16, 19)))});
    EXPECT_TRUE(rig.playerCalls("query 121").empty());  // paging plays nothing
    EXPECT_EQ(player.current(), 0);
}

TEST_F(PlaylistMenu, PagingAroundACurrentTrackInTheMiddle) {
    player.setPlaylist(Tracks(20), 5);
    const Lines fromCurrent =
        Lines{PlaylistLine(2, Join(Join({"..More"}, Names(5, 12)), {"More.."}))};
    EXPECT_EQ(rig.openPlaylist(), fromCurrent);
    EXPECT_EQ(rig.say("*EAMI: 10"), Lines{PlaylistLine(2, Join({"..More"}, Names(13, 19)))});
    EXPECT_EQ(rig.say("*EAMI: 1"), fromCurrent);
    // Back again: the window cannot start before the first entry.
    EXPECT_EQ(rig.say("*EAMI: 1"), Lines{PlaylistLine(1, Join(Names(0, 8), {"More.."}))});

    // Item 3 of that window is entry 2: it plays and the list starts from it.
    EXPECT_EQ(rig.say("*EAMI: 3"),
              Lines{PlaylistLine(2, Join(Join({"..More"}, Names(2, 9)), {"More.."}))});
    EXPECT_EQ(rig.playerCalls("query 121"), Lines{"query 121 2"});
    EXPECT_EQ(player.current(), 2);
}

TEST_F(PlaylistMenu, AShortListAfterTheFirstEntryHasNoForwardItem) {
    player.setPlaylist(Tracks(5), 2);
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(0, Join({"..More"}, Names(2, 4)))});
}

TEST_F(PlaylistMenu, EntriesAreNamedByTheirTagsOrFileNames) {
    std::string tagged(200, 'x');
    std::string tag = "TAGMy Song";
    tag.resize(33, ' ');
    tag += "The Band";
    tag.resize(128, '\0');
    rig.world.files.putFile("/music/a.mp3", tagged + tag);
    player.setPlaylist({"/music/a.mp3", "/music/Long Name Of A Song.mp3", "/music/b.c.mp3"}, 0);
    // Items are cut to what the phone shows.
    EXPECT_EQ(rig.openPlaylist(),
              Lines{PlaylistLine(1, {"My Song The Ban", "Long Name Of A ", "More.."})});
}

TEST_F(PlaylistMenu, RefreshSendsNothingUntilTheTrackChanges) {
    player.setPlaylist(Tracks(20), 0);
    rig.openPlaylist();
    rig.say("*EAMI: 10");  // paged away from the current track
    player.clearCalls();

    EXPECT_EQ(rig.after(8000), Lines{});
    EXPECT_EQ(rig.playerCalls("query 120"), Lines{"query 120 3"});
    EXPECT_TRUE(rig.timerRunning(2));

    // The player moves on: the next refresh shows the window from the new current track.
    player.command(ScriptedPlayer::kWindow, 40048);
    EXPECT_EQ(rig.after(8000),
              Lines{PlaylistLine(2, Join(Join({"..More"}, Names(1, 8)), {"More.."}))});
    EXPECT_TRUE(rig.timerRunning(2));
    EXPECT_TRUE(rig.onlyFlag(ModeWinampMenu));
}

TEST_F(PlaylistMenu, EveryCallStartsAPlayerThatIsNotPlaying) {
    player.setPlaylist(Tracks(3), 0);
    player.setState(ScriptedPlayer::Paused);
    rig.openPlaylist();
    EXPECT_EQ(rig.playerCalls("command"), Lines{"command 40045"});
    player.setState(ScriptedPlayer::Stopped);
    player.clearCalls();
    EXPECT_EQ(rig.after(8000), Lines{});  // a refresh, track unchanged
    EXPECT_EQ(rig.playerCalls("command"), Lines{"command 40045"});
}

TEST_F(PlaylistMenu, BackReturnsToTheMainMenuAtWinamp) {
    player.setPlaylist(Tracks(3), 0);
    rig.openPlaylist();
    EXPECT_EQ(rig.say("*EAMI: 0"), Lines{MainMenuLine(3)});
    EXPECT_TRUE(NoModeActive(rig.state()));
    EXPECT_FALSE(rig.timerRunning(2));
}

TEST_F(PlaylistMenu, AnEmptyPlaylistLeadsBackToTheMainMenu) {
    player.setPlaylist({}, 0);  // the file holds its comment line only
    EXPECT_EQ(rig.openPlaylist(), Lines{MainMenuLine(3)});
    EXPECT_TRUE(NoModeActive(rig.state()));
    EXPECT_FALSE(rig.timerRunning(2));
}

TEST_F(PlaylistMenu, ACurrentIndexOutsideTheListShowsItFromTheStart) {
    player.setPlaylist(Tracks(3), 7);
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(1, {"Track 0", "Track 1", "More.."})});
}

TEST_F(PlaylistMenu, APlayerThatCannotBeStarted) {
    player.setRunning(false);
    player.setStartResult(false);
    EXPECT_EQ(rig.openPlaylist(),
              Lines{"AT*EAID=1,2,\"Could not start WinAMP - Check the path\",50"});
    EXPECT_EQ(rig.playerCalls("start"), Lines{"start " + kPlayerPath});
    EXPECT_TRUE(rig.onlyFlag(ModeErrorPopUp));
    EXPECT_FALSE(rig.timerRunning(2));
}

TEST_F(PlaylistMenu, APlayerStartedButNotFoundAtOnce) {
    player.setRunning(false);
    player.setStartResult(true, false);
    EXPECT_EQ(rig.openPlaylist(),
              Lines{"AT*EAID=1,2,\"WinAMP should be running but could not find it's process\",80"});
    EXPECT_TRUE(rig.onlyFlag(ModeErrorPopUp));
}

TEST_F(PlaylistMenu, AStoppedPlayerIsStartedAndListed) {
    player.setRunning(false);
    player.setPlaylist(Tracks(2), 0);
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(1, {"Track 0", "More.."})});
    EXPECT_EQ(rig.playerCalls("start"), Lines{"start " + kPlayerPath});
}

TEST_F(PlaylistMenu, ThePathRemovedWhileTheMenuIsShown) {
    player.setPlaylist(Tracks(3), 0);
    rig.openPlaylist();
    rig.state().AppPath[9].clear();  // the settings window cleared it
    EXPECT_EQ(rig.after(8000),
              Lines{"AT*EAID=1,2,\"You need to specify the WinAMP path in settings\",80"});
    EXPECT_TRUE(rig.onlyFlag(ModeErrorPopUp));
    EXPECT_FALSE(rig.timerRunning(2));
}

}  // namespace
}  // namespace zintor::testing
