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
    // The refreshes come as if the phone had sent their lines, with the receive events off.
    link.onTick(TimerSlot::PlaylistRefresh, [this] {
        ports_.serial.setReceiveArmed(false);
        winampMenuSelected(texts::kPlaylistRefreshLine);
        ports_.serial.setReceiveArmed(true);
    });
    link.onTick(TimerSlot::StatusRefresh, [this] {
        ports_.serial.setReceiveArmed(false);
        winampStatusMenuSelected(texts::kStatusRefreshLine);
        ports_.serial.setReceiveArmed(true);
    });
}

bool WinampMenus::findOrStartPlayer() {
    if (control_.findWindow()) {
        return true;
    }
    if (!control_.start()) {
        screens_.errorMessage(texts::kCouldNotStart, texts::kCouldNotStartTimeOut,
                              texts::kPopUpMenuItem);
        return false;
    }
    if (!control_.findWindow()) {
        screens_.errorMessage(texts::kStartedButNotFound, texts::kStartedButNotFoundTimeOut,
                              texts::kPopUpMenuItem);
        return false;
    }
    return true;
}

void WinampMenus::winampMenuSelected(const std::string& text) {
    link_.disableTimer(TimerSlot::PlaylistRefresh);
    if (state_.winampPath().empty()) {
        screens_.errorMessage(texts::kNeedPath, texts::kNeedPathTimeOut, texts::kPopUpMenuItem);
        return;
    }
    if (!findOrStartPlayer()) {
        return;
    }
    if (control_.getStatus() != texts::kPlaying) {
        control_.sendCommand(winamp::kPlay);
    }
    const int n = trailingNumber(text);
    PlaylistSnapshot list = normalised(info_.getPlaylist());
    if (n == 0) {
        screens_.showMainMenu(texts::kBackToMainMenu);
        return;
    }
    if (!list.ok) {
        // Nothing to list: back to the main menu, as after the other failures of this screen.
        link_.writeLog(texts::kLogPlaylistEmpty);
        screens_.showMainMenu(texts::kBackToMainMenu);
        return;
    }
    if (n == kRefresh && list.current == state_.winampLastIndex) {
        link_.resetTimer(TimerSlot::PlaylistRefresh);
        return;
    }
    state_.winampLastIndex = list.current;
    if (!chooseWindow(n, list)) {
        return;
    }
    if (!list.ok) {
        link_.writeLog(texts::kLogPlaylistEmpty);
        screens_.showMainMenu(texts::kBackToMainMenu);
        return;
    }
    showPlaylist(list);
    link_.resetTimer(TimerSlot::PlaylistRefresh);
}

bool WinampMenus::chooseWindow(int n, PlaylistSnapshot& list) {
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
            link_.atCmer(true);
            winampStatusMenuSelected(texts::kOpenStatus);
            return false;
        }
        control_.playEntry(offset + cur + n - 2);
        list = normalised(info_.getPlaylist());
        state_.winampLastIndex = list.current;
        offset = 0;
    }
    state_.winampPageOffset = offset;
    return true;
}

void WinampMenus::showPlaylist(const PlaylistSnapshot& list) {
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
    link_.uiSubMenu(texts::kMenuTitle, window.highlighted, items);
}

}  // namespace zintor
