#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <queue>
#include <vector>

#include "core/ports/EventLoop.h"

namespace zintor {

// An event loop on a virtual clock, for tests. It delivers what the real loop (QtEventLoop on
// Qt's, with its default GLib event dispatcher) delivers, by the same rules:
// - the loop goes round: first the posted calls that were queued when the round began, in the
//   order they were posted; then what the outside world does that is due (bytes arriving, a
//   click, a test's step); then every timer that is due, in due order, each one tick at most.
//   What a round posts, schedules or starts waits for the next round;
// - a timer ticks on its own rhythm; a late one ticks once and then keeps its rhythm if it still
//   can, otherwise starts a new one from now; a stopped timer never ticks, and one started again
//   starts afresh;
// - never one call inside another: while an adapter runs a loop of its own inside a call
//   (adapterLoop: a modal window, a wait for a player), the world goes on, and the ticks and
//   posted calls that fall due meanwhile wait, in order (one waiting tick a timer), and run right
//   after the call.
// Time is kept in microseconds and only moves when the loop runs: every call costs a little
// virtual time, and with nothing due the clock jumps to the next tick or outside event.
// More calls than setMaxSteps() allows throw std::runtime_error (a runaway loop).
class SimEventLoop : public EventLoop {
  public:
    SimEventLoop();
    ~SimEventLoop() override;
    SimEventLoop(const SimEventLoop&) = delete;
    SimEventLoop& operator=(const SimEventLoop&) = delete;

    // EventLoop
    std::int64_t now() const override;  // virtual milliseconds (microseconds / 1000, truncated)
    TimerId startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    void post(std::function<void()> call) override;

    // The outside world: a one-shot event at virtual time `atMs` (at once when in the past), or
    // `delayMs` after the current microsecond.
    void schedule(std::int64_t atMs, std::function<void()> call);
    void scheduleIn(std::int64_t delayMs, std::function<void()> call);

    // From inside a call of this loop: an adapter runs a loop of its own for `ms`.
    void adapterLoop(std::int64_t ms);
    // From inside a call of this loop: the call blocks for `ms` (the PC is busy), nothing runs.
    void busy(std::int64_t ms) { nowUs_ += std::max<std::int64_t>(0, ms) * 1000; }
    // A call an adapter posts for itself (a queued signal): it runs from the loop also inside an
    // adapter's loop; what it passes on to the program goes through deliver().
    void postForAdapter(std::function<void()> call);
    // Runs `call` (into the program) now, or, inside an adapter's loop, right after the call
    // that runs that loop.
    void deliver(std::function<void()> call) { run(std::move(call)); }
    // An adapter's loop runs now (what the world does now happens inside a call).
    bool inAdapterLoop() const { return adapterLoops_ > 0; }

    // Test drivers, from outside any call: they run everything that falls due before the end.
    void runFor(std::int64_t ms);      // until `ms` virtual milliseconds from now
    void runUntil(std::int64_t atMs);  // until now() == atMs (returns at once if already past)

    void setMaxSteps(std::uint64_t steps) { maxSteps_ = steps; }
    // Called before and after every call, e.g. to note with their times what the fakes recorded.
    void setStepObserver(std::function<void()> observer) { observer_ = std::move(observer); }
    std::uint64_t steps() const { return steps_; }

  private:
    struct Posted {
        std::function<void()> call;
        bool adapter;
    };
    struct Timer {
        std::int64_t intervalUs;
        std::int64_t dueUs;
        std::uint64_t seq;  // of its entry in the queue
        std::shared_ptr<std::function<void()>> tick;
        bool tickWaiting = false;  // a tick fell due inside an adapter's loop and waits
        bool activating = false;   // it is ticking now: it never ticks inside its own tick
    };
    struct Due {
        std::int64_t dueUs;
        std::uint64_t seq;
        TimerId timer;                                // 0: an outside event
        std::shared_ptr<std::function<void()>> call;  // outside events only
    };
    struct Later {
        bool operator()(const Due& a, const Due& b) const {
            return a.dueUs != b.dueUs ? a.dueUs > b.dueUs : a.seq > b.seq;
        }
    };
    using Queue = std::priority_queue<Due, std::vector<Due>, Later>;

    bool round();
    void tick(TimerId id);
    void run(std::function<void()> call);
    void step();
    void dropStopped();
    void runUntilMicros(std::int64_t deadlineUs);
    void drive(std::int64_t deadlineUs);  // runFor and runUntil

    std::int64_t nowUs_ = 0;
    std::int64_t callCostUs_ = 10;
    std::uint64_t seq_ = 1;
    std::deque<Posted> posted_;
    std::deque<std::function<void()>> waiting_;  // fell due inside an adapter's loop
    Queue outside_;
    Queue timerQueue_;
    std::map<TimerId, Timer> timers_;
    TimerId nextTimerId_ = 1;
    int calls_ = 0;  // calls running (1 at most, more only while an adapter's loop runs)
    int adapterLoops_ = 0;
    std::uint64_t steps_ = 0;
    std::uint64_t maxSteps_ = 5'000'000;
    std::function<void()> observer_;
};

}  // namespace zintor
