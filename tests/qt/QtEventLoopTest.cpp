#include "qt/QtEventLoop.h"

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "qt/GatedSerialLink.h"

namespace zintor {
namespace {

using Calls = std::vector<std::string>;

// A serial line whose events the test raises, as the port's signals reach a real adapter.
class RaisedLine : public SerialLink {
  public:
    bool open(int) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    void write(std::string_view) override {}
    std::string takeReceived() override { return {}; }
    void setReceiveArmed(bool) override {}
    void setListener(std::function<void(SerialEvent)> listener) override {
        listener_ = std::move(listener);
    }
    void raise(SerialEvent event) { listener_(event); }

  private:
    std::function<void(SerialEvent)> listener_;
};

// Runs the loop until `calls` holds `count` calls, or 3 s have passed.
void waitForCalls(QtEventLoop& loop, const Calls& calls, std::size_t count) {
    const std::int64_t deadline = loop.now() + 3000;
    const EventLoop::TimerId guard = loop.startTimer(3000, [] {});
    loop.waitFor([&] { return calls.size() >= count || loop.now() >= deadline; });
    loop.stopTimer(guard);
}

TEST(QtEventLoop, RunsPostedCallsAndTicksInDueOrderAndSleepsInBetween) {
    QtEventLoop loop;
    int wakes = 0;
    QObject context;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                     &context, [&wakes] { ++wakes; });
    Calls calls;
    // Timers that stop at their first tick, as the core's pauses and time-outs do.
    const auto once = [&](int ms, const std::string& name) {
        auto id = std::make_shared<EventLoop::TimerId>();
        *id = loop.startTimer(ms, [&calls, &loop, id, name] {
            calls.push_back(name);
            loop.stopTimer(*id);
        });
    };
    once(90, "90 ms");
    once(30, "30 ms");
    once(60, "60 ms");
    loop.post([&] { calls.push_back("posted"); });
    waitForCalls(loop, calls, 4);
    EXPECT_EQ(calls, (Calls{"posted", "30 ms", "60 ms", "90 ms"}));
    EXPECT_EQ(loop.runningTimers(), 0u);  // stopped from their own ticks
    EXPECT_LT(wakes, 30);                 // a loop that spun would wake thousands of times
}

TEST(QtEventLoop, WhatFallsDueWhileACallRunsALoopOfItsOwnRunsAfterItInOrderOnceIfStillWanted) {
    QtEventLoop loop;
    RaisedLine line;
    GatedSerialLink gated(line, loop);
    Calls calls;
    gated.setListener([&](SerialEvent) { calls.push_back("event"); });
    line.raise(SerialEvent::Ring);  // outside any call: at once
    EXPECT_EQ(calls, Calls{"event"});
    calls.clear();
    gated.setListener([&](SerialEvent event) {
        calls.push_back(event == SerialEvent::Receive ? "receive" : "ring");
    });

    const EventLoop::TimerId stopped = loop.startTimer(10, [&] { calls.push_back("stopped"); });
    loop.startTimer(40, [&] { calls.push_back("tick"); });
    loop.post([&] {
        calls.push_back("call");
        loop.post([&] { calls.push_back("posted"); });
        // What a modal message box or BusSignalWait does: a loop of its own, in which the
        // adapters' events go on. The repeating timer falls due three times meanwhile.
        QEventLoop own;
        QTimer::singleShot(20, [&] { line.raise(SerialEvent::Receive); });
        QTimer::singleShot(50, [&] { loop.stopTimer(stopped); });
        QTimer::singleShot(130, [&] { line.raise(SerialEvent::Ring); });
        QTimer::singleShot(150, &own, &QEventLoop::quit);
        own.exec();
        calls.push_back("call returns");
    });
    waitForCalls(loop, calls, 7);
    // The waiting tick ran once, and the timer goes on ticking afterwards.
    EXPECT_EQ(calls, (Calls{"call", "call returns", "posted", "receive", "tick", "ring", "tick"}));
}

}  // namespace
}  // namespace zintor
