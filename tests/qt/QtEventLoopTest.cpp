#include "qt/QtEventLoop.h"

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <string>
#include <vector>

namespace zintor {
namespace {

TEST(QtEventLoop, WaitsSleepTimersRepeatAndStopFromTheirTickNestedWaitsEndAtTheirOwnDeadline) {
    QtEventLoop loop;
    loop.pumpOnce();  // settle anything left by earlier tests
    // A loop that sleeps while it waits wakes a handful of times, one that spins thousands.
    int wakes = 0;
    QObject context;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                     &context, [&wakes] { ++wakes; });
    bool done = false;
    const EventLoop::TimerId id = loop.startTimer(100, [&] { done = true; });
    const std::int64_t start = loop.now();
    loop.waitFor([&] { return done; });
    loop.stopTimer(id);
    EXPECT_GE(loop.now() - start, 95);
    EXPECT_LT(wakes, 30);

    int fast = 0;
    EventLoop::TimerId fastId = 0;
    fastId = loop.startTimer(20, [&] {
        if (++fast == 3) {
            loop.stopTimer(fastId);
        }
    });
    loop.waitUntil(loop.now() + 150);
    EXPECT_EQ(fast, 3);
    loop.stopTimer(fastId);  // twice is harmless
    EXPECT_EQ(loop.runningTimers(), 0u);

    bool ran = false;
    loop.post([&] { ran = true; });
    loop.waitUntil(loop.now() - 1);  // returns without handling events
    EXPECT_FALSE(ran);
    loop.pumpOnce();
    EXPECT_TRUE(ran);

    // Nested waits end at their own deadline and see later posts in order.
    std::vector<std::string> order;
    std::int64_t innerTook = -1;
    loop.post([&] {
        order.push_back("outer start");
        // Like a command waiting for the answer that a nested receive event brings.
        bool innerDone = false;
        loop.post([&] {
            order.push_back("inner");
            innerDone = true;
        });
        EXPECT_EQ(loop.waitDepth(), 1);  // inside the test's own wait
        loop.waitFor([&] { return innerDone; });
        order.push_back("outer end");
        const std::int64_t start = loop.now();
        loop.waitUntil(start + 20);
        innerTook = loop.now() - start;
    });
    loop.post([&] { order.push_back("second"); });
    const std::int64_t outerDeadline = loop.now() + 600;
    loop.waitUntil(outerDeadline);
    EXPECT_GE(loop.now(), outerDeadline);
    // "second" was queued before "inner" and runs first, inside the outer handler's wait.
    EXPECT_EQ(order, (std::vector<std::string>{"outer start", "second", "inner", "outer end"}));
    EXPECT_GE(innerTook, 20);
    EXPECT_LT(innerTook, 300);  // not held until the outer wait's deadline
    EXPECT_EQ(loop.waitDepth(), 0);
}

}  // namespace
}  // namespace zintor
