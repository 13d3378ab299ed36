#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <queue>
#include <vector>

#include "ports/EventLoop.h"

namespace zintor {

// An event loop on a virtual clock, for tests. Time is kept in microseconds and only moves when
// the loop is pumped or waits: every pump costs a small, configurable amount of virtual time (so
// a loop that only pumps still lets time pass), and a wait with nothing due jumps straight to the
// next timer tick or scheduled event. Waits nest like on a real machine: a handler that waits
// inside another wait runs on the same clock and the same queues.
//
// Faults in a test show up as exceptions instead of hangs:
// - waitFor() with a condition that is false and nothing left that could ever run throws
//   std::logic_error("waiting with nothing scheduled");
// - more steps than setMaxSteps() allows, or waits nested deeper than setMaxDepth(), throw
//   std::runtime_error (a runaway loop).
class SimEventLoop : public EventLoop {
  public:
    SimEventLoop();
    ~SimEventLoop() override;
    SimEventLoop(const SimEventLoop&) = delete;
    SimEventLoop& operator=(const SimEventLoop&) = delete;

    // EventLoop
    std::int64_t now() const override;  // virtual milliseconds (microseconds / 1000, truncated)
    void pumpOnce();
    void waitFor(const std::function<bool()>& done);
    void waitUntil(std::int64_t deadline);
    TimerId startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    void post(std::function<void()> call) override;

    // One-shot event at virtual time `atMs` (at once, i.e. at the next pump, when in the past).
    void schedule(std::int64_t atMs, std::function<void()> call);
    // One-shot event `delayMs` after the current microsecond.
    void scheduleIn(std::int64_t delayMs, std::function<void()> call);

    // Test drivers. They run everything that falls due, in order, and nest like waits.
    void runFor(std::int64_t ms);      // until `ms` virtual milliseconds from now
    void runUntil(std::int64_t atMs);  // until now() == atMs (returns at once if already past)
    // Until no posted call and no one-shot event is pending (repeating timers tick meanwhile).
    // Throws std::logic_error when that does not happen within `limitMs` of virtual time.

    // Clock.
    // Moves the clock forward without running anything (e.g. "the PC was busy").

    // Guards.
    void setMaxSteps(std::uint64_t steps) { maxSteps_ = steps; }
    void setMaxDepth(int depth) { maxDepth_ = depth; }
    // Called before every step, e.g. to note with their times what the fakes recorded meanwhile.
    void setStepObserver(std::function<void()> observer) { observer_ = std::move(observer); }

    // Inspection.
    int waitDepth() const { return depth_; }  // waits running right now (0 at top level)
    int deepestWait() const { return deepest_; }
    std::uint64_t steps() const { return steps_; }

  private:
    struct Posted {
        std::uint64_t seq;
        std::function<void()> call;
    };
    struct Timer {
        std::int64_t intervalUs;
        std::shared_ptr<std::function<void()>> tick;
        std::uint64_t generation;  // the queue entry that is current for this timer
        bool ticking = false;      // its tick is running (a timer never re-enters its own tick)
    };
    struct Timed {
        std::int64_t dueUs;
        std::uint64_t seq;
        TimerId timer;  // 0: a one-shot event
        std::uint64_t generation;
        std::shared_ptr<std::function<void()>> call;  // one-shot events only
    };
    // Due time first; at the same time the program's own timers come before what the world does
    // (a timer is on time, and the world's events are never exactly simultaneous with it).
    struct Later {
        bool operator()(const Timed& a, const Timed& b) const {
            if (a.dueUs != b.dueUs) {
                return a.dueUs > b.dueUs;
            }
            if ((a.timer == 0) != (b.timer == 0)) {
                return a.timer == 0;
            }
            return a.seq > b.seq;
        }
    };

    // Runs one item that is due now, if any, with sequence number below `seqLimit`.
    bool runOneDue(std::uint64_t seqLimit);
    void runTimed(const Timed& entry);
    bool isLive(const Timed& entry) const;
    void dropDeadTimed();
    // Earliest live timed entry's due time, or -1.
    std::int64_t nextDueUs();
    void step();
    void runUntilMicros(std::int64_t deadlineUs);
    void armTimer(TimerId id, Timer& timer, std::int64_t dueUs);

    class Depth;

    std::int64_t nowUs_ = 0;
    std::int64_t pumpCostUs_ = 10;
    std::uint64_t seq_ = 1;
    std::deque<Posted> posted_;
    std::priority_queue<Timed, std::vector<Timed>, Later> timed_;
    std::map<TimerId, Timer> timers_;
    TimerId nextTimerId_ = 1;
    std::size_t liveOneShots_ = 0;
    std::uint64_t steps_ = 0;
    std::uint64_t maxSteps_ = 5'000'000;
    int depth_ = 0;
    int deepest_ = 0;
    int maxDepth_ = 200;
    std::function<void()> observer_;
};

}  // namespace zintor
