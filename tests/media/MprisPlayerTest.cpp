// The MPRIS adapter against mpv with its MPRIS plugin on a private bus, which player the
// configured program means, and the bus without any player.
#include <chrono>
#include <cmath>
#include <memory>

#include "MediaRig.h"
#include "PlayerBusFixture.h"
#include "linux/MprisName.h"
#include "linux/MprisPlayer.h"
#include "linux/PlayerSelect.h"
#include "qt/PosixFiles.h"

namespace zintor::testing {
namespace {

const std::string kMpv = "/usr/bin/mpv";

class MpvOnTheBus : public PlayerBusFixture {
  protected:
    void SetUp() override {
        PlayerBusFixture::SetUp();
        ASSERT_FALSE(TestMpv::plugin().empty()) << "mpv-mpris is needed";
        mpv = std::make_unique<TestMpv>(bus());
        music = tones({"One", "Two", "Three"});
        ASSERT_TRUE(mpv->start(music));
        player = std::make_unique<MprisPlayer>(loop, connection());
        window = player->findWindow(kMpv);
        ASSERT_NE(window, 0);
    }
    void TearDown() override {
        player.reset();
        mpv.reset();
        PlayerBusFixture::TearDown();
    }
    bool playing(const std::string& file) {
        return Eventually([&] { return mpv->playerctl("metadata xesam:url") == "file://" + file; });
    }

    std::vector<std::string> music;
    std::unique_ptr<TestMpv> mpv;
    std::unique_ptr<MprisPlayer> player;
    MediaPlayer::Handle window = 0;
};

TEST_F(MpvOnTheBus, AnswersAndObeysAsWinampDoesWithTheCurrentTrackAsPlaylist) {
    ASSERT_TRUE(playing(music[0]));
    EXPECT_EQ(player->query(window, 0, 104), 1);
    // The plugin tells the length once mpv has opened the file.
    EXPECT_TRUE(Eventually([&] { return player->query(window, 1, 105) == 20; }));
    ASSERT_TRUE(Eventually([&] { return player->query(window, 0, 105) > 0; }));
    EXPECT_LT(player->query(window, 0, 105), 20'000);
    EXPECT_EQ(player->caption(window),
              "1. " + mpv->playerctl("metadata xesam:title") + " - Winamp");

    EXPECT_EQ(player->query(window, 3, 120), 0);
    EXPECT_EQ(Paths(*player, kMpv), std::vector<std::string>{music[0]});

    player->command(window, 40048);
    ASSERT_TRUE(playing(music[1]));
    EXPECT_EQ(player->query(window, 3, 120), 0);
    EXPECT_EQ(Paths(*player, kMpv), std::vector<std::string>{music[1]});
    EXPECT_TRUE(Eventually([&] { return player->query(window, 1, 105) == 21; }));
    player->command(window, 40044);
    ASSERT_TRUE(playing(music[0]));

    player->command(window, 40046);
    ASSERT_TRUE(Eventually([&] { return mpv->playerctl("status") == "Paused"; }));
    EXPECT_EQ(player->query(window, 0, 104), 3);
    const std::string caption = player->caption(window);
    EXPECT_EQ(caption.substr(caption.size() - 9), " [Paused]");
    player->command(window, 40046);
    ASSERT_TRUE(Eventually([&] { return mpv->playerctl("status") == "Playing"; }));

    const double before = std::stod(mpv->playerctl("volume"));
    player->command(window, 40059);
    player->command(window, 40059);
    EXPECT_TRUE(Eventually(
        [&] { return std::abs(std::stod(mpv->playerctl("volume")) - (before - 0.04)) < 0.001; }));

    player->command(window, 40047);
    ASSERT_TRUE(Eventually([&] { return mpv->playerctl("status") == "Stopped"; }));
    EXPECT_EQ(player->query(window, 0, 105), -1);

    player->command(window, 40001);
    ASSERT_TRUE(Eventually([&] { return !mpv->running(); }));
    EXPECT_EQ(player->findWindow(kMpv), 0);
    EXPECT_EQ(player->query(window, 0, 104), 0);
}

TEST_F(MpvOnTheBus, ThePhoneSeesTheCurrentTrackOnly) {
    ASSERT_TRUE(playing(music[0]));
    ASSERT_TRUE(Eventually([&] { return player->query(window, 1, 105) == 20; }));
    PosixFiles files;
    PlayerSelect select(loop, connection());
    MediaRig rig(kMpv, select, files);
    // One entry: the list's last (and only) position reads "More..", which opens the status.
    EXPECT_EQ(rig.openPlaylist(), Lines{PlaylistLine(0, {"More.."})});
    EXPECT_THAT(rig.say("*EAMI: 1"), OpensStatus("One Zintor", "0:20"));
}

TEST_F(PlayerBusFixture, ABusWithoutAnyPlayer) {
    PlayerSelect select(loop, connection());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(select.findWindow("/usr/bin/audacious"), 0);
    EXPECT_EQ(select.findWindow("/usr/bin/vlc"), 0);
    EXPECT_EQ(select.query(0, 0, 104), 0);
    EXPECT_EQ(select.caption(0), "");
    select.command(0, 40045);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));

    // A program that starts but never shows up on the bus, and one that cannot start. Events are
    // handled while the first is awaited.
    bool handled = false;
    loop.post([&handled] { handled = true; });
    PosixFiles files;
    MediaRig rig("/bin/true", select, files);
    EXPECT_EQ(rig.openPlaylist(),
              Lines{"AT*EAID=1,2,\"WinAMP should be running but could not find it's process\",80"});
    EXPECT_TRUE(handled);
    MediaRig missing("/nonexistent/audacious", select, files);
    EXPECT_EQ(missing.openPlaylist(),
              Lines{"AT*EAID=1,2,\"Could not start WinAMP - Check the path\",50"});
}

TEST(MprisName, TheConfiguredProgramChoosesThePlayer) {
    const QStringList names{"org.freedesktop.DBus",
                            ":1.7",
                            "org.mpris.MediaPlayer2.vlc",
                            "org.mpris.MediaPlayer2.mpv.instance42",
                            "org.mpris.MediaPlayer2.io.github.celluloid_player.Celluloid",
                            "org.mpris.MediaPlayer2.Spotify"};
    const auto identities = [](const QString& name) {
        return name.endsWith("Celluloid")
                   ? QStringList{"io.github.celluloid_player.Celluloid", "Celluloid"}
                   : QStringList{};
    };
    const std::pair<std::string, QString> cases[] = {
        {"C:\\Program Files\\VideoLAN\\VLC.exe", "org.mpris.MediaPlayer2.vlc"},
        {"/usr/bin/mpv", "org.mpris.MediaPlayer2.mpv.instance42"},
        {"/usr/bin/celluloid", "org.mpris.MediaPlayer2.io.github.celluloid_player.Celluloid"},
        {"/usr/bin/rhythmbox", ""},
    };
    for (const auto& [program, name] : cases) {
        EXPECT_EQ(ChooseMprisName(names, program, identities), name) << program;
    }
    EXPECT_TRUE(PlayerSelect::IsAudacious("/opt/Audacious"));
    EXPECT_FALSE(PlayerSelect::IsAudacious("/usr/bin/audacious-helper"));
}

}  // namespace
}  // namespace zintor::testing
