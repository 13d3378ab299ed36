#pragma once

#include <string>

#include "app/Ports.h"
#include "app/ProgramState.h"
#include "media/MediaRecords.h"

namespace zintor {

class Link;
class WinampControl;

// The texts the phone shows about the player: the title from its caption, the playlist it
// writes, the entries' names (from their MP3 tags or file names) and the current track's details.
class WinampInfo {
  public:
    WinampInfo(ProgramState& state, Ports& ports, Link& link, WinampControl& control);

    // The title made from the player's caption; "" when the player is not found. A caption equal
    // to the one read last gives the title made then.
    std::string WinAMP_GetWinampTitle();
    PlaylistSnapshot GetPlaylist();
    // "Title Artist" from the file's tag, or the file's name without folder and extension.
    std::string PlaylistEntryText(const std::string& path);
    bool GetTagInf(const std::string& path, TagInfo& tag);
    TrackInfo WinampTrackInfo();

  private:
    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    WinampControl& control_;
};

}  // namespace zintor
