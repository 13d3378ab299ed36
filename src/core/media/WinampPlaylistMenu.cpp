// The playlist menu: a window of the player's playlist that starts at the current track and moves
// 8 entries at a time.

#include <algorithm>

#include "link/Link.h"
#include "media/MediaText.h"
#include "media/MediaTexts.h"
#include "media/PlaylistWindow.h"
#include "media/WinampMenus.h"

namespace zintor {

namespace texts = media_texts;

namespace {

constexpr int kPageStep = 8;
constexpr int kRefresh = 20;
constexpr int kOpen = 99;
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

WinampMenus::WinampMenus(ProgramState& state, Ports& ports, Link& link, PhoneMenus& screens)
    : state_(state),
      ports_(ports),
      link_(link),
      screens_(screens),
      control_(state, ports, link, screens),
      info_(state, ports, link, control_) {
    // A refresh redraws its own screen only: once the phone has left it, by whatever way, the
    // refresh stops and changes nothing.
    link.timers.onTick(TimerSlot::PlaylistRefresh, [this] {
        if (!state_.modeFlags[ModeWinampMenu]) {
            link_.timers.disable(TimerSlot::PlaylistRefresh);
            return;
        }
        link_.transport.start(winampMenuSelected(texts::kPlaylistRefreshLine));
    });
    link.timers.onTick(TimerSlot::StatusRefresh, [this] {
        if (!state_.modeFlags[ModeWinampStatus]) {
            link_.timers.disable(TimerSlot::StatusRefresh);
            return;
        }
        link_.transport.start(winampStatusMenuSelected(texts::kStatusRefreshLine));
    });
}

Task<bool> WinampMenus::findOrStartPlayer() {
    if (control_.findWindow()) {
        co_return true;
    }
    if (!control_.start()) {
        co_await screens_.errorMessage(texts::kCouldNotStart, texts::kCouldNotStartTimeOut,
                                       texts::kPopUpMenuItem);
        co_return false;
    }
    if (!control_.findWindow()) {
        co_await screens_.errorMessage(texts::kStartedButNotFound,
                                       texts::kStartedButNotFoundTimeOut, texts::kPopUpMenuItem);
        co_return false;
    }
    co_return true;
}

Task<void> WinampMenus::winampMenuSelected(std::string text) {
    link_.timers.disable(TimerSlot::PlaylistRefresh);
    if (state_.winampPath().empty()) {
        co_await screens_.errorMessage(texts::kNeedPath, texts::kNeedPathTimeOut,
                                       texts::kPopUpMenuItem);
        co_return;
    }
    if (!co_await findOrStartPlayer()) {
        co_return;
    }
    if (control_.getStatus() != texts::kPlaying) {
        control_.sendCommand(winamp::kPlay);
    }
    const int n = trailingNumber(text);
    PlaylistSnapshot list = normalised(info_.getPlaylist());
    if (n == 0) {
        co_await screens_.showMainMenu(texts::kBackToMainMenu);
        co_return;
    }
    if (!list.ok) {
        // Nothing to list: back to the main menu, as after the other failures of this screen.
        link_.log.write(texts::kLogPlaylistEmpty);
        co_await screens_.showMainMenu(texts::kBackToMainMenu);
        co_return;
    }
    if (n == kRefresh && list.current == state_.winampLastIndex) {
        link_.timers.reset(TimerSlot::PlaylistRefresh);
        co_return;
    }
    state_.winampLastIndex = list.current;
    if (!co_await chooseWindow(n, list)) {
        co_return;
    }
    if (!list.ok) {
        link_.log.write(texts::kLogPlaylistEmpty);
        co_await screens_.showMainMenu(texts::kBackToMainMenu);
        co_return;
    }
    co_await showPlaylist(list);
    link_.timers.reset(TimerSlot::PlaylistRefresh);
}

Task<bool> WinampMenus::chooseWindow(int n, PlaylistSnapshot& list) {
    const int cur = list.current;
    int offset = state_.winampPageOffset;
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
    } else if (n == kRefresh || n == kOpen) {
        offset = 0;
    } else {
        if (!listHasBackItem_) {
            ++n;
        }
        if (n == kCurrentTrackChoice && (cur == 0 || offset == 0)) {
            state_.modeFlags[ModeWinampMenu] = false;
            co_await link_.ui.atCmer(true);
            co_await winampStatusMenuSelected(texts::kOpenStatus);
            co_return false;
        }
        control_.playEntry(offset + cur + n - 2);
        list = normalised(info_.getPlaylist());
        state_.winampLastIndex = list.current;
        offset = 0;
    }
    state_.winampPageOffset = offset;
    co_return true;
}

Task<void> WinampMenus::showPlaylist(PlaylistSnapshot list) {
    const PlaylistWindow window =
        buildPlaylistWindow(list.count, state_.winampPageOffset + list.current);
    // Only the entries shown are read from the player, in one range.
    int first = list.count;
    int last = -1;
    for (const PlaylistItem& item : window.items) {
        if (item.kind == PlaylistItem::Entry) {
            first = std::min(first, item.entry);
            last = std::max(last, item.entry);
        }
    }
    const std::vector<PlaylistEntry> entries = info_.getPlaylistEntries(first, last - first + 1);
    std::vector<std::string> items;
    for (const PlaylistItem& item : window.items) {
        switch (item.kind) {
            case PlaylistItem::Back:
                items.emplace_back(texts::kBackItem);
                break;
            case PlaylistItem::More:
                items.emplace_back(texts::kMoreItem);
                break;
            case PlaylistItem::Entry:
                const auto at = static_cast<std::size_t>(item.entry - first);
                // An entry the player no longer has (the list shrank meanwhile) is named by
                // nothing rather than dropped, so the items keep their numbers.
                items.push_back(at < entries.size() ? info_.playlistEntryText(entries[at]) : "");
                break;
        }
    }
    listHasBackItem_ = !window.items.empty() && window.items[0].kind == PlaylistItem::Back;
    clearModes(state_);  // a refresh may find the phone on another screen
    state_.modeFlags[ModeWinampMenu] = true;
    co_await link_.ui.uiSubMenu(texts::kMenuTitle, window.highlighted, items);
}

}  // namespace zintor
