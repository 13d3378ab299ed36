#include "control/KeyWindows.h"

#include "control/KeyHelpContent.h"

namespace zintor {
namespace {
constexpr int kNoticeWatchIntervalMs = 500;
}

void KeyWindows::ToggleKeyHelp() {
    if (state_.KeyMapNoticeShown) {
        CloseNotice();
        if (!state_.KeyHelpShown) {
            ShowKeyHelp();
        }
        return;
    }
    if (state_.KeyHelpShown) {
        CloseKeyHelp();
    } else {
        desktop_.hideMainWindow();
        ShowKeyHelp();
    }
}

void KeyWindows::KeyMapChanged() {
    const bool noticeOpen = state_.KeyMapNoticeShown;
    const bool helpOpen = state_.KeyHelpShown;
    if (!noticeOpen && !helpOpen) {
        ShowNotice();
        WaitForNoticeClosed();
        if (state_.KeyHelpShown) {
            ReshowKeyHelpAndWait();
        }
    } else if (noticeOpen && !helpOpen) {
        SetNoticeText();
    } else {
        // The help lists the key map that was current when it opened: rebuild it.
        ReshowKeyHelpAndWait();
    }
}

void KeyWindows::CloseKeyHelp() {
    if (state_.KeyHelpShown) {
        desktop_.closeKeyHelp();
        state_.KeyHelpShown = false;
    }
}

void KeyWindows::ShowKeyHelp() {
    state_.KeyHelpShown = true;
    ++helpShowings_;
    desktop_.showKeyHelp(KeyHelpCaption(state_), KeyHelpRows(state_));
}

void KeyWindows::ReshowKeyHelpAndWait() {
    CloseKeyHelp();
    ShowKeyHelp();
    // Ends when this showing is closed, or when a nested key has replaced it by a new showing
    // (whose own waiter has returned by the time this one looks again).
    const std::uint64_t showing = helpShowings_;
    loop_.waitFor([this, showing] { return !state_.KeyHelpShown || helpShowings_ != showing; });
}

void KeyWindows::ShowNotice() {
    state_.KeyMapNoticeShown = true;
    noticeDeadline_ = loop_.now() + kNoticeMs;
    desktop_.showNotice(NoticeText(state_));
}

void KeyWindows::SetNoticeText() {
    noticeDeadline_ = loop_.now() + kNoticeMs;
    desktop_.setNoticeText(NoticeText(state_));
}

void KeyWindows::CloseNotice() {
    if (state_.KeyMapNoticeShown) {
        desktop_.closeNotice();
        state_.KeyMapNoticeShown = false;
    }
}

void KeyWindows::WaitForNoticeClosed() {
    // The watch timer only wakes the loop so that an overdue notice is noticed.
    const EventLoop::TimerId watch = loop_.startTimer(kNoticeWatchIntervalMs, [] {});
    loop_.waitFor([this] {
        if (state_.KeyMapNoticeShown && loop_.now() >= noticeDeadline_ + kNoticeGraceMs) {
            CloseNotice();
        }
        return !state_.KeyMapNoticeShown;
    });
    loop_.stopTimer(watch);
}

}  // namespace zintor
