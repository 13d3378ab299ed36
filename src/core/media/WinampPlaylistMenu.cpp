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
PlaylistSnapshot Normalised(PlaylistSnapshot list) {
    if (list.Current < 0 || list.Current >= list.Count) {
        list.Current = 0;
    }
    return list;
}

}  // namespace

WinampMenus::WinampMenus(ProgramState& state, Ports& ports, Link& link, Procedures& procedures)
    : state_(state),
      ports_(ports),
      link_(link),
      procedures_(procedures),
      control_(state, ports, link, procedures),
      info_(state, ports, link, control_) {}

bool WinampMenus::FindOrStartPlayer() {
    if (control_.WinAMP_FindWindow()) {
        return true;
    }
    if (!control_.WinAMP_Start()) {
        procedures_.ErrorMessage(texts::kCouldNotStart, texts::kCouldNotStartTimeOut,
                                 texts::kPopUpMenuItem);
        return false;
    }
    if (!control_.WinAMP_FindWindow()) {
        procedures_.ErrorMessage(texts::kStartedButNotFound, texts::kStartedButNotFoundTimeOut,
                                 texts::kPopUpMenuItem);
        return false;
    }
    return true;
}

void WinampMenus::WinAMP_Menu_Selected(const std::string& text) {
    link_.DisableTimer(texts::kPlaylistRefreshSlot);
    if (state_.WinampPath().empty()) {
        procedures_.ErrorMessage(texts::kNeedPath, texts::kNeedPathTimeOut, texts::kPopUpMenuItem);
        return;
    }
    if (!FindOrStartPlayer()) {
        return;
    }
    if (control_.WinAMP_GetStatus() != texts::kPlaying) {
        control_.WinAMP_SendCommand(winamp::kPlay);
    }
    const int n = TrailingNumber(text);
    PlaylistSnapshot list = Normalised(info_.GetPlaylist());
    if (n == 0) {
        procedures_.ShowMainMenu(texts::kBackToMainMenu);
        return;
    }
    if (!list.Ok) {
        // Nothing to list: back to the main menu, as after the other failures of this screen.
        link_.WriteLog(texts::kLogPlaylistEmpty);
        procedures_.ShowMainMenu(texts::kBackToMainMenu);
        return;
    }
    if (n == kRefresh && list.Current == state_.WinampLastIndex) {
        link_.ResetTimer(texts::kPlaylistRefreshSlot, 0);
        return;
    }
    state_.WinampLastIndex = list.Current;
    if (!ChooseWindow(n, list)) {
        return;
    }
    if (!list.Ok) {
        link_.WriteLog(texts::kLogPlaylistEmpty);
        procedures_.ShowMainMenu(texts::kBackToMainMenu);
        return;
    }
    ShowPlaylist(list);
    link_.ResetTimer(texts::kPlaylistRefreshSlot, 0);
}

bool WinampMenus::ChooseWindow(int n, PlaylistSnapshot& list) {
    const int cur = list.Current;
    int offset = state_.WinampPageOffset;
    if (n == kBackItemChoice && cur != 0 && state_.WinampListHasBackItem) {
        offset -= kPageStep;
        if (offset + cur < 0) {
            offset = -cur;
        }
    } else if (n == kMoreItemChoice) {
        offset += kPageStep;
        if (offset + cur > list.Count) {
            offset = list.Count - cur;
        }
    } else if (n == kRefresh || n == kOpen) {
        offset = 0;
    } else {
        if (!state_.WinampListHasBackItem) {
            ++n;
        }
        if (n == kCurrentTrackChoice && (cur == 0 || offset == 0)) {
            state_.ModeFlags[ModeWinampMenu] = false;
            link_.AT_CMER(true);
            WinAMP_Status_Menu_Selected(texts::kOpenStatus);
            return false;
        }
        control_.WinAMP_PlayEntry(offset + cur + n - 2);
        list = Normalised(info_.GetPlaylist());
        state_.WinampLastIndex = list.Current;
        offset = 0;
    }
    state_.WinampPageOffset = offset;
    return true;
}

void WinampMenus::ShowPlaylist(const PlaylistSnapshot& list) {
    const PlaylistWindow window =
        BuildPlaylistWindow(list.Count, state_.WinampPageOffset + list.Current);
    // Only the entries shown are read from the player, in one range.
    int first = list.Count;
    int last = -1;
    for (const PlaylistItem& item : window.items) {
        if (item.kind == PlaylistItem::Entry) {
            first = std::min(first, item.entry);
            last = std::max(last, item.entry);
        }
    }
    const std::vector<PlaylistEntry> entries = info_.GetPlaylistEntries(first, last - first + 1);
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
                items.push_back(at < entries.size() ? info_.PlaylistEntryText(entries[at]) : "");
                break;
        }
    }
    state_.WinampListHasBackItem =
        !window.items.empty() && window.items[0].kind == PlaylistItem::Back;
    ClearModes(state_);  // a refresh may find the phone on another screen
    state_.ModeFlags[ModeWinampMenu] = true;
    link_.UI_SubMenu(texts::kMenuTitle, window.highlighted, items);
}

}  // namespace zintor
