#include "core/media/PlayerInfo.h"

#include <string_view>

#include "core/files/FileHelpers.h"
#include "core/link/Link.h"
#include "core/media/MediaText.h"
#include "core/media/MediaTexts.h"
#include "core/media/PlayerControl.h"

namespace zintor {

namespace texts = media_texts;

namespace {

// True when `title` is empty or only the file's name, with or without extensions: what a player
// gives an entry it has no title for ("Song.mp3" or "Song" for ".../Song.mp3").
bool isFileName(std::string_view title, std::string_view path, char separator) {
    const auto last = path.rfind(separator);
    const std::string_view name = last == std::string_view::npos ? path : path.substr(last + 1);
    return title.empty() || name == title ||
           (name.size() > title.size() && name.substr(0, title.size()) == title &&
            name[title.size()] == '.');
}

}  // namespace

PlayerInfo::PlayerInfo(ProgramState& state, Ports& ports, Link& link, PlayerControl& control)
    : state_(state), ports_(ports), link_(link), control_(control) {}

std::string PlayerInfo::getTitle() {
    return control_.find() ? ports_.player.title() : "";
}

PlaylistSnapshot PlayerInfo::getPlaylist() {
    link_.log.write(texts::kLogPlaylistStart);
    PlaylistSnapshot list;
    if (!state_.playerFound) {
        return list;
    }
    const PlaylistPlace place = ports_.player.readPlaylist();
    list.current = place.current;
    if (place.count <= 0) {
        return list;
    }
    list.count = place.count;
    list.ok = true;
    link_.log.write(texts::kLogPlaylistDone);
    return list;
}

std::vector<PlaylistEntry> PlayerInfo::getPlaylistEntries(int first, int count) {
    std::vector<PlaylistEntry> entries;
    if (count > 0 && !ports_.player.playlistEntries(first, count, entries)) {
        entries.clear();
    }
    return entries;
}

std::string PlayerInfo::playlistEntryText(const PlaylistEntry& entry) {
    TagInfo tag;
    if (getTagInf(entry.path, tag) && !tag.title.empty()) {
        return tag.title + " " + tag.artist;
    }
    if (!isFileName(entry.title, entry.path, ports_.files.separator())) {
        return entry.title;
    }
    return splitFileName(entry.path, ports_.files.separator()).baseName;
}

bool PlayerInfo::getTagInf(const std::string& path, TagInfo& tag) {
    if (!fileExists(ports_.files, path)) {
        link_.log.write(texts::kLogTagFileMissing + path);
        return false;
    }
    std::string last128;
    if (!ports_.files.readLast128(path, last128)) {
        return false;
    }
    return parseTag(last128, tag);
}

TrackInfo PlayerInfo::trackInfo() {
    const PlaylistSnapshot list = getPlaylist();
    TrackInfo info;
    TagInfo tag;
    const std::vector<PlaylistEntry> current =
        list.ok && list.current >= 0 && list.current < list.count
            ? getPlaylistEntries(list.current, 1)
            : std::vector<PlaylistEntry>{};
    if (!current.empty() && getTagInf(current.front().path, tag)) {
        info.titleText = tag.title + " " + tag.artist;
        info.artist = tag.artist;
        info.album = tag.album;
        info.year = tag.year;
        info.comment = tag.comment;
    } else {
        info.titleText = getTitle();
    }
    info.lengthText = formatTime(control_.getTrackLength());
    info.positionText = formatTime(control_.getPosition());
    info.indexText = std::to_string(list.current);
    info.countText = std::to_string(list.count);
    return info;
}

}  // namespace zintor
