// The playlist file a Winamp writes beside its program, read as the playlist snapshot.
#include <gtest/gtest.h>

#include <memory>

#include "TempFolder.h"
#include "app/Program.h"
#include "media/WinampControl.h"
#include "media/WinampInfo.h"
#include "media/WinampPlaylistFile.h"
#include "platform/sim/SimWorld.h"
#include "qt/PosixFiles.h"

namespace zintor::testing {
namespace {

// A player that answers like Winamp and lists its playlist through the playlist file, the way a
// Winamp adapter does.
class FilePlaylistPlayer : public ScriptedPlayer {
  public:
    explicit FilePlaylistPlayer(Files& files) : files_(files) {}
    bool playlistLines(const std::string& playerPath, std::vector<std::string>& out) override {
        return ReadWinampPlaylistFile(files_, playerPath, out);
    }

  private:
    Files& files_;
};

class PlaylistFile : public ::testing::Test {
  protected:
    PlaylistFile() {
        ports = std::make_unique<Ports>(
            Ports{world.loop, world.serial(), world.registry, world.settings, files, world.logSink,
                  world.desktop, world.launcher, world.input, world.mixer, player, world.board});
        program = std::make_unique<Program>(*ports);
        control =
            std::make_unique<WinampControl>(program->state(), *ports, program->link(), *program);
        info = std::make_unique<WinampInfo>(program->state(), *ports, program->link(), *control);
        program->state().AppPath[9] = temp.path() + "/Winamp/winamp";
        player.setPlaylist({"a", "b", "c"}, 2);
    }

    PlaylistSnapshot read() {
        control->WinAMP_FindWindow();
        return info->GetPlaylist();
    }

    TempFolder temp;
    SimWorld world;
    PosixFiles files;
    FilePlaylistPlayer player{files};
    std::unique_ptr<Ports> ports;
    std::unique_ptr<Program> program;
    std::unique_ptr<WinampControl> control;
    std::unique_ptr<WinampInfo> info;
};

TEST_F(PlaylistFile, CommentsAreSkippedAndEmptyLinesKept) {
    temp.write("Winamp/winamp.m3u",
               "#EXTM3U\r\n#EXTINF:245,Artist - Song\r\n/music/one.mp3\r\n\r\n"
               "/music/#two.mp3\r\n #not a comment\r\n/music/last.mp3");
    const PlaylistSnapshot list = read();
    EXPECT_TRUE(list.Ok);
    EXPECT_EQ(list.Current, 2);  // the player's answer to query 120
    EXPECT_EQ(list.Entries, (std::vector<std::string>{"/music/one.mp3", "", "/music/#two.mp3",
                                                      " #not a comment", "/music/last.mp3"}));
    EXPECT_EQ(list.Count, 5);
}

TEST_F(PlaylistFile, TheNameOfTheFileIgnoresCase) {
    temp.write("Winamp/WINAMP.M3U", "/music/one.mp3\n");
    EXPECT_EQ(read().Entries, std::vector<std::string>{"/music/one.mp3"});
}

TEST_F(PlaylistFile, NoEntriesMeanNoPlaylist) {
    for (const char* contents : {"#EXTM3U\r\n#EXTINF:1,x\r\n", ""}) {
        temp.write("Winamp/winamp.m3u", contents);
        const PlaylistSnapshot list = read();
        EXPECT_FALSE(list.Ok) << contents;
        EXPECT_EQ(list.Count, 0) << contents;
    }
    std::filesystem::remove(temp.path() + "/Winamp/winamp.m3u");
    EXPECT_FALSE(read().Ok);
}

TEST_F(PlaylistFile, NothingIsAskedOfAPlayerNotFound) {
    temp.write("Winamp/winamp.m3u", "/music/one.mp3\n");
    player.setRunning(false);
    player.clearCalls();
    EXPECT_FALSE(read().Ok);
    EXPECT_TRUE(player.calls().empty());
}

TEST(PlaylistFilePath, BesideTheProgramWithTheSystemsSeparator) {
    EXPECT_EQ(WinampPlaylistFilePath("C:\\Program Files\\Winamp\\winamp.exe", '\\'),
              "C:\\Program Files\\Winamp\\winamp.m3u");
    EXPECT_EQ(WinampPlaylistFilePath("/opt/winamp/winamp", '/'), "/opt/winamp/winamp.m3u");
    EXPECT_EQ(WinampPlaylistFilePath("winamp.exe", '\\'), "winamp.m3u");
}

}  // namespace
}  // namespace zintor::testing
