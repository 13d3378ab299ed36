// The playlist menu on the phone, the whole program on the simulated world with a scripted player.
#include <gtest/gtest.h>

#include "MediaRig.h"

namespace zintor::testing {
namespace {

// `before`, "Track <from>" ... "Track <to>", then `after` (each empty or one item).
Lines Window(const std::string& before, int from, int to, const std::string& after) {
    Lines items;
    if (!before.empty()) {
        items.push_back(before);
    }
    for (int i = from; i <= to; ++i) {
        items.push_back("Track " + std::to_string(i));
    }
    if (!after.empty()) {
        items.push_back(after);
    }
    return items;
}

class PlaylistMenu : public ::testing::Test {
  protected:
    MediaRig rig;
    ScriptedPlayer& player = rig.world.player;
};

TEST_F(PlaylistMenu, FiveEntriesFromTheFirstAndTheLastOnePlayed) {
    player.setPlaylist(Tracks(5), 0);
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(1, Window("", 0, 3, "More.."))});
    EXPECT_TRUE(rig.onlyFlag(ModeWinampMenu));
    EXPECT_TRUE(rig.timerRunning(2));
    EXPECT_EQ(player.lastSearchPath(), kPlayerPath);

    player.clearCalls();
    EXPECT_EQ(rig.say("*EAMI: 5"), Lines{PlaylistLine(0, Window("..More", 4, 4, ""))});
    EXPECT_EQ(rig.playerCalls("query 121"), Lines{"query 121 4"});
    EXPECT_EQ(rig.playerCalls("command"), Lines{"command 40045"});
    EXPECT_EQ(player.current(), 4);

    // A current entry after the first: a short list without a forward item; one outside the
    // list: from the start.
    rig.say("*EAMI: 0");
    player.setPlaylist(Tracks(5), 2);
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(0, Window("..More", 2, 4, ""))});
    rig.say("*EAMI: 0");
    player.setPlaylist(Tracks(3), 7);
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(1, Window("", 0, 1, "More.."))});
}

TEST_F(PlaylistMenu, TwentyEntriesPagedForwardAndBackThenOnePlayed) {
    player.setPlaylist(Tracks(20), 5);
    const Lines fromCurrent{PlaylistLine(2, Window("..More", 5, 12, "More.."))};
    EXPECT_EQ(rig.openPlaylist(), fromCurrent);
    EXPECT_EQ(rig.say("*EAMI: 10"), Lines{PlaylistLine(2, Window("..More", 13, 19, ""))});
    EXPECT_EQ(rig.say("*EAMI: 1"), fromCurrent);
    // Back again: the window cannot start before the first entry.
    EXPECT_EQ(rig.say("*EAMI: 1"), Lines{PlaylistLine(1, Window("", 0, 8, "More.."))});
    EXPECT_TRUE(rig.playerCalls("query 121").empty());  // paging plays nothing
    EXPECT_EQ(player.current(), 5);

    // Item 3 of that window is entry 2: it plays and the list starts from it.
    EXPECT_EQ(rig.say("*EAMI: 3"), Lines{PlaylistLine(2, Window("..More", 2, 9, "More.."))});
    EXPECT_EQ(rig.playerCalls("query 121"), Lines{"query 121 2"});
    EXPECT_EQ(player.current(), 2);
}

TEST_F(PlaylistMenu, ALongListIsReadAPageAtATimeAndCountsPast32767) {
    player.setPlaylist(Tracks(40'000), 35'000);
    player.setTitle(35'001, "Player's Title");
    Lines fromCurrent = Window("..More", 35'000, 35'007, "More..");
    fromCurrent[2] = "Player's Title";
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(2, fromCurrent)});
    EXPECT_EQ(rig.playerCalls("entries"), Lines{"entries 35000 8"});
    EXPECT_EQ(rig.say("*EAMI: 10"),
              Lines{PlaylistLine(2, Window("..More", 35008, 35015, "More.."))});
    // The player moves on: the refresh shows the list from the new current entry.
    player.command(ScriptedPlayer::kWindow, 40048);
    Lines fromNext = Window("..More", 35'001, 35'008, "More..");
    fromNext[1] = "Player's Title";
    EXPECT_EQ(rig.after(8000), Lines{PlaylistLine(2, fromNext)});
    rig.say("*EAMI: 0");
    player.setPlaylist(Tracks(40'000), 39'998);
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(2, Window("..More", 39998, 39999, ""))});
}

