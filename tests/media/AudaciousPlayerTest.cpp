// The Audacious adapter against a real Audacious, headless on a private bus, and the phone
// conversation on top of it.
#include <signal.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <thread>

#include "MediaRig.h"
#include "PlayerBusFixture.h"
#include "linux/AudaciousPlayer.h"
#include "linux/PlayerSelect.h"
#include "qt/PosixFiles.h"

namespace zintor::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using std::chrono::milliseconds;
const std::string kAudacious = "/usr/bin/audacious";

class AudaciousOnTheBus : public PlayerBusFixture {
  protected:
    void SetUp() override {
        PlayerBusFixture::SetUp();
        ASSERT_TRUE(TestAudacious::installed()) << "audacious and audtool are needed";
        audacious = std::make_unique<TestAudacious>(bus(), pulse());
        ASSERT_TRUE(audacious->start());
        player = std::make_unique<AudaciousPlayer>(
            loop, connection(), [this](const std::string& line) { diagnostics.push_back(line); });
    }
    void TearDown() override {
        player.reset();
        audacious.reset();
        PlayerBusFixture::TearDown();
    }

    // Plays `files` and waits until the first one plays; the player's handle.
    MediaPlayer::Handle playing(const std::vector<std::string>& files) {
        audacious->playFiles(files);
        const MediaPlayer::Handle window = player->findWindow(kAudacious);
        EXPECT_TRUE(eventually([&] { return player->query(window, 0, 104) == 1; }));
        return window;
    }
    bool positionIs(int oneBased) {
        return eventually(
            [&] { return audacious->audtool("playlist-position") == std::to_string(oneBased); });
    }

    std::unique_ptr<TestAudacious> audacious;
    std::unique_ptr<AudaciousPlayer> player;
    std::vector<std::string> diagnostics;
};

TEST_F(AudaciousOnTheBus, AnswersAndObeysAsWinampDoesUntilItHangsOrCloses) {
    const auto files = tones({"Alpha", "Beta", "Gamma", "Delta"});
    const MediaPlayer::Handle window = playing(files);
    ASSERT_NE(window, 0);
    // Volume steps of 2, each read fresh from the player.
    audacious->audtool("set-volume 50");
    ASSERT_TRUE(eventually([&] { return audacious->audtool("get-volume") == "50"; }));
    for (int i = 0; i < 3; ++i) {
        player->command(window, 40058);
    }
    EXPECT_TRUE(eventually([&] { return audacious->audtool("get-volume") == "56"; }));
    player->command(window, 40059);
    EXPECT_TRUE(eventually([&] { return audacious->audtool("get-volume") == "54"; }));

    EXPECT_EQ(player->query(window, 1, 105), 20);  // length in seconds
    ASSERT_TRUE(eventually([&] { return player->query(window, 0, 105) > 0; }));
    const int position = player->query(window, 0, 105);
    EXPECT_LT(position, 20'000);  // in milliseconds

    EXPECT_EQ(player->query(window, 3, 120), 0);
    EXPECT_EQ(paths(*player, kAudacious), files);
    EXPECT_EQ(player->caption(window), "1. " + audacious->audtool("current-song") + " - Winamp");

    player->query(window, 2, 121);  // jump
    EXPECT_TRUE(positionIs(3));
    player->command(window, 40048);  // next
    EXPECT_TRUE(positionIs(4));
    EXPECT_EQ(player->query(window, 3, 120), 3);
    EXPECT_EQ(player->query(window, 1, 105), 23);
    player->command(window, 40044);  // previous
    EXPECT_TRUE(positionIs(3));
    // Right after a track change the player may report a volume it has already left: quick
    // steps must still add up.
    for (int i = 0; i < 3; ++i) {
        player->command(window, 40058);
    }
    EXPECT_TRUE(eventually([&] { return audacious->audtool("get-volume") == "60"; }));

    const auto status = [&](int expected) {
        return eventually([&] { return player->query(window, 0, 104) == expected; });
    };
    player->command(window, 40046);
    ASSERT_TRUE(status(3));
    EXPECT_EQ(player->caption(window),
              "3. " + audacious->audtool("current-song") + " - Winamp [Paused]");
    player->command(window, 40046);  // resumes
    EXPECT_TRUE(status(1));
    player->command(window, 40047);
    ASSERT_TRUE(status(0));
    EXPECT_EQ(player->query(window, 0, 105), -1);
    player->command(window, 40045);
    EXPECT_TRUE(eventually([&] { return audacious->audtool("playback-status") == "playing"; }));

    for (int id : {40037, 40038, 40037, 40038}) {
        player->command(window, id);
    }
    EXPECT_THAT(diagnostics, ElementsAre(HasSubstr("40037"), HasSubstr("40038")));  // once each
    EXPECT_EQ(audacious->audtool("playback-status"), "playing");

    // Hung, it costs one time-out; closed, it answers nothing; started again, a new handle.
    const int pid = audacious->processId();
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGSTOP);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(player->query(window, 0, 104), 0);
    for (int i = 0; i < 20; ++i) {
        player->query(window, 0, 105);
        player->caption(window);
        player->command(window, 40058);
        player->findWindow(kAudacious);
    }
    const auto spent = std::chrono::steady_clock::now() - start;
    ::kill(pid, SIGCONT);
    EXPECT_LT(spent, milliseconds(1500));
    // A few seconds later it is asked again.
    std::this_thread::sleep_for(milliseconds(3100));
    EXPECT_EQ(player->query(window, 0, 104), 1);

    player->command(window, 40001);
    ASSERT_TRUE(eventually([&] { return !audacious->running(); }));
    EXPECT_EQ(player->findWindow(kAudacious), 0);
    EXPECT_EQ(player->query(window, 0, 104), 0);
    EXPECT_EQ(player->caption(window), "");
    EXPECT_EQ(player->query(window, 3, 120), 0);
    EXPECT_EQ(player->playlistCount(kAudacious), -1);

    ASSERT_TRUE(audacious->start());
    const MediaPlayer::Handle again = player->findWindow(kAudacious);
    EXPECT_NE(again, 0);
    EXPECT_NE(again, window);
    EXPECT_EQ(player->query(window, 0, 104), 0);  // the old handle stays dead
}

