#pragma once

#include <string>
#include <vector>

#include "ports/Files.h"
#include "ports/Launcher.h"
#include "ports/MediaPlayer.h"

namespace zintor {

// Winamp through its main window (class "Winamp v1.x"): commands as WM_COMMAND, queries as
// WM_USER, its caption; the playlist it writes on query 120 as "winamp.m3u" in the folder of the
// configured player program (lines starting with "#" are comments, every other line an entry).
class WinampPlayer : public MediaPlayer {
  public:
    static constexpr const wchar_t* kWindowClass = L"Winamp v1.x";

    WinampPlayer(Files& files, Launcher& launcher) : files_(files), launcher_(launcher) {}

    Handle findWindow(const std::string& playerPath) override;
    void command(Handle window, int id) override;
    int query(Handle window, int data, int code) override;
    std::string caption(Handle window) override;
    bool start(const std::string& path) override;
    int playlistCount(const std::string& playerPath) override;
    bool playlistEntries(const std::string& playerPath, int first, int count,
                         std::vector<PlaylistEntry>& out) override;

  private:
    // Calls `entry` with each entry's index and path until it returns false; false when the
    // playlist cannot be read.
    template <typename Visit>
    bool readPlaylist(const std::string& playerPath, Visit entry);

    Files& files_;
    Launcher& launcher_;
};

}  // namespace zintor
