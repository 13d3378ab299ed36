#include "qt/QtEventLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QtTestSupport.h"

namespace zintor {
namespace {

TEST(QtEventLoop, WaitsSleepUntilTheDeadlineOrATimerMakesTheConditionTrue) {
    QtEventLoop loop;
    loop.pumpOnce();  // settle anything left by earlier tests
    test::WakeCounter counter;
    const std::int64_t deadline = loop.now() + 250;
    loop.waitUntil(deadline);
    EXPECT_GE(loop.now(), deadline);

    bool done = false;
    const EventLoop::TimerId id = loop.startTimer(100, [&] { done = true; });
    const std::int64_t start = loop.now();
    loop.waitFor([&] { return done; });
    loop.stopTimer(id);
    EXPECT_GE(loop.now() - start, 95);
    // A busy loop would wake on every pass; a sleeping one a few times at most.
    EXPECT_LT(counter.wakes(), 30);

    // Timers repeat, tick inside waits, and can be stopped from their own tick.
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

    // A deadline in the past returns at once, without handling events.
    bool ran = false;
    loop.post([&] { ran = true; });
    loop.waitUntil(loop.now() - 1);
    EXPECT_FALSE(ran);
    loop.pumpOnce();
    EXPECT_TRUE(ran);
}

TEST(QtEventLoop, AShortWaitNestedInALongOneEndsAtItsOwnDeadline) {
    QtEventLoop loop;
    std::int64_t innerTook = -1;
    loop.post([&] {
        const std::int64_t start = loop.now();
        loop.waitUntil(start + 20);
        innerTook = loop.now() - start;
    });
    const std::int64_t outerDeadline = loop.now() + 600;
    loop.waitUntil(outerDeadline);
    EXPECT_GE(loop.now(), outerDeadline);
    EXPECT_GE(innerTook, 20);
    EXPECT_LT(innerTook, 300);  // not woken by the outer wait's deadline
}

TEST(QtEventLoop, PostedCallsRunInOrderAndNestedWaitsSeeLaterPosts) {
    QtEventLoop loop;
    std::vector<std::string> order;
    loop.post([&] {
        order.push_back("outer start");
        // A handler waiting for something only a later posted call provides, like a command
        // waiting for the answer that a nested receive event brings.
        bool innerDone = false;
        loop.post([&] {
            order.push_back("inner");
            innerDone = true;
        });
        EXPECT_EQ(loop.waitDepth(), 1);  // inside the test's own wait
        loop.waitFor([&] { return innerDone; });
        order.push_back("outer end");
    });
    loop.post([&] { order.push_back("second"); });
    loop.waitFor([&] { return order.size() == 4; });
    // "second" was queued before "inner" and runs first, inside the outer handler's wait.
    EXPECT_EQ(order, (std::vector<std::string>{"outer start", "second", "inner", "outer end"}));
    EXPECT_EQ(loop.waitDepth(), 0);
}

}  // namespace
}  // namespace zintor
