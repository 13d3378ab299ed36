#pragma once

#include "core/media/MediaRecords.h"
#include "core/media/PlayerStatusDialog.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;
class ErrorPopUp;
class MainMenu;
class PlayerControl;
class PlayerInfo;

// The media player's playlist menu on the phone, paged 8 entries at a time from the current track
// and refreshed every 8 s (timer slot 2). It owns the status dialog of the current track, which
// is opened from it and comes back to it.
class PlaylistMenu {
  public:
    PlaylistMenu(ProgramState& state, Link& link, MainMenu& mainMenu, ErrorPopUp& errors,
                 PlayerControl& control, PlayerInfo& info);
    PlaylistMenu(const PlaylistMenu&) = delete;
    PlaylistMenu& operator=(const PlaylistMenu&) = delete;

    // From the main menu: starts the player when it is not running and shows the entries from
    // the current one.
    Task<void> open();
    // Redraws the menu when the player's current entry has changed since it was drawn.
    Task<void> refresh();
    // The phone's choice in the menu: 0 goes back to the main menu, 1 and 10 page when they are
    // "..More" and "More..", the current track opens the status dialog, another entry plays it.
    // The menu never has 20 or 99 items: those numbers refresh it and open it anew.
    Task<void> choose(int item);
    // Where the playlist shown on the phone begins (its page offset and the player's entry).
    std::int32_t shownFrom() const { return pageOffset_ + lastIndex_; }

  private:
    // The menu's work for a choice, the opening (kOpenChoice) or the refresh (kRefreshChoice)
    // included.
    Task<void> update(int choice);
    // Finds the player, starting it when it is not running; false after telling the phone why.
    Task<bool> findOrStartPlayer();
    // Moves the page offset for choice `n`; false when the status dialog was opened instead.
    Task<bool> chooseWindow(int n, PlaylistSnapshot& list);
    Task<void> showPlaylist(PlaylistSnapshot list);

    ProgramState& state_;
    Link& link_;
    MainMenu& mainMenu_;
    ErrorPopUp& errors_;
    PlayerControl& control_;
    PlayerInfo& info_;
    PlayerStatusDialog status_;
    std::int32_t pageOffset_ = 0;  // 32 bits: playlists grow past 32,767 entries
    std::int32_t lastIndex_ = 0;
    bool listHasBackItem_ = false;  // the playlist shown has the "..More" item before the entries
};

}  // namespace zintor
