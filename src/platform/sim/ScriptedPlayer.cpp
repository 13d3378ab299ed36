#include "ScriptedPlayer.h"

#include <algorithm>
#include <utility>

namespace zintor {

MediaPlayer::Handle ScriptedPlayer::findWindow(const std::string&) {
    const Handle found = running_ ? kWindow : 0;
    running_ = running_ && !std::exchange(closing_, false);
    return found;
}

void ScriptedPlayer::setPlaylist(std::vector<std::string> entries, int current) {
    entries_ = std::move(entries);
    current_ = current;
    titles_.clear();
}

void ScriptedPlayer::command(Handle window, int id) {
    calls_.push_back("command " + std::to_string(id));
    if (!answers(window)) {
        return;
    }
    int last = static_cast<int>(entries_.size()) - 1;
    switch (id) {
        case winamp::kClose:
            running_ = false;
            state_ = Stopped;
            break;
        case winamp::kPrevious:
            current_ = current_ > 0 ? current_ - 1 : 0;
            positionMs_ = 0;
            break;
        case winamp::kPlay:
            state_ = Playing;
            positionMs_ = 0;
            break;
        case winamp::kPause:
            state_ = state_ == Playing ? Paused : state_ == Paused ? Playing : state_;
            break;
        case winamp::kStop:
            state_ = Stopped;
            positionMs_ = 0;
            break;
        case winamp::kNext:
            current_ = current_ < last ? current_ + 1 : current_;
            positionMs_ = 0;
            break;
        case winamp::kVolumeUp:
            break;
        case winamp::kVolumeDown:
            break;
        default:
            break;
    }
}

int ScriptedPlayer::query(Handle window, int data, int code) {
    calls_.push_back("query " + std::to_string(code) + " " + std::to_string(data));
    if (!answers(window)) {
        return 0;
    }
    switch (code) {
        case winamp::kQueryState:
            return state_;
        case winamp::kQueryTime:
            if (data == 1) {
                return lengthS_;
            }
            return state_ == Stopped ? -1 : positionMs_;
        case winamp::kQueryWritePlaylist:
            playlistWritten_ = true;
            return current_;
        case winamp::kQuerySetPosition:
            if (data >= 0 && data < static_cast<int>(entries_.size())) {
                current_ = data;
            }
            return 0;
        default:
            return 0;
    }
}

std::string ScriptedPlayer::caption(Handle window) {
    calls_.push_back("caption");
    if (!answers(window)) {
        return "";
    }
    if (!caption_.empty()) {
        return caption_;
    }
    std::string entry = current_ >= 0 && current_ < static_cast<int>(entries_.size())
                            ? entries_[static_cast<std::size_t>(current_)]
                            : "";
    return std::to_string(current_ + 1) + ". " + entry + " - Winamp" +
           (state_ == Paused ? " [Paused]" : "");
}

bool ScriptedPlayer::start(const std::string& path) {
    calls_.push_back("start " + path);
    if (startOk_ && runsAfterStart_) {
        running_ = true;
    }
    return startOk_;
}

int ScriptedPlayer::playlistCount(const std::string& playerPath) {
    calls_.push_back("count " + playerPath);
    return playlistWritten_ && !hung_ ? static_cast<int>(entries_.size()) : -1;
}

bool ScriptedPlayer::playlistEntries(const std::string& /*playerPath*/, int first, int count,
                                     std::vector<PlaylistEntry>& out) {
    calls_.push_back("entries " + std::to_string(first) + " " + std::to_string(count));
    out.clear();
    if (!playlistWritten_ || hung_) {
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

}  // namespace zintor
