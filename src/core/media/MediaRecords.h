#pragma once

#include <string>
#include <vector>

namespace zintor {

// The player's playlist as its playlist file lists it.
struct PlaylistSnapshot {
    std::vector<std::string> Entries;  // file paths in playlist order
    int Count = 0;
    int Current = 0;  // index from 0 of the player's current entry, as the player reported it
    bool Ok = false;  // the file was read and held at least one entry
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