TEST_F(PlaylistMenu, EntriesAreNamedByTheirTagsOrFileNames) {
    std::string tag = "TAGMy Song";
    tag.resize(33, ' ');
    tag += "The Band";
    tag.resize(128, '\0');
    rig.world.files.putFile("/music/a.mp3", std::string(200, 'x') + tag);
    player.setPlaylist({"/music/a.mp3", "/music/Long Name Of A Song.mp3", "/music/b.c.mp3"}, 0);
    // Items are cut to what the phone shows.
    EXPECT_EQ(rig.openPlaylist(),
              Lines{PlaylistLine(1, {"My Song The Ban", "Long Name Of A ", "More.."})});
}

TEST_F(PlaylistMenu, RefreshSendsNothingUntilTheTrackChangesAndStartsAStoppedPlayer) {
    player.setPlaylist(Tracks(20), 0);
    player.setState(ScriptedPlayer::Paused);
    rig.openPlaylist();
    EXPECT_EQ(rig.playerCalls("command"), Lines{"command 40045"});
    rig.say("*EAMI: 10");  // paged away from the current track
    player.setState(ScriptedPlayer::Stopped);
    player.clearCalls();

    EXPECT_EQ(rig.after(8000), Lines{});
    EXPECT_EQ(rig.playerCalls("query 120"), Lines{"query 120 3"});
    EXPECT_EQ(rig.playerCalls("command"), Lines{"command 40045"});  // every refresh starts it
    EXPECT_TRUE(rig.timerRunning(2));

    // The player moves on: the next refresh shows the window from the new current track.
    player.command(ScriptedPlayer::kWindow, 40048);
    EXPECT_EQ(rig.after(8000), Lines{PlaylistLine(2, Window("..More", 1, 8, "More.."))});
    EXPECT_TRUE(rig.timerRunning(2));
    EXPECT_TRUE(rig.onlyFlag(ModeWinampMenu));
}

TEST_F(PlaylistMenu, BackAndAnEmptyPlaylistLeadToTheMainMenuAtWinamp) {
    player.setPlaylist(Tracks(3), 0);
    rig.openPlaylist();
    EXPECT_EQ(rig.say("*EAMI: 0"), Lines{MainMenuLine(3)});
    EXPECT_TRUE(NoModeActive(rig.state()));
    EXPECT_FALSE(rig.timerRunning(2));

    player.setPlaylist({}, 0);  // the file holds its comment line only
    EXPECT_EQ(rig.openPlaylist(), Lines{MainMenuLine(3)});
    EXPECT_TRUE(NoModeActive(rig.state()));
    EXPECT_FALSE(rig.timerRunning(2));
}

TEST(PlaylistMenuStart, APlayerNotRunningIsStartedOrThePhoneIsToldWhy) {
    const struct {
        bool started, found;
        std::string sent;
    } cases[] = {
        {true, true, PlaylistLine(1, {"Track 0", "More.."})},
        {false, false, "AT*EAID=1,2,\"Could not start WinAMP - Check the path\",50"},
        {true, false,
         "AT*EAID=1,2,\"WinAMP should be running but could not find it's process\",80"},
    };
    for (const auto& c : cases) {
        MediaRig rig;
        rig.world.player.setPlaylist(Tracks(2), 0);
        rig.world.player.setRunning(false);
        rig.world.player.setStartResult(c.started, c.found);
        EXPECT_EQ(rig.openPlaylist(), Lines{c.sent});
        EXPECT_EQ(rig.playerCalls("start"), Lines{"start " + kPlayerPath});
        EXPECT_EQ(rig.onlyFlag(ModeErrorPopUp), !c.found) << c.sent;
        EXPECT_EQ(rig.timerRunning(2), c.found) << c.sent;
    }
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
