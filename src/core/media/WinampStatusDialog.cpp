// The status dialog of the current track: title, position and length, re-sent every 4 s while
// the phone's keypad controls the player.

#include "link/Link.h"
#include "link/transport/LinkTexts.h"
#include "link/transport/PhoneText.h"
#include "media/MediaText.h"
#include "media/MediaTexts.h"
#include "media/WinampMenus.h"

namespace zintor {

namespace texts = media_texts;

Task<void> WinampMenus::winampStatusMenuSelected(std::string text) {
    link_.timers.disable(TimerSlot::PlaylistRefresh);
    if (!control_.findWindow()) {
        link_.timers.disable(TimerSlot::StatusRefresh);
        co_await screens_.showMainMenu(texts::kBackToMainMenu);
        co_return;
    }
    if (trailingNumber(text) != 0) {
        const TrackInfo info = info_.winampTrackInfo();
        const std::string status =
            info.titleText + "  " + info.positionText + " (" + info.lengthText + ")";
        // Opened from another screen, the dialog is the one shown now; a refresh of the dialog
        // leaves it, and the key held in it, as they are.
        if (!state_.modeFlags[ModeWinampStatus]) {
            clearModes(state_);
            state_.modeFlags[ModeWinampStatus] = true;
        }
        co_await link_.transport.send(
            texts::kStatusDialog + quoted(status) + "\"" + link_texts::kCrLf,
            link_texts::kDialogTimeOut);
        co_await link_.transport.send(texts::kPressClear, link_texts::kDialogTimeOut);
        if (state_.modeFlags[ModeWinampStatus]) {
            link_.timers.reset(TimerSlot::StatusRefresh);
        }
        co_return;
    }
    link_.timers.disable(TimerSlot::StatusRefresh);
    state_.modeFlags[ModeWinampStatus] = false;
    endHoldLoops(state_);
    co_await link_.ui.atCmer(false);
    co_await winampMenuSelected(texts::kOpenPlaylist);
}

}  // namespace zintor
