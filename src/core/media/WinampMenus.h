#pragma once

#include <string>

#include "media/WinampControl.h"
#include "media/WinampInfo.h"
#include "phoneui/PhoneMenus.h"
#include "shared/Ports.h"
#include "shared/ProgramState.h"

namespace zintor {

struct Link;

// The media player's screens on the phone: the playlist menu, paged 8 entries at a time from the
// current track and refreshed every 8 s (timer slot 2), and the status dialog of the current track,
// refreshed every 4 s (timer slot 3), in which the keypad controls the player.
class WinampMenus {
  public:
    WinampMenus(ProgramState& state, Ports& ports, Link& link, PhoneMenus& screens);

    // The playlist menu (WinampPlaylistMenu.cpp). `text` ends in the choice: "99" opens it, a
    // phone line "*EAMI: n" is a choice (0 = back), "*EAMI: 20" is the refresh.
    Task<void> winampMenuSelected(std::string text);
    // The status dialog (WinampStatusDialog.cpp). `text` ends in a number: not 0 shows or
    // refreshes the dialog, 0 ("*EAII: 0", "*EAII: 14,1") goes back to the playlist.
    Task<void> winampStatusMenuSelected(std::string text);
    // The player check of the main window: finds the player, starts playback when it is not
    // playing, reads the playlist and names its first entry. What it found goes to the log and
    // to a notice on the PC, never to the phone.
    void playerCheck();

    WinampControl& control() { return control_; }

  private:
    // Finds the player, starting it when it is not running; false after telling the phone why.
    Task<bool> findOrStartPlayer();
    // Moves the page offset for choice `n`; false when the status dialog was opened instead.
    Task<bool> chooseWindow(int n, PlaylistSnapshot& list);
    Task<void> showPlaylist(PlaylistSnapshot list);

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    PhoneMenus& screens_;
    WinampControl control_;
    WinampInfo info_;
    bool listHasBackItem_ = false;  // the playlist shown has the "..More" item before the entries
};

}  // namespace zintor
