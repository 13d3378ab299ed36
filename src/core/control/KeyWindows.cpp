#include "control/KeyWindows.h"

#include "control/KeyHelpContent.h"

namespace zintor {
namespace {
constexpr int kNoticeWatchIntervalMs = 500;
}

void KeyWindows::toggleKeyHelp() {
    if (state_.keyMapNoticeShown) {
        closeNotice();
        if (!state_.keyHelpShown) {
            showKeyHelp();
        }
        return;
    }
    if (state_.keyHelpShown) {
        closeKeyHelp();
    } else {
        desktop_.hideMainWindow();
        showKeyHelp();
    }
}

void KeyWindows::keyMapChanged() {
    const bool noticeOpen = state_.keyMapNoticeShown;
    const bool helpOpen = state_.keyHelpShown;
    if (!noticeOpen && !helpOpen) {
        showNotice();
        waitForNoticeClosed();
        if (state_.keyHelpShown) {
            reshowKeyHelpAndWait();
        }
    } else if (noticeOpen && !helpOpen) {
        setNoticeText();
    } else {
        // The help lists the key map that was current when it opened: rebuild it.
        reshowKeyHelpAndWait();
    }
}

void KeyWindows::closeKeyHelp() {
    if (state_.keyHelpShown) {
        desktop_.closeKeyHelp();
        state_.keyHelpShown = false;
    }
}

void KeyWindows::showKeyHelp() {
    state_.keyHelpShown = true;
    ++helpShowings_;
    desktop_.showKeyHelp(keyHelpCaption(state_), keyHelpRows(state_));
}

void KeyWindows::reshowKeyHelpAndWait() {
    closeKeyHelp();
    showKeyHelp();
    // Ends when this showing is closed, or when a nested key has replaced it by a new showing
    // (whose own waiter has returned by the time this one looks again).
    const std::uint64_t showing = helpShowings_;
    loop_.waitFor([this, showing] { return !state_.keyHelpShown || helpShowings_ != showing; });
}

void KeyWindows::showNotice() {
    state_.keyMapNoticeShown = true;
    noticeDeadline_ = loop_.now() + kNoticeMs;
    desktop_.showNotice(noticeText(state_));
}

void KeyWindows::setNoticeText() {
    noticeDeadline_ = loop_.now() + kNoticeMs;
    desktop_.setNoticeText(noticeText(state_));
}

void KeyWindows::closeNotice() {
    if (state_.keyMapNoticeShown) {
        desktop_.closeNotice();
        state_.keyMapNoticeShown = false;
    }
}

void KeyWindows::waitForNoticeClosed() {
    // The watch timer only wakes the loop so that an overdue notice is noticed.
    const EventLoop::TimerId watch = loop_.startTimer(kNoticeWatchIntervalMs, [] {});
    loop_.waitFor([this] {
        if (state_.keyMapNoticeShown && loop_.now() >= noticeDeadline_ + kNoticeGraceMs) {
            closeNotice();
        }
        return !state_.keyMapNoticeShown;
    });
    loop_.stopTimer(watch);
}

}  // namespace zintor
