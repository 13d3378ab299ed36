#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/ports/MediaPlayer.h"

namespace zintor {

// A media player driven by the test: running or not, play state, position and length, a playlist
// with a current entry, and a title. Commands move the state the way a player does (play,
// pause/resume, stop, next, previous, close); every call but the search is recorded: the commands
// by name ("play", "volume up", "close", "start /opt/winamp"), the rest as "state", "position",
// "length", "title", "playlist", "entries 16 9" (a page of nine entries from entry 16), "jump 3".
class ScriptedPlayer : public MediaPlayer {
  public:
    // MediaPlayer
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

    // Set-up and inspection.
    void setRunning(bool running) { running_ = running; }
    // The player closes right after the next search has found it.
    void closeOnceFound() { closing_ = true; }
    // Hung: it is found, but it answers nothing and ignores every command.
    void setHung(bool hung) { hung_ = hung; }
    bool running() const { return running_; }
    void setState(PlayState state) { state_ = state; }
    PlayState playState() const { return state_; }
    void setPositionMs(int ms) { positionMs_ = ms; }
    void setLengthSeconds(int seconds) { lengthS_ = seconds; }
    void setPlaylist(std::vector<std::string> entries, int current = 0);
    const std::vector<std::string>& playlist() const { return entries_; }
    // The player's own title for entry `index` (none unless set).
    void setTitle(int index, std::string title) { titles_[index] = std::move(title); }
    int current() const { return current_; }
    // A fixed title of the current track; without one it is the current entry.
    void setCurrentTitle(std::string title) { title_ = std::move(title); }
    void setStartResult(bool started, bool runsAfterStart = true) {
        startOk_ = started;
        runsAfterStart_ = runsAfterStart;
    }
    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

  private:
    // Records `call`; true when the player found last is there to obey it.
    bool answers(const std::string& call);

    bool running_ = true;
    bool found_ = false;
    bool closing_ = false;
    bool hung_ = false;
    PlayState state_ = PlayState::kStopped;
    int positionMs_ = 0;
    int lengthS_ = 0;
    std::vector<std::string> entries_;
    std::map<int, std::string> titles_;
    int current_ = 0;
    std::string title_;
    bool startOk_ = true;
    bool runsAfterStart_ = true;
    bool playlistRead_ = false;
    std::vector<std::string> calls_;
};

}  // namespace zintor
