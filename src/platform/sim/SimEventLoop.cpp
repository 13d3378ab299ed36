#include "SimEventLoop.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace zintor {

namespace {
constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();
}

// Counts nested waits and pumps; too deep a nesting is a runaway recursion in the code under test.
class SimEventLoop::Depth {
  public:
    explicit Depth(SimEventLoop& loop) : loop_(loop) {
        if (loop_.depth_ >= loop_.maxDepth_) {
            throw std::runtime_error("SimEventLoop: waits nested deeper than " +
                                     std::to_string(loop_.maxDepth_) + " (runaway recursion?)");
        }
        ++loop_.depth_;
        loop_.deepest_ = std::max(loop_.deepest_, loop_.depth_);
    }
    ~Depth() { --loop_.depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;

  private:
    SimEventLoop& loop_;
};

SimEventLoop::SimEventLoop() = default;
SimEventLoop::~SimEventLoop() = default;

std::int64_t SimEventLoop::now() const {
    return nowUs_ / 1000;
}

void SimEventLoop::step() {
    if (++steps_ > maxSteps_) {
        throw std::runtime_error("SimEventLoop: more than " + std::to_string(maxSteps_) +
                                 " steps (runaway loop?)");
    }
    if (observer_) {
        observer_();
    }
}

void SimEventLoop::post(std::function<void()> call) {
    posted_.push_back(Posted{seq_++, std::move(call)});
}

void SimEventLoop::schedule(std::int64_t atMs, std::function<void()> call) {
    std::int64_t due = std::max(atMs * 1000, nowUs_);
    timed_.push(Timed{due, seq_++, 0, 0, std::make_shared<std::function<void()>>(std::move(call))});
    ++liveOneShots_;
}

void SimEventLoop::scheduleIn(std::int64_t delayMs, std::function<void()> call) {
    std::int64_t due = nowUs_ + std::max<std::int64_t>(0, delayMs) * 1000;
    timed_.push(Timed{due, seq_++, 0, 0, std::make_shared<std::function<void()>>(std::move(call))});
    ++liveOneShots_;
}

EventLoop::TimerId SimEventLoop::startTimer(int intervalMs, std::function<void()> tick) {
    TimerId id = nextTimerId_++;
    Timer& timer = timers_[id];
    timer.intervalUs = std::int64_t{std::max(0, intervalMs)} * 1000;
    timer.tick = std::make_shared<std::function<void()>>(std::move(tick));
    // Timers count whole milliseconds from the one now, as the real loops do.
    armTimer(id, timer, nowUs_ / 1000 * 1000 + timer.intervalUs);
    return id;
}

void SimEventLoop::stopTimer(TimerId id) {
    timers_.erase(id);
}

void SimEventLoop::armTimer(TimerId id, Timer& timer, std::int64_t dueUs) {
    timer.generation = seq_;
    timed_.push(Timed{dueUs, seq_++, id, timer.generation, nullptr});
}

bool SimEventLoop::isLive(const Timed& entry) const {
    if (entry.timer == 0) {
        return true;
    }
    auto it = timers_.find(entry.timer);
    return it != timers_.end() && it->second.generation == entry.generation;
}

void SimEventLoop::dropDeadTimed() {
    while (!timed_.empty() && !isLive(timed_.top())) {
        timed_.pop();
    }
}

std::int64_t SimEventLoop::nextDueUs() {
    dropDeadTimed();
    return timed_.empty() ? -1 : timed_.top().dueUs;
}

bool SimEventLoop::runOneDue(std::uint64_t seqLimit) {
    if (!posted_.empty() && posted_.front().seq < seqLimit) {
        std::function<void()> call = std::move(posted_.front().call);
        posted_.pop_front();
        call();
        return true;
    }
    dropDeadTimed();
    if (!timed_.empty() && timed_.top().dueUs <= nowUs_ && timed_.top().seq < seqLimit) {
        Timed entry = timed_.top();
        timed_.pop();
        runTimed(entry);
        return true;
    }
    return false;
}

void SimEventLoop::runTimed(const Timed& entry) {
    if (entry.timer == 0) {
        --liveOneShots_;
        (*entry.call)();
        return;
    }
    Timer& timer = timers_.at(entry.timer);
    // The next tick keeps the timer's own rhythm; ticks missed while the clock jumped are dropped.
    std::int64_t next = entry.dueUs + timer.intervalUs;
    if (next <= nowUs_) {
        next = nowUs_ + timer.intervalUs;
    }
    armTimer(entry.timer, timer, next);
    if (timer.ticking) {
        return;  // its tick is still running further up: a timer never re-enters itself
    }
    timer.ticking = true;
    std::shared_ptr<std::function<void()>> tick = timer.tick;  // survives stopTimer inside it
    struct Reset {
        SimEventLoop& loop;
        TimerId id;
        ~Reset() {
            auto it = loop.timers_.find(id);
            if (it != loop.timers_.end()) {
                it->second.ticking = false;
            }
        }
    } reset{*this, entry.timer};
    (*tick)();
}

void SimEventLoop::pumpOnce() {
    Depth depth(*this);
    std::uint64_t limit = seq_;  // what was queued or due before this pump started
    step();
    while (runOneDue(limit)) {
        step();
    }
    nowUs_ += pumpCostUs_;
}

void SimEventLoop::waitFor(const std::function<bool()>& done) {
    Depth depth(*this);
    while (!done()) {
        step();
        if (runOneDue(kNoLimit)) {
            nowUs_ += pumpCostUs_;
            continue;
        }
        std::int64_t next = nextDueUs();
        if (next < 0) {
            throw std::logic_error("waiting with nothing scheduled");
        }
        nowUs_ = std::max(nowUs_, next);
    }
}

void SimEventLoop::runUntilMicros(std::int64_t deadlineUs) {
    while (nowUs_ < deadlineUs) {
        step();
        if (runOneDue(kNoLimit)) {
            nowUs_ += pumpCostUs_;
            continue;
        }
        std::int64_t next = nextDueUs();
        nowUs_ = (next >= 0 && next < deadlineUs) ? std::max(nowUs_, next) : deadlineUs;
    }
}

void SimEventLoop::waitUntil(std::int64_t deadline) {
    Depth depth(*this);
    runUntilMicros(deadline * 1000);
}

void SimEventLoop::runFor(std::int64_t ms) {
    Depth depth(*this);
    runUntilMicros(nowUs_ + std::max<std::int64_t>(0, ms) * 1000);
}

void SimEventLoop::runUntil(std::int64_t atMs) {
    waitUntil(atMs);
}

}  // namespace zintor
