#pragma once

#include <map>
#include <string>
#include <vector>

#include "ports/MediaPlayer.h"

namespace zintor {

// A media player answering like Winamp, driven by the test: running or not, play state, position
// and length, a playlist with a current entry, and a caption. Commands move the state the way
// Winamp does (play, pause/resume, stop, next, previous, close); every command, query and start is
// recorded ("command 40045", "query 105 0", "start /opt/winamp", "count /opt/winamp", "entries 16
// 9" for a page of nine entries from entry 16).
class ScriptedPlayer : public MediaPlayer {
  public:
    static constexpr Handle kWindow = 0x5a;
    enum State { Stopped = 0, Playing = 1, Paused = 3 };

    // MediaPlayer
    Handle findWindow(const std::string& playerPath) override;
    void command(Handle window, int id) override;
    int query(Handle window, int data, int code) override;
    std::string caption(Handle window) override;
    bool start(const std::string& path) override;
    int playlistCount(const std::string& playerPath) override;
    bool playlistEntries(const std::string& playerPath, int first, int count,
                         std::vector<PlaylistEntry>& out) override;

    // Set-up and inspection.
    void setRunning(bool running) { running_ = running; }
    // The window closes right after the next search has found it.
    void closeOnceFound() { closing_ = true; }
    // Hung: its window is there, but it answers nothing and ignores every command.
    void setHung(bool hung) { hung_ = hung; }
    bool running() const { return running_; }
    void setState(State state) { state_ = state; }
    State state() const { return state_; }
    void setPositionMs(int ms) { positionMs_ = ms; }
    void setLengthSeconds(int seconds) { lengthS_ = seconds; }
    void setPlaylist(std::vector<std::string> entries, int current = 0);
    const std::vector<std::string>& playlist() const { return entries_; }
    // The player's own title for entry `index` (none unless set).
    void setTitle(int index, std::string title) { titles_[index] = std::move(title); }
    int current() const { return current_; }
    // A fixed caption; without one it is "<n>. <entry> - Winamp" (+ " [Paused]" while paused).
    void setCaption(std::string caption) { caption_ = std::move(caption); }
    void setStartResult(bool started, bool runsAfterStart = true) {
        startOk_ = started;
        runsAfterStart_ = runsAfterStart;
    }
    const std::vector<std::string>& calls() const { return calls_; }
    // The path given to the last window search.
    void clearCalls() { calls_.clear(); }

  private:
    bool answers(Handle window) const { return running_ && !hung_ && window == kWindow; }

    bool running_ = true;
    bool closing_ = false;
    bool hung_ = false;
    State state_ = Stopped;
    int positionMs_ = 0;
    int lengthS_ = 0;
    std::vector<std::string> entries_;
    std::map<int, std::string> titles_;
    int current_ = 0;
    std::string caption_;
    bool startOk_ = true;
    bool runsAfterStart_ = true;
    bool playlistWritten_ = false;
    std::vector<std::string> calls_;
};

}  // namespace zintor
