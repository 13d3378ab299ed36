#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "ports/EventLoop.h"

namespace zintor {

// The core's event loop on top of Qt's. Waiting blocks in QCoreApplication::processEvents with
// QEventLoop::WaitForMoreEvents, woken by a timer at the deadline: an idle program sleeps.
// Needs a QCoreApplication (or QApplication) on the calling thread.
class QtEventLoop : public EventLoop {
  public:
    QtEventLoop();
    ~QtEventLoop() override;
    QtEventLoop(const QtEventLoop&) = delete;
    QtEventLoop& operator=(const QtEventLoop&) = delete;

    std::int64_t now() const override;
    void pumpOnce() override;
    void waitFor(const std::function<bool()>& done) override;
    void waitUntil(std::int64_t deadline) override;
    TimerId startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    void post(std::function<void()> call) override;

    // How many waits and pumps (waitFor, waitUntil, pumpOnce) are running right now, nested in
    // each other: 0 when an event is handled straight from the application's main loop.
    int waitDepth() const { return waitDepth_; }
    // Timers started and not stopped.
    std::size_t runningTimers() const { return timers_.size(); }

  private:
    static bool deliverPosted(const std::function<bool()>& done);
    QElapsedTimer clock_;
    QObject context_;                             // parent of the timers, target of posted calls
    std::vector<std::unique_ptr<QTimer>> wakes_;  // end the sleeps of waitUntil, one a level
    std::map<TimerId, QPointer<QTimer>> timers_;
    std::vector<QPointer<QTimer>> spare_;  // stopped, ready to be started again
    TimerId nextId_ = 1;
    int waitDepth_ = 0;
};

}  // namespace zintor
