#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QList>
#include <QVariantMap>
#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/ports/LogSink.h"
#include "core/ports/MediaPlayer.h"
#include "platform/linux/PlayerBus.h"

namespace zintor {

// Any player with an MPRIS interface (org.mpris.MediaPlayer2.*: VLC, Rhythmbox, mpv with its
// MPRIS plugin, Spotify ...). Which player on the bus is meant is decided from the configured
// program path (chooseMprisName). Commands, play state, position, length and the title work on
// every such player; the playlist is the player's track list when it offers one
// (org.mpris.MediaPlayer2.TrackList), otherwise the current track only. MPRIS has no
// elapsed/remaining time switch.
class MprisPlayer final : public MediaPlayer {
  public:
    static constexpr int kDefaultTimeoutMs = 500;
    static constexpr int kStartWaitMs = 3000;
    static constexpr double kVolumeStep = 0.02;
    static constexpr std::chrono::seconds kJumpGrace{2};
    static constexpr int kJumpWaitMs = 1000;

    explicit MprisPlayer(QDBusConnection bus = QDBusConnection::sessionBus(),
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
    // Where the calls go: the run of the player the last search found, or empty.
    QString peer() const { return bus_.peer(found_); }
    QString findName(const std::string& playerPath);
    std::optional<QVariant> playerProperty(const QString& peer, const QString& name);
    QString playbackStatus(const QString& peer);
    QVariantMap metadata(const QString& peer);
    // The player's track ids; nothing when it has no track list or does not answer.
    std::optional<QList<QDBusObjectPath>> tracks(const QString& peer);
    // The same, read again only when the player has announced a change of its list since the
    // last read (reading the ids of a long list is what costs), or when `current` (a track id,
    // or empty) is not among them; empty when it has none.
    const QList<QDBusObjectPath>& trackList(const QString& peer, const QString& current);
    void watchTrackList();
    // The entries of `ids`, in their order; nothing when the player refuses (the list changed).
    std::optional<std::vector<PlaylistEntry>> readEntries(const QString& peer,
                                                          const QList<QDBusObjectPath>& ids);
    // Makes `track` the current one: at once for the playlist's queries, while the player still
    // reports the track it had before, for at most kJumpGrace.
    void goTo(const QString& peer, const QDBusObjectPath& track);
    // The id of the current track as the playlist's queries see it, given the player's metadata.
    QString currentTrack(const QString& peer, const QVariantMap& metadata);
    // A Play sent while the player is still opening the track of a jump can start the track it
    // had before instead (VLC does): waits, for at most kJumpWaitMs, until it has left that one.
    void awaitJump(const QString& peer);
    void send(const QString& method);
    void stepVolume(double step);
    void reportOnce(const std::string& message);

    PlayerBus bus_;
    Diagnostic diagnostic_;
    PlayerBus::Handle found_ = 0;
    QString chosenName_;
    std::string chosenFor_;
    // What readPlaylist read: the track ids (MPRIS tells the length of a track list no other way;
    // their details are read a page at a time), or the current track alone without a list.
    QString playlistPeer_;
    std::optional<PlaylistEntry> currentOnly_;
    int playlistCount_ = -1;
    // The track ids read last, of listPeer_; current until the player announces a change.
    QList<QDBusObjectPath> trackIds_;
    QString listPeer_;
    bool listCurrent_ = false;
    bool watching_ = false;
    // The jump sent last, until the player reports another track than it had before.
    struct Jump {
        QString peer;
        QString to;
        QString from;
        std::chrono::steady_clock::time_point until;
    };
    std::optional<Jump> jump_;
    std::set<std::string> reported_;
};

}  // namespace zintor
