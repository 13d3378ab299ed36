#pragma once

#include <QDBusConnection>
#include <functional>
#include <string>
#include <vector>

#include "core/ports/LogSink.h"
#include "core/ports/MediaPlayer.h"
#include "platform/linux/AudaciousPlayer.h"
#include "platform/linux/MprisPlayer.h"

namespace zintor {

// The media player of the Linux program: Audacious over its own interface when the configured
// player program is Audacious ("/usr/bin/audacious"), any MPRIS player otherwise. The choice is
// made on every search, so a changed setting takes effect at once; the other calls go to the
// player that the last search asked.
class PlayerSelect final : public MediaPlayer {
  public:
    explicit PlayerSelect(QDBusConnection bus = QDBusConnection::sessionBus(),
                          Diagnostic diagnostic = {});

    // True when `path` names the Audacious program.
    static bool isAudacious(const std::string& path);

    bool find(const std::string& playerPath) override;
    bool start(const std::string& path) override;
    void play() override { active_->play(); }
    void pause() override { active_->pause(); }
    void stop() override { active_->stop(); }
    void next() override { active_->next(); }
    void previous() override { active_->previous(); }
    void volumeUp() override { active_->volumeUp(); }
    void volumeDown() override { active_->volumeDown(); }
    void showElapsed() override { active_->showElapsed(); }
    void showRemaining() override { active_->showRemaining(); }
    void close() override { active_->close(); }
    PlayState state() override { return active_->state(); }
    int position() override { return active_->position(); }
    int length() override { return active_->length(); }
    std::string title() override { return active_->title(); }
    PlaylistPlace readPlaylist() override { return active_->readPlaylist(); }
    bool playlistEntries(int first, int count, std::vector<PlaylistEntry>& out) override {
        return active_->playlistEntries(first, count, out);
    }
    void jump(int index) override { active_->jump(index); }

  private:
    MediaPlayer& choose(const std::string& path);

    AudaciousPlayer audacious_;
    MprisPlayer mpris_;
    MediaPlayer* active_;
};

}  // namespace zintor
