// Titles from captions, MP3 tags and entry names on real files, and the time texts.
#include <gtest/gtest.h>

#include <memory>

#include "TempFolder.h"
#include "app/Program.h"
#include "link/Link.h"
#include "media/MediaText.h"
#include "media/WinampControl.h"
#include "media/WinampInfo.h"
#include "platform/sim/SimWorld.h"
#include "qt/PosixFiles.h"

namespace zintor::testing {
namespace {

// A tag block: `title` and `artist` written into their fields, padded with `pad`.
std::string Tag(const std::string& marker, const std::string& title, const std::string& artist,
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

class TagsOnRealFiles : public ::testing::Test {
  protected:
    TagsOnRealFiles() {
        FolderPaths folders;
        folders.log = temp.path() + "/log";
        files = std::make_unique<PosixFiles>(folders);
        ports = std::make_unique<Ports>(Ports{
            world.loop, world.serial(), world.registry, world.settings, *files, world.logSink,
            world.desktop, world.launcher, world.input, world.mixer, world.player, world.board});
        program = std::make_unique<Program>(*ports);
        control =
            std::make_unique<WinampControl>(program->state(), *ports, program->link(), *program);
        info = std::make_unique<WinampInfo>(program->state(), *ports, program->link(), *control);
        program->state().AppPath[9] = "/opt/winamp/winamp.exe";
    }

    std::string mp3(const std::string& name, const std::string& tag) {
        return temp.write(name, std::string(1000, '\xff') + tag);
    }

    TempFolder temp;
    SimWorld world;
    std::unique_ptr<PosixFiles> files;
    std::unique_ptr<Ports> ports;
    std::unique_ptr<Program> program;
    std::unique_ptr<WinampControl> control;
    std::unique_ptr<WinampInfo> info;
};

TEST_F(TagsOnRealFiles, ZeroPaddedFieldsAndAMarkerInAnyCase) {
    const std::string zeros = mp3("a.mp3", Tag("TAG", "Song", "Band", '\0', "1999"));
    TagInfo tag;
    ASSERT_TRUE(info->GetTagInf(zeros, tag));
    EXPECT_EQ(tag.Title, "Song");
    EXPECT_EQ(tag.Artist, "Band");
    EXPECT_EQ(tag.Album, "The Album");
    EXPECT_EQ(tag.Year, "1999");
    EXPECT_EQ(tag.Comment, "A comment");
    EXPECT_EQ(info->PlaylistEntryText(zeros), "Song Band");

    EXPECT_EQ(info->PlaylistEntryText(mp3("b.mp3", Tag("tAg", "Low", "Case", ' '))), "Low Case");
    EXPECT_EQ(info->PlaylistEntryText(mp3("Not Tagged.mp3", Tag("TAX", "No", "Tag", ' '))),
              "Not Tagged");
}

TEST_F(TagsOnRealFiles, EntriesWithoutAUsableTitleAreNamedByTheirFile) {
    EXPECT_EQ(info->PlaylistEntryText(mp3("Empty Title.mp3", Tag("TAG", "", "Band", ' '))),
              "Empty Title");
    // A title of control characters only counts as empty; others lose them.
    EXPECT_EQ(info->PlaylistEntryText(mp3("Controls.mp3", Tag("TAG", "\x01\x02\t\x1f", "B", ' '))),
              "Controls");
    EXPECT_EQ(info->PlaylistEntryText(mp3("c.mp3", Tag("TAG",
                                                       "\x07"
                                                       "Be\x1b"
                                                       "ll\r\n",
                                                       "\x7f", ' '))),
              "Bell \x7f");
    // Shorter than a tag: no tag, whatever it starts with.
    EXPECT_EQ(info->PlaylistEntryText(temp.write("Short.mp3", "TAGSong")), "Short");
    // The name stops at the first dot.
    EXPECT_EQ(info->PlaylistEntryText(temp.write("x.y.mp3", "")), "x");
    // A folder and a URI that is no file.
    EXPECT_EQ(info->PlaylistEntryText(temp.path()),
              std::filesystem::path(temp.path()).filename().string());
    EXPECT_EQ(info->PlaylistEntryText("https://radio.example/live.aac"), "live");
}

TEST_F(TagsOnRealFiles, AVanishedFileIsLoggedAndNamedByItsPath) {
    ProgramState& state = program->state();
    state.LogEnabled = true;
    program->link().InitLog();
    const std::string gone = mp3("Gone Song.mp3", Tag("TAG", "Gone", "Band", ' '));
    std::filesystem::remove(gone);
    EXPECT_EQ(info->PlaylistEntryText(gone), "Gone Song");
    std::string log;
    ASSERT_TRUE(files->readText(state.LogFileName, log));
    EXPECT_NE(log.find("Could not find the MP3 File in GetTagInf-->" + gone), std::string::npos);
}

TEST_F(TagsOnRealFiles, TrackInfoOfTheCurrentEntry) {
    const std::string tagged = mp3("t.mp3", Tag("TAG", "Title", "Artist", ' ', "2001"));
    world.player.setPlaylist({"/nowhere/x.mp3", tagged}, 1);
    world.player.setState(ScriptedPlayer::Playing);
    world.player.setPositionMs(5'000);
    world.player.setLengthSeconds(3600);
    ASSERT_TRUE(control->WinAMP_FindWindow());
    TrackInfo track = info->WinampTrackInfo();
    EXPECT_EQ(track.TitleText, "Title Artist");
    EXPECT_EQ(track.Year, "2001");
    EXPECT_EQ(track.Album, "The Album");
    EXPECT_EQ(track.PositionText, "0:05");
    EXPECT_EQ(track.LengthText, "60:00");
    EXPECT_EQ(track.IndexText, "1");
    EXPECT_EQ(track.CountText, "2");

    // Untagged: the title comes from the caption; the tag fields stay empty.
    world.player.command(ScriptedPlayer::kWindow, 40044);
    world.player.setCaption("1. Someone - Something - Winamp");
    track = info->WinampTrackInfo();
    EXPECT_EQ(track.TitleText, "Someone - Something");
    EXPECT_EQ(track.Year, "");
    EXPECT_EQ(track.PositionText, "0:00");
}

TEST_F(TagsOnRealFiles, TheCaptionIsParsedOnlyWhenItChanges) {
    world.player.setCaption("12. Artist - Song - Winamp");
    EXPECT_EQ(info->WinAMP_GetWinampTitle(), "Artist - Song");
    program->state().WinampTitle = "kept";
    EXPECT_EQ(info->WinAMP_GetWinampTitle(), "kept");
    world.player.setCaption("12. Artist - Song - Winamp [Paused]");
    EXPECT_EQ(info->WinAMP_GetWinampTitle(), "Artist - Song");
    world.player.setRunning(false);
    EXPECT_EQ(info->WinAMP_GetWinampTitle(), "");
}

TEST(CaptionTitle, CutsThePausedMarkerThePlayerAndTheNumber) {
    EXPECT_EQ(TitleFromCaption("12. Artist - Song - Winamp"), "Artist - Song");
    EXPECT_EQ(TitleFromCaption("12. Artist - Song - Winamp [Paused]"), "Artist - Song");
    EXPECT_EQ(TitleFromCaption("3. Mr. Big - Winamp"), "Mr. Big");  // only the first period
    EXPECT_EQ(TitleFromCaption("No Number - Winamp"), "No Number");
    EXPECT_EQ(TitleFromCaption("Winamp"), "");
    EXPECT_EQ(TitleFromCaption("[Paused]"), "");
    EXPECT_EQ(TitleFromCaption(""), "");
}

TEST(Texts, FormatTime) {
    EXPECT_EQ(FormatTime(75), "1:15");
    EXPECT_EQ(FormatTime(5), "0:05");
    EXPECT_EQ(FormatTime(3600), "60:00");
    EXPECT_EQ(FormatTime(59), "0:59");
    EXPECT_EQ(FormatTime(0), "0:00");
    EXPECT_EQ(FormatTime(-1), "0:00");
    EXPECT_EQ(FormatTime(-61), "0:00");
}

TEST(Texts, NumbersAtTheEndOfALine) {
    EXPECT_EQ(TrailingNumber("99"), 99);
    EXPECT_EQ(TrailingNumber("*EAMI: 3"), 3);
    EXPECT_EQ(TrailingNumber("*EAMI: 20"), 20);
    EXPECT_EQ(TrailingNumber("*EAII: 0"), 0);
    EXPECT_EQ(TrailingNumber("*EAII: 14,1"), 0);
    EXPECT_EQ(TrailingNumber("*EAMI: 1x"), 1);
    EXPECT_EQ(TrailingNumber("7"), 7);
    EXPECT_EQ(TrailingNumber(""), 0);
    EXPECT_EQ(TrailingNumber("*EAMI"), 0);
}

}  // namespace
}  // namespace zintor::testing
