// The Audacious adapter against a real Audacious, headless on a private bus, with the phone
// conversation on top of it.
#include <signal.h>

#include <fstream>
#include <thread>

#include "MediaRig.h"
#include "linux/AudaciousPlayer.h"
#include "linux/PlayerSelect.h"
#include "qt/PosixFiles.h"

namespace zintor::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono_literals;
const std::string kAudacious = "/usr/bin/audacious";

TEST_F(PlayerBusFixture,
       AudaciousObeysAsWinampDoesUnderThePhoneUntilItHangsOrClosesPagesALongList) {
    ASSERT_TRUE(TestAudacious::installed()) << "audacious and audtool are needed";
    TestAudacious audacious(bus(), pulse());
    ASSERT_TRUE(audacious.start());
    std::vector<std::string> diagnostics;
    AudaciousPlayer player(loop, connection(),
                           [&](const std::string& line) { diagnostics.push_back(line); });
    const auto audtoolSays = [&](const std::string& arguments, const std::string& answer) {
        return eventually([&] { return audacious.audtool(arguments) == answer; });
    };

    const auto files = tones({"Alpha", "Beta", "Gamma", "Delta"});
    audacious.playFiles(files);
    const MediaPlayer::Handle window = player.findWindow(kAudacious);
    ASSERT_NE(window, 0);
    ASSERT_TRUE(eventually([&] { return player.query(window, 0, 104) == 1; }));
    // Volume steps of 2, each read fresh from the player.
    audacious.audtool("set-volume 50");
    ASSERT_TRUE(audtoolSays("get-volume", "50"));
    for (int id : {40058, 40058, 40058, 40059}) {
        player.command(window, id);
    }
    EXPECT_TRUE(audtoolSays("get-volume", "54"));

    EXPECT_EQ(player.query(window, 1, 105), 20);  // length in seconds
    ASSERT_TRUE(eventually([&] { return player.query(window, 0, 105) > 0; }));
    EXPECT_LT(player.query(window, 0, 105), 20'000);  // in milliseconds
    EXPECT_EQ(player.query(window, 3, 120), 0);
    EXPECT_EQ(paths(player, kAudacious), files);
    EXPECT_EQ(player.caption(window), "1. " + audacious.audtool("current-song") + " - Winamp");

    player.query(window, 2, 121);  // jump
    EXPECT_TRUE(audtoolSays("playlist-position", "3"));
    player.command(window, 40048);  // next
    EXPECT_TRUE(audtoolSays("playlist-position", "4"));
    EXPECT_EQ(player.query(window, 3, 120), 3);
    EXPECT_EQ(player.query(window, 1, 105), 23);
    player.command(window, 40044);  // previous
    EXPECT_TRUE(audtoolSays("playlist-position", "3"));
    // Right after a track change the player may report a volume it has already left: quick
    // steps must still add up.
    for (int i = 0; i < 3; ++i) {
        player.command(window, 40058);
    }
    EXPECT_TRUE(audtoolSays("get-volume", "60"));

    const auto status = [&](int expected) {
        return eventually([&] { return player.query(window, 0, 104) == expected; });
    };
    player.command(window, 40046);
    ASSERT_TRUE(status(3));
    EXPECT_EQ(player.caption(window),
              "3. " + audacious.audtool("current-song") + " - Winamp [Paused]");
    player.command(window, 40046);  // resumes
    EXPECT_TRUE(status(1));
    player.command(window, 40047);
    ASSERT_TRUE(status(0));
    EXPECT_EQ(player.query(window, 0, 105), -1);
    player.command(window, 40045);
    EXPECT_TRUE(audtoolSays("playback-status", "playing"));
    for (int id : {40037, 40038, 40037, 40038}) {
        player.command(window, id);
    }
    EXPECT_THAT(diagnostics, ElementsAre(HasSubstr("40037"), HasSubstr("40038")));  // once each
    EXPECT_EQ(audacious.audtool("playback-status"), "playing");

    // The phone through the player selection: the playlist from the current (third) entry,
    // whose status dialog shows the real player's time and length.
    PosixFiles posix;
    PlayerSelect select(loop, connection());
    auto rig = std::make_unique<MediaRig>(kAudacious, select, posix);
    EXPECT_EQ(rig->openPlaylist(),
              Lines{playlistLine(0, {"..More", "Gamma Zintor", "Delta Zintor"})});
    EXPECT_THAT(rig->say("*EAMI: 2"), opensStatus("Gamma Zintor", "0:22"));
    rig.reset();

    // Hung, it costs one time-out; a few seconds later it is asked again.
    const int pid = audacious.processId();
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGSTOP);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(player.query(window, 0, 104), 0);
    for (int i = 0; i < 20; ++i) {
        player.query(window, 0, 105);
        player.caption(window);
        player.command(window, 40058);
        player.findWindow(kAudacious);
    }
    const auto spent = std::chrono::steady_clock::now() - start;
    ::kill(pid, SIGCONT);
    EXPECT_LT(spent, 1500ms);
    std::this_thread::sleep_for(3100ms);
    EXPECT_EQ(player.query(window, 0, 104), 1);

    // Closed, it answers nothing; started again, a new handle.
    player.command(window, 40001);
    ASSERT_TRUE(eventually([&] { return !audacious.running(); }));
    EXPECT_EQ(player.findWindow(kAudacious), 0);
    EXPECT_EQ(player.query(window, 0, 104), 0);
    EXPECT_EQ(player.caption(window), "");
    EXPECT_EQ(player.query(window, 3, 120), 0);
    EXPECT_EQ(player.playlistCount(kAudacious), -1);
    ASSERT_TRUE(audacious.start());
    const MediaPlayer::Handle again = player.findWindow(kAudacious);
    EXPECT_NE(again, 0);
    EXPECT_NE(again, window);
    EXPECT_EQ(player.query(window, 0, 104), 0);  // the old handle stays dead

    // A list of 40,000 entries, of files that are not there (the player lists them all the
    // same) and three real ones from entry 35,000 on, played from an entry past 32,767.
    const std::string list = bus().folder() + "/long.m3u";
    {
        std::ofstream out(list);
        for (int i = 0; i < 40'000; ++i) {
            out << (i >= 35'000 && i < 35'003 ? files[static_cast<std::size_t>(i - 35'000)]
                                              : "/nowhere/Track " + std::to_string(i) + ".mp3")
                << '\n';
        }
    }
    audacious.audtool("playlist-addurl 'file://" + list + "'");
    ASSERT_TRUE(eventually([&] { return audacious.audtool("playlist-length") == "40000"; },
                           std::chrono::seconds(30)));
    audacious.audtool("playlist-jump 35001");
    audacious.audtool("playback-play");
    ASSERT_TRUE(eventually([&] { return player.query(again, 3, 120) == 35'000; }));
    std::vector<PlaylistEntry> entries;
    ASSERT_TRUE(player.playlistEntries(kAudacious, 34'999, 5, entries));
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ((Lines{entries[0].path, entries[1].path, entries[3].path, entries[4].path}),
              (Lines{"/nowhere/Track 34999.mp3", files[0], files[2], "/nowhere/Track 35003.mp3"}));
    player.query(again, 35'001, 121);
    EXPECT_TRUE(audtoolSays("playlist-position", "35002"));
}

}  // namespace
}  // namespace zintor::testing
