#include "core/control/KeyWindows.h"

#include "core/control/KeyHelpContent.h"

namespace zintor {

void KeyWindows::toggleKeyHelp() {
    if (noticeShown_) {
        closeNotice();
        if (!keyHelpShown_) {
            showKeyHelp();
        }
        return;
    }
    if (keyHelpShown_) {
        closeKeyHelp();
    } else {
        desktop_.hideMainWindow();
        showKeyHelp();
    }
}

Task<void> KeyWindows::keyMapChanged() {
    const bool noticeOpen = noticeShown_;
    const bool helpOpen = keyHelpShown_;
    if (!noticeOpen && !helpOpen) {
        showNotice();
        co_await waitForNoticeClosed();
        if (keyHelpShown_) {
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
    if (keyHelpShown_) {
        desktop_.closeKeyHelp();
        keyHelpClosed();
    }
}

void KeyWindows::keyHelpClosed() {
    if (keyHelpShown_) {
        phone_.showKeyHelp(false);
    }
    keyHelpShown_ = false;
    changed_.fire();
}

void KeyWindows::noticeClosed() {
    noticeShown_ = false;
    changed_.fire();
}

void KeyWindows::showKeyHelp() {
    keyHelpShown_ = true;
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
    while (keyHelpShown_ && helpShowings_ == showing) {
        co_await changed_.next();
    }
}

void KeyWindows::showNotice() {
    noticeShown_ = true;
    noticeDeadline_ = loop_.now() + kNoticeMs;
    desktop_.showNotice(noticeText(state_));
}

void KeyWindows::setNoticeText() {
    noticeDeadline_ = loop_.now() + kNoticeMs;
    desktop_.setNoticeText(noticeText(state_));
}

void KeyWindows::closeNotice() {
    if (noticeShown_) {
        desktop_.closeNotice();
        noticeClosed();
    }
}

Task<void> KeyWindows::waitForNoticeClosed() {
    // A new text moves the deadline on, so the watch looks again when the one it waited for has
    // passed.
    while (noticeShown_) {
        const std::int64_t overdue = noticeDeadline_ + kNoticeGraceMs - loop_.now();
        if (overdue <= 0) {
            closeNotice();
            break;
        }
        co_await changed_.next(overdue);
    }
}

}  // namespace zintor
