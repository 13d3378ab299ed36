// The Win32 event loop under wine: timers, posted calls, messages, handles and nested waits.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/windows/WinEventLoop.h"

namespace zintor {
namespace {

TEST(WinEventLoopTest, TimersAndPostedCallsRunInOrderAndWaitsSleep) {
    WinEventLoop loop;
    std::vector<int> order;
    int ticks = 0;
    const auto start = loop.now();
    const EventLoop::TimerId timer = loop.startTimer(20, [&] { ++ticks; });
    loop.post([&] {
        order.push_back(1);
        loop.post([&] { order.push_back(3); });  // after the call queued before it
    });
    loop.post([&] { order.push_back(2); });
    loop.waitUntil(start + 205);
    EXPECT_GE(loop.now(), start + 205);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_GE(ticks, 8);
    EXPECT_LE(ticks, 10);
    // One sleep per tick and a few for the posted calls: a loop that spun would count thousands.
    EXPECT_LE(loop.sleeps(), 40u);
    loop.stopTimer(timer);
    const int stopped = ticks;
    const auto sleepsBefore = loop.sleeps();
    loop.waitUntil(loop.now() + 100);
    EXPECT_EQ(ticks, stopped);
    EXPECT_LE(loop.sleeps() - sleepsBefore, 3u);
}

TEST(WinEventLoopTest, NestedWaitsSeeLaterEventsAndTimersStopThemselves) {
    WinEventLoop loop;
    bool released = false;
    bool pressDone = false;
    int ticks = 0;
    int depthAtRelease = 0;
    // A "press" handler waits for the "release" that a later event brings, inside the outer wait.
    loop.post([&] {
        loop.waitFor([&] { return released; });
        pressDone = true;
    });
    EventLoop::TimerId timer = 0;
    timer = loop.startTimer(10, [&] {
        if (++ticks == 3) {
            released = true;
            depthAtRelease = loop.waitDepth();
            loop.stopTimer(timer);
        }
    });
    loop.waitFor([&] { return pressDone; });
    loop.waitUntil(loop.now() + 50);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(depthAtRelease, 2);  // ticked inside the press's wait, inside the outer one
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP + 7) {
        ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(WinEventLoopTest, WindowMessagesAndHandlesWakeAWait) {
    WinEventLoop loop;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.lpszClassName = L"ZintorLoopTestWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    int messages = 0;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&messages));

    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    int signaled = 0;
    const auto id = loop.addHandle(event, [&] {
        ++signaled;
        ResetEvent(event);
    });
    // Another thread signals the event and posts a message while the loop sleeps without timers.
    std::thread other([&] {
        Sleep(50);
        SetEvent(event);
        Sleep(50);
        PostMessageW(window, WM_APP + 7, 0, 0);
    });
    loop.waitFor([&] { return signaled == 1 && messages == 1; });
    other.join();
    EXPECT_LE(loop.sleeps(), 4u);
    loop.removeHandle(id);
    SetEvent(event);
    loop.waitUntil(loop.now() + 30);
    EXPECT_EQ(signaled, 1);
    CloseHandle(event);
    DestroyWindow(window);
}

TEST(WinEventLoopTest, TimersAndPostedCallsRunInsideAForeignModalLoop) {
    WinEventLoop loop;
    int ticks = 0;
    bool posted = false;
    loop.startTimer(15, [&] { ++ticks; });
    loop.post([&] { posted = true; });
    // What a message box or a menu does: its own GetMessage loop.
    MSG message;
    while ((ticks < 3 || !posted) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    EXPECT_TRUE(posted);
    EXPECT_EQ(ticks, 3);
}

TEST(WinEventLoopTest, RunEndsWithQuitOrWmQuit) {
    WinEventLoop loop;
    loop.startTimer(10, [&] { loop.quit(3); });
    EXPECT_EQ(loop.run(), 3);
    WinEventLoop second;
    second.post([] { PostQuitMessage(4); });
    EXPECT_EQ(second.run(), 4);
}

}  // namespace
}  // namespace zintor
