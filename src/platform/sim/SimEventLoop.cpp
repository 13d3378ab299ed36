#include "platform/sim/SimEventLoop.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace zintor {

namespace {

// Counts up for as long as it lives, also when what runs meanwhile throws.
class Counted {
  public:
    explicit Counted(int& count) : count_(count) { ++count_; }
    ~Counted() { --count_; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

  private:
    int& count_;
};

}  // namespace

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
    posted_.push_back(Posted{std::move(call), false});
}

void SimEventLoop::postForAdapter(std::function<void()> call) {
    posted_.push_back(Posted{std::move(call), true});
}

void SimEventLoop::schedule(std::int64_t atMs, std::function<void()> call) {
    outside_.push(Due{std::max(atMs * 1000, nowUs_), seq_++, 0,
                      std::make_shared<std::function<void()>>(std::move(call))});
}

void SimEventLoop::scheduleIn(std::int64_t delayMs, std::function<void()> call) {
    outside_.push(Due{nowUs_ + std::max<std::int64_t>(0, delayMs) * 1000, seq_++, 0,
                      std::make_shared<std::function<void()>>(std::move(call))});
}

EventLoop::TimerId SimEventLoop::startTimer(int intervalMs, std::function<void()> tick) {
    const TimerId id = nextTimerId_++;
    const std::int64_t interval = std::int64_t{std::max(0, intervalMs)} * 1000;
    timers_[id] = Timer{interval, nowUs_ + interval, seq_,
                        std::make_shared<std::function<void()>>(std::move(tick))};
    timerQueue_.push(Due{nowUs_ + interval, seq_++, id, nullptr});
    return id;
}

void SimEventLoop::stopTimer(TimerId id) {
    timers_.erase(id);
}

// Queue entries of stopped timers (or of an earlier rhythm) are dropped when they come up.
void SimEventLoop::dropStopped() {
    while (!timerQueue_.empty()) {
        const auto it = timers_.find(timerQueue_.top().timer);
        if (it != timers_.end() && it->second.seq == timerQueue_.top().seq) {
            return;
        }
        timerQueue_.pop();
    }
}

void SimEventLoop::run(std::function<void()> call) {
    if (calls_ > 0) {
        waiting_.push_back(std::move(call));
        return;
    }
    const Counted running(calls_);
    step();
    call();
    while (!waiting_.empty()) {
        std::function<void()> next = std::move(waiting_.front());
        waiting_.pop_front();
        step();
        next();
    }
    // The observer also sees what the call did before the clock moves on.
    if (observer_) {
        observer_();
    }
}

void SimEventLoop::tick(TimerId id) {
    const auto it = timers_.find(id);
    if (it == timers_.end() || it->second.tickWaiting) {
        return;
    }
    it->second.tickWaiting = calls_ > 0;
    run([this, id] {
        const auto found = timers_.find(id);
        if (found == timers_.end()) {
            return;  // stopped while its tick waited
        }
        found->second.tickWaiting = false;
        const std::shared_ptr<std::function<void()>> call = found->second.tick;
        (*call)();  // it may stop its own timer
    });
}

// One round of the loop; false when nothing was due.
bool SimEventLoop::round() {
    const std::int64_t at = nowUs_;
    const std::uint64_t seqAtStart = seq_;
    bool any = false;
    // Inside an adapter's loop the world and the adapters go on; what reaches the program waits.
    const auto runOutside = [this](const std::function<void()>& call) {
        if (inAdapterLoop()) {
            step();
            call();
        } else {
            run(call);
        }
    };
    for (std::size_t count = posted_.size(); count > 0 && !posted_.empty(); --count) {
        Posted posted = std::move(posted_.front());
        posted_.pop_front();
        posted.adapter ? runOutside(posted.call) : run(std::move(posted.call));
        nowUs_ += callCostUs_;
        any = true;
    }
    while (!outside_.empty() && outside_.top().dueUs <= at && outside_.top().seq < seqAtStart) {
        const std::shared_ptr<std::function<void()>> call = outside_.top().call;
        outside_.pop();
        runOutside([call] { (*call)(); });
        nowUs_ += callCostUs_;
        any = true;
    }
    for (dropStopped(); !timerQueue_.empty() && timerQueue_.top().dueUs <= at &&
                        timerQueue_.top().seq < seqAtStart;
         dropStopped()) {
        const TimerId id = timerQueue_.top().timer;
        timerQueue_.pop();
        Timer& timer = timers_.at(id);
        // Its next tick keeps the rhythm unless it has fallen behind it.
        std::int64_t next = timer.dueUs + timer.intervalUs;
        next = next < at ? at + timer.intervalUs : next;
        timer.dueUs = next;
        timer.seq = seq_;
        timerQueue_.push(Due{next, seq_++, id, nullptr});
        if (!timer.activating) {
            timer.activating = true;
            tick(id);
            if (const auto it = timers_.find(id); it != timers_.end()) {
                it->second.activating = false;
            }
        }
        nowUs_ += callCostUs_;
        any = true;
    }
    return any;
}

void SimEventLoop::runUntilMicros(std::int64_t deadlineUs) {
    while (nowUs_ < deadlineUs) {
        if (round()) {
            continue;
        }
        dropStopped();
        std::int64_t next = deadlineUs;
        next = outside_.empty() ? next : std::min(next, outside_.top().dueUs);
        next = timerQueue_.empty() ? next : std::min(next, timerQueue_.top().dueUs);
        nowUs_ = std::max(nowUs_, next);
    }
}

void SimEventLoop::adapterLoop(std::int64_t ms) {
    if (calls_ == 0) {
        throw std::logic_error("SimEventLoop: an adapter's loop outside a call");
    }
    const Counted loop(adapterLoops_);
    runUntilMicros(nowUs_ + std::max<std::int64_t>(0, ms) * 1000);
}

void SimEventLoop::runFor(std::int64_t ms) {
    drive(nowUs_ + std::max<std::int64_t>(0, ms) * 1000);
}

void SimEventLoop::runUntil(std::int64_t atMs) {
    drive(atMs * 1000);
}

void SimEventLoop::drive(std::int64_t deadlineUs) {
    if (calls_ > 0) {
        throw std::logic_error("SimEventLoop: run from inside a call");
    }
    runUntilMicros(deadlineUs);
}

}  // namespace zintor
