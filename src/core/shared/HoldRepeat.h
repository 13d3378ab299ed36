#pragma once

#include <algorithm>
#include <coroutine>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "core/ports/EventLoop.h"
#include "core/shared/RepeatGate.h"
#include "core/shared/Task.h"

namespace zintor {

// What a phone key held down repeats on the PC (the cursor, a special key, the master volume,
// the player's volume): a step at once and then one after every pause, driven by a timer, for as
// long as the hold's flag stays set. The steps keep their cadence: a pause counts from when the
// step before it was due, so what a step and the loop's wake-up cost does not slow the repeat
// (a pause of 5 ms makes 200 steps a second on every platform); a step that came later than a
// whole pause starts the cadence afresh instead of being made up. The key's release, leaving the
// screen or the link's end clear the flag, and the repeat ends at its next step, as a pause that
// has begun runs out. A new hold of the same kind ends the one before it at once. There is one
// repeat of each kind.
class HoldRepeat {
  public:
    HoldRepeat(EventLoop& loop, RepeatGate& gate, bool& flag)
        : loop_(loop), gate_(gate), flag_(flag) {}
    HoldRepeat(const HoldRepeat&) = delete;
    HoldRepeat& operator=(const HoldRepeat&) = delete;
    ~HoldRepeat() {
        stopTimer();
        std::erase(gate_.waiting_, this);
    }

    // Sets the flag and steps until it is cleared. Ends when the repeat does: true when it was
    // the latest hold of its kind, false when a newer one took over (the flag is then the newer
    // one's).
    Task<bool> run(std::function<void()> step, std::function<std::int64_t()> pauseMs) {
        const std::uint64_t me = ++generation_;
        wakeSleeper();  // the hold before this one ends now
        flag_ = true;
        std::int64_t due = loop_.now();
        while (flag_ && generation_ == me) {
            step();
            const std::int64_t pause = pauseMs();
            const std::int64_t now = loop_.now();
            due = due + pause > now ? due + pause : now + pause;
            co_await NextStep(*this, due - now);
        }
        const bool latest = generation_ == me;
        if (latest) {
            flag_ = false;
        }
        co_return latest;
    }

    // Ends the running hold now.
    void stop() {
        flag_ = false;
        wakeSleeper();
    }

  private:
    friend class RepeatGate;
    struct NextStep {
        HoldRepeat& hold;
        std::int64_t ms;
        std::coroutine_handle<> waiting{};
        NextStep(HoldRepeat& repeat, std::int64_t pause) : hold(repeat), ms(pause) {}
        NextStep(const NextStep&) = delete;
        NextStep& operator=(const NextStep&) = delete;
        // A task destroyed while it sleeps (the program ends) leaves nothing to wake.
        ~NextStep() {
            if (waiting && hold.sleeper_ == waiting) {
                hold.stopTimer();
                std::erase(hold.gate_.waiting_, &hold);
                hold.sleeper_ = {};
            }
        }
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) {
            waiting = handle;
            hold.sleep(handle, ms);
        }
        void await_resume() const noexcept {}
    };

    void sleep(std::coroutine_handle<> waiting, std::int64_t ms) {
        sleeper_ = waiting;
        timer_ = loop_.startTimer(static_cast<int>(ms < 0 ? 0 : ms), [this] { stepDue(); });
    }
    void stepDue() {
        stopTimer();
        if (gate_.closed()) {
            gate_.waiting_.push_back(this);
            return;
        }
        wakeSleeper();
    }
    void wakeSleeper() {
        stopTimer();
        std::erase(gate_.waiting_, this);
        if (const std::coroutine_handle<> sleeper = std::exchange(sleeper_, {})) {
            sleeper.resume();
        }
    }
    void stopTimer() { loop_.clearTimer(timer_); }

    EventLoop& loop_;
    RepeatGate& gate_;
    bool& flag_;
    std::uint64_t generation_ = 0;
    std::coroutine_handle<> sleeper_;
    std::optional<EventLoop::TimerId> timer_;
};

}  // namespace zintor
