#include "MprisPlayer.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QHash>
#include <QProcess>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <iostream>

#include "MprisName.h"

namespace zintor {

namespace {

const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kTrackList = QStringLiteral("org.mpris.MediaPlayer2.TrackList");

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// A dictionary as QtDBus hands it over: still marshalled inside a variant, or already a map.
QVariantMap toMap(const QVariant& value) {
    if (value.userType() == qMetaTypeId<QDBusVariant>()) {
        return toMap(value.value<QDBusVariant>().variant());
    }
    if (value.canConvert<QDBusArgument>()) {
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    }
    return value.toMap();
}

// The path of a "file://[host]/path" address, its escapes decoded byte by byte: a file name need
// not be UTF-8 (a collection named in Latin-1), and such a name must come back exactly as it is
// on the disk. Anything else as the player gave it.
std::string entryText(const QVariantMap& track) {
    const QString uri = track.value(QStringLiteral("xesam:url")).toString();
    const QString scheme = QStringLiteral("file://");
    const qsizetype slash = uri.indexOf(QLatin1Char('/'), scheme.size());
    if (!uri.startsWith(scheme, Qt::CaseInsensitive) || slash < 0) {
        return uri.isEmpty() ? track.value(QStringLiteral("xesam:title")).toString().toStdString()
                             : uri.toStdString();
    }
    return QByteArray::fromPercentEncoding(uri.mid(slash).toUtf8()).toStdString();
}

// An entry of the playlist: its location and the player's title for it.
PlaylistEntry entry(const QVariantMap& track) {
    return {entryText(track), track.value(QStringLiteral("xesam:title")).toString().toStdString()};
}

// "Artist - Title" the way Winamp names a track; the title alone without an artist; the file
// name without a title.
QString trackText(const QVariantMap& track) {
    const QString title = track.value(QStringLiteral("xesam:title")).toString();
    const QStringList artists = track.value(QStringLiteral("xesam:artist")).toStringList();
    if (!title.isEmpty()) {
        return artists.isEmpty() ? title : artists.join(QStringLiteral(", ")) + " - " + title;
    }
    return QUrl(track.value(QStringLiteral("xesam:url")).toString()).fileName();
}

QString trackId(const QVariantMap& track) {
    const QVariant id = track.value(QStringLiteral("mpris:trackid"));
    return id.canConvert<QDBusObjectPath>() ? id.value<QDBusObjectPath>().path() : id.toString();
}

// Where track `id` stands in the list; -1 when it is not in it (nothing loaded, or a track the
// player plays from outside its list).
int indexOf(const QList<QDBusObjectPath>& tracks, const QString& id) {
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        if (tracks[i].path() == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

MprisPlayer::MprisPlayer(QDBusConnection bus, Diagnostic diagnostic, int timeoutMs)
    : bus_(std::move(bus), timeoutMs), diagnostic_(std::move(diagnostic)) {
    if (!diagnostic_) {
        diagnostic_ = [](const std::string& message) { std::cerr << message << '\n'; };
    }
}

QString MprisPlayer::findName(const std::string& playerPath) {
    const QStringList names = bus_.names();
    // The player chosen last is kept while it stays on the bus: finding it again costs one call.
    if (!chosenName_.isEmpty() && chosenFor_ == playerPath && names.contains(chosenName_)) {
        return chosenName_;
    }
    chosenFor_ = playerPath;
    chosenName_ = chooseMprisName(names, playerPath, [this](const QString& name) {
        QStringList identities;
        for (const char* property : {"DesktopEntry", "Identity"}) {
            if (const auto value =
                    bus_.property(name, kPath, kRoot, QString::fromLatin1(property))) {
                identities.append(value->toString());
            }
        }
        return identities;
    });
    return chosenName_;
}

MediaPlayer::Handle MprisPlayer::findWindow(const std::string& playerPath) {
    const QString name = findName(playerPath);
    return bus_.handleFor(name.isEmpty() ? QString() : bus_.owner(name));
}

std::optional<QVariant> MprisPlayer::playerProperty(const QString& peer, const QString& name) {
    return bus_.property(peer, kPath, kPlayer, name);
}

QString MprisPlayer::playbackStatus(const QString& peer) {
    const auto status = playerProperty(peer, QStringLiteral("PlaybackStatus"));
    return status ? status->toString() : QString();
}

QVariantMap MprisPlayer::metadata(const QString& peer) {
    const auto value = playerProperty(peer, QStringLiteral("Metadata"));
    return value ? toMap(*value) : QVariantMap();
}

std::optional<QList<QDBusObjectPath>> MprisPlayer::tracks(const QString& peer) {
    // HasTrackList is not asked: VLC answers false yet offers its whole playlist. A player
    // without the interface answers the read with an error at once.
    const auto value = bus_.property(peer, kPath, kTrackList, QStringLiteral("Tracks"));
    if (!value || !value->canConvert<QDBusArgument>()) {
        return std::nullopt;
    }
    return qdbus_cast<QList<QDBusObjectPath>>(value->value<QDBusArgument>());
}

void MprisPlayer::watchTrackList() {
    if (watching_) {
        return;
    }
    watching_ = true;
    BusSignalWait& bus = bus_.signalWait();
    bus.watch(QString(), kPath, kProperties, QStringLiteral("PropertiesChanged"));
    for (const char* name : {"TrackListReplaced", "TrackAdded", "TrackRemoved"}) {
        bus.watch(QString(), kPath, kTrackList, QString::fromLatin1(name));
    }
    bus.observe([this](const QDBusMessage& signal) {
        if (signal.service() != listPeer_ || signal.path() != kPath) {
            return;
        }
        const bool properties = signal.member() == QLatin1String("PropertiesChanged");
        if (!properties || signal.arguments().value(0).toString() == kTrackList) {
            listCurrent_ = false;
        }
    });
}

const QList<QDBusObjectPath>& MprisPlayer::trackList(const QString& peer, const QString& current) {
    watchTrackList();
    const bool stale = listPeer_ != peer || !listCurrent_ ||
                       (!current.isEmpty() && indexOf(trackIds_, current) < 0);
    if (stale) {
        auto list = tracks(peer);
        trackIds_ = list ? std::move(*list) : QList<QDBusObjectPath>{};
        listPeer_ = peer;
        listCurrent_ = list.has_value();
    }
    return trackIds_;
}

std::optional<std::vector<PlaylistEntry>> MprisPlayer::readEntries(
    const QString& peer, const QList<QDBusObjectPath>& ids) {
    if (ids.isEmpty()) {
        return std::vector<PlaylistEntry>{};
    }
    const auto reply = bus_.call(peer, kPath, kTrackList, QStringLiteral("GetTracksMetadata"),
                                 {QVariant::fromValue(ids)});
    if (!reply || reply->isEmpty() || !reply->first().canConvert<QDBusArgument>()) {
        return std::nullopt;
    }
    // Matched by id: the answer's order is the player's business.
    QHash<QString, PlaylistEntry> found;
    const auto answer = qdbus_cast<QList<QVariantMap>>(reply->first().value<QDBusArgument>());
    for (const QVariantMap& track : answer) {
        found.insert(trackId(track), entry(track));
    }
    std::vector<PlaylistEntry> entries;
    for (const QDBusObjectPath& id : ids) {
        entries.push_back(found.value(id.path()));
    }
    return entries;
}

void MprisPlayer::goTo(const QString& peer, const QDBusObjectPath& track) {
    const QString before = trackId(metadata(peer));
    if (bus_.call(peer, kPath, kTrackList, QStringLiteral("GoTo"), {QVariant::fromValue(track)})) {
        jump_ = Jump{peer, track.path(), before, std::chrono::steady_clock::now() + kJumpGrace};
    }
}

QString MprisPlayer::currentTrack(const QString& peer, const QVariantMap& metadata) {
    const QString id = trackId(metadata);
    // A player takes a moment to open the track it was sent to; Winamp's entry is current as soon
    // as the jump returns, and the caller reads the list from it right away.
    if (jump_ && jump_->peer == peer && id == jump_->from &&
        std::chrono::steady_clock::now() < jump_->until) {
        return jump_->to;
    }
    jump_.reset();
    return id;
}

void MprisPlayer::awaitJump(const QString& peer) {
    if (!jump_ || jump_->peer != peer || jump_->to == jump_->from ||
        std::chrono::steady_clock::now() >= jump_->until) {
        return;
    }
    watchTrackList();  // the player's property changes, the current track among them
    const QString from = jump_->from;
    bus_.signalWait().waitFor(kJumpWaitMs,
                              [&](const QDBusMessage*) { return trackId(metadata(peer)) != from; });
}

void MprisPlayer::send(const QString& peer, const QString& method) {
    bus_.send(peer, kPath, kPlayer, method);
}

void MprisPlayer::command(Handle window, int id) {
    const QString peer = bus_.peer(window);
    if (peer.isEmpty()) {
        return;
    }
    switch (id) {
        case winamp::kClose:
            bus_.send(peer, kPath, kRoot, QStringLiteral("Quit"));
            break;
        case winamp::kPrevious:
            send(peer, QStringLiteral("Previous"));
            break;
        case winamp::kPlay:
            awaitJump(peer);
            send(peer, QStringLiteral("Play"));
            break;
        case winamp::kPause: {  // pauses, and resumes when paused; a stopped player stays stopped
            const QString status = playbackStatus(peer);
            if (status == QLatin1String("Playing")) {
                send(peer, QStringLiteral("Pause"));
            } else if (status == QLatin1String("Paused")) {
                send(peer, QStringLiteral("Play"));
            }
            break;
        }
        case winamp::kStop:
            send(peer, QStringLiteral("Stop"));
            break;
        case winamp::kNext:
            send(peer, QStringLiteral("Next"));
            break;
        case winamp::kVolumeUp:
            stepVolume(peer, kVolumeStep);
            break;
        case winamp::kVolumeDown:
            stepVolume(peer, -kVolumeStep);
            break;
        case winamp::kShowElapsed:
        case winamp::kShowRemaining:
            reportOnce(id, "MPRIS players have no elapsed/remaining time switch: command " +
                               std::to_string(id) + " does nothing");
            break;
        default:
            reportOnce(id, "MPRIS player: unknown command " + std::to_string(id) + " ignored");
            break;
    }
}

void MprisPlayer::stepVolume(const QString& peer, double step) {
    const auto volume = playerProperty(peer, QStringLiteral("Volume"));
    if (!volume) {
        return;
    }
    const double next = std::clamp(volume->toDouble() + step, 0.0, 1.0);
    bus_.setProperty(peer, kPath, kPlayer, QStringLiteral("Volume"), next);
}

int MprisPlayer::query(Handle window, int data, int code) {
    const QString peer = bus_.peer(window);
    if (peer.isEmpty()) {
        if (code == winamp::kQueryWritePlaylist) {  // a player gone has no playlist to read
            playlistPeer_.clear();
            currentOnly_.reset();
            playlistCount_ = -1;
        }
        return 0;
    }
    switch (code) {
        case winamp::kQueryState: {
            const QString status = playbackStatus(peer);
            return status == QLatin1String("Playing")  ? 1
                   : status == QLatin1String("Paused") ? 3
                                                       : 0;
        }
        case winamp::kQueryTime: {
            if (data == 1) {
                const QVariant length = metadata(peer).value(QStringLiteral("mpris:length"));
                return length.isValid() ? static_cast<int>(length.toLongLong() / 1'000'000) : -1;
            }
            if (playbackStatus(peer) == QLatin1String("Stopped")) {
                return -1;
            }
            const auto position = playerProperty(peer, QStringLiteral("Position"));
            return position ? static_cast<int>(position->toLongLong() / 1000) : 0;
        }
        case winamp::kQueryWritePlaylist: {
            // The track ids only: the entries shown are read when they are asked for.
            const QVariantMap current = metadata(peer);
            const QString currentId = currentTrack(peer, current);
            playlistPeer_ = peer;
            const QList<QDBusObjectPath>& ids = trackList(peer, currentId);
            currentOnly_.reset();
            if (ids.isEmpty()) {
                if (!current.value(QStringLiteral("xesam:url")).toString().isEmpty()) {
                    currentOnly_ = entry(current);
                }
                playlistCount_ = currentOnly_ ? 1 : 0;
                return 0;
            }
            playlistCount_ = static_cast<int>(ids.size());
            return std::max(indexOf(ids, currentId), 0);
        }
        case winamp::kQuerySetPosition: {
            // The list the last query 120 read, as the caller counted on it.
            const QList<QDBusObjectPath> list = trackList(peer, QString());
            if (data >= 0 && data < list.size()) {
                goTo(peer, list[data]);
            }
            return 0;
        }
        default:
            return 0;
    }
}

std::string MprisPlayer::caption(Handle window) {
    const QString peer = bus_.peer(window);
    if (peer.isEmpty()) {
        return "";
    }
    const auto value = playerProperty(peer, QStringLiteral("Metadata"));
    if (!value) {
        return "";  // gone meanwhile
    }
    const QVariantMap current = toMap(*value);
    const QString text = trackText(current);
    if (text.isEmpty()) {
        return "Winamp";  // nothing loaded
    }
    const int index = std::max(indexOf(trackList(peer, trackId(current)), trackId(current)), 0);
    std::string caption = std::to_string(index + 1) + ". " + text.toStdString() + " - Winamp";
    if (playbackStatus(peer) == QLatin1String("Paused")) {
        caption += " [Paused]";
    }
    return caption;
}

bool MprisPlayer::start(const std::string& path) {
    qint64 pid = 0;
    if (!QProcess::startDetached(QString::fromStdString(path), {}, QString(), &pid) || pid == 0) {
        return false;
    }
    chosenName_.clear();
    bus_.waitForName(kStartWaitMs, [&] { return !findName(path).isEmpty(); });
    return true;
}

int MprisPlayer::playlistCount(const std::string& /*playerPath*/) {
    return playlistCount_;
}

bool MprisPlayer::playlistEntries(const std::string& /*playerPath*/, int first, int count,
                                  std::vector<PlaylistEntry>& out) {
    out.clear();
    if (playlistCount_ < 0) {
        return false;
    }
    if (currentOnly_) {
        if (first <= 0 && first + count > 0) {
            out.push_back(*currentOnly_);
        }
        return true;
    }
    const qsizetype from = std::clamp<qsizetype>(first, 0, trackIds_.size());
    const qsizetype length = std::clamp<qsizetype>(first + count, from, trackIds_.size()) - from;
    auto entries = readEntries(playlistPeer_, trackIds_.mid(from, length));
    if (!entries) {
        // The list changed since it was read (VLC then refuses the whole request): the same
        // places of the list as it is now.
        listCurrent_ = false;
        entries = readEntries(playlistPeer_, trackList(playlistPeer_, QString()).mid(from, length));
    }
    if (entries) {
        out = std::move(*entries);
    }
    return true;
}

void MprisPlayer::reportOnce(int id, const std::string& message) {
    if (reported_.insert(id).second) {
        diagnostic_(message);
    }
}

}  // namespace zintor
