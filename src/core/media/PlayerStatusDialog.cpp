#include "core/media/PlayerStatusDialog.h"

#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/link/transport/LinkTexts.h"
#include "core/link/transport/PhoneText.h"
#include "core/media/MediaTexts.h"
#include "core/media/PlayerControl.h"
#include "core/media/PlayerInfo.h"
#include "core/media/PlaylistMenu.h"
#include "core/phoneui/MainMenu.h"

namespace zintor {

namespace texts = media_texts;

PlayerStatusDialog::PlayerStatusDialog(ProgramState& state, Link& link, MainMenu& mainMenu,
                                       PlayerControl& control, PlayerInfo& info,
                                       PlaylistMenu& playlist)
    : state_(state),
      link_(link),
      mainMenu_(mainMenu),
      control_(control),
      info_(info),
      playlist_(playlist) {
    // A refresh redraws the dialog only while it shows: once the phone has left it, by whatever
    // way, the refresh stops and changes nothing.
    link.timers.onTick(TimerSlot::kStatusRefresh, [this] {
        if (state_.screen != Screen::kPlayerStatus) {
            link_.timers.disable(TimerSlot::kStatusRefresh);
            return;
        }
        link_.transport.start(show());
    });
    // The dialog ends with "*EAII: 0" or "*EAII: 14,1".
    link.transport.addRoutes({
        on<DialogAnswered>(
            [this](const DialogAnswered& answer) {
                return state_.screen == Screen::kPlayerStatus && (answer.is(0) || answer.is(14, 1));
            },
            [this](DialogAnswered) { return leave(); }),
    });
}

Task<void> PlayerStatusDialog::show() {
    link_.timers.disable(TimerSlot::kPlaylistRefresh);
    if (!control_.find()) {
        link_.timers.disable(TimerSlot::kStatusRefresh);
        co_await mainMenu_.show(texts::kBackToMainMenu);
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

Task<void> PlayerStatusDialog::leave() {
    link_.timers.disable(TimerSlot::kPlaylistRefresh);
    link_.timers.disable(TimerSlot::kStatusRefresh);
    if (!control_.find()) {
        co_await mainMenu_.show(texts::kBackToMainMenu);
        co_return;
    }
    leaveScreenIfShown(state_, Screen::kPlayerStatus);
    endHoldLoops(state_);
    co_await link_.ui.atCmer(false);
    co_await playlist_.open();
}

}  // namespace zintor
