#include "platform/linux/AudaciousPlayer.h"

#include <QDBusVariant>
#include <QProcess>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <iostream>

namespace zintor {

namespace {

const QString kName = QStringLiteral("org.atheme.audacious");
const QString kPath = QStringLiteral("/org/atheme/audacious");
const QString kInterface = QStringLiteral("org.atheme.audacious");

// An entry as a path when it is a local file, otherwise as the player gave it.
std::string entryText(const QString& uri) {
    const QUrl url(uri);
    return url.isLocalFile() ? url.toLocalFile().toStdString() : uri.toStdString();
}

}  // namespace

AudaciousPlayer::AudaciousPlayer(QDBusConnection bus, Diagnostic diagnostic, int timeoutMs)
    : bus_(std::move(bus), timeoutMs), diagnostic_(std::move(diagnostic)) {
    if (!diagnostic_) {
        diagnostic_ = [](const std::string& message) { std::cerr << message << '\n'; };
    }
}

std::optional<QList<QVariant>> AudaciousPlayer::call(const QString& peer, const QString& method,
                                                     const QList<QVariant>& args) {
    return bus_.call(peer, kPath, kInterface, method, args);
}

void AudaciousPlayer::send(const QString& method) {
    bus_.send(peer(), kPath, kInterface, method);
}

bool AudaciousPlayer::find(const std::string& /*playerPath*/) {
    found_ = bus_.handleFor(bus_.owner(kName));
    return found_ != 0;
}

QString AudaciousPlayer::status(const QString& peer) {
    const auto reply = call(peer, QStringLiteral("Status"));
    return reply && !reply->isEmpty() ? reply->first().toString() : QString();
}

int AudaciousPlayer::current(const QString& peer) {
    const auto reply = call(peer, QStringLiteral("Position"));
    return reply && !reply->isEmpty() ? static_cast<int>(reply->first().toUInt()) : 0;
}

void AudaciousPlayer::play() {
    send(QStringLiteral("Play"));
}

void AudaciousPlayer::pause() {  // pauses, and resumes when paused
    send(QStringLiteral("Pause"));
}

void AudaciousPlayer::stop() {
    send(QStringLiteral("Stop"));
}

void AudaciousPlayer::next() {
    send(QStringLiteral("Advance"));
}

void AudaciousPlayer::previous() {
    send(QStringLiteral("Reverse"));
}

void AudaciousPlayer::close() {
    send(QStringLiteral("Quit"));
}

void AudaciousPlayer::volumeUp() {
    stepVolume(kVolumeStep);
}

void AudaciousPlayer::volumeDown() {
    stepVolume(-kVolumeStep);
}

void AudaciousPlayer::showElapsed() {
    reportOnce(
        "Audacious has no elapsed/remaining time switch: showing the elapsed time does "
        "nothing");
}

void AudaciousPlayer::showRemaining() {
    reportOnce(
        "Audacious has no elapsed/remaining time switch: showing the remaining time does "
        "nothing");
}

void AudaciousPlayer::stepVolume(int step) {
    const QString peer = this->peer();
    const auto reply = call(peer, QStringLiteral("Volume"));
    if (!reply || reply->size() < 2) {
        return;
    }
    int level = (reply->at(0).toInt() + reply->at(1).toInt()) / 2;
    // Steps in quick succession (a held key) go on from the value set last, which the player may
    // not report yet; after a pause its own value counts again, whoever changed it.
    const auto now = std::chrono::steady_clock::now();
    if (volumeSet_ >= 0 && peer == volumePeer_ && now - volumeSetAt_ < std::chrono::seconds(1)) {
        level = volumeSet_;
    }
    const int next = std::clamp(level + step, 0, 100);
    bus_.send(peer, kPath, kInterface, QStringLiteral("SetVolume"), {next, next});
    volumeSet_ = next;
    volumePeer_ = peer;
    volumeSetAt_ = now;
}

PlayState AudaciousPlayer::state() {
    const QString state = status(peer());
    return state == QLatin1String("playing")  ? PlayState::kPlaying
           : state == QLatin1String("paused") ? PlayState::kPaused
                                              : PlayState::kStopped;
}

int AudaciousPlayer::position() {
    const QString peer = this->peer();
    if (peer.isEmpty()) {
        return 0;
    }
    if (status(peer) == QLatin1String("stopped")) {
        return -1;
    }
    const auto reply = call(peer, QStringLiteral("Time"));  // in ms
    return reply && !reply->isEmpty() ? static_cast<int>(reply->first().toUInt()) / 1000 : 0;
}

int AudaciousPlayer::length() {
    const QString peer = this->peer();
    if (peer.isEmpty()) {
        return 0;
    }
    const auto reply = call(peer, QStringLiteral("SongLength"),
                            {QVariant::fromValue(static_cast<uint>(current(peer)))});
    return reply && !reply->isEmpty() ? reply->first().toInt() : 0;
}

std::string AudaciousPlayer::title() {
    const QString peer = this->peer();
    const auto index = call(peer, QStringLiteral("Position"));
    if (!index || index->isEmpty()) {
        return "";  // not found, or gone meanwhile
    }
    const auto title = call(peer, QStringLiteral("SongTitle"), {index->first()});
    return title && !title->isEmpty() ? title->first().toString().toStdString() : "";
}

bool AudaciousPlayer::start(const std::string& path) {
    qint64 pid = 0;
    if (!QProcess::startDetached(QString::fromStdString(path), {}, QString(), &pid) || pid == 0) {
        return false;
    }
    // Audacious takes a moment to appear on the bus; the caller looks for it right away.
    bus_.waitForName(kStartWaitMs, [this] { return !bus_.owner(kName).isEmpty(); });
    return true;
}

PlaylistPlace AudaciousPlayer::readPlaylist() {
    // The length only: the entries shown are read when they are asked for.
    const QString peer = this->peer();
    PlaylistPlace place;
    if (peer.isEmpty()) {  // a player gone has no playlist to read
        playlistPeer_.clear();
        playlistCount_ = -1;
        return place;
    }
    place.current = current(peer);
    const auto length = call(peer, QStringLiteral("Length"));
    playlistPeer_ = length ? peer : QString();
    playlistCount_ = length && !length->isEmpty() ? length->first().toInt() : -1;
    place.count = playlistCount_;
    return place;
}

bool AudaciousPlayer::playlistEntries(int first, int count, std::vector<PlaylistEntry>& out) {
    out.clear();
    if (playlistCount_ < 0) {
        return false;
    }
    QList<QList<QVariant>> files;
    QList<QList<QVariant>> titles;
    for (int i = std::max(first, 0); i < first + count && i < playlistCount_; ++i) {
        files.append({QVariant::fromValue(uint(i))});
        titles.append({QVariant::fromValue(uint(i)), QStringLiteral("title")});
    }
    const auto names =
        bus_.callEach(playlistPeer_, kPath, kInterface, QStringLiteral("SongFilename"), files);
    const auto tuples =
        bus_.callEach(playlistPeer_, kPath, kInterface, QStringLiteral("SongTuple"), titles);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!names[i] || names[i]->isEmpty()) {
            break;  // the player went away or the list shrank meanwhile
        }
        // Audacious names an entry without a title tag after its file: the core tells that apart.
        const QVariant title = tuples[i] && !tuples[i]->isEmpty()
                                   ? tuples[i]->first().value<QDBusVariant>().variant()
                                   : QVariant();
        out.push_back({entryText(names[i]->first().toString()), title.toString().toStdString()});
    }
    return true;
}

void AudaciousPlayer::jump(int index) {
    if (index >= 0) {
        call(peer(), QStringLiteral("Jump"), {QVariant::fromValue(uint(index))});
    }
}

void AudaciousPlayer::reportOnce(const std::string& message) {
    if (reported_.insert(message).second) {
        diagnostic_(message);
    }
}

}  // namespace zintor
