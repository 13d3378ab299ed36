// Titles from captions, MP3 tags, entry names and the playlist file a Winamp writes beside its
// program, on real files; the time texts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/Program.h"
#include "link/Link.h"
#include "media/MediaText.h"
#include "media/WinampControl.h"
#include "media/WinampInfo.h"
#include "media/WinampPlaylistFile.h"
#include "platform/sim/SimWorld.h"
#include "qt/PosixFiles.h"

namespace zintor::testing {
namespace {

using Lines = std::vector<std::string>;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zintor-media-XXXXXX");
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string{};
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

    // Writes `bytes` to `name` (folders created); returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = std::filesystem::path(path_) / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

  private:
    std::string path_;
};

// A tag block: `title` and `artist` written into their fields, padded with `pad`.
std::string id3Tag(const std::string& marker, const std::string& title, const std::string& artist,
                   char pad, const std::string& year = "") {
    std::string tag = marker + title;
    tag.resize(33, pad);
    tag += artist;
    tag.resize(63, pad);
    tag += "The Album";
    tag.resize(93, pad);
    tag += year;
    tag.resize(97, pad);
    tag += "A comment";
    tag.resize(128, pad);
    return tag;
}

// A player that answers like Winamp and lists its playlist through the playlist file, the way a
// Winamp adapter does.
class FilePlaylistPlayer : public ScriptedPlayer {
  public:
    explicit FilePlaylistPlayer(Files& files) : files_(files) {}
    int playlistCount(const std::string& playerPath) override {
        std::vector<std::string> entries;
        return readWinampPlaylistFile(files_, playerPath, entries)
                   ? static_cast<int>(entries.size())
                   : -1;
    }
    bool playlistEntries(const std::string& playerPath, int first, int count,
                         std::vector<PlaylistEntry>& out) override {
        std::vector<std::string> entries;
        out.clear();
        for (int i = first; readWinampPlaylistFile(files_, playerPath, entries) &&
                            i < first + count && i < static_cast<int>(entries.size());
             ++i) {
            out.push_back({entries[static_cast<std::size_t>(i)], ""});
        }
        return true;
    }

  private:
    Files& files_;
};

class OnRealFiles : public ::testing::Test {
  protected:
    OnRealFiles() { program.state().appPath[9] = temp.path() + "/Winamp/winamp"; }

    std::string mp3(const std::string& name, const std::string& tag) {
        return temp.write(name, std::string(1000, '\xff') + tag);
    }
    PlaylistSnapshot readPlaylist() {
        control.findWindow();
        return info.getPlaylist();
    }
    // The entry's name, given the player's own title for it.
    std::string name(const std::string& path, const std::string& playerTitle = "") {
        return info.playlistEntryText({path, playerTitle});
    }

