#include "AudaciousPlayer.h"

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

void AudaciousPlayer::send(const QString& peer, const QString& method,
                           const QList<QVariant>& args) {
    bus_.send(peer, kPath, kInterface, method, args);
}

MediaPlayer::Handle AudaciousPlayer::findWindow(const std::string& /*playerPath*/) {
    return bus_.handleFor(bus_.owner(kName));
}

QString AudaciousPlayer::status(const QString& peer) {
    const auto reply = call(peer, QStringLiteral("Status"));
    return reply && !reply->isEmpty() ? reply->first().toString() : QString();
}

int AudaciousPlayer::position(const QString& peer) {
    const auto reply = call(peer, QStringLiteral("Position"));
    return reply && !reply->isEmpty() ? static_cast<int>(reply->first().toUInt()) : 0;
}

void AudaciousPlayer::command(Handle window, int id) {
    const QString peer = bus_.peer(window);
    if (peer.isEmpty()) {
        return;
    }
    switch (id) {
        case winamp::kClose:
            send(peer, QStringLiteral("Quit"));
            break;
        case winamp::kPrevious:
            send(peer, QStringLiteral("Reverse"));
            break;
        case winamp::kPlay:
            send(peer, QStringLiteral("Play"));
            break;
        case winamp::kPause:  // pauses, and resumes when paused
            send(peer, QStringLiteral("Pause"));
            break;
        case winamp::kStop:
            send(peer, QStringLiteral("Stop"));
            break;
        case winamp::kNext:
            send(peer, QStringLiteral("Advance"));
            break;
        case winamp::kVolumeUp:
            stepVolume(peer, kVolumeStep);
            break;
        case winamp::kVolumeDown:
            stepVolume(peer, -kVolumeStep);
            break;
        case winamp::kShowElapsed:
        case winamp::kShowRemaining:
            reportOnce(id, "Audacious has no elapsed/remaining time switch: command " +
                               std::to_string(id) + " does nothing");
            break;
        default:
            reportOnce(id, "Audacious: unknown command " + std::to_string(id) + " ignored");
            break;
    }
}

void AudaciousPlayer::stepVolume(const QString& peer, int step) {
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
    send(peer, QStringLiteral("SetVolume"), {next, next});
    volumeSet_ = next;
    volumePeer_ = peer;
    volumeSetAt_ = now;
}

int AudaciousPlayer::query(Handle window, int data, int code) {
    const QString peer = bus_.peer(window);
    if (peer.isEmpty()) {
        if (code == winamp::kQueryWritePlaylist) {  // a player gone has no playlist to read
            playlistPeer_.clear();
            playlistCount_ = -1;
        }
        return 0;
    }
    switch (code) {
        case winamp::kQueryState: {
            const QString state = status(peer);
            return state == QLatin1String("playing") ? 1 : state == QLatin1String("paused") ? 3 : 0;
        }
        case winamp::kQueryTime: {
            if (data == 1) {
                const auto reply = call(peer, QStringLiteral("SongLength"),
                                        {QVariant::fromValue(static_cast<uint>(position(peer)))});
                return reply && !reply->isEmpty() ? reply->first().toInt() : 0;
            }
            if (status(peer) == QLatin1String("stopped")) {
                return -1;
            }
            const auto reply = call(peer, QStringLiteral("Time"));
            return reply && !reply->isEmpty() ? static_cast<int>(reply->first().toUInt()) : 0;
        }
        case winamp::kQueryWritePlaylist: {
            // The length only: the entries shown are read when they are asked for.
            const int current = position(peer);
            const auto length = call(peer, QStringLiteral("Length"));
            playlistPeer_ = length ? peer : QString();
            playlistCount_ = length && !length->isEmpty() ? length->first().toInt() : -1;
            return current;
        }
        case winamp::kQuerySetPosition:
            if (data >= 0) {
                call(peer, QStringLiteral("Jump"), {QVariant::fromValue(uint(data))});
            }
            return 0;
        default:
            return 0;
    }
}

std::string AudaciousPlayer::caption(Handle window) {
    const QString peer = bus_.peer(window);
    if (peer.isEmpty()) {
        return "";
    }
    const auto current = call(peer, QStringLiteral("Position"));
    if (!current || current->isEmpty()) {
        return "";  // gone meanwhile
    }
    const uint index = current->first().toUInt();
    const auto title = call(peer, QStringLiteral("SongTitle"), {QVariant::fromValue(index)});
    if (!title || title->isEmpty()) {
        return "";
    }
    if (title->first().toString().isEmpty()) {
        return "Winamp";  // an empty playlist
    }
    std::string text =
        std::to_string(index + 1) + ". " + title->first().toString().toStdString() + " - Winamp";
    if (status(peer) == QLatin1String("paused")) {
        text += " [Paused]";
    }
    return text;
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

int AudaciousPlayer::playlistCount(const std::string& /*playerPath*/) {
    return playlistCount_;
}

bool AudaciousPlayer::playlistEntries(const std::string& /*playerPath*/, int first, int count,
                                      std::vector<PlaylistEntry>& out) {
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

void AudaciousPlayer::reportOnce(int id, const std::string& message) {
    if (reported_.insert(id).second) {
        diagnostic_(message);
    }
}

}  // namespace zintor
