#pragma once

#include <cstdint>
#include <string>

#include "core/shared/HoldRepeat.h"
#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

class ErrorPopUp;
struct Link;

// The layer that drives the media player: finds it, starts it, reads its play state, position
// and track length, and sends its commands, the key map's among them. Whether the last search
// found the player is kept in ProgramState::playerFound; only find changes it.
class PlayerControl {
  public:
    PlayerControl(ProgramState& state, Ports& ports, Link& link, ErrorPopUp& errors);

    bool find();
    // Searches the player first and sends `action` only when it is found.
    void send(void (MediaPlayer::*action)());
    bool start();
    // "PLAYING", "PAUSED" or "STOPPED"; "" (after a message box on the PC) when the last search
    // found no player.
    std::string getStatus();
    // Seconds into the current track; -1 when nothing plays; 0 (after a message box on the PC)
    // when the last search found no player.
    std::int32_t getPosition();
    std::int32_t getTrackLength();
    // Makes entry `index` the current one and plays it.
    void playEntry(std::int32_t index);
    // One key-map command, 0 to 9. The volume commands repeat until the
    // key's release.
    Task<void> execute(int command);

  private:
    void showNotFound();
    Task<void> repeatVolume(void (MediaPlayer::*step)());

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    ErrorPopUp& errors_;
    bool nextShowsRemaining_ = false;  // the time toggle's next command shows the remaining time
    HoldRepeat volumeRepeat_;
};

}  // namespace zintor
