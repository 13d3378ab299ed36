#include "platform/qt/QtEventLoop.h"

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

void QtEventLoop::run(std::function<void()> call) {
    if (depth_ > 0) {
        waiting_.push_back(std::move(call));
        return;
    }
    ++depth_;
    call();
    while (!waiting_.empty()) {
        std::function<void()> next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
    --depth_;
}

void QtEventLoop::tick(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end() || it->second.tickWaiting) {
        return;
    }
    if (depth_ > 0) {
        // One waiting tick a timer at most, like a timer that fires late.
        it->second.tickWaiting = true;
    }
    run([this, id] {
        auto found = timers_.find(id);
        if (found == timers_.end()) {
            return;  // stopped meanwhile
        }
        found->second.tickWaiting = false;
        const std::shared_ptr<std::function<void()>> call = found->second.tick;
        (*call)();  // it may stop its own timer
    });
}

void QtEventLoop::waitFor(const std::function<bool()>& done) {
    while (!done()) {
        QCoreApplication::sendPostedEvents();
        if (done()) {
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void QtEventLoop::waitUntil(std::int64_t deadline) {
    if (!wake_) {
        wake_ = std::make_unique<QTimer>();
        wake_->setSingleShot(true);
        wake_->setTimerType(Qt::PreciseTimer);
    }
    while (true) {
        const std::int64_t left = deadline - now();
        if (left <= 0) {
            break;
        }
        if (!wake_->isActive()) {
            wake_->start(static_cast<int>(left));
        }
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    wake_->stop();
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
    const TimerId id = nextId_++;
    QObject::connect(timer, &QTimer::timeout, timer, [this, id] { this->tick(id); });
    timer->start();
    timers_[id] = Timer{timer, std::make_shared<std::function<void()>>(std::move(tick))};
    return id;
}

void QtEventLoop::stopTimer(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return;
    }
    if (QTimer* timer = it->second.timer) {
        // Kept for the next start rather than deleted: a timer may be stopped from inside its own
        // tick, and a program that holds a key restarts timers at every step.
        timer->stop();
        timer->disconnect();
        spare_.push_back(timer);
    }
    timers_.erase(it);
}

void QtEventLoop::post(std::function<void()> call) {
    QMetaObject::invokeMethod(
        &context_, [this, call = std::move(call)]() mutable { run(std::move(call)); },
        Qt::QueuedConnection);
}

}  // namespace zintor
