#pragma once

#include <string>
#include <vector>

#include "core/media/MediaRecords.h"
#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"

namespace zintor {

struct Link;
class PlayerControl;

// The texts the phone shows about the player: the current track's title, the playlist (its
// length and current entry, and the entries shown, read a page at a time), the entries' names
// (from their MP3 tags, the player's titles or the file names) and the current track's details.
class PlayerInfo {
  public:
    PlayerInfo(ProgramState& state, Ports& ports, Link& link, PlayerControl& control);

    // The player's title of the current track; "" when the player is not found.
    std::string getTitle();
    // The playlist's length and current entry; its entries are read with getPlaylistEntries.
    PlaylistSnapshot getPlaylist();
    // Entries `first` to `first + count - 1` of the playlist read last (fewer at its end).
    std::vector<PlaylistEntry> getPlaylistEntries(int first, int count);
    // "Title Artist" from the file's tag; else the player's title for the entry, unless that is
    // only the file's name; else the file's name without folder and extension.
    std::string playlistEntryText(const PlaylistEntry& entry);
    bool getTagInf(const std::string& path, TagInfo& tag);
    TrackInfo trackInfo();

  private:
    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    PlayerControl& control_;
};

}  // namespace zintor
