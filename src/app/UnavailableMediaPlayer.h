#pragma once

#include "ports/MediaPlayer.h"

namespace zintor::app {

// TODO(lead): replace with the media player adapter (AudaciousPlayer / MprisPlayer) once it
// exists. Until then the program behaves as if the player's window were never found.
class UnavailableMediaPlayer : public MediaPlayer {
public:
    Handle findWindow() override { return 0; }
    void command(Handle, int) override {}
    int query(Handle, int, int) override { return 0; }
    std::string caption(Handle) override { return {}; }
    bool start(const std::string&) override { return false; }
    bool playlistLines(const std::string&, std::vector<std::string>&) override { return false; }
};

}  // namespace zintor::app
