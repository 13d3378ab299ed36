#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/SimEventLoop.h"

namespace zintor {
namespace {

TEST(SimEventLoop, PostedCallsRunInOrderAndLaterPostsWaitForTheNextPump) {
    SimEventLoop loop;
    std::vector<std::string> ran;
    loop.post([&] {
        ran.push_back("a");
        loop.post([&] { ran.push_back("c"); });
    });
    loop.post([&] { ran.push_back("b"); });

    loop.pumpOnce();
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(loop.nowMicros(), 10);  // one pump costs 10 us
    loop.pumpOnce();
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(SimEventLoop, PumpingAloneLetsTimePassUntilATimerFires) {
    SimEventLoop loop;
    loop.setPumpCostMicros(1000);
    int ticks = 0;
    loop.startTimer(5, [&] { ++ticks; });
    for (int i = 0; i < 5; ++i) {
        loop.pumpOnce();
    }
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(loop.now(), 5);
    loop.pumpOnce();
    EXPECT_EQ(ticks, 1);
}

TEST(SimEventLoop, NestedWaitsShareOneClockAndRunWhatFallsDueInside) {
    SimEventLoop loop;
    std::vector<std::string> ran;
    loop.schedule(100, [&] {
        ran.push_back("outer handler at " + std::to_string(loop.now()));
        loop.waitUntil(loop.now() + 50);  // a handler that pauses, pumping events
        ran.push_back("outer handler resumes at " + std::to_string(loop.now()));
    });
    loop.schedule(120, [&] { ran.push_back("nested event at " + std::to_string(loop.now())); });
    loop.schedule(200, [&] { ran.push_back("later event at " + std::to_string(loop.now())); });

    loop.waitUntil(300);

    EXPECT_EQ(ran,
              (std::vector<std::string>{"outer handler at 100", "nested event at 120",
                                        "outer handler resumes at 150", "later event at 200"}));
    EXPECT_EQ(loop.now(), 300);
    EXPECT_EQ(loop.deepestWait(), 2);
    EXPECT_EQ(loop.waitDepth(), 0);
}

TEST(SimEventLoop, WaitForEndsOnTheStepThatMakesItTrueAndJumpsTimeExactly) {
    SimEventLoop loop;
    bool answered = false;
    int ticks = 0;
    loop.startTimer(500, [&] { ++ticks; });
    loop.schedule(20, [&] { answered = true; });
    loop.waitFor([&] { return answered; });
    EXPECT_EQ(loop.now(), 20);
    EXPECT_EQ(ticks, 0);

    loop.waitFor([&] { return ticks == 3; });  // driven by the timer alone
    EXPECT_EQ(loop.now(), 1500);
}

TEST(SimEventLoop, TimerStoppedInsideItsOwnTickOrFromNestedCodeTicksNoMore) {
    SimEventLoop loop;
    int selfStopping = 0;
    EventLoop::TimerId self = 0;
    self = loop.startTimer(100, [&] {
        ++selfStopping;
        loop.stopTimer(self);
    });

    int nestedStopped = 0;
    EventLoop::TimerId other = 0;
    other = loop.startTimer(100, [&] {
        ++nestedStopped;
        loop.post([&] { loop.stopTimer(other); });
        loop.pumpOnce();  // the stop runs nested, inside this tick
    });

    loop.runFor(1000);
    EXPECT_EQ(selfStopping, 1);
    EXPECT_EQ(nestedStopped, 1);
    EXPECT_EQ(loop.activeTimerCount(), 0u);
}

TEST(SimEventLoop, RestartingATimerRestartsItsIntervalAndDropsTheOldTick) {
    SimEventLoop loop;
    std::vector<std::int64_t> ticks;
    EventLoop::TimerId id = loop.startTimer(100, [&] { ticks.push_back(loop.now()); });
    loop.schedule(50, [&] {
        loop.stopTimer(id);
        id = loop.startTimer(100, [&] { ticks.push_back(loop.now()); });
    });
    loop.runFor(360);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{150, 250, 350}));
}

TEST(SimEventLoop, ATickThatWaitsLongerThanItsIntervalIsNotReentered) {
    SimEventLoop loop;
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    loop.startTimer(100, [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        loop.waitUntil(loop.now() + 250);
        --depth;
    });
    loop.runFor(1000);
    EXPECT_EQ(deepest, 1);
    EXPECT_GE(ticks, 3);
}

TEST(SimEventLoop, WaitingWithNothingScheduledIsReportedNotHung) {
    SimEventLoop loop;
    EXPECT_THROW(loop.waitFor([] { return false; }), std::logic_error);

    // A one-shot that does not make the condition true leaves nothing else to wait for.
    loop.scheduleIn(5, [] {});
    EXPECT_THROW(loop.waitFor([] { return false; }), std::logic_error);
    EXPECT_EQ(loop.now(), 5);
    EXPECT_EQ(loop.waitDepth(), 0);
}

TEST(SimEventLoop, RunawayLoopsAndRecursionThrow) {
    SimEventLoop loop;
    loop.setMaxSteps(10000);
    std::function<void()> again = [&] { loop.post(again); };
    loop.post(again);
    EXPECT_THROW(loop.waitFor([] { return false; }), std::runtime_error);

    SimEventLoop deep;
    deep.setMaxDepth(20);
    std::function<void()> recurse = [&] {
        deep.post(recurse);
        deep.pumpOnce();
    };
    deep.post(recurse);
    EXPECT_THROW(deep.runFor(1), std::runtime_error);
    EXPECT_EQ(deep.waitDepth(), 0);
}

TEST(SimEventLoop, RunUntilIdleStopsWhenOnlyTimersRemain) {
    SimEventLoop loop;
    int ticks = 0;
    bool done = false;
    loop.startTimer(1000, [&] { ++ticks; });
    loop.schedule(3500, [&] { loop.post([&] { done = true; }); });
    loop.runUntilIdle();
    EXPECT_TRUE(done);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(loop.now(), 3500);

    loop.schedule(100000, [] {});
    EXPECT_THROW(loop.runUntilIdle(1000), std::logic_error);
}

}  // namespace
}  // namespace zintor
