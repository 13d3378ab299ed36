#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "core/ports/EventLoop.h"

namespace zintor {

// The core's event loop on top of Qt's: timer ticks and posted calls, each run straight from the
// application's loop. Never one inside another: when an adapter runs a loop of its own inside a
// call from the core (a modal message box, waiting for a player to appear on the bus), ticks
// and posted calls that fall due meanwhile wait, in order, until the call they came into has
// returned. So the core is entered once at a time, whatever the adapters do.
// Needs a QCoreApplication (or QApplication) on the calling thread.
class QtEventLoop : public EventLoop {
  public:
    QtEventLoop();
    ~QtEventLoop() override;
    QtEventLoop(const QtEventLoop&) = delete;
    QtEventLoop& operator=(const QtEventLoop&) = delete;

    std::int64_t now() const override;
    TimerId startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    void post(std::function<void()> call) override;

    // For tests and tools that drive the loop from outside the core: handles events until
    // `done` returns true or until now() >= deadline, sleeping in between.
    void waitFor(const std::function<bool()>& done);
    void waitUntil(std::int64_t deadline);

    // Runs `call` now, or, inside a tick or posted call, right after it (for events that reach
    // the program other than through this loop).
    void deliver(std::function<void()> call) { run(std::move(call)); }
    // A tick or posted call is running now.
    bool inCall() const { return depth_ > 0; }
    // Timers started and not stopped.
    std::size_t runningTimers() const { return timers_.size(); }

  private:
    struct Timer {
        QPointer<QTimer> timer;
        std::shared_ptr<std::function<void()>> tick;
        bool tickWaiting = false;  // a tick fell due inside another call and waits for it
    };
    // Runs `call` now, or after the call that is running when it comes.
    void run(std::function<void()> call);
    void tick(TimerId id);

    QElapsedTimer clock_;
    QObject context_;  // parent of the timers, target of posted calls
    std::unique_ptr<QTimer> wake_;
    std::map<TimerId, Timer> timers_;
    std::vector<QPointer<QTimer>> spare_;  // stopped, ready to be started again
    std::deque<std::function<void()>> waiting_;
    TimerId nextId_ = 1;
    int depth_ = 0;
};

}  // namespace zintor
