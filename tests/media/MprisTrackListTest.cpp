// The MPRIS adapter against VLC, whose playlist is an MPRIS track list, on a private bus, and the
// phone conversation on top of it.
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <filesystem>
#include <memory>

#include "MediaRig.h"
#include "PlayerBusFixture.h"
#include "linux/MprisPlayer.h"
#include "linux/PlayerSelect.h"
#include "qt/PosixFiles.h"

namespace zintor::testing {
namespace {

const std::string kVlc = "/usr/bin/vlc";

class VlcOnTheBus : public PlayerBusFixture {
  protected:
    void SetUp() override {
        PlayerBusFixture::SetUp();
        ASSERT_TRUE(TestVlc::installed()) << "vlc-bin and vlc-plugin-base are needed";
        music = tones({"One", "Two", "Three"});
        // A name that is no UTF-8 (Latin-1 "e acute") with characters an address escapes.
        const std::string odd =
            std::filesystem::path(music[1]).parent_path().string() + "/Two Words \xE9#1%.wav";
        std::filesystem::rename(music[1], odd);
        music[1] = odd;
        vlc = std::make_unique<TestVlc>(bus());
        ASSERT_TRUE(vlc->start(music));
        player = std::make_unique<MprisPlayer>(loop, connection());
        window = player->findWindow(kVlc);
        ASSERT_NE(window, 0);
    }
    void TearDown() override {
        rig.reset();
        player.reset();
        vlc.reset();
        PlayerBusFixture::TearDown();
    }
    // The player itself says it plays `file` (a name without characters to escape).
    bool playing(const std::string& file) {
        return Eventually([&] {
            return vlc->playerctl("metadata xesam:url") == "file://" + file &&
                   vlc->playerctl("status") == "Playing";
        });
    }
    std::vector<std::string> playlist() { return Paths(*player, kVlc); }

    std::vector<std::string> music;
    std::unique_ptr<TestVlc> vlc;
    std::unique_ptr<MprisPlayer> player;
    MediaPlayer::Handle window = 0;
    std::unique_ptr<MediaRig> rig;
};

TEST_F(VlcOnTheBus, TheWholePlaylistTheJumpAndTheNumberInTheCaption) {
    ASSERT_TRUE(playing(music[0]));
    EXPECT_EQ(player->caption(window), "1. One.wav - Winamp");
    EXPECT_EQ(player->query(window, 3, 120), 0);
    EXPECT_EQ(playlist(), music);  // paths, byte for byte

    // The jump is done when the query returns: the playlist read right after it knows.
    player->query(window, 2, 121);
    EXPECT_EQ(player->query(window, 3, 120), 2);
    player->command(window, 40045);
    EXPECT_TRUE(playing(music[2]));
    EXPECT_EQ(player->caption(window), "3. Three.wav - Winamp");
    EXPECT_TRUE(Eventually([&] { return player->query(window, 1, 105) == 22; }));

    // The caption follows the player without a playlist read in between.
    player->command(window, 40044);
    EXPECT_TRUE(Eventually([&] { return player->caption(window).rfind("2. Two Words ", 0) == 0; }))
        << player->caption(window);
    player->query(window, 0, 121);
    EXPECT_TRUE(playing(music[0]));
    EXPECT_EQ(player->caption(window), "1. One.wav - Winamp");

    // Beyond the end: nothing happens.
    player->query(window, 3, 121);
    EXPECT_EQ(player->query(window, 3, 120), 0);
}

TEST_F(VlcOnTheBus, AnEntryRemovedIsNoLongerListed) {
    ASSERT_TRUE(playing(music[0]));
    EXPECT_EQ(player->query(window, 3, 120), 0);
    EXPECT_EQ(playlist(), music);
    // The last entry removed, not the one playing: only the player's notice of the change tells.
    const QString vlc = QStringLiteral("org.mpris.MediaPlayer2.vlc");
    const QString path = QStringLiteral("/org/mpris/MediaPlayer2");
    const QString trackList = QStringLiteral("org.mpris.MediaPlayer2.TrackList");
    QDBusMessage read = QDBusMessage::createMethodCall(vlc, path, "org.freedesktop.DBus.Properties",
                                                       QStringLiteral("Get"));
    read.setArguments({trackList, QStringLiteral("Tracks")});
    const auto ids = qdbus_cast<QList<QDBusObjectPath>>(
        connection().call(read).arguments().value(0).value<QDBusVariant>().variant());
    ASSERT_EQ(ids.size(), 3);
    QDBusMessage remove =
        QDBusMessage::createMethodCall(vlc, path, trackList, QStringLiteral("RemoveTrack"));
    remove.setArguments({QVariant::fromValue(ids.last())});
    ASSERT_EQ(connection().call(remove).type(), QDBusMessage::ReplyMessage);
    const std::vector<std::string> expected(music.begin(), music.end() - 1);
    EXPECT_TRUE(Eventually([&] {
        loop.pumpOnce();
        return player->query(window, 3, 120) == 0 && player->playlistCount(kVlc) == 2;
    }));
    EXPECT_EQ(playlist(), expected);
}

TEST_F(VlcOnTheBus, FromTheMainMenuToTheThirdEntryAndItsStatus) {
    ASSERT_TRUE(playing(music[0]));
    PosixFiles files;
    PlayerSelect select(loop, connection());
    rig = std::make_unique<MediaRig>(kVlc, select, files);

    // Three entries: the last position reads "More..", and choosing it plays the third entry.
    EXPECT_EQ(rig->openPlaylist(), Lines{PlaylistLine(1, {"One Zintor", "Two Zintor", "More.."})});
    EXPECT_EQ(rig->say("*EAMI: 3"), Lines{PlaylistLine(0, {"..More", "Three Zintor"})});
    EXPECT_TRUE(playing(music[2]));

    EXPECT_THAT(rig->say("*EAMI: 2"), OpensStatus("Three Zintor", "0:22"));

    // Back in the playlist, the window starts at the current (third) entry.
    const Lines back = rig->say("*EAII: 0");
    ASSERT_FALSE(back.empty());
    EXPECT_EQ(back.back(), PlaylistLine(0, {"..More", "Three Zintor"}));
}

}  // namespace
}  // namespace zintor::testing
