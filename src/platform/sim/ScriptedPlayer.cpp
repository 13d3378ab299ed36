#include "platform/sim/ScriptedPlayer.h"

#include <algorithm>
#include <utility>

namespace zintor {

bool ScriptedPlayer::find(const std::string&) {
    found_ = running_;
    running_ = running_ && !std::exchange(closing_, false);
    return found_;
}

bool ScriptedPlayer::answers(const std::string& call) {
    calls_.push_back(call);
    return found_ && running_ && !hung_;
}

void ScriptedPlayer::setPlaylist(std::vector<std::string> entries, int current) {
    entries_ = std::move(entries);
    current_ = current;
    titles_.clear();
}

void ScriptedPlayer::play() {
    if (answers("play")) {
        state_ = PlayState::kPlaying;
        positionMs_ = 0;
    }
}

void ScriptedPlayer::pause() {
    if (answers("pause") && state_ != PlayState::kStopped) {
        state_ = state_ == PlayState::kPlaying ? PlayState::kPaused : PlayState::kPlaying;
    }
}

void ScriptedPlayer::stop() {
    if (answers("stop")) {
        state_ = PlayState::kStopped;
        positionMs_ = 0;
    }
}

void ScriptedPlayer::next() {
    if (answers("next")) {
        current_ = current_ < static_cast<int>(entries_.size()) - 1 ? current_ + 1 : current_;
        positionMs_ = 0;
    }
}

void ScriptedPlayer::previous() {
    if (answers("previous")) {
        current_ = current_ > 0 ? current_ - 1 : 0;
        positionMs_ = 0;
    }
}

void ScriptedPlayer::volumeUp() {
    answers("volume up");
}

void ScriptedPlayer::volumeDown() {
    answers("volume down");
}

void ScriptedPlayer::showElapsed() {
    answers("show elapsed");
}

void ScriptedPlayer::showRemaining() {
    answers("show remaining");
}

void ScriptedPlayer::close() {
    if (answers("close")) {
        running_ = false;
        state_ = PlayState::kStopped;
    }
}

PlayState ScriptedPlayer::state() {
    return answers("state") ? state_ : PlayState::kStopped;
}

int ScriptedPlayer::position() {
    if (!answers("position")) {
        return 0;
    }
    return state_ == PlayState::kStopped ? -1 : positionMs_ / 1000;
}

int ScriptedPlayer::length() {
    return answers("length") ? lengthS_ : 0;
}

std::string ScriptedPlayer::title() {
    if (!answers("title")) {
        return "";
    }
    if (!title_.empty()) {
        return title_;
    }
    return current_ >= 0 && current_ < static_cast<int>(entries_.size())
               ? entries_[static_cast<std::size_t>(current_)]
               : "";
}

bool ScriptedPlayer::start(const std::string& path) {
    calls_.push_back("start " + path);
    if (startOk_ && runsAfterStart_) {
        running_ = true;
    }
    return startOk_;
}

PlaylistPlace ScriptedPlayer::readPlaylist() {
    PlaylistPlace place;
    if (answers("playlist")) {
        playlistRead_ = true;
        place.current = current_;
    }
    place.count = playlistRead_ && !hung_ ? static_cast<int>(entries_.size()) : -1;
    return place;
}

bool ScriptedPlayer::playlistEntries(int first, int count, std::vector<PlaylistEntry>& out) {
    calls_.push_back("entries " + std::to_string(first) + " " + std::to_string(count));
    out.clear();
    if (!playlistRead_ || hung_) {
        return false;
    }
    const int size = static_cast<int>(entries_.size());
    for (int i = std::max(first, 0); i < size && i < first + count; ++i) {
        const auto title = titles_.find(i);
        out.push_back({entries_[static_cast<std::size_t>(i)],
                       title == titles_.end() ? std::string() : title->second});
    }
    return true;
}

void ScriptedPlayer::jump(int index) {
    if (answers("jump " + std::to_string(index)) && index >= 0 &&
        index < static_cast<int>(entries_.size())) {
        current_ = index;
    }
}

}  // namespace zintor
