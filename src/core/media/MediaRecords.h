#pragma once

#include <string>

namespace zintor {

// The player's playlist: how long it is and where it stands. Its entries are read a page at a
// time (WinampInfo::GetPlaylistEntries), never all at once.
struct PlaylistSnapshot {
    int Count = 0;
    int Current = 0;  // index from 0 of the player's current entry, as the player reported it
    bool Ok = false;  // the playlist was read and held at least one entry
};

// The 128-byte tag at the end of an MP3 file.
struct TagInfo {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
};

// What the status dialog shows about the current track.
struct TrackInfo {
    std::string TitleText;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    std::string LengthText;
    std::string PositionText;
    std::string IndexText;
    std::string CountText;
};

}  // namespace zintor
