#pragma once

#include <QDBusConnection>
#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/ports/LogSink.h"
#include "core/ports/MediaPlayer.h"
#include "platform/linux/PlayerBus.h"

namespace zintor {

// Audacious over its own D-Bus interface (org.atheme.audacious on the session bus). It is found
// while that bus name has an owner. Position and length in seconds (the position -1 when
// stopped); the playlist is read a page at a time (file URIs as paths, other URIs as they are,
// with Audacious's title of each entry). It has no elapsed/remaining time switch.
class AudaciousPlayer final : public MediaPlayer {
  public:
    static constexpr int kDefaultTimeoutMs = 500;
    // How long start() waits for a started Audacious to appear on the bus.
    static constexpr int kStartWaitMs = 3000;
    // One volume command moves the volume this many percent.
    static constexpr int kVolumeStep = 2;

    explicit AudaciousPlayer(QDBusConnection bus = QDBusConnection::sessionBus(),
                             Diagnostic diagnostic = {}, int timeoutMs = kDefaultTimeoutMs);

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

  private:
    // Where the calls go: the run of Audacious the last search found, or empty.
    QString peer() const { return bus_.peer(found_); }
    std::optional<QList<QVariant>> call(const QString& peer, const QString& method,
                                        const QList<QVariant>& args = {});
    void send(const QString& method);
    QString status(const QString& peer);
    // The current entry's index; 0 when the player does not answer.
    int current(const QString& peer);
    void stepVolume(int step);
    void reportOnce(const std::string& message);

    PlayerBus bus_;
    Diagnostic diagnostic_;
    PlayerBus::Handle found_ = 0;
    QString playlistPeer_;  // the player whose playlist readPlaylist read
    int playlistCount_ = -1;
    std::set<std::string> reported_;
    // The volume set last: Audacious may still report the old one just after a change.
    int volumeSet_ = -1;
    QString volumePeer_;
    std::chrono::steady_clock::time_point volumeSetAt_;
};

}  // namespace zintor
