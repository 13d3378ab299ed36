#pragma once

#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;
class MainMenu;
class PlayerControl;
class PlayerInfo;
class PlaylistMenu;

// The status dialog of the current track (title, position and length), refreshed every 4 s
// (timer slot 3), in which the phone's keypad controls the player. Closing it goes back to the
// playlist menu.
class PlayerStatusDialog {
  public:
    PlayerStatusDialog(ProgramState& state, Link& link, MainMenu& mainMenu, PlayerControl& control,
                       PlayerInfo& info, PlaylistMenu& playlist);

    // Shows the dialog, or redraws it while it shows.
    Task<void> show();

  private:
    // Leaves the dialog for the playlist menu.
    Task<void> leave();

    ProgramState& state_;
    Link& link_;
    MainMenu& mainMenu_;
    PlayerControl& control_;
    PlayerInfo& info_;
    PlaylistMenu& playlist_;
};

}  // namespace zintor
