#include "platform/linux/PlayerSelect.h"

#include "platform/linux/MprisName.h"

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

bool PlayerSelect::find(const std::string& playerPath) {
    return choose(playerPath).find(playerPath);
}

bool PlayerSelect::start(const std::string& path) {
    return choose(path).start(path);
}

}  // namespace zintor
