#pragma once

#include <coroutine>
#include <cstddef>
#include <exception>
#include <optional>
#include <set>
#include <utility>

namespace zintor {

class TaskScope;

namespace task_detail {

// What every task's promise has: who awaits it, and for a task started on its own, the scope
// that owns it.
struct PromiseBase {
    std::coroutine_handle<> continuation;
    TaskScope* scope = nullptr;

    struct FinalAwaiter {
        bool await_ready() noexcept { return false; }
        template <typename Promise>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> done) noexcept;
        void await_resume() noexcept {}
    };

    std::suspend_always initial_suspend() noexcept { return {}; }
    FinalAwaiter final_suspend() noexcept { return {}; }
    // The program's code reports failures by results, never by exceptions.
    void unhandled_exception() noexcept { std::terminate(); }
};

template <typename T>
struct Promise : PromiseBase {
    std::optional<T> value;
    void return_value(T result) { value = std::move(result); }
    T take() { return std::move(*value); }
};

template <>
struct Promise<void> : PromiseBase {
    void return_void() {}
    void take() {}
};

}  // namespace task_detail

// A piece of work that can wait: a coroutine that `co_await`s a command's answer, a pause, a
// window closing or another task, while the event loop goes on handling everything else. A task
// starts when it is awaited (it then resumes its awaiter when it ends) or when a TaskScope
// starts it on its own.
template <typename T = void>
class [[nodiscard]] Task {
  public:
    struct promise_type : task_detail::Promise<T> {
        Task get_return_object() {
            return Task(std::coroutine_handle<promise_type>::from_promise(*this));
        }
    };
    using Handle = std::coroutine_handle<promise_type>;

    Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Task& operator=(Task&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() { reset(); }

    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiter) noexcept {
        handle_.promise().continuation = awaiter;
        return handle_;
    }
    T await_resume() { return handle_.promise().take(); }

    // Hands the coroutine over (to a TaskScope).
    Handle release() { return std::exchange(handle_, {}); }

  private:
    explicit Task(Handle handle) : handle_(handle) {}
    void reset() {
        if (handle_) {
            handle_.destroy();
        }
        handle_ = {};
    }

    Handle handle_;
};

// Owns the tasks started on their own (a line's handler, a timer's work, a click's): each runs
// until it ends, and whatever is still waiting when the scope goes is destroyed with it, which
// lets go of its timers and queued commands.
class TaskScope {
  public:
    TaskScope() = default;
    TaskScope(const TaskScope&) = delete;
    TaskScope& operator=(const TaskScope&) = delete;
    ~TaskScope() { destroyAll(); }

    // Starts `task` now; it runs until its first wait before this returns.
    template <typename T>
    void start(Task<T> task) {
        auto handle = task.release();
        handle.promise().scope = this;
        running_.insert(handle.address());
        handle.resume();
    }

    // Destroys every task that is still waiting.
    void destroyAll() {
        while (!running_.empty()) {
            void* address = *running_.begin();
            running_.erase(running_.begin());
            std::coroutine_handle<>::from_address(address).destroy();
        }
    }

    std::size_t running() const { return running_.size(); }

  private:
    friend struct task_detail::PromiseBase;
    void finished(std::coroutine_handle<> done) {
        running_.erase(done.address());
        done.destroy();
    }

    std::set<void*> running_;
};

template <typename Promise>
std::coroutine_handle<> task_detail::PromiseBase::FinalAwaiter::await_suspend(
    std::coroutine_handle<Promise> done) noexcept {
    PromiseBase& promise = done.promise();
    if (promise.continuation) {
        return promise.continuation;
    }
    if (promise.scope != nullptr) {
        promise.scope->finished(done);
    }
    return std::noop_coroutine();
}

}  // namespace zintor
