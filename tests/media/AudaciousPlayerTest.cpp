// The Audacious adapter against a real Audacious, headless on a private bus, and the phone
// conversation on top of it.
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "MediaRig.h"
#include "PlayerBusFixture.h"
#include "linux/AudaciousPlayer.h"
#include "linux/PlayerSelect.h"
#include "qt/PosixFiles.h"

namespace zintor::testing {
namespace {

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
            connection(), [this](const std::string& line) { diagnostics.push_back(line); });
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
        EXPECT_TRUE(Eventually([&] { return player->query(window, 0, 104) == 1; }));
        return window;
    }
    bool positionIs(int oneBased) {
        return Eventually(
            [&] { return audacious->audtool("playlist-position") == std::to_string(oneBased); });
    }

    std::unique_ptr<TestAudacious> audacious;
    std::unique_ptr<AudaciousPlayer> player;
    std::vector<std::string> diagnostics;
};

TEST_F(AudaciousOnTheBus, AnswersTheQueriesAsWinampDoes) {
    const auto files = tones({"Alpha", "Beta", "Gamma", "Delta"});
    const MediaPlayer::Handle window = playing(files);
    ASSERT_NE(window, 0);

    EXPECT_EQ(player->query(window, 1, 105), 20);  // length in seconds
    ASSERT_TRUE(Eventually([&] { return player->query(window, 0, 105) > 0; }));
    const int position = player->query(window, 0, 105);
    EXPECT_LT(position, 20'000);  // in milliseconds

    EXPECT_EQ(player->query(window, 3, 120), 0);
    std::vector<std::string> lines;
    ASSERT_TRUE(player->playlistLines(kAudacious, lines));
    EXPECT_EQ(lines, files);
    EXPECT_EQ(player->caption(window), "1. " + audacious->audtool("current-song") + " - Winamp");

    player->query(window, 2, 121);  // jump
    EXPECT_TRUE(positionIs(3));
    player->command(window, 40048);  // next
    EXPECT_TRUE(positionIs(4));
    EXPECT_EQ(player->query(window, 3, 120), 3);
    EXPECT_EQ(player->query(window, 1, 105), 23);
    player->command(window, 40044);  // previous
    EXPECT_TRUE(positionIs(3));
}

TEST_F(AudaciousOnTheBus, PauseStopAndTheCaptionsMarker) {
    const MediaPlayer::Handle window = playing(tones({"Alpha", "Beta"}));
    player->command(window, 40046);
    ASSERT_TRUE(Eventually([&] { return player->query(window, 0, 104) == 3; }));
    const std::string caption = player->caption(window);
    EXPECT_EQ(caption, "1. " + audacious->audtool("current-song") + " - Winamp [Paused]");
    player->command(window, 40046);  // resumes
    EXPECT_TRUE(Eventually([&] { return player->query(window, 0, 104) == 1; }));
    player->command(window, 40047);
    ASSERT_TRUE(Eventually([&] { return player->query(window, 0, 104) == 0; }));
    EXPECT_EQ(player->query(window, 0, 105), -1);
    player->command(window, 40045);
    EXPECT_TRUE(Eventually([&] { return audacious->audtool("playback-status") == "playing"; }));
}

TEST_F(AudaciousOnTheBus, VolumeStepsAndTheTimeDisplayThatIsNotThere) {
    const MediaPlayer::Handle window = playing(tones({"Alpha"}));
    audacious->audtool("set-volume 50");
    ASSERT_TRUE(Eventually([&] { return audacious->audtool("get-volume") == "50"; }));
    for (int i = 0; i < 3; ++i) {
        player->command(window, 40058);
    }
    EXPECT_TRUE(Eventually([&] { return audacious->audtool("get-volume") == "56"; }));
    player->command(window, 40059);
    EXPECT_TRUE(Eventually([&] { return audacious->audtool("get-volume") == "54"; }));

    for (int id : {40037, 40038, 40037, 40038}) {
        player->command(window, id);
    }
    ASSERT_EQ(diagnostics.size(), 2u);
    EXPECT_NE(diagnostics[0].find("40037"), std::string::npos);
    EXPECT_EQ(audacious->audtool("playback-status"), "playing");
}

TEST_F(AudaciousOnTheBus, AClosedPlayerAnswersNothingAndARestartIsANewWindow) {
    const MediaPlayer::Handle window = playing(tones({"Alpha"}));
    player->query(window, 3, 120);
    player->command(window, 40001);
    ASSERT_TRUE(Eventually([&] { return !audacious->running(); }));
    EXPECT_EQ(player->findWindow(kAudacious), 0);
    EXPECT_EQ(player->query(window, 0, 104), 0);
    EXPECT_EQ(player->caption(window), "");
    EXPECT_EQ(player->query(window, 3, 120), 0);
    std::vector<std::string> lines;
    EXPECT_FALSE(player->playlistLines(kAudacious, lines));

    ASSERT_TRUE(audacious->start());
    const MediaPlayer::Handle again = player->findWindow(kAudacious);
    EXPECT_NE(again, 0);
    EXPECT_NE(again, window);
    EXPECT_EQ(player->query(window, 0, 104), 0);  // the old handle stays dead
}

TEST_F(AudaciousOnTheBus, AHungPlayerCostsOneTimeOut) {
    const MediaPlayer::Handle window = playing(tones({"Alpha"}));
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
    std::this_thread::sleep_for(std::chrono::milliseconds(3100));
    EXPECT_EQ(player->query(window, 0, 104), 1);
}

// The whole program with a simulated phone and the real Audacious behind it.
class AudaciousConversation : public AudaciousOnTheBus {
  protected:
    void SetUp() override {
        AudaciousOnTheBus::SetUp();
        select = std::make_unique<PlayerSelect>(connection());
    }
    void TearDown() override {
        rig.reset();
        select.reset();
        AudaciousOnTheBus::TearDown();
    }
    void startProgram(const std::string& path) {
        rig = std::make_unique<MediaRig>(path, *select, files);
    }

    PosixFiles files;
    std::unique_ptr<PlayerSelect> select;
    std::unique_ptr<MediaRig> rig;
};

TEST_F(AudaciousConversation, FromTheMainMenuToTheThirdEntryAndItsStatus) {
    const auto music = tones({"Alpha", "Beta", "Gamma", "Delta"});
    playing(music);
    startProgram(kAudacious);

    EXPECT_EQ(rig->openPlaylist(),
              Lines{PlaylistLine(1, {"Alpha Zintor", "Beta Zintor", "Gamma Zintor", "More.."})});
    EXPECT_EQ(rig->say("*EAMI: 3"),
              Lines{PlaylistLine(0, {"..More", "Gamma Zintor", "Delta Zintor"})});
    EXPECT_TRUE(positionIs(3));
    EXPECT_TRUE(Eventually([&] { return audacious->audtool("playback-status") == "playing"; }));

    const Lines status = rig->say("*EAMI: 2");
    ASSERT_EQ(status.size(), 3u);
    EXPECT_EQ(status[0], "AT+CMER=3,2,0,0,0");
    EXPECT_EQ(status[1].rfind("AT*EAID=14,2,\"WinAMP\",\"Gamma Zintor  0:0", 0), 0u) << status[1];
    EXPECT_NE(status[1].find(" (0:22)\""), std::string::npos) << status[1];

    // The keypad: 8 is the next track.
    rig->world.phone.sendAt(rig->world.loop.now(), "+CKEV: 8,1\r\n");
    rig->world.phone.sendAt(rig->world.loop.now() + 150, "+CKEV: 8,0\r\n");
    rig->world.loop.runFor(500);
    EXPECT_TRUE(positionIs(4));

    // The player closed during the dialog: the next refresh leads to the main menu.
    audacious->audtool("shutdown");
    ASSERT_TRUE(Eventually([&] { return !audacious->running(); }));
    EXPECT_EQ(rig->after(4000), Lines{MainMenuLine(3)});
    EXPECT_TRUE(NoModeActive(rig->state()));
}

TEST_F(AudaciousConversation, EntriesThatAreNoFilesOrHaveGone) {
    const auto music = tones({"Alpha", "Gone"});
    audacious->audtool("playlist-addurl tone://440");
    audacious->playFiles(music);
    ASSERT_TRUE(Eventually([&] { return audacious->audtool("playlist-length") == "3"; }));
    std::filesystem::remove(music[1]);
    startProgram(kAudacious);
    // The tone has no file: it is named by the end of its address; the vanished file by its name.
    EXPECT_EQ(rig->openPlaylist(), Lines{PlaylistLine(1, {"440", "Alpha Zintor", "More.."})});
    // Choosing it: Audacious cannot play it and moves on in its own way; the phone gets the list
    // again from whatever is current then.
    const Lines chosen = rig->say("*EAMI: 3");
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].rfind("AT*EASM=\"WinAMP\",1,", 0), 0u) << chosen[0];
    EXPECT_TRUE(rig->onlyFlag(ModeWinampMenu));
}

TEST_F(AudaciousConversation, AProgramPathThatCannotStart) {
    audacious->stop();
    startProgram("/nonexistent/audacious");
    EXPECT_EQ(rig->openPlaylist(),
              Lines{"AT*EAID=1,2,\"Could not start WinAMP - Check the path\",50"});
}

}  // namespace
}  // namespace zintor::testing
