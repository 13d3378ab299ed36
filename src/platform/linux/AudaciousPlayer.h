#pragma once

#include <QDBusConnection>
#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "PlayerBus.h"
#include "ports/LogSink.h"
#include "ports/MediaPlayer.h"

namespace zintor {

// Audacious driven the way Winamp is, over its own D-Bus interface (org.atheme.audacious on the
// session bus). Its "window" exists while that bus name has an owner. Commands and queries are
// answered as Winamp answers them: play state 1/3/0, position in ms (-1 when stopped), length of
// the current entry in s; query 120 answers the current entry's index and makes the playlist
// readable, a page at a time (file URIs as paths, other URIs as they are, with Audacious's title
// of each entry); query 121 jumps. The caption is built in Winamp's form, "3. Title - Winamp",
// with " [Paused]" after it while paused.
class AudaciousPlayer final : public MediaPlayer {
  public:
    static constexpr int kDefaultTimeoutMs = 500;
    // How long start() waits for a started Audacious to appear on the bus.
    static constexpr int kStartWaitMs = 3000;
    // One volume command moves the volume this many percent.
    static constexpr int kVolumeStep = 2;

    explicit AudaciousPlayer(QDBusConnection bus = QDBusConnection::sessionBus(),
                             Diagnostic diagnostic = {}, int timeoutMs = kDefaultTimeoutMs);

    Handle findWindow(const std::string& playerPath) override;
    void command(Handle window, int id) override;
    int query(Handle window, int data, int code) override;
    std::string caption(Handle window) override;
    bool start(const std::string& path) override;
    int playlistCount(const std::string& playerPath) override;
    bool playlistEntries(const std::string& playerPath, int first, int count,
                         std::vector<PlaylistEntry>& out) override;

  private:
    std::optional<QList<QVariant>> call(const QString& peer, const QString& method,
                                        const QList<QVariant>& args = {});
    void send(const QString& peer, const QString& method, const QList<QVariant>& args = {});
    QString status(const QString& peer);
    int position(const QString& peer);
    void stepVolume(const QString& peer, int step);
    void reportOnce(int id, const std::string& message);

    PlayerBus bus_;
    Diagnostic diagnostic_;
    QString playlistPeer_;  // the player whose playlist query 120 made readable
    int playlistCount_ = -1;
    std::set<int> reported_;
    // The volume set last: Audacious may still report the old one just after a change.
    int volumeSet_ = -1;
    QString volumePeer_;
    std::chrono::steady_clock::time_point volumeSetAt_;
};

}  // namespace zintor
