// The status dialog of the current track: title, position and length, re-sent every 4 s while
// the phone's keypad controls the player.

#include "link/Link.h"
#include "link/PhoneText.h"
#include "media/MediaText.h"
#include "media/MediaTexts.h"
#include "media/WinampMenus.h"

namespace zintor {

namespace texts = media_texts;

void WinampMenus::WinAMP_Status_Menu_Selected(const std::string& text) {
    link_.DisableTimer(texts::kPlaylistRefreshSlot);
    if (!control_.WinAMP_FindWindow()) {
        link_.DisableTimer(texts::kStatusRefreshSlot);
        procedures_.ShowMainMenu(texts::kBackToMainMenu);
        return;
    }
    if (TrailingNumber(text) != 0) {
        const TrackInfo info = info_.WinampTrackInfo();
        const std::string status =
            info.TitleText + "  " + info.PositionText + " (" + info.LengthText + ")";
        // A refresh may find the phone on another screen: the dialog is the one shown now.
        ClearModes(state_);
        state_.ModeFlags[ModeWinampStatus] = true;
        link_.Send(texts::kStatusDialog + Quoted(status) + "\"" + texts::kCrLf,
                   texts::kDialogTimeOut);
        link_.Send(texts::kPressClear, texts::kDialogTimeOut);
        link_.ResetTimer(texts::kStatusRefreshSlot, 0);
        return;
    }
    link_.DisableTimer(texts::kStatusRefreshSlot);
    state_.ModeFlags[ModeWinampStatus] = false;
    EndHoldLoops(state_);
    link_.AT_CMER(false);
    WinAMP_Menu_Selected(texts::kOpenPlaylist);
}

}  // namespace zintor
