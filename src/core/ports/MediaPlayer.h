#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zintor {

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
    // The playlist lines written by the last query 120 (the lines of "winamp.m3u", comments
    // included). False when there is no playlist to read.
    virtual bool playlistLines(const std::string& playerPath, std::vector<std::string>& out) = 0;
};

}  // namespace zintor
