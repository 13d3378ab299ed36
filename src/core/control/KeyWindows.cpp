#include "control/KeyWindows.h"

#include "control/KeyHelpContent.h"

namespace zintor {

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

Task<void> KeyWindows::keyMapChanged() {
    const bool noticeOpen = state_.keyMapNoticeShown;
    const bool helpOpen = state_.keyHelpShown;
    if (!noticeOpen && !helpOpen) {
        showNotice();
        co_await waitForNoticeClosed();
        if (state_.keyHelpShown) {
            co_await reshowKeyHelpAndWait();
        }
    } else if (noticeOpen && !helpOpen) {
        setNoticeText();
    } else {
        // The help lists the key map that was current when it opened: rebuild it.
        co_await reshowKeyHelpAndWait();
    }
}

void KeyWindows::closeKeyHelp() {
    if (state_.keyHelpShown) {
        desktop_.closeKeyHelp();
        keyHelpClosed();
    }
}

void KeyWindows::keyHelpClosed() {
    if (state_.keyHelpShown) {
        phone_.showKeyHelp(false);
    }
    state_.keyHelpShown = false;
    changed_.fire();
}

void KeyWindows::noticeClosed() {
    state_.keyMapNoticeShown = false;
    changed_.fire();
}

void KeyWindows::showKeyHelp() {
    state_.keyHelpShown = true;
    ++helpShowings_;
    desktop_.showKeyHelp(keyHelpCaption(state_), keyHelpRows(state_));
    phone_.showKeyHelp(true);
    changed_.fire();
}

Task<void> KeyWindows::reshowKeyHelpAndWait() {
    closeKeyHelp();
    showKeyHelp();
    // Ends when this showing is closed, or when a later key has replaced it by a new showing.
    const std::uint64_t showing = helpShowings_;
    while (state_.keyHelpShown && helpShowings_ == showing) {
        co_await changed_.next();
    }
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
        noticeClosed();
    }
}

Task<void> KeyWindows::waitForNoticeClosed() {
    // A new text moves the deadline on, so the watch looks again when the one it waited for has
    // passed.
    while (state_.keyMapNoticeShown) {
        const std::int64_t overdue = noticeDeadline_ + kNoticeGraceMs - loop_.now();
        if (overdue <= 0) {
            closeNotice();
            break;
        }
        co_await changed_.next(overdue);
    }
}

}  // namespace zintor
