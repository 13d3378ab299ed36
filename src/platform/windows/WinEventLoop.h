#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "ports/EventLoop.h"

namespace zintor {

// The core's event loop on the Win32 message queue of the calling thread.
//  - Waits block in MsgWaitForMultipleObjectsEx until a message, a registered handle or the next
//    deadline (the loop's own timers, the wait's end): an idle program sleeps.
//  - Timers and posted calls are kept here, with millisecond precision (the system timer is set to
//    1 ms while the loop exists). A hidden message window is woken by a WM_TIMER at the next tick
//    and by a message for each batch of posted calls, so both keep running inside modal loops the
//    loop does not own (message boxes, menus, the file dialog).
//  - Registered handles (overlapped I/O events) are served by the loop's own waits.
class WinEventLoop : public EventLoop {
  public:
    using HandleId = int;

    WinEventLoop();
    ~WinEventLoop() override;
    WinEventLoop(const WinEventLoop&) = delete;
    WinEventLoop& operator=(const WinEventLoop&) = delete;

    std::int64_t now() const override;
    void pumpOnce();
    void waitFor(const std::function<bool()>& done);
    void waitUntil(std::int64_t deadline);
    TimerId startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    void post(std::function<void()> call) override;

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

    // Waits running right now, nested in each other (0 at the top of run()).
    int waitDepth() const { return waitDepth_; }
    // Times the loop went to sleep (the tests use it to see that waits do not spin).
    std::uint64_t sleeps() const { return sleeps_; }

  private:
    struct Timer {
        std::int64_t intervalUs;
        std::int64_t dueUs;
        std::function<void()> tick;
    };
    struct Watched {
        HANDLE handle;
        std::function<void()> signaled;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::int64_t nowUs() const;
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
    std::map<HandleId, Watched> handles_;
    HandleId nextHandle_ = 1;
    int waitDepth_ = 0;
    int modalDepth_ = 0;
    bool quitting_ = false;
    int exitCode_ = 0;
    std::uint64_t sleeps_ = 0;
};

}  // namespace zintor
