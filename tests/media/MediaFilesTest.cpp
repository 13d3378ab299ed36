// Titles from MP3 tags, entry names and the player, on real files.
#include <gmock/gmock.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "core/link/Link.h"
#include "core/media/PlayerControl.h"
#include "core/media/PlayerInfo.h"
#include "core/phoneui/MainMenu.h"
#include "core/program/Program.h"
#include "platform/qt/PosixFiles.h"
#include "platform/sim/SimWorld.h"

namespace zintor::testing {
namespace {

using Lines = std::vector<std::string>;

// A tag block with the fields at their places, padded with `pad`.
std::string id3Tag(const std::string& marker, const std::string& title, const std::string& artist,
                   char pad, const std::string& year = "") {
    std::string tag(128, pad);
    const std::pair<std::size_t, std::string> fields[] = {
        {0, marker}, {3, title}, {33, artist}, {63, "The Album"}, {93, year}, {97, "A comment"}};
    for (const auto& [at, text] : fields) {
        tag.replace(at, text.size(), text);
    }
    return tag;
}

class OnRealFiles : public ::testing::Test {
  protected:
    OnRealFiles() { program.state().appPath[9] = root + "/Winamp/winamp"; }

    // Writes `bytes` to `name` in the test's folder (folders created); returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = std::filesystem::path(root) / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }
    std::string mp3(const std::string& name, const std::string& tag) {
        return write(name, std::string(1000, '\xff') + tag);
    }
    // The entry's name, given the player's own title for it.
    std::string name(const std::string& path, const std::string& playerTitle = "") {
        return info.playlistEntryText({path, playerTitle});
    }

    QTemporaryDir dir;
    std::string root = dir.path().toStdString();
    SimWorld world;
    PosixFiles files{FolderPaths{"", "", root + "/log", "", ""}};
    ScriptedPlayer player;
    Ports ports{world.loop,    world.serial(), world.registry, world.settings, files,
                world.logSink, world.desktop,  world.launcher, world.input,    world.mixer,
                player,        world.board,    world.extras};
    Program program{ports};
    MainMenu screens{program.state(), ports, program.link()};
    PlayerControl control{program.state(), ports, program.link(), screens.errorPopUp()};
    PlayerInfo info{program.state(), ports, program.link(), control};
};

TEST_F(OnRealFiles, EntriesAreNamedByTheirTagThePlayerOrTheirFile) {
    // The tag wins; without one the player's title counts unless it is only the file's name.
    const std::string tagged = mp3("t.mp3", id3Tag("TAG", "Tagged", "Band", ' '));
    EXPECT_EQ(name(tagged, "Player Title"), "Tagged Band");
    for (const char* title : {"x.y.mp3", "x.y", "x"}) {
        EXPECT_EQ(name(write("x.y.mp3", ""), title), "x") << title;
    }
    const std::pair<std::string, std::string> cases[] = {
        {mp3("a.mp3", id3Tag("TAG", "Song", "Band", '\0')), "Song Band"},     // zero-padded fields
        {mp3("Caf\xE9.mp3", id3Tag("TAG", "Odd", "Name", ' ')), "Odd Name"},  // no UTF-8 name
        {mp3("b.mp3", id3Tag("tAg", "Low", "Case", ' ')), "Low Case"},  // a marker in any case
        {mp3("Not Tagged.mp3", id3Tag("TAX", "No", "Tag", ' ')), "Not Tagged"},
        {mp3("Empty Title.mp3", id3Tag("TAG", "", "Band", ' ')), "Empty Title"},
        // A title of control characters only counts as empty; others lose them.
        {mp3("Controls.mp3", id3Tag("TAG", "\x01\x02\t\x1f", "B", ' ')), "Controls"},
        {mp3("c.mp3", id3Tag("TAG", "\aBe\x1bll\r\n", "\x7f", ' ')), "Bell \x7f"},
        // Shorter than a tag: no tag, whatever it starts with.
        {write("Short.mp3", "TAGSong"), "Short"},
        {"https://radio.example/live.aac", "live"},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(name(path), expected) << path;
    }

    // A file gone since the player listed it: logged, and named by its path.
    ProgramState& state = program.state();
    state.logEnabled = true;
    program.link().log.init();
    const std::string gone = mp3("Gone Song.mp3", id3Tag("TAG", "Gone", "Band", ' '));
    std::filesystem::remove(gone);
    EXPECT_EQ(name(gone), "Gone Song");
    std::string log;
    ASSERT_TRUE(files.readText(program.link().log.fileName(), log));
    EXPECT_THAT(log, ::testing::HasSubstr("Could not find the MP3 File in GetTagInf-->" + gone));
}

TEST_F(OnRealFiles, TrackInfoOfTheCurrentEntryOrThePlayersTitle) {
    const std::string tagged = mp3("t.mp3", id3Tag("TAG", "Title", "Artist", ' ', "2001"));
    player.setPlaylist({"/nowhere/x.mp3", tagged}, 1);
    player.setState(PlayState::kPlaying);
    player.setPositionMs(5'000);
    player.setLengthSeconds(3600);
    ASSERT_TRUE(control.find());
    const TrackInfo t = info.trackInfo();
    EXPECT_EQ((Lines{t.titleText, t.year, t.album, t.positionText, t.lengthText, t.indexText,
                     t.countText}),
              (Lines{"Title Artist", "2001", "The Album", "0:05", "60:00", "1", "2"}));
    // An entry without a tag (shorter than one): the player's title (here its path).
    const std::string untagged = write("u.mp3", "TAGSong");
    player.setPlaylist({untagged}, 0);
    EXPECT_EQ(info.trackInfo().titleText, untagged);
    // Not running: nothing is asked of a player not found.
    player.setRunning(false);
    player.clearCalls();
    control.find();
    EXPECT_FALSE(info.getPlaylist().ok);
    EXPECT_TRUE(player.calls().empty());
}

}  // namespace
}  // namespace zintor::testing
