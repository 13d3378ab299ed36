#pragma once

#include <string>
#include <vector>

#include "media/MediaRecords.h"
#include "shared/Ports.h"
#include "shared/ProgramState.h"

namespace zintor {

struct Link;
class WinampControl;

// The texts the phone shows about the player: the title from its caption, the playlist (its
// length and current entry, and the entries shown, read a page at a time), the entries' names
// (from their MP3 tags, the player's titles or the file names) and the current track's details.
class WinampInfo {
  public:
    WinampInfo(ProgramState& state, Ports& ports, Link& link, WinampControl& control);

    // The title made from the player's caption; "" when the player is not found. A caption equal
    // to the one read last gives the title made then.
    std::string getTitle();
    // The playlist's length and current entry; its entries are read with getPlaylistEntries.
    PlaylistSnapshot getPlaylist();
    // Entries `first` to `first + count - 1` of the playlist read last (fewer at its end).
    std::vector<PlaylistEntry> getPlaylistEntries(int first, int count);
    // "Title Artist" from the file's tag; else the player's title for the entry, unless that is
    // only the file's name; else the file's name without folder and extension.
    std::string playlistEntryText(const PlaylistEntry& entry);
    bool getTagInf(const std::string& path, TagInfo& tag);
    TrackInfo winampTrackInfo();

  private:
    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    WinampControl& control_;
    // The player's caption read last, and the title taken from it.
    std::string rawTitle_;
    std::string title_;
};

}  // namespace zintor
