#include "PlayerSelect.h"

#include "MprisName.h"

namespace zintor {

PlayerSelect::PlayerSelect(QDBusConnection bus, Diagnostic diagnostic)
    : audacious_(bus, diagnostic), mpris_(bus, diagnostic), active_(&mpris_) {}

bool PlayerSelect::isAudacious(const std::string& path) {
    return playerProgramName(path) == QLatin1String("audacious");
}

MediaPlayer& PlayerSelect::choose(const std::string& path) {
    active_ = isAudacious(path) ? static_cast<MediaPlayer*>(&audacious_) : &mpris_;
    return *active_;
}

MediaPlayer::Handle PlayerSelect::findWindow(const std::string& playerPath) {
    return choose(playerPath).findWindow(playerPath);
}

void PlayerSelect::command(Handle window, int id) {
    active_->command(window, id);
}

int PlayerSelect::query(Handle window, int data, int code) {
    return active_->query(window, data, code);
}

std::string PlayerSelect::caption(Handle window) {
    return active_->caption(window);
}

bool PlayerSelect::start(const std::string& path) {
    return choose(path).start(path);
}

int PlayerSelect::playlistCount(const std::string& playerPath) {
    return active_->playlistCount(playerPath);
}

bool PlayerSelect::playlistEntries(const std::string& playerPath, int first, int count,
                                   std::vector<PlaylistEntry>& out) {
    return active_->playlistEntries(playerPath, first, count, out);
}

}  // namespace zintor
