#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "core/ports/EventLoop.h"

namespace zintor {

// The core's event loop on the Win32 message queue of the calling thread.
//  - The loop blocks in MsgWaitForMultipleObjectsEx until a message, a registered handle or the
//    next deadline (the loop's own timers, a wait's end): an idle program sleeps, and wakes when
//    a timer falls due.
//  - Timers and posted calls are kept here, with millisecond precision (the system timer is set to
//    1 ms while the loop exists). A hidden message window is woken by a WM_TIMER at the next tick
//    and by a message for each batch of posted calls, so both keep running inside modal loops the
//    loop does not own (message boxes, menus, the file dialog).
//  - Ticks and posted calls never run one inside another: when an adapter runs a loop of its own
//    inside such a call (a message box, the settings window), what falls due meanwhile waits, in
//    order, and runs right after that call returns. A timer has at most one waiting tick, and a
//    timer stopped meanwhile does not tick. So the core is entered once at a time.
//  - Registered handles (overlapped I/O events) are served by the loop's own waits; adapters pass
//    what they learn from them on to the program as posted calls.
class WinEventLoop : public EventLoop {
  public:
    using HandleId = int;

    WinEventLoop();
    ~WinEventLoop() override;
    WinEventLoop(const WinEventLoop&) = delete;
    WinEventLoop& operator=(const WinEventLoop&) = delete;

    std::int64_t now() const override;
    TimerId startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    void post(std::function<void()> call) override;

    // For tests and loops of the adapters' own: handles events until `done` returns true or
    // until now() >= deadline, sleeping in between.
    void waitFor(const std::function<bool()>& done);
    void waitUntil(std::int64_t deadline);

    // `signaled` runs from the loop whenever `handle` is signaled; it must reset the handle (or
    // remove it), or it runs again at once. At most 60 handles.
    HandleId addHandle(HANDLE handle, std::function<void()> signaled);
    void removeHandle(HandleId id);

    // While a modal loop of the system runs (a message box, the file dialog, a menu) the loop's
    // own waits do not: the handles are then looked at every few milliseconds from that loop
    // (the timers reach it as WM_TIMER anyway). Scopes nest.
    class ModalScope {
      public:
        explicit ModalScope(WinEventLoop& loop);
        ~ModalScope();
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

      private:
        WinEventLoop& loop_;
    };

    // Keyboard navigation (Tab, arrows, Enter, Escape) for `window`'s controls while it is open,
    // as a dialog box has it; nullptr ends it.
    void setDialog(HWND window) { dialog_ = window; }

    // The program's main loop: handles events until quit() (or a WM_QUIT message).
    int run();
    void quit(int exitCode = 0);
    bool quitting() const { return quitting_; }

    // Times the loop came to sleep, also when something was due at once (the tests use it to see
    // that waits do not spin).
    std::uint64_t sleeps() const { return sleeps_; }

  private:
    struct Timer {
        std::int64_t intervalUs;
        std::int64_t dueUs;
        std::shared_ptr<std::function<void()>> tick;  // kept alive while it runs
        bool tickWaiting = false;  // a tick fell due inside another call and waits for it
    };
    struct Watched {
        HANDLE handle;
        std::function<void()> signaled;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::int64_t nowUs() const;
    // Runs `call` now, or after the tick or posted call that is running when it comes.
    void enter(std::function<void()> call);
    void dispatchPass();
    void runMessages();
    void runDueTimers();
    void runPosted();
    void armWakeTimer();
    void runSignaledHandles();
    // Sleeps until a message, a handle or `untilUs` (-1: no deadline but the timers').
    void sleep(std::int64_t untilUs);

    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
    HWND window_ = nullptr;
    HWND dialog_ = nullptr;
    std::map<TimerId, Timer> timers_;
    TimerId nextTimer_ = 1;
    std::deque<std::function<void()>> posted_;
    bool postWakePending_ = false;
    std::deque<std::function<void()>> waiting_;  // fell due inside the running call
    int callDepth_ = 0;
    std::map<HandleId, Watched> handles_;
    HandleId nextHandle_ = 1;
    int modalDepth_ = 0;
    bool quitting_ = false;
    int exitCode_ = 0;
    std::uint64_t sleeps_ = 0;
};

}  // namespace zintor
