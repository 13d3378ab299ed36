// The Linux player adapters through the program's player selection, against real players on a
// private session bus (and PulseAudio for Audacious). What the phone shows of a player is played
// in the media transcripts on the simulated player.
#include <gmock/gmock.h>
#include <signal.h>

#include <QDBusConnection>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "TestPlayers.h"
#include "ToneFiles.h"
#include "platform/linux/MprisName.h"
#include "platform/linux/PlayerSelect.h"

namespace zintor::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
const std::string kAudacious = "/usr/bin/audacious";
const std::string kMpv = "/usr/bin/mpv";
const std::string kVlc = "/usr/bin/vlc";

// Tone files of 20, 21, 22 ... seconds in the bus's folder, tagged "<title> Zintor".
std::vector<std::string> tones(const PrivateSessionBus& bus,
                               const std::vector<std::string>& titles) {
    const std::string folder = bus.folder() + "/music";
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        paths.push_back(folder + "/" + titles[i] + ".wav");
        writeTone(paths.back(), 20 + int(i), 440 + 110 * int(i), titles[i]);
    }
    return paths;
}

// The entries from `first` to the end of the playlist, read anew, by path.
Lines paths(MediaPlayer& player, int first = 0) {
    std::vector<PlaylistEntry> entries;
    const int count = player.readPlaylist().count - first;
    EXPECT_TRUE(player.playlistEntries(first, count, entries));
    Lines paths;
    for (const PlaylistEntry& entry : entries) {
        paths.push_back(entry.path);
    }
    return paths;
}

TEST(PlayerAdapters, AudaciousObeysUntilItHangsOrCloses) {
    PrivateSessionBus bus;
    PrivatePulseServer pulse;
    ASSERT_TRUE(bus.start() && pulse.start()) << "dbus-daemon and pulseaudio are needed";
    QDBusConnection connection =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "audacious-test");
    TestAudacious audacious(bus, pulse);
    ASSERT_TRUE(audacious.start()) << "audacious and audtool are needed";
    std::vector<std::string> diagnostics;
    PlayerSelect player(connection, [&](const std::string& line) { diagnostics.push_back(line); });
    const auto audtoolSays = [&](const std::string& arguments, const std::string& answer) {
        return ChildProcess::eventually([&] { return audacious.audtool(arguments) == answer; });
    };

    const auto files = tones(bus, {"Alpha", "Beta", "Gamma", "Delta"});
    for (const std::string& path : files) {
        audacious.audtool("playlist-addurl 'file://" + path + "'");
    }
    audacious.audtool("playback-play");
    ASSERT_TRUE(player.find(kAudacious));
    const auto status = [&](PlayState expected) {
        return ChildProcess::eventually([&] { return player.state() == expected; });
    };
    ASSERT_TRUE(status(PlayState::kPlaying));
    // Volume steps of 2, each read fresh from the player.
    audacious.audtool("set-volume 50");
    ASSERT_TRUE(audtoolSays("get-volume", "50"));
    player.volumeUp(), player.volumeUp(), player.volumeUp(), player.volumeDown();
    EXPECT_TRUE(audtoolSays("get-volume", "54"));

    ASSERT_TRUE(ChildProcess::eventually([&] { return player.position() > 0; }));
    EXPECT_LT(player.position(), 20);  // in seconds
    EXPECT_EQ(player.title(), audacious.audtool("current-song"));

    player.jump(2);
    EXPECT_TRUE(audtoolSays("playlist-position", "3"));
    player.next();
    EXPECT_TRUE(audtoolSays("playlist-position", "4"));
    EXPECT_EQ(player.readPlaylist().current, 3);
    EXPECT_EQ(paths(player), files);
    EXPECT_EQ(player.length(), 23);
    player.previous();
    EXPECT_TRUE(audtoolSays("playlist-position", "3"));

    player.pause();
    ASSERT_TRUE(status(PlayState::kPaused));
    EXPECT_EQ(player.title(), audacious.audtool("current-song"));
    player.pause();  // resumes
    EXPECT_TRUE(status(PlayState::kPlaying));
    player.stop();
    ASSERT_TRUE(status(PlayState::kStopped));
    EXPECT_EQ(player.position(), -1);
    player.play();
    EXPECT_TRUE(audtoolSays("playback-status", "playing"));
    player.showElapsed(), player.showRemaining(), player.showElapsed(), player.showRemaining();
    EXPECT_THAT(diagnostics, ElementsAre(HasSubstr("elapsed time"), HasSubstr("remaining time")));
    EXPECT_EQ(audacious.audtool("playback-status"), "playing");

    // Hung, it costs one time-out; a few seconds later it is asked again.
    const int pid = audacious.processId();
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGSTOP);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(player.state(), PlayState::kStopped);
    for (int i = 0; i < 20; ++i) {
        player.position();
        player.find(kAudacious);
    }
    const auto spent = std::chrono::steady_clock::now() - start;
    ::kill(pid, SIGCONT);
    EXPECT_LT(spent, 1500ms);
    std::this_thread::sleep_for(3100ms);
    EXPECT_EQ(player.state(), PlayState::kPlaying);

    // Closed, it has no playlist; started again, found only by a new search.
    player.close();
    ASSERT_TRUE(ChildProcess::eventually([&] { return !audacious.running(); }));
    const PlaylistPlace none = player.readPlaylist();
    EXPECT_EQ(std::pair(none.current, none.count), std::pair(0, -1));
    ASSERT_TRUE(audacious.start());
    audacious.audtool("playlist-addurl 'file://" + files[0] + "'");
    audacious.audtool("playback-play");
    EXPECT_EQ(player.state(), PlayState::kStopped);  // the run found last stays gone while it plays
    ASSERT_TRUE(player.find(kAudacious));
    EXPECT_TRUE(status(PlayState::kPlaying));
}

