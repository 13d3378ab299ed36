// The main window's player check, for finding out why the phone's player menu shows nothing.

#include "link/Link.h"
#include "media/MediaTexts.h"
#include "media/WinampMenus.h"

namespace zintor {

namespace {
constexpr const char* kTitle = "Zintor - Player check";
}

void WinampMenus::PlayerCheck() {
    std::string found;
    if (!control_.WinAMP_FindWindow()) {
        const std::string path = state_.WinampPath();
        found = path.empty() ? "No player program is set in the settings"
                             : "The player is not running: " + path;
    } else {
        if (ports_.player.query(state_.WinampWindow, 0, winamp::kQueryState) !=
            winamp::kStatePlaying) {
            control_.WinAMP_SendCommand(winamp::kPlay);
        }
        const PlaylistSnapshot list = info_.GetPlaylist();
        const std::vector<PlaylistEntry> first = info_.GetPlaylistEntries(0, 1);
        found = list.Ok && !first.empty()
                    ? "Playlist of " + std::to_string(list.Count) +
                          " entries; the first is: " + info_.PlaylistEntryText(first.front())
                    : "The player's playlist is empty or cannot be read";
    }
    link_.WriteLog(std::string("Player check: ") + found);
    ports_.desktop.notify(kTitle, found);
}

}  // namespace zintor
