// The status dialog of the current track: title, position and length, re-sent every 4 s while
// the phone's keypad controls the player.

#include "core/link/Link.h"
#include "core/link/transport/LinkTexts.h"
#include "core/link/transport/PhoneText.h"
#include "core/media/MediaTexts.h"
#include "core/media/PlayerMenus.h"

namespace zintor {

namespace texts = media_texts;

Task<void> PlayerMenus::showStatus() {
    link_.timers.disable(TimerSlot::kPlaylistRefresh);
    if (!control_.find()) {
        link_.timers.disable(TimerSlot::kStatusRefresh);
        co_await screens_.showMainMenu(texts::kBackToMainMenu);
        co_return;
    }
    const TrackInfo info = info_.trackInfo();
    const std::string status =
        info.titleText + "  " + info.positionText + " (" + info.lengthText + ")";
    // Opened from another screen, the dialog is the one shown now; a refresh of the dialog
    // leaves it, and the key held in it, as they are.
    if (state_.screen != Screen::kPlayerStatus) {
        leaveScreen(state_);
        state_.screen = Screen::kPlayerStatus;
    }
    co_await link_.transport.send(texts::kStatusDialog + quoted(status) + "\"" + link_texts::kCrLf,
                                  link_texts::kDialogTimeOut);
    co_await link_.transport.send(texts::kPressClear, link_texts::kDialogTimeOut);
    if (state_.screen == Screen::kPlayerStatus) {
        link_.timers.reset(TimerSlot::kStatusRefresh);
    }
}

Task<void> PlayerMenus::leaveStatus() {
    link_.timers.disable(TimerSlot::kPlaylistRefresh);
    link_.timers.disable(TimerSlot::kStatusRefresh);
    if (!control_.find()) {
        co_await screens_.showMainMenu(texts::kBackToMainMenu);
        co_return;
    }
    leaveScreenIfShown(state_, Screen::kPlayerStatus);
    endHoldLoops(state_);
    co_await link_.ui.atCmer(false);
    co_await openPlaylist();
}

}  // namespace zintor
