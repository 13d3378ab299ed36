#include "QtEventLoop.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace zintor {

QtEventLoop::QtEventLoop() {
    clock_.start();
}

QtEventLoop::~QtEventLoop() = default;  // context_ deletes the timers it parents

std::int64_t QtEventLoop::now() const {
    return clock_.elapsed();
}

void QtEventLoop::pumpOnce() {
    ++waitDepth_;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --waitDepth_;
}

// Qt's plain Unix dispatcher (used where Qt runs without GLib) does not deliver, in a nested
// processEvents, a call that was posted while an outer posted call runs: it would go to sleep
// with that call queued. Delivering the queue before each sleep makes every dispatcher behave
// alike. True when `done` became true meanwhile.
bool QtEventLoop::deliverPosted(const std::function<bool()>& done) {
    QCoreApplication::sendPostedEvents();
    return done && done();
}

void QtEventLoop::waitFor(const std::function<bool()>& done) {
    ++waitDepth_;
    // Every change the condition can see is made by an event handler, so checking after each
    // batch of events is enough; in between the thread sleeps in the dispatcher.
    while (!done()) {
        if (deliverPosted(done)) {
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    --waitDepth_;
}

void QtEventLoop::waitUntil(std::int64_t deadline) {
    if (now() >= deadline) {
        return;
    }
    ++waitDepth_;
    // A single-shot timer at the deadline wakes the dispatcher; its tick needs no handler. Each
    // level of nested waits has its own, kept for the next wait at that level.
    const auto level = static_cast<std::size_t>(waitDepth_);
    while (wakes_.size() < level) {
        wakes_.push_back(std::make_unique<QTimer>());
        wakes_.back()->setSingleShot(true);
        wakes_.back()->setTimerType(Qt::PreciseTimer);
    }
    QTimer& wake = *wakes_[level - 1];
    while (true) {
        const std::int64_t left = deadline - now();
        if (left <= 0) {
            break;
        }
        if (!wake.isActive()) {
            wake.start(static_cast<int>(left));
        }
        deliverPosted(nullptr);
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    wake.stop();
    --waitDepth_;
}

EventLoop::TimerId QtEventLoop::startTimer(int intervalMs, std::function<void()> tick) {
    QTimer* timer = nullptr;
    while (timer == nullptr && !spare_.empty()) {
        timer = spare_.back();
        spare_.pop_back();
    }
    if (timer == nullptr) {
        timer = new QTimer(&context_);
        timer->setTimerType(Qt::PreciseTimer);
    }
    timer->setInterval(intervalMs < 0 ? 0 : intervalMs);
    QObject::connect(timer, &QTimer::timeout, timer, std::move(tick));
    timer->start();
    const TimerId id = nextId_++;
    timers_[id] = timer;
    return id;
}

void QtEventLoop::stopTimer(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return;
    }
    if (QTimer* timer = it->second) {
        // Kept for the next start rather than deleted: a timer may be stopped from inside its own
        // tick, and deleting it later would leave one deferred deletion per stop queued for as
        // long as a nested wait runs (a key held down restarts the supervision at every line).
        timer->stop();
        timer->disconnect();
        spare_.push_back(timer);
    }
    timers_.erase(it);
}

void QtEventLoop::post(std::function<void()> call) {
    QMetaObject::invokeMethod(&context_, std::move(call), Qt::QueuedConnection);
}

}  // namespace zintor