    TempFolder temp;
    SimWorld world;
    PosixFiles files{FolderPaths{"", "", temp.path() + "/log", "", ""}};
    FilePlaylistPlayer player{files};
    Ports ports{world.loop,  world.serial(), world.registry, world.settings,
                files,       world.logSink,  world.desktop,  world.launcher,
                world.input, world.mixer,    player,         world.board};
    Program program{ports};
    PhoneMenus screens{program.state(), ports, program.link()};
    WinampControl control{program.state(), ports, program.link(), screens};
    WinampInfo info{program.state(), ports, program.link(), control};
};

TEST_F(OnRealFiles, ZeroPaddedFieldsAndAMarkerInAnyCase) {
    const std::string zeros = mp3("a.mp3", id3Tag("TAG", "Song", "Band", '\0', "1999"));
    TagInfo tag;
    ASSERT_TRUE(info.getTagInf(zeros, tag));
    EXPECT_EQ((Lines{tag.title, tag.artist, tag.album, tag.year, tag.comment}),
              (Lines{"Song", "Band", "The Album", "1999", "A comment"}));
    EXPECT_EQ(name(zeros), "Song Band");
    EXPECT_EQ(name(mp3("b.mp3", id3Tag("tAg", "Low", "Case", ' '))), "Low Case");
    EXPECT_EQ(name(mp3("Not Tagged.mp3", id3Tag("TAX", "No", "Tag", ' '))), "Not Tagged");
}

TEST_F(OnRealFiles, EntriesWithoutAUsableTagAreNamedByThePlayerOrTheirFile) {
    // The tag wins; without one the player's title counts unless it is only the file's name.
    const std::string tagged = mp3("a.mp3", id3Tag("TAG", "Tagged", "Band", ' '));
    EXPECT_EQ(name(tagged, "Player Title"), "Tagged Band");
    EXPECT_EQ(name(temp.write("b.mp3", ""), "Player Title"), "Player Title");
    for (const char* title : {"x.y.mp3", "x.y", "x"}) {
        EXPECT_EQ(name(temp.write("x.y.mp3", ""), title), "x") << title;
    }
    const std::pair<std::string, std::string> cases[] = {
        {mp3("Empty Title.mp3", id3Tag("TAG", "", "Band", ' ')), "Empty Title"},
        // A title of control characters only counts as empty; others lose them.
        {mp3("Controls.mp3", id3Tag("TAG", "\x01\x02\t\x1f", "B", ' ')), "Controls"},
        {mp3("c.mp3", id3Tag("TAG", "\aBe\x1bll\r\n", "\x7f", ' ')), "Bell \x7f"},
        // Shorter than a tag: no tag, whatever it starts with.
        {temp.write("Short.mp3", "TAGSong"), "Short"},
        {"https://radio.example/live.aac", "live"},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(name(path), expected) << path;
    }
}

TEST_F(OnRealFiles, AVanishedFileIsLoggedAndNamedByItsPath) {
    ProgramState& state = program.state();
    state.logEnabled = true;
    program.link().initLog();
    const std::string gone = mp3("Gone Song.mp3", id3Tag("TAG", "Gone", "Band", ' '));
    std::filesystem::remove(gone);
    EXPECT_EQ(name(gone), "Gone Song");
    std::string log;
    ASSERT_TRUE(files.readText(state.logFileName, log));
    EXPECT_THAT(log, ::testing::HasSubstr("Could not find the MP3 File in GetTagInf-->" + gone));
}

TEST_F(OnRealFiles, TrackInfoOfTheCurrentEntry) {
    const std::string tagged = mp3("t.mp3", id3Tag("TAG", "Title", "Artist", ' ', "2001"));
    temp.write("Winamp/winamp.m3u", "/nowhere/x.mp3\n" + tagged + "\n");
    player.setPlaylist({"/nowhere/x.mp3", tagged}, 1);
    player.setState(ScriptedPlayer::Playing);
    player.setPositionMs(5'000);
    player.setLengthSeconds(3600);
    ASSERT_TRUE(control.findWindow());
    TrackInfo t = info.winampTrackInfo();
    EXPECT_EQ((Lines{t.titleText, t.year, t.album, t.positionText, t.lengthText, t.indexText,
                     t.countText}),
              (Lines{"Title Artist", "2001", "The Album", "0:05", "60:00", "1", "2"}));

    // Untagged: the title comes from the caption; the tag fields stay empty.
    player.command(ScriptedPlayer::kWindow, 40044);
    player.setCaption("1. Someone - Something - Winamp");
    t = info.winampTrackInfo();
    EXPECT_EQ((Lines{t.titleText, t.year, t.positionText}),
              (Lines{"Someone - Something", "", "0:00"}));
}

TEST_F(OnRealFiles, TheCaptionIsParsedOnlyWhenItChanges) {
    player.setCaption("12. Artist - Song - Winamp");
    EXPECT_EQ(info.getTitle(), "Artist - Song");
    player.setCaption("12. Artist - Song - Winamp [Paused]");
    EXPECT_EQ(info.getTitle(), "Artist - Song");
    player.setRunning(false);
    EXPECT_EQ(info.getTitle(), "");
}

TEST_F(OnRealFiles, ThePlaylistFileWithoutCommentsKeepingEmptyLines) {
    // The name of the file ignores case.
    temp.write("Winamp/WINAMP.M3U",
               "#EXTM3U\r\n#EXTINF:245,Artist - Song\r\n/music/one.mp3\r\n\r\n"
               "/music/#two.mp3\r\n #not a comment\r\n/music/last.mp3");
    player.setPlaylist({"a", "b", "c"}, 2);
    const PlaylistSnapshot list = readPlaylist();
    EXPECT_TRUE(list.ok);
    EXPECT_EQ(list.current, 2);  // the player's answer to query 120
    EXPECT_EQ(list.count, 5);
    Lines page;
    for (const PlaylistEntry& entry : info.getPlaylistEntries(1, 9)) {
        page.push_back(entry.path);
    }
    EXPECT_EQ(page, (Lines{"", "/music/#two.mp3", " #not a comment", "/music/last.mp3"}));
}

TEST_F(OnRealFiles, NoEntriesNoFileOrNoPlayerMeanNoPlaylist) {
    for (const char* contents : {"#EXTM3U\r\n#EXTINF:1,x\r\n", ""}) {
        temp.write("Winamp/winamp.m3u", contents);
        const PlaylistSnapshot list = readPlaylist();
        EXPECT_FALSE(list.ok) << contents;
        EXPECT_EQ(list.count, 0) << contents;
    }
    std::filesystem::remove(temp.path() + "/Winamp/winamp.m3u");
    EXPECT_FALSE(readPlaylist().ok);

    temp.write("Winamp/winamp.m3u", "/music/one.mp3\n");
    player.setRunning(false);
    player.clearCalls();
    EXPECT_FALSE(readPlaylist().ok);
    EXPECT_TRUE(player.calls().empty());  // nothing is asked of a player not found
}

TEST(Texts, CaptionTitleTimeAndTheWindowsPlaylistFilePath) {
    EXPECT_EQ(titleFromCaption("3. Mr. Big - Winamp"), "Mr. Big");  // only the first period
    EXPECT_EQ(titleFromCaption("No Number - Winamp"), "No Number");
    EXPECT_EQ(titleFromCaption("Winamp"), "");  // shorter than what is cut
    EXPECT_EQ(titleFromCaption("[Paused]"), "");

    EXPECT_EQ((Lines{formatTime(75), formatTime(5), formatTime(3600), formatTime(-61)}),
              (Lines{"1:15", "0:05", "60:00", "0:00"}));

    EXPECT_EQ(winampPlaylistFilePath("C:\\Program Files\\Winamp\\winamp.exe", '\\'),
              "C:\\Program Files\\Winamp\\winamp.m3u");
}

}  // namespace
}  // namespace zintor::testing