TEST(PlayerAdapters, MprisPlayersObeyNoneOnTheBusMpvWithOneTrackVlcWithATrackList) {
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.start()) << "dbus-daemon (package dbus) is needed";
    QDBusConnection connection =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "mpris-test");
    // No player on the bus: nothing is found and nothing waits.
    PlayerSelect player(connection);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(player.find(kAudacious) || player.find(kVlc));
    EXPECT_TRUE(player.state() == PlayState::kStopped && player.title().empty());
    player.play();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);

    // mpv with its MPRIS plugin: the current track is the playlist.
    auto music = tones(bus, {"One", "Two", "Three"});
    TestMprisPlayer mpv(bus, "mpv");
    ASSERT_TRUE(mpv.start(music)) << "mpv and mpv-mpris are needed";
    ASSERT_TRUE(player.find(kMpv));
    const auto says = [&](const std::string& what, const std::string& answer) {
        return ChildProcess::eventually([&] { return mpv.playerctl(what) == answer; });
    };
    ASSERT_TRUE(says("metadata xesam:url", "file://" + music[0]));
    EXPECT_EQ(player.state(), PlayState::kPlaying);
    ASSERT_TRUE(ChildProcess::eventually([&] { return player.position() > 0; }));
    EXPECT_LT(player.position(), 20);
    EXPECT_EQ(player.title(), mpv.playerctl("metadata xesam:title"));
    EXPECT_EQ(player.readPlaylist().current, 0);
    EXPECT_EQ(paths(player), Lines{music[0]});

    player.next();
    ASSERT_TRUE(says("metadata xesam:url", "file://" + music[1]));
    player.pause();
    ASSERT_TRUE(says("status", "Paused"));
    EXPECT_EQ(player.state(), PlayState::kPaused);
    player.pause();
    ASSERT_TRUE(says("status", "Playing"));
    const double before = std::stod(mpv.playerctl("volume"));
    player.volumeDown();
    EXPECT_TRUE(ChildProcess::eventually(
        [&] { return std::abs(std::stod(mpv.playerctl("volume")) - (before - 0.02)) < 0.001; }));
    player.stop();
    ASSERT_TRUE(says("status", "Stopped"));
    EXPECT_EQ(player.position(), -1);

    player.close();
    ASSERT_TRUE(ChildProcess::eventually([&] { return !mpv.running(); }));

    // VLC, whose playlist is an MPRIS track list; a name that is no UTF-8 (Latin-1 "e acute") with
    // characters an address escapes.
    const std::string odd =
        std::filesystem::path(music[1]).parent_path().string() + "/Two Words \xE9#1%.wav";
    std::filesystem::rename(music[1], odd);
    music[1] = odd;
    TestMprisPlayer vlc(bus, "vlc");
    ASSERT_TRUE(vlc.start(music)) << "vlc-bin and vlc-plugin-base are needed";
    ASSERT_TRUE(player.find(kVlc));
    // The player itself says it plays the first file (a name without characters to escape).
    ASSERT_TRUE(ChildProcess::eventually([&] {
        return vlc.playerctl("metadata xesam:url") == "file://" + music[0] &&
               vlc.playerctl("status") == "Playing";
    }));
    EXPECT_EQ(player.readPlaylist().current, 0);
    EXPECT_EQ(paths(player), music);  // paths, byte for byte
    EXPECT_EQ(paths(player, 1), Lines(music.begin() + 1, music.end()));

    // The jump is done when it returns: the playlist read right after it knows.
    player.jump(2);
    EXPECT_EQ(player.readPlaylist().current, 2);
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
        EXPECT_EQ(chooseMprisName(names, program, identities), name) << program;
    }
    EXPECT_TRUE(PlayerSelect::isAudacious("/opt/Audacious"));
    EXPECT_FALSE(PlayerSelect::isAudacious("/usr/bin/audacious-helper"));
}

}  // namespace
}  // namespace zintor::testing
