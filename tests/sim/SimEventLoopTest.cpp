#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/SimEventLoop.h"

namespace zintor {
namespace {

using Texts = std::vector<std::string>;

TEST(SimEventLoop, PostsRunInOrderAndPumpingAloneLetsTimePass) {
    SimEventLoop loop;
    Texts ran;
    loop.post([&] {
        ran.push_back("a");
        loop.post([&] { ran.push_back("c"); });  // waits for the next pump
    });
    loop.post([&] { ran.push_back("b"); });
    loop.pumpOnce();
    EXPECT_EQ(ran, (Texts{"a", "b"}));
    EXPECT_EQ(loop.nowMicros(), 10);  // one pump costs 10 us
    loop.pumpOnce();
    EXPECT_EQ(ran, (Texts{"a", "b", "c"}));

    int ticks = 0;
    loop.startTimer(5, [&] { ++ticks; });
    while (ticks == 0) {
        loop.pumpOnce();
    }
    EXPECT_EQ(loop.now(), 5);  // not before the interval has passed
}

TEST(SimEventLoop, NestedWaitsShareOneClockAndRunWhatFallsDueInside) {
    SimEventLoop loop;
    Texts ran;
    auto note = [&](const std::string& what) {
        ran.push_back(what + " " + std::to_string(loop.now()));
    };
    loop.schedule(100, [&] {
        note("outer");
        loop.waitUntil(loop.now() + 50);  // a handler that pauses, pumping events
        note("outer resumes");
    });
    loop.schedule(120, [&] { note("nested"); });
    loop.schedule(200, [&] { note("later"); });
    loop.waitUntil(300);
    EXPECT_EQ(ran, (Texts{"outer 100", "nested 120", "outer resumes 150", "later 200"}));
    EXPECT_EQ(loop.now(), 300);
    EXPECT_EQ(loop.deepestWait(), 2);
    EXPECT_EQ(loop.waitDepth(), 0);

    // waitFor ends on the step that makes it true and jumps time exactly.
    bool answered = false;
    int ticks = 0;
    loop.startTimer(500, [&] { ++ticks; });
    loop.scheduleIn(20, [&] { answered = true; });
    loop.waitFor([&] { return answered; });
    EXPECT_EQ(loop.now(), 320);
    loop.waitFor([&] { return ticks == 3; });  // driven by the timer alone
    EXPECT_EQ(loop.now(), 1800);
}

TEST(SimEventLoop, TimersStoppedRestartedOrStillBusy) {
    SimEventLoop loop;
    int selfStopping = 0, nestedStopped = 0, depth = 0, deepest = 0, slowTicks = 0;
    EventLoop::TimerId self = 0, other = 0;
    self = loop.startTimer(100, [&] {
        ++selfStopping;
        loop.stopTimer(self);
    });
    other = loop.startTimer(100, [&] {
        ++nestedStopped;
        loop.post([&] { loop.stopTimer(other); });
        loop.pumpOnce();  // the stop runs nested, inside this tick
    });
    // A tick that waits longer than its interval is not re-entered.
    const EventLoop::TimerId slow = loop.startTimer(100, [&] {
        ++slowTicks;
        deepest = std::max(deepest, ++depth);
        loop.waitUntil(loop.now() + 250);
        --depth;
    });
    // Restarting drops the old tick and restarts the interval.
    std::vector<std::int64_t> ticks;
    EventLoop::TimerId restarted = loop.startTimer(100, [&] { ticks.push_back(loop.now()); });
    loop.schedule(50, [&] {
        loop.stopTimer(restarted);
        restarted = loop.startTimer(100, [&] { ticks.push_back(loop.now()); });
    });
    loop.runFor(360);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{150, 250, 350}));
    loop.stopTimer(restarted);
    loop.runFor(640);
    loop.stopTimer(slow);
    EXPECT_EQ(selfStopping, 1);
    EXPECT_EQ(nestedStopped, 1);
    EXPECT_EQ(deepest, 1);
    EXPECT_GE(slowTicks, 3);
    EXPECT_EQ(loop.activeTimerCount(), 0u);
}

TEST(SimEventLoop, HangsAndRunawaysAreReported) {
    SimEventLoop loop;
    EXPECT_THROW(loop.waitFor([] { return false; }), std::logic_error);  // nothing scheduled
    // A one-shot that does not make the condition true leaves nothing else to wait for.
    loop.scheduleIn(5, [] {});
    EXPECT_THROW(loop.waitFor([] { return false; }), std::logic_error);
    EXPECT_EQ(loop.now(), 5);
    EXPECT_EQ(loop.waitDepth(), 0);

    loop.setMaxSteps(10000);
    std::function<void()> again = [&] { loop.post(again); };
    loop.post(again);
    EXPECT_THROW(loop.waitFor([] { return false; }), std::runtime_error);
}

}  // namespace
}  // namespace zintor
