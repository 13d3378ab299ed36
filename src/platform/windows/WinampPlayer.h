#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ports/Files.h"
#include "core/ports/Launcher.h"
#include "core/ports/MediaPlayer.h"

namespace zintor {

// Winamp through its main window (class "Winamp v1.x"): commands as WM_COMMAND, queries as
// WM_USER, the current title from its caption; the playlist it writes on query 120 as
// "winamp.m3u" in the folder of the configured player program (lines starting with "#" are
// comments, every other line an entry).
class WinampPlayer : public MediaPlayer {
  public:
    static constexpr const wchar_t* kWindowClass = L"Winamp v1.x";

    WinampPlayer(Files& files, Launcher& launcher) : files_(files), launcher_(launcher) {}

    bool find(const std::string& playerPath) override;
    bool start(const std::string& path) override;
    void play() override;
    void pause() override;
    void stop() override;
    void next() override;
    void previous() override;
    void volumeUp() override;
    void volumeDown() override;
    void showElapsed() override;
    void showRemaining() override;
    void close() override;
    PlayState state() override;
    int position() override;
    int length() override;
    std::string title() override;
    PlaylistPlace readPlaylist() override;
    bool playlistEntries(int first, int count, std::vector<PlaylistEntry>& out) override;
    void jump(int index) override;

    // The track title in a caption of the form "12. Artist - Song - Winamp", with or without the
    // paused marker " [Paused]" after it: the marker, " - Winamp" and the playlist number with
    // its period are cut off, blanks trimmed. A caption shorter than what is cut gives "".
    static std::string titleFromCaption(std::string_view caption);

  private:
    void command(int id);
    int query(int data, int code);
    // Calls `entry` with each entry's index and path until it returns false; false when the
    // playlist cannot be read.
    template <typename Visit>
    bool readPlaylistFile(Visit entry);

    Files& files_;
    Launcher& launcher_;
    void* window_ = nullptr;  // the window the last search found
    std::string playerPath_;  // the program the last search was for
};

}  // namespace zintor

namespace zintor::winamp {

// Command ids (WM_COMMAND).
inline constexpr int kClose = 40001;
inline constexpr int kShowElapsed = 40037;
inline constexpr int kShowRemaining = 40038;
inline constexpr int kPrevious = 40044;
inline constexpr int kPlay = 40045;
inline constexpr int kPause = 40046;
inline constexpr int kStop = 40047;
inline constexpr int kNext = 40048;
inline constexpr int kVolumeUp = 40058;
inline constexpr int kVolumeDown = 40059;

// Query codes (WM_USER) and their data.
inline constexpr int kQueryState = 104;
inline constexpr int kQueryTime = 105;
inline constexpr int kTimePosition = 0;
inline constexpr int kTimeLength = 1;
inline constexpr int kQueryWritePlaylist = 120;
inline constexpr int kWritePlaylistData = 3;
inline constexpr int kQuerySetPosition = 121;

// Answers of the play-state query.
inline constexpr int kStatePlaying = 1;
inline constexpr int kStatePaused = 3;

// The playlist file Winamp writes, in its own folder.
inline constexpr const char* kPlaylistFile = "winamp.m3u";

}  // namespace zintor::winamp
