#include "platform/linux/MprisPlayer.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QHash>
#include <QProcess>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <iostream>

#include "platform/linux/MprisName.h"

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

// "Artist - Title"; the title alone without an artist; the file name without a title.
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

bool MprisPlayer::find(const std::string& playerPath) {
    const QString name = findName(playerPath);
    found_ = bus_.handleFor(name.isEmpty() ? QString() : bus_.owner(name));
    return found_ != 0;
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
    // A player takes a moment to open the track it was sent to; the caller counts on the entry
    // being current as soon as the jump returns, and reads the list from it right away.
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

void MprisPlayer::send(const QString& method) {
    bus_.send(peer(), kPath, kPlayer, method);
}

void MprisPlayer::play() {
    awaitJump(peer());
    send(QStringLiteral("Play"));
}

void MprisPlayer::pause() {  // pauses, and resumes when paused; a stopped player stays stopped
    const QString status = playbackStatus(peer());
    if (status == QLatin1String("Playing")) {
        send(QStringLiteral("Pause"));
    } else if (status == QLatin1String("Paused")) {
        send(QStringLiteral("Play"));
    }
}

void MprisPlayer::stop() {
    send(QStringLiteral("Stop"));
}

void MprisPlayer::next() {
    send(QStringLiteral("Next"));
}

void MprisPlayer::previous() {
    send(QStringLiteral("Previous"));
}

void MprisPlayer::close() {
    bus_.send(peer(), kPath, kRoot, QStringLiteral("Quit"));
}

void MprisPlayer::volumeUp() {
    stepVolume(kVolumeStep);
}

void MprisPlayer::volumeDown() {
    stepVolume(-kVolumeStep);
}

void MprisPlayer::showElapsed() {
    reportOnce(
        "MPRIS players have no elapsed/remaining time switch: showing the elapsed time "
        "does nothing");
}

void MprisPlayer::showRemaining() {
    reportOnce(
        "MPRIS players have no elapsed/remaining time switch: showing the remaining time "
        "does nothing");
}

void MprisPlayer::stepVolume(double step) {
    const QString peer = this->peer();
    const auto volume = playerProperty(peer, QStringLiteral("Volume"));
    if (!volume) {
        return;
    }
    const double next = std::clamp(volume->toDouble() + step, 0.0, 1.0);
    bus_.setProperty(peer, kPath, kPlayer, QStringLiteral("Volume"), next);
}

PlayState MprisPlayer::state() {
    const QString status = playbackStatus(peer());
    return status == QLatin1String("Playing")  ? PlayState::kPlaying
           : status == QLatin1String("Paused") ? PlayState::kPaused
                                               : PlayState::kStopped;
}

int MprisPlayer::position() {
    const QString peer = this->peer();
    if (peer.isEmpty()) {
        return 0;
    }
    if (playbackStatus(peer) == QLatin1String("Stopped")) {
        return -1;
    }
    const auto position = playerProperty(peer, QStringLiteral("Position"));  // in microseconds
    return position ? static_cast<int>(position->toLongLong() / 1000) / 1000 : 0;
}

int MprisPlayer::length() {
    const QString peer = this->peer();
    if (peer.isEmpty()) {
        return 0;
    }
    const QVariant length = metadata(peer).value(QStringLiteral("mpris:length"));
    return length.isValid() ? static_cast<int>(length.toLongLong() / 1'000'000) : -1;
}

std::string MprisPlayer::title() {
    const auto value = playerProperty(peer(), QStringLiteral("Metadata"));
    return value ? trackText(toMap(*value)).toStdString() : "";
}

PlaylistPlace MprisPlayer::readPlaylist() {
    // The track ids only: the entries shown are read when they are asked for.
    const QString peer = this->peer();
    PlaylistPlace place;
    playlistPeer_ = peer;
    currentOnly_.reset();
    playlistCount_ = -1;
    if (peer.isEmpty()) {  // a player gone has no playlist to read
        return place;
    }
    const QVariantMap current = metadata(peer);
    const QString currentId = currentTrack(peer, current);
    const QList<QDBusObjectPath>& ids = trackList(peer, currentId);
    if (ids.isEmpty()) {
        if (!current.value(QStringLiteral("xesam:url")).toString().isEmpty()) {
            currentOnly_ = entry(current);
        }
        playlistCount_ = currentOnly_ ? 1 : 0;
    } else {
        playlistCount_ = static_cast<int>(ids.size());
        place.current = std::max(indexOf(ids, currentId), 0);
    }
    place.count = playlistCount_;
    return place;
}

void MprisPlayer::jump(int index) {
    // The list readPlaylist read, as the caller counted on it.
    const QString peer = this->peer();
    if (peer.isEmpty()) {
        return;
    }
    const QList<QDBusObjectPath> list = trackList(peer, QString());
    if (index >= 0 && index < list.size()) {
        goTo(peer, list[index]);
    }
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

bool MprisPlayer::playlistEntries(int first, int count, std::vector<PlaylistEntry>& out) {
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

void MprisPlayer::reportOnce(const std::string& message) {
    if (reported_.insert(message).second) {
        diagnostic_(message);
    }
}

}  // namespace zintor