// The whole program with a simulated phone and the real Audacious behind it.
TEST_F(AudaciousOnTheBus, FromTheMainMenuToTheThirdEntryAndItsStatus) {
    playing(tones({"Alpha", "Beta", "Gamma", "Delta"}));
    PosixFiles files;
    PlayerSelect select(loop, connection());
    MediaRig rig(kAudacious, select, files);

    EXPECT_EQ(rig.openPlaylist(),
              Lines{playlistLine(1, {"Alpha Zintor", "Beta Zintor", "Gamma Zintor", "More.."})});
    EXPECT_EQ(rig.say("*EAMI: 3"),
              Lines{playlistLine(0, {"..More", "Gamma Zintor", "Delta Zintor"})});
    EXPECT_TRUE(positionIs(3));
    EXPECT_TRUE(eventually([&] { return audacious->audtool("playback-status") == "playing"; }));

    EXPECT_THAT(rig.say("*EAMI: 2"), opensStatus("Gamma Zintor", "0:22"));

    // The keypad: 8 is the next track.
    rig.world.phone.sendAt(rig.world.loop.now(), "+CKEV: 8,1\r\n");
    rig.world.phone.sendAt(rig.world.loop.now() + 150, "+CKEV: 8,0\r\n");
    rig.world.loop.runFor(500);
    EXPECT_TRUE(positionIs(4));

    // The player closed during the dialog: the next refresh leads to the main menu.
    audacious->audtool("shutdown");
    ASSERT_TRUE(eventually([&] { return !audacious->running(); }));
    EXPECT_EQ(rig.after(4000), Lines{mainMenuLine(3)});
    EXPECT_TRUE(noModeActive(rig.state()));
}

TEST_F(AudaciousOnTheBus, AListOf40000EntriesPagedFromAnEntryPast32767) {
    // Paths of files that are not there (the player lists them all the same), and three real
    // ones from entry 35,000 on.
    const auto real = tones({"Alpha", "Beta", "Gamma"});
    const std::string list = bus().folder() + "/long.m3u";
    {
        std::ofstream out(list);
        for (int i = 0; i < 40'000; ++i) {
            out << (i >= 35'000 && i < 35'003 ? real[static_cast<std::size_t>(i - 35'000)]
                                              : "/nowhere/Track " + std::to_string(i) + ".mp3")
                << '\n';
        }
    }
    audacious->audtool("playlist-addurl 'file://" + list + "'");
    ASSERT_TRUE(eventually([&] { return audacious->audtool("playlist-length") == "40000"; },
                           std::chrono::seconds(30)));
    audacious->audtool("playlist-jump 35001");
    audacious->audtool("playback-play");
    ASSERT_TRUE(positionIs(35'001));
    PosixFiles files;
    PlayerSelect select(loop, connection());
    MediaRig rig(kAudacious, select, files);

    EXPECT_EQ(rig.openPlaylist(),
              Lines{playlistLine(
                  2, {"..More", "Alpha Zintor", "Beta Zintor", "Gamma Zintor", "Track 35003",
                      "Track 35004", "Track 35005", "Track 35006", "Track 35007", "More.."})});
    EXPECT_EQ(rig.say("*EAMI: 3"),
              Lines{playlistLine(
                  2, {"..More", "Beta Zintor", "Gamma Zintor", "Track 35003", "Track 35004",
                      "Track 35005", "Track 35006", "Track 35007", "Track 35008", "More.."})});
    EXPECT_TRUE(positionIs(35'002));
}

}  // namespace
}  // namespace zintor::testing
