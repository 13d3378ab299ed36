// The Win32 event loop under wine: timers, posted calls and nested waits (handles are served for
// the serial line, see WinSerialLinkTest; window messages for the windows, see wine-e2e.sh).
#include <gtest/gtest.h>

#include <vector>

#include "platform/windows/WinEventLoop.h"

namespace zintor {
namespace {

TEST(WinEventLoopTest, TimersPostedCallsAndNestedWaitsRunInOrderAndWaitsSleep) {
    WinEventLoop loop;
    std::vector<int> order;
    int ticks = 0, releaseTicks = 0, depthAtRelease = 0;
    const auto start = loop.now();
    const EventLoop::TimerId timer = loop.startTimer(20, [&] { ++ticks; });
    EventLoop::TimerId release = 0;  // stops itself at its third tick
    release = loop.startTimer(10, [&] {
        if (++releaseTicks == 3) {
            depthAtRelease = loop.waitDepth();
            loop.stopTimer(release);
        }
    });
    loop.post([&] {
        order.push_back(1);
        loop.post([&] { order.push_back(3); });  // after the call queued before it
    });
    loop.post([&] {  // a press's handler waits for the release a later event brings
        order.push_back(2);
        loop.waitFor([&] { return releaseTicks == 3; });
    });
    loop.waitUntil(start + 205);
    EXPECT_GE(loop.now(), start + 205);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(depthAtRelease, 2);  // ticked inside the press's wait, inside the outer one
    EXPECT_TRUE(ticks >= 8 && ticks <= 10) << ticks;
    // One sleep per tick and a few for the posted calls: a loop that spun would count thousands.
    EXPECT_LE(loop.sleeps(), 40u);
    loop.stopTimer(timer);
    const int stopped = ticks;
    const auto sleepsBefore = loop.sleeps();
    loop.waitUntil(loop.now() + 100);
    EXPECT_EQ(ticks, stopped);
    EXPECT_EQ(releaseTicks, 3);
    EXPECT_LE(loop.sleeps() - sleepsBefore, 3u);
}

TEST(WinEventLoopTest, TimersPostedCallsAndHandlesRunInsideAForeignModalLoop) {
    WinEventLoop loop;
    int ticks = 0, signaled = 0;
    bool posted = false;
    HANDLE data = CreateEventW(nullptr, TRUE, TRUE, nullptr);  // bytes from the serial line
    loop.addHandle(data, [&] { ++signaled, ResetEvent(data); });
    loop.startTimer(15, [&] { ++ticks; });
    loop.post([&] { posted = true; });
    const WinEventLoop::ModalScope modal(loop);
    MSG message;  // what a message box or a menu does: its own GetMessage loop
    while ((ticks < 3 || !posted) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    EXPECT_TRUE(posted);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(signaled, 1);  // served while the dialog is open, once per signal
    CloseHandle(data);
}

}  // namespace
}  // namespace zintor
