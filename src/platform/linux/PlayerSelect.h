#pragma once

#include <QDBusConnection>
#include <functional>
#include <string>
#include <vector>

#include "AudaciousPlayer.h"
#include "MprisPlayer.h"
#include "ports/LogSink.h"
#include "ports/MediaPlayer.h"

namespace zintor {

// The media player of the Linux program: Audacious over its own interface when the configured
// player program is Audacious ("/usr/bin/audacious"), any MPRIS player otherwise. The choice is
// made on every window search, so a changed setting takes effect at once; the other calls go to
// the player that the last search asked.
class PlayerSelect final : public MediaPlayer {
  public:
    explicit PlayerSelect(QDBusConnection bus = QDBusConnection::sessionBus(),
                          Diagnostic diagnostic = {});

    // True when `path` names the Audacious program.
    static bool isAudacious(const std::string& path);

    Handle findWindow(const std::string& playerPath) override;
    void command(Handle window, int id) override;
    int query(Handle window, int data, int code) override;
    std::string caption(Handle window) override;
    bool start(const std::string& path) override;
    int playlistCount(const std::string& playerPath) override;
    bool playlistEntries(const std::string& playerPath, int first, int count,
                         std::vector<PlaylistEntry>& out) override;

  private:
    MediaPlayer& choose(const std::string& path);

    AudaciousPlayer audacious_;
    MprisPlayer mpris_;
    MediaPlayer* active_;
};

}  // namespace zintor
