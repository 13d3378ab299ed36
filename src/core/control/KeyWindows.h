#pragma once

#include <cstdint>

#include "core/ports/Desktop.h"
#include "core/ports/EventLoop.h"
#include "core/ports/PhoneExtras.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"
#include "core/shared/Trigger.h"

namespace zintor {

// The key help window and the key-map notice, as the "*" and "#" keys drive them. The desktop
// shows the windows; this class keeps whether each is shown and does the waiting.
// Further keys are handled while a key waits for a window.
class KeyWindows {
  public:
    // The notice closes itself this long after its last text.
    static constexpr std::int64_t kNoticeMs = 3000;
    // If the desktop never reports the notice closed, it is closed this long after it should
    // have closed itself, so that a waiting key handler cannot be parked for ever.
    static constexpr std::int64_t kNoticeGraceMs = 2000;

    // The key help shows on the phone too, where the phone can (`phone`).
    KeyWindows(ProgramState& state, Desktop& desktop, PhoneExtras& phone, EventLoop& loop)
        : state_(state), desktop_(desktop), phone_(phone), loop_(loop), changed_(loop) {}

    // The "*" key: help on or off, or the notice replaced by the help.
    void toggleKeyHelp();

    // The windows' part of a key-map change ("#"), after currentKeyMap has moved on. Ends when
    // the windows it shows and waits for have closed.
    Task<void> keyMapChanged();

    // Closes the help window if it is open (leaving the key-control mode).
    void closeKeyHelp();
    void closeNotice();

    // The desktop reports that a window went away (closed by the user or by itself).
    void keyHelpClosed();
    void noticeClosed();

    bool keyHelpShown() const { return keyHelpShown_; }
    bool noticeShown() const { return noticeShown_; }

  private:
    void showKeyHelp();
    Task<void> reshowKeyHelpAndWait();
    void showNotice();
    void setNoticeText();
    Task<void> waitForNoticeClosed();

    ProgramState& state_;
    Desktop& desktop_;
    PhoneExtras& phone_;
    EventLoop& loop_;
    bool keyHelpShown_ = false;
    bool noticeShown_ = false;
    std::uint64_t helpShowings_ = 0;  // counts showings, so a waiter sees a re-show
    std::int64_t noticeDeadline_ = 0;
    Trigger changed_;  // a window closed or was shown again
};

}  // namespace zintor
