#include "core/media/PlaylistMenu.h"

#include <algorithm>

#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/media/MediaTexts.h"
#include "core/media/PlayerControl.h"
#include "core/media/PlayerInfo.h"
#include "core/media/PlaylistWindow.h"
#include "core/phoneui/ErrorPopUp.h"
#include "core/phoneui/MainMenu.h"

namespace zintor {

namespace texts = media_texts;

namespace {

constexpr int kPageStep = 8;
constexpr int kRefreshChoice = 20;
constexpr int kOpenChoice = 99;
constexpr int kBackItemChoice = 1;
constexpr int kMoreItemChoice = 10;
constexpr int kCurrentTrackChoice = 2;  // counted as if "..More" were item 1

// The snapshot with a current index the menu can stand on: a player that names no entry of its
// list (or one past its end) is shown from the first entry.
PlaylistSnapshot normalised(PlaylistSnapshot list) {
    if (list.current < 0 || list.current >= list.count) {
        list.current = 0;
    }
    return list;
}

}  // namespace

PlaylistMenu::PlaylistMenu(ProgramState& state, Link& link, MainMenu& mainMenu, ErrorPopUp& errors,
                           PlayerControl& control, PlayerInfo& info)
    : state_(state),
      link_(link),
      mainMenu_(mainMenu),
      errors_(errors),
      control_(control),
      info_(info),
      status_(state, link, mainMenu, control, info, *this) {
    // A refresh redraws its own screen only: once the phone has left it, by whatever way, the
    // refresh stops and changes nothing.
    link.timers.onTick(TimerSlot::kPlaylistRefresh, [this] {
        if (state_.screen != Screen::kPlayerMenu) {
            link_.timers.disable(TimerSlot::kPlaylistRefresh);
            return;
        }
        link_.transport.start(refresh());
    });
    // The menu reads its choice from the last two digits.
    link.transport.addRoutes({
        on<MenuChosen>([this](const MenuChosen&) { return state_.screen == Screen::kPlayerMenu; },
                       [this](MenuChosen choice) { return choose(choice.lastTwoDigits); }),
    });
}

Task<bool> PlaylistMenu::findOrStartPlayer() {
    if (control_.find()) {
        co_return true;
    }
    if (!control_.start()) {
        co_await errors_.show(texts::kCouldNotStart, texts::kCouldNotStartTimeOut);
        co_return false;
    }
    if (!control_.find()) {
        co_await errors_.show(texts::kStartedButNotFound, texts::kStartedButNotFoundTimeOut);
        co_return false;
    }
    co_return true;
}

Task<void> PlaylistMenu::open() {
    return update(kOpenChoice);
}

Task<void> PlaylistMenu::refresh() {
    return update(kRefreshChoice);
}

Task<void> PlaylistMenu::choose(int item) {
    return update(item);
}

Task<void> PlaylistMenu::update(int n) {
    link_.timers.disable(TimerSlot::kPlaylistRefresh);
    if (state_.playerPath().empty()) {
        co_await errors_.show(texts::kNeedPath, texts::kNeedPathTimeOut);
        co_return;
    }
    if (!co_await findOrStartPlayer()) {
        co_return;
    }
    if (control_.getStatus() != texts::kPlaying) {
        control_.send(&MediaPlayer::play);
    }
    PlaylistSnapshot list = normalised(info_.getPlaylist());
    if (n == 0) {
        co_await mainMenu_.show(texts::kBackToMainMenu);
        co_return;
    }
    if (!list.ok) {
        // Nothing to list: back to the main menu, as after the other failures of this screen.
        link_.log.write(texts::kLogPlaylistEmpty);
        co_await mainMenu_.show(texts::kBackToMainMenu);
        co_return;
    }
    if (n == kRefreshChoice && list.current == lastIndex_) {
        link_.timers.reset(TimerSlot::kPlaylistRefresh);
        co_return;
    }
    lastIndex_ = list.current;
    if (!co_await chooseWindow(n, list)) {
        co_return;
    }
    if (!list.ok) {
        link_.log.write(texts::kLogPlaylistEmpty);
        co_await mainMenu_.show(texts::kBackToMainMenu);
        co_return;
    }
    co_await showPlaylist(list);
    link_.timers.reset(TimerSlot::kPlaylistRefresh);
}

Task<bool> PlaylistMenu::chooseWindow(int n, PlaylistSnapshot& list) {
    const int cur = list.current;
    int offset = pageOffset_;
    if (n == kBackItemChoice && cur != 0 && listHasBackItem_) {
        offset -= kPageStep;
        if (offset + cur < 0) {
            offset = -cur;
        }
    } else if (n == kMoreItemChoice) {
        offset += kPageStep;
        if (offset + cur > list.count) {
            offset = list.count - cur;
        }
    } else if (n == kRefreshChoice || n == kOpenChoice) {
        offset = 0;
    } else {
        if (!listHasBackItem_) {
            ++n;
        }
        if (n == kCurrentTrackChoice && (cur == 0 || offset == 0)) {
            leaveScreenIfShown(state_, Screen::kPlayerMenu);
            co_await link_.ui.atCmer(true);
            co_await status_.show();
            co_return false;
        }
        control_.playEntry(offset + cur + n - 2);
        list = normalised(info_.getPlaylist());
        lastIndex_ = list.current;
        offset = 0;
    }
    pageOffset_ = offset;
    co_return true;
}

Task<void> PlaylistMenu::showPlaylist(PlaylistSnapshot list) {
    const PlaylistWindow window = buildPlaylistWindow(list.count, pageOffset_ + list.current);
    // Only the entries shown are read from the player, in one range.
    int first = list.count;
    int last = -1;
    for (const PlaylistItem& item : window.items) {
        if (item.kind == PlaylistItem::Kind::kEntry) {
            first = std::min(first, item.entry);
            last = std::max(last, item.entry);
        }
    }
    const std::vector<PlaylistEntry> entries = info_.getPlaylistEntries(first, last - first + 1);
    std::vector<std::string> items;
    for (const PlaylistItem& item : window.items) {
        switch (item.kind) {
            case PlaylistItem::Kind::kBack:
                items.emplace_back(texts::kBackItem);
                break;
            case PlaylistItem::Kind::kMore:
                items.emplace_back(texts::kMoreItem);
                break;
            case PlaylistItem::Kind::kEntry:
                const auto at = static_cast<std::size_t>(item.entry - first);
                // An entry the player no longer has (the list shrank meanwhile) is named by
                // nothing rather than dropped, so the items keep their numbers.
                items.push_back(at < entries.size() ? info_.playlistEntryText(entries[at]) : "");
                break;
        }
    }
    listHasBackItem_ = !window.items.empty() && window.items[0].kind == PlaylistItem::Kind::kBack;
    leaveScreen(state_);  // a refresh may find the phone on another screen
    state_.screen = Screen::kPlayerMenu;
    co_await link_.ui.uiSubMenu(texts::kMenuTitle, window.highlighted, items);
}

}  // namespace zintor
