// The Win32 event loop under wine: timers, posted calls, nested waits, a modal loop it does not
// own; and the serial adapter on it against the virtual phone on COM9, a pseudo-terminal running
// serial-phone.txt (see wine-run.sh). Window messages for the windows: see wine-e2e.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/windows/WinEventLoop.h"
#include "platform/windows/WinSerialLink.h"

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

TEST(WinSerialLinkTest, TalksToThePhoneUntilItHangsUp) {
    WinEventLoop loop;
    WinSerialLink link{loop};
    std::vector<SerialEvent> events;
    std::string text;
    link.setListener([&](SerialEvent event) {
        events.push_back(event);
        text += event == SerialEvent::Receive ? link.takeReceived() : "";
    });
    auto count = [&](SerialEvent event) { return std::count(events.begin(), events.end(), event); };
    auto waitFor = [&](const std::function<bool()>& done) {  // up to 5 s
        const auto deadline = loop.now() + 5000;
        const auto guard = loop.startTimer(5000, [] {});
        loop.waitFor([&] { return done() || loop.now() >= deadline; });
        loop.stopTimer(guard);
        return done();
    };
    EXPECT_FALSE(link.open(29));  // no such port
    ASSERT_TRUE(link.open(9));
    EXPECT_FALSE(link.open(9));  // already open

    link.setReceiveArmed(true);
    link.write("AT\r");
    ASSERT_TRUE(waitFor([&] { return text.find("*EAAI\r\n") != std::string::npos; })) << text;
    EXPECT_EQ(text, "\r\nOK\r\n*EAAI\r\n");

    // Disarmed, bytes wait in the link; arming reports them at once.
    link.setReceiveArmed(false);
    text.clear();
    const auto received = count(SerialEvent::Receive);
    link.write("AT+CMER=0,0,0,0,0\r");
    const auto sleeps = loop.sleeps();
    loop.waitUntil(loop.now() + 500);
    EXPECT_EQ(count(SerialEvent::Receive), received);
    // One wake-up per byte of the reply at most (18 bytes): a loop that spun would count thousands.
    EXPECT_LE(loop.sleeps() - sleeps, 40u);
    link.setReceiveArmed(true);
    ASSERT_TRUE(waitFor([&] { return text.find("+CKEV: 5,1\r\n") != std::string::npos; }));
    EXPECT_EQ(text, "\r\nOK\r\n+CKEV: 5,1\r\n");

    link.write("AT*EAM=\"Zintor\"\r");
    ASSERT_TRUE(waitFor([&] { return count(SerialEvent::HangUp) == 1; }));
    EXPECT_FALSE(link.isOpen());
    loop.waitUntil(loop.now() + 200);
    EXPECT_EQ(count(SerialEvent::HangUp), 1);
}

}  // namespace
}  // namespace zintor
