#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zintor {

// One entry of the player's playlist: its file path (or address, for an entry that is no local
// file) and the player's own title for it, "" when the player gives none.
struct PlaylistEntry {
    std::string path;
    std::string title;
};

// The media player, driven the way Winamp is driven: find its window, send command ids, ask
// queries by code. Handles are opaque; 0 means "not found". A handle stays what the last search
// returned: a player that has gone away answers every query with 0 and ignores commands.
class MediaPlayer {
  public:
    using Handle = std::intptr_t;

    virtual ~MediaPlayer() = default;
    // Searches the player configured as `playerPath` (the settings' player program). Winamp's
    // window is found by its class whatever the path; other players use it to pick themselves.
    virtual Handle findWindow(const std::string& playerPath) = 0;
    // WM_COMMAND: `id` as Winamp takes it (40045 play, 40048 next track, ...).
    virtual void command(Handle window, int id) = 0;
    // WM_USER query: `data` and `code` as Winamp takes them.
    virtual int query(Handle window, int data, int code) = 0;
    virtual std::string caption(Handle window) = 0;
    // Starts the player program minimized and without focus; true on a non-zero process id.
    virtual bool start(const std::string& path) = 0;
    // The playlist made readable by the last query 120 (whose answer is the current entry's
    // index), read a page at a time: never the whole list, so that a long playlist costs no more
    // than a short one. The number of entries, or -1 when there is no playlist to read.
    virtual int playlistCount(const std::string& playerPath) = 0;
    // Entries `first` to `first + count - 1` in playlist order, fewer where the list ends. False
    // when there is no playlist to read.
    virtual bool playlistEntries(const std::string& playerPath, int first, int count,
                                 std::vector<PlaylistEntry>& out) = 0;
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

}  // namespace zintor::winamp
