#pragma once

#include <string>
#include <vector>

#include "ports/Files.h"

namespace zintor {

// Winamp's side of the playlist exchange: asked with query 120, Winamp writes its playlist to
// "winamp.m3u" in its own program folder. A player adapter that drives the real Winamp answers
// MediaPlayer::playlistCount and playlistEntries from that file with these two.

// The playlist file beside the player program `playerPath` ("C:\Winamp\winamp.exe" gives
// "C:\Winamp\winamp.m3u"; a path without a folder gives "winamp.m3u").
std::string winampPlaylistFilePath(const std::string& playerPath, char separator);

// The entries of that file: its lines without line ends, less the comments (lines beginning with
// "#"); empty lines are entries too. False when the file does not exist or cannot be read.
bool readWinampPlaylistFile(Files& files, const std::string& playerPath,
                            std::vector<std::string>& entries);

}  // namespace zintor
