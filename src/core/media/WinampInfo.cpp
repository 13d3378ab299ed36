#include "media/WinampInfo.h"

#include <string_view>

#include "link/FileHelpers.h"
#include "link/Link.h"
#include "media/MediaText.h"
#include "media/MediaTexts.h"
#include "media/WinampControl.h"

namespace zintor {

namespace texts = media_texts;

namespace {

// True when `title` is empty or only the file's name, with or without extensions: what a player
// gives an entry it has no title for ("Song.mp3" or "Song" for ".../Song.mp3").
bool IsFileName(std::string_view title, std::string_view path, char separator) {
    const auto last = path.rfind(separator);
    const std::string_view name = last == std::string_view::npos ? path : path.substr(last + 1);
    return title.empty() || name == title ||
           (name.size() > title.size() && name.substr(0, title.size()) == title &&
            name[title.size()] == '.');
}

}  // namespace

WinampInfo::WinampInfo(ProgramState& state, Ports& ports, Link& link, WinampControl& control)
    : state_(state), ports_(ports), link_(link), control_(control) {}

std::string WinampInfo::WinAMP_GetWinampTitle() {
    if (!control_.WinAMP_FindWindow()) {
        return "";
    }
    const std::string caption = ports_.player.caption(state_.WinampWindow);
    if (caption != state_.WinampRawTitle) {
        state_.WinampRawTitle = caption;
        state_.WinampTitle = TitleFromCaption(caption);
    }
    return state_.WinampTitle;
}

PlaylistSnapshot WinampInfo::GetPlaylist() {
    link_.WriteLog(texts::kLogPlaylistStart);
    PlaylistSnapshot list;
    if (state_.WinampWindow == 0) {
        return list;
    }
    list.Current = control_.WinAMP_WritePlaylist();
    const int count = ports_.player.playlistCount(state_.WinampPath());
    if (count <= 0) {
        return list;
    }
    list.Count = count;
    list.Ok = true;
    link_.WriteLog(texts::kLogPlaylistDone);
    return list;
}

std::vector<PlaylistEntry> WinampInfo::GetPlaylistEntries(int first, int count) {
    std::vector<PlaylistEntry> entries;
    if (count > 0 && !ports_.player.playlistEntries(state_.WinampPath(), first, count, entries)) {
        entries.clear();
    }
    return entries;
}

std::string WinampInfo::PlaylistEntryText(const PlaylistEntry& entry) {
    TagInfo tag;
    if (GetTagInf(entry.path, tag) && !tag.Title.empty()) {
        return tag.Title + " " + tag.Artist;
    }
    if (!IsFileName(entry.title, entry.path, ports_.files.separator())) {
        return entry.title;
    }
    return SplitFileName(entry.path, ports_.files.separator()).BaseName;
}

bool WinampInfo::GetTagInf(const std::string& path, TagInfo& tag) {
    if (!FileExists(ports_.files, path)) {
        link_.WriteLog(texts::kLogTagFileMissing + path);
        return false;
    }
    std::string last128;
    if (!ports_.files.readLast128(path, last128)) {
        return false;
    }
    return ParseTag(last128, tag);
}

TrackInfo WinampInfo::WinampTrackInfo() {
    const PlaylistSnapshot list = GetPlaylist();
    TrackInfo info;
    TagInfo tag;
    const std::vector<PlaylistEntry> current =
        list.Ok && list.Current >= 0 && list.Current < list.Count
            ? GetPlaylistEntries(list.Current, 1)
            : std::vector<PlaylistEntry>{};
    if (!current.empty() && GetTagInf(current.front().path, tag)) {
        info.TitleText = tag.Title + " " + tag.Artist;
        info.Artist = tag.Artist;
        info.Album = tag.Album;
        info.Year = tag.Year;
        info.Comment = tag.Comment;
    } else {
        info.TitleText = WinAMP_GetWinampTitle();
    }
    info.LengthText = FormatTime(control_.WinAMP_GetTrackLength());
    info.PositionText = FormatTime(control_.WinAMP_GetPosition());
    info.IndexText = std::to_string(list.Current);
    info.CountText = std::to_string(list.Count);
    return info;
}

}  // namespace zintor
