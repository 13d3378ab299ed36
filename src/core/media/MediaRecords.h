#pragma once

#include <string>

namespace zintor {

// The player's playlist: how long it is and where it stands. Its entries are read a page at a
// time (PlayerInfo::getPlaylistEntries), never all at once.
struct PlaylistSnapshot {
    int count = 0;
    int current = 0;  // index from 0 of the player's current entry, as the player reported it
    bool ok = false;  // the playlist was read and held at least one entry
};

// The 128-byte tag at the end of an MP3 file.
struct TagInfo {
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
};

// What the status dialog shows about the current track.
struct TrackInfo {
    std::string titleText;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::string lengthText;
    std::string positionText;
    std::string indexText;
    std::string countText;
};

}  // namespace zintor
