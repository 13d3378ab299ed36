#pragma once

#include <algorithm>
#include <coroutine>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/ports/EventLoop.h"

namespace zintor {

// Something tasks wait for that happens again and again (a window closed or shown): `co_await
// trigger.next()` goes on after the next fire(); `co_await trigger.next(ms)` after the next
// fire() or `ms` milliseconds later, whichever comes first.
class Trigger {
  public:
    class Awaiter {
      public:
        Awaiter(Trigger& trigger, EventLoop* loop, std::int64_t ms)
            : trigger_(trigger), loop_(loop), ms_(ms) {}
        Awaiter(const Awaiter&) = delete;
        Awaiter& operator=(const Awaiter&) = delete;
        ~Awaiter() { stopWaiting(); }

        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> waiting) {
            waiting_ = waiting;
            trigger_.waiting_.push_back(this);
            if (loop_ != nullptr) {
                timer_ = loop_->startTimer(static_cast<int>(std::max<std::int64_t>(ms_, 0)),
                                           [this] { wake(); });
            }
        }
        void await_resume() const noexcept {}

      private:
        friend class Trigger;
        void stopWaiting() {
            std::erase(trigger_.waiting_, this);
            if (loop_ != nullptr) {  // only a wait with a deadline has a timer
                loop_->clearTimer(timer_);
            }
        }
        void wake() {
            const std::coroutine_handle<> next = waiting_;  // a tick is gone after stopWaiting()
            stopWaiting();
            next.resume();
        }

        Trigger& trigger_;
        EventLoop* loop_;
        std::int64_t ms_;
        std::coroutine_handle<> waiting_;
        std::optional<EventLoop::TimerId> timer_;
    };

    explicit Trigger(EventLoop& loop) : loop_(loop) {}
    Trigger(const Trigger&) = delete;
    Trigger& operator=(const Trigger&) = delete;
    ~Trigger() { *alive_ = false; }

    Awaiter next() { return Awaiter(*this, nullptr, 0); }
    Awaiter next(std::int64_t ms) { return Awaiter(*this, &loop_, ms); }

    // The tasks that wait go on from the loop, once the call that fired has returned (so they
    // see what that call did after firing).
    void fire() {
        if (posted_) {
            return;
        }
        posted_ = true;
        loop_.post([this, alive = alive_] {
            if (!*alive) {
                return;
            }
            posted_ = false;
            std::vector<Awaiter*> now;
            now.swap(waiting_);
            for (Awaiter* awaiter : now) {
                awaiter->wake();
            }
        });
    }

  private:
    EventLoop& loop_;
    std::vector<Awaiter*> waiting_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool posted_ = false;
};

}  // namespace zintor
