#pragma once

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"

namespace zintor {

struct Link;
class PlayerControl;
class PlayerInfo;

// The player check of the main window, for finding out why the phone's player menu shows
// nothing: finds the player, starts playback when it is not playing, reads the playlist and
// names its first entry. What it found goes to the log and to a notice on the PC, never to the
// phone.
class PlayerCheck {
  public:
    PlayerCheck(ProgramState& state, Ports& ports, Link& link, PlayerControl& control,
                PlayerInfo& info);

    void run();

  private:
    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    PlayerControl& control_;
    PlayerInfo& info_;
};

}  // namespace zintor
