#include "core/media/PlayerCheck.h"

#include "core/link/Link.h"
#include "core/media/MediaTexts.h"
#include "core/media/PlayerControl.h"
#include "core/media/PlayerInfo.h"

namespace zintor {

namespace {
constexpr const char* kTitle = "Zintor - Player check";
}

PlayerCheck::PlayerCheck(ProgramState& state, Ports& ports, Link& link, PlayerControl& control,
                         PlayerInfo& info)
    : state_(state), ports_(ports), link_(link), control_(control), info_(info) {}

void PlayerCheck::run() {
    std::string found;
    if (!control_.find()) {
        const std::string path = state_.playerPath();
        found = path.empty() ? "No player program is set in the settings"
                             : "The player is not running: " + path;
    } else {
        if (ports_.player.state() != PlayState::kPlaying) {
            control_.send(&MediaPlayer::play);
        }
        const PlaylistSnapshot list = info_.getPlaylist();
        const std::vector<PlaylistEntry> first = info_.getPlaylistEntries(0, 1);
        found = list.ok && !first.empty()
                    ? "Playlist of " + std::to_string(list.count) +
                          " entries; the first is: " + info_.playlistEntryText(first.front())
                    : "The player's playlist is empty or cannot be read";
    }
    link_.log.write(std::string("Player check: ") + found);
    ports_.desktop.notify(kTitle, found);
}

}  // namespace zintor
