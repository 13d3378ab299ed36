#include "qt/QtEventLoop.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <chrono>
#include <string>
#include <thread>
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

// A held cursor key: short waits back to back with nothing to handle, the pattern whose passes
// are made quietly. Whatever comes meanwhile is still handled at once.
TEST(QtEventLoop, BackToBackShortWaitsStillHandleWhatComesAtOnce) {
    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    };
    QtEventLoop loop;
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    Clock::time_point postedAt, writtenAt, ranAt, readAt, tickAt;
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        postedAt = Clock::now();
        loop.post([&] { ranAt = Clock::now(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        writtenAt = Clock::now();
        ASSERT_EQ(::write(pipeFds[1], "x", 1), 1);
    });
    QSocketNotifier notifier(pipeFds[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        readAt = Clock::now();
        notifier.setEnabled(false);
    });
    Clock::time_point timerStartedAt;
    EventLoop::TimerId timer = 0;
    int steps = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::milliseconds(300)) {
        loop.pumpOnce();
        if (timer == 0 && Clock::now() - start >= std::chrono::milliseconds(100)) {
            timerStartedAt = Clock::now();  // between two waits, outside any event handler
            timer = loop.startTimer(30, [&] {
                tickAt = Clock::now();
                loop.stopTimer(timer);
            });
        }
        loop.waitUntil(loop.now() + 5);
        ++steps;
    }
    other.join();
    EXPECT_LT(ms(ranAt - postedAt), 10);
    EXPECT_LT(ms(readAt - writtenAt), 10);
    EXPECT_GE(ms(tickAt - timerStartedAt), 29);
    EXPECT_LT(ms(tickAt - timerStartedAt), 40);
    EXPECT_GT(steps, 30);  // each wait waited...
    EXPECT_LE(steps, 75);  // ...and none returned early (5 ms less what the clock rounds off)
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}

}  // namespace
}  // namespace zintor
