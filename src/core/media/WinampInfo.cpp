#include "media/WinampInfo.h"

#include "link/FileHelpers.h"
#include "link/Link.h"
#include "media/MediaText.h"
#include "media/MediaTexts.h"
#include "media/WinampControl.h"

namespace zintor {

namespace texts = media_texts;

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
    std::vector<std::string> lines;
    if (!ports_.player.playlistLines(state_.WinampPath(), lines)) {
        return list;
    }
    for (std::string& line : lines) {
        if (line.empty() || line.front() != '#') {
            list.Entries.push_back(std::move(line));
        }
    }
    if (list.Entries.empty()) {
        return list;
    }
    list.Count = static_cast<int>(list.Entries.size());
    list.Ok = true;
    link_.WriteLog(texts::kLogPlaylistDone);
    return list;
}

std::string WinampInfo::PlaylistEntryText(const std::string& path) {
    TagInfo tag;
    if (GetTagInf(path, tag) && !tag.Title.empty()) {
        return tag.Title + " " + tag.Artist;
    }
    return SplitFileName(path, ports_.files.separator()).BaseName;
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
    const bool listed = list.Current >= 0 && list.Current < static_cast<int>(list.Entries.size());
    if (listed && GetTagInf(list.Entries[static_cast<std::size_t>(list.Current)], tag)) {
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
