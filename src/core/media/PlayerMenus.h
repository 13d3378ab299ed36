#pragma once

#include <string>

#include "core/media/PlayerControl.h"
#include "core/media/PlayerInfo.h"
#include "core/phoneui/PhoneMenus.h"
#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"

namespace zintor {

struct Link;

// The media player's screens on the phone: the playlist menu, paged 8 entries at a time from the
// current track and refreshed every 8 s (timer slot 2), and the status dialog of the current track,
// refreshed every 4 s (timer slot 3), in which the keypad controls the player.
class PlayerMenus {
  public:
    PlayerMenus(ProgramState& state, Ports& ports, Link& link, PhoneMenus& screens);

    // The playlist menu (PlaylistMenu.cpp), from the main menu: starts the player when it is not
    // running and shows the entries from the current one.
    Task<void> openPlaylist();
    // Redraws the menu when the player's current entry has changed since it was drawn.
    Task<void> refreshPlaylist();
    // The phone's choice in the menu: 0 goes back to the main menu, 1 and 10 page when they are
    // "..More" and "More..", the current track opens the status dialog, another entry plays it.
    // The menu never has 20 or 99 items: those numbers refresh it and open it anew.
    Task<void> choosePlaylistItem(int item);
    // The status dialog (PlayerStatusDialog.cpp): shows it, or redraws it while it shows.
    Task<void> showStatus();
    // Leaves the dialog for the playlist menu.
    Task<void> leaveStatus();
    // The player check of the main window: finds the player, starts playback when it is not
    // playing, reads the playlist and names its first entry. What it found goes to the log and
    // to a notice on the PC, never to the phone.
    void playerCheck();

    PlayerControl& control() { return control_; }

  private:
    // The playlist menu's work for a choice, the opening (kOpenChoice) or the refresh
    // (kRefreshChoice) included.
    Task<void> updatePlaylist(int choice);
    // Finds the player, starting it when it is not running; false after telling the phone why.
    Task<bool> findOrStartPlayer();
    // Moves the page offset for choice `n`; false when the status dialog was opened instead.
    Task<bool> chooseWindow(int n, PlaylistSnapshot& list);
    Task<void> showPlaylist(PlaylistSnapshot list);

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    PhoneMenus& screens_;
    PlayerControl control_;
    PlayerInfo info_;
    bool listHasBackItem_ = false;  // the playlist shown has the "..More" item before the entries
};

}  // namespace zintor
