#pragma once

#include <string>
#include <vector>

namespace zintor {

// One entry of the player's playlist: its file path (or address, for an entry that is no local
// file) and the player's own title for it, "" when the player gives none.
struct PlaylistEntry {
    std::string path;
    std::string title;
};

// Where the player's playlist stands: the current entry's index from 0 (0 when the player does
// not tell) and the number of entries, -1 when there is no playlist to read.
struct PlaylistPlace {
    int current = 0;
    int count = -1;
};

enum class PlayState { kStopped, kPlaying, kPaused };

// The media player in its own terms. find() looks for it; every other call addresses the player
// the last search found, until the next search: a player that has gone away since (or was never
// found) answers nothing (0, "", Stopped, no playlist) and ignores commands.
class MediaPlayer {
  public:
    virtual ~MediaPlayer() = default;

    // Looks for the player configured as `playerPath` (the settings' player program); true when
    // it runs. Players that can be told apart by their program use it to pick themselves.
    virtual bool find(const std::string& playerPath) = 0;
    // Starts the player program minimized and without focus; true on a non-zero process id.
    virtual bool start(const std::string& path) = 0;

    virtual void play() = 0;
    // Pauses, and resumes when paused.
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void next() = 0;
    virtual void previous() = 0;
    // One step of the player's volume up or down.
    virtual void volumeUp() = 0;
    virtual void volumeDown() = 0;
    // The player's own time display: the time played, or the time left.
    virtual void showElapsed() = 0;
    virtual void showRemaining() = 0;
    // Ends the player program.
    virtual void close() = 0;

    virtual PlayState state() = 0;
    // Seconds into the current track; -1 when nothing plays.
    virtual int position() = 0;
    // The current track's length in seconds; -1 when unknown.
    virtual int length() = 0;
    // The current track's title as the player names it ("Artist - Song"); "" for none.
    virtual std::string title() = 0;

    // Reads how long the playlist is and where it stands, and makes its entries readable with
    // playlistEntries: a page at a time, never the whole list, so that a long playlist costs no
    // more than a short one.
    virtual PlaylistPlace readPlaylist() = 0;
    // Entries `first` to `first + count - 1` of the playlist read last, in playlist order, fewer
    // where the list ends. False when there is no playlist to read.
    virtual bool playlistEntries(int first, int count, std::vector<PlaylistEntry>& out) = 0;
    // Makes entry `index` (from 0) the current one; an index outside the list does nothing.
    virtual void jump(int index) = 0;
};

}  // namespace zintor
