// The status dialog of the current track: title, position and length, re-sent every 4 s while
// the phone's keypad controls the player.

#include "link/Link.h"
#include "link/LinkTexts.h"
#include "link/PhoneText.h"
#include "media/MediaText.h"
#include "media/MediaTexts.h"
#include "media/WinampMenus.h"

namespace zintor {

namespace texts = media_texts;

void WinampMenus::winampStatusMenuSelected(const std::string& text) {
    link_.disableTimer(TimerSlot::PlaylistRefresh);
    if (!control_.findWindow()) {
        link_.disableTimer(TimerSlot::StatusRefresh);
        screens_.showMainMenu(texts::kBackToMainMenu);
        return;
    }
    if (trailingNumber(text) != 0) {
        const TrackInfo info = info_.winampTrackInfo();
        const std::string status =
            info.titleText + "  " + info.positionText + " (" + info.lengthText + ")";
        // A refresh may find the phone on another screen: the dialog is the one shown now.
        clearModes(state_);
        state_.modeFlags[ModeWinampStatus] = true;
        link_.send(texts::kStatusDialog + quoted(status) + "\"" + link_texts::kCrLf,
                   link_texts::kDialogTimeOut);
        link_.send(texts::kPressClear, link_texts::kDialogTimeOut);
        link_.resetTimer(TimerSlot::StatusRefresh);
        return;
    }
    link_.disableTimer(TimerSlot::StatusRefresh);
    state_.modeFlags[ModeWinampStatus] = false;
    endHoldLoops(state_);
    link_.atCmer(false);
    winampMenuSelected(texts::kOpenPlaylist);
}

}  // namespace zintor
