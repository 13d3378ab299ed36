// The Win32 adapters under wine, on an X display (xvfb-run) beside the virtual phone on COM9 that
// runs serial-phone.txt (wine-run.sh). Winamp, which cannot be installed here, is a stand-in
// window of class "Winamp v1.x" in the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <dbt.h>  // after windows.h

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/RunKeyEntry.h"
#include "platform/windows/WinEventLoop.h"
#include "platform/windows/WinFiles.h"
#include "platform/windows/WinLauncher.h"
#include "platform/windows/WinPortRegistry.h"
#include "platform/windows/WinSerialLink.h"
#include "platform/windows/WinampPlayer.h"

namespace zintor {
namespace {

using Calls = std::vector<std::string>;

// Runs the loop until `done` or 5 s have passed; whether it is done.
bool waitFor(WinEventLoop& loop, const std::function<bool()>& done) {
    const auto deadline = loop.now() + 5000;
    const auto guard = loop.startTimer(5000, [] {});
    loop.waitFor([&] { return done() || loop.now() >= deadline; });
    loop.stopTimer(guard);
    return done();
}

// Runs `then` once, `ms` from now, from the loop's handles: an adapter's own event, as the serial
// link's reads complete.
void after(WinEventLoop& loop, int ms, std::function<void()> then) {
    HANDLE timer = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    LARGE_INTEGER due;
    due.QuadPart = -10'000LL * ms;
    SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
    auto id = std::make_shared<WinEventLoop::HandleId>();
    *id = loop.addHandle(timer, [&loop, timer, id, then = std::move(then)] {
        loop.removeHandle(*id);
        CloseHandle(timer);
        then();
    });
}

TEST(WinEventLoopTest, TicksAndPostedCallsComeInDueOrderAlsoInAModalLoop) {
    WinEventLoop loop;
    Calls calls;
    for (const int ms : {60, 20, 40}) {  // each stops at its first tick, as a time-out does
        auto id = std::make_shared<EventLoop::TimerId>();
        *id = loop.startTimer(ms, [&calls, &loop, id, ms] {
            calls.push_back(std::to_string(ms));
            loop.stopTimer(*id);
        });
    }
    loop.post([&] {
        calls.push_back("busy");
        Sleep(80);  // all three fall due meanwhile
    });
    waitFor(loop, [&] { return calls.size() >= 4; });
    EXPECT_EQ(calls, (Calls{"busy", "20", "40", "60"}));

    // In a modal loop of the system opened outside any call (the tray's menu), the loop still
    // wakes for its own timers and for its handles.
    calls.clear();
    const EventLoop::TimerId tick = loop.startTimer(20, [&] { calls.push_back("tick"); });
    after(loop, 50, [&] { loop.post([&] { calls.push_back("event"); }); });
    const auto woke = [&] {  // the event, and a tick after it
        const auto event = std::find(calls.begin(), calls.end(), "event");
        return event != calls.end() && std::find(event, calls.end(), "tick") != calls.end();
    };
    {
        const WinEventLoop::ModalScope scope(loop);
        const std::int64_t end = loop.now() + 2000;
        MSG message;
        while (!woke() && loop.now() < end && GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
    }
    loop.stopTimer(tick);
    EXPECT_TRUE(woke()) << calls.size();
}

TEST(WinEventLoopTest, WhatFallsDueWhileACallRunsALoopOfItsOwnRunsAfterItInOrderOnceIfStillWanted) {
    WinEventLoop loop;
    Calls calls;
    const EventLoop::TimerId stopped = loop.startTimer(10, [&] { calls.push_back("stopped"); });
    const EventLoop::TimerId repeating = loop.startTimer(100, [&] { calls.push_back("tick"); });
    loop.post([&] {
        calls.push_back("call");
        loop.post([&] { calls.push_back("posted"); });
        // What a message box does: a loop of its own, in which the adapters' events go on. The
        // repeating timer falls due twice meanwhile.
        const std::int64_t end = loop.now() + 280;
        const WinEventLoop::ModalScope modal(loop);
        after(loop, 20, [&] { loop.post([&] { calls.push_back("event"); }); });
        after(loop, 60, [&] { loop.stopTimer(stopped); });
        after(loop, 250, [&] { loop.post([&] { calls.push_back("event"); }); });
        MSG message;
        while (loop.now() < end && GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
        calls.push_back("call returns");
    });
    waitFor(loop, [&] { return calls.size() >= 7; });
    // The waiting tick ran once, and the timer goes on ticking afterwards.
    EXPECT_EQ(calls, (Calls{"call", "call returns", "posted", "event", "tick", "event", "tick"}));

    // The same inside a wait of the loop's own (the settings window waits so for its closing),
    // which sleeps while the tick waits.
    loop.stopTimer(repeating);
    calls.clear();
    const EventLoop::TimerId fast = loop.startTimer(20, [&] { calls.push_back("tick"); });
    std::uint64_t sleeps = 0;
    loop.post([&] {
        calls.push_back("call");
        after(loop, 60, [&] { loop.post([&] { calls.push_back("event"); }); });
        const auto before = loop.sleeps();
        loop.waitUntil(loop.now() + 100);
        sleeps = loop.sleeps() - before;
        calls.push_back("call returns");
    });
    waitFor(loop, [&] { return calls.size() >= 4; });
    loop.stopTimer(fast);
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(Calls(calls.begin(), calls.begin() + 4),
              (Calls{"call", "call returns", "tick", "event"}));
    EXPECT_LE(sleeps, 25u);  // about two a due tick: a loop that spun would count thousands
}

TEST(WinSerialLinkTest, TalksToThePhoneUntilItHangsUp) {
    WinEventLoop loop;
    WinSerialLink link{loop};
    std::vector<SerialEvent> events;
    std::string text;
    link.setListener([&](SerialEvent event) {
        events.push_back(event);
        text += event == SerialEvent::kReceive ? link.takeReceived() : "";
    });
    auto count = [&](SerialEvent event) { return std::count(events.begin(), events.end(), event); };
    EXPECT_FALSE(link.open(29));  // no such port
    ASSERT_TRUE(link.open(9));
    EXPECT_FALSE(link.open(9));  // already open

    // Disarmed (as opened), bytes wait in the link; arming reports them at once. Lines while armed
    // are seen by the end-to-end test.
    link.write("AT\r");
    const auto sleeps = loop.sleeps();
    loop.waitUntil(loop.now() + 500);
    EXPECT_TRUE(events.empty());
    // One wake-up per byte of the reply at most (6 bytes): a loop that spun would count thousands.
    EXPECT_LE(loop.sleeps() - sleeps, 40u);
    link.setReceiveArmed(true);
    ASSERT_TRUE(waitFor(loop, [&] { return !text.empty(); }));
    EXPECT_EQ(text, "\r\nOK\r\n");

    link.write("AT*EAM=\"Zintor\"\r");
    ASSERT_TRUE(waitFor(loop, [&] { return count(SerialEvent::kHangUp) == 1; }));
    EXPECT_FALSE(link.isOpen());
    loop.waitUntil(loop.now() + 200);
    EXPECT_EQ(count(SerialEvent::kHangUp), 1);
}

std::string received;  // the commands Winamp's stand-in was sent
std::string playlistFolder;

// Winamp's stand-in: records commands, and writes its playlist on query 120.
LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        received += std::to_string(wParam) + " ";
    } else if (message == WM_USER && lParam == winamp::kQueryWritePlaylist) {
        std::ofstream m3u(playlistFolder + "\\winamp.m3u", std::ios::binary);
        m3u << "#EXTM3U\r\n#EXTINF:200,One\r\nC:\\music\\one.mp3\r\n"
               "C:\\music\\caf\xe9.mp3\r\n#EXTINF:1,Three\r\nhttp://radio/three\r\n";
        return 1;
    } else {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return 0;
}

HWND testWindow(const wchar_t* windowClass, const wchar_t* title, DWORD style) {
    WNDCLASSW c{};
    c.lpfnWndProc = recordingProc;
    c.lpszClassName = windowClass;
    RegisterClassW(&c);
    return CreateWindowExW(WS_EX_TOPMOST, windowClass, title, style, 100, 100, 300, 200, nullptr,
                           nullptr, nullptr, nullptr);
}

TEST(WinampPlayerTest, DrivesTheWindowOfClassWinampAndPagesItsPlaylist) {
    playlistFolder = WinFiles::executableFolder();
    const std::string playerPath = playlistFolder + "\\winamp.exe";
    WinFiles files;
    WinLauncher launcher;
    WinampPlayer player(files, launcher);
    EXPECT_FALSE(player.find(playerPath));  // not running

    HWND window = testWindow(WinampPlayer::kWindowClass, L"2. Artist - Song - Winamp [Paused]",
                             WS_OVERLAPPED);
    ASSERT_NE(window, nullptr) << "no X display? (run under xvfb-run)";
    ASSERT_TRUE(player.find(playerPath));
    received.clear();
    player.next();
    EXPECT_EQ(received, "40048 ");
    EXPECT_EQ(player.title(), "Artist - Song");

    const PlaylistPlace place = player.readPlaylist();  // comment lines are no entries
    EXPECT_EQ(std::pair(place.current, place.count), std::pair(1, 3));
    std::vector<PlaylistEntry> page;
    ASSERT_TRUE(player.playlistEntries(1, 5, page));
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0].path, "C:\\music\\caf\xc3\xa9.mp3");  // the ANSI code page read as such

    DestroyWindow(window);
    DeleteFileA((playlistFolder + "\\winamp.m3u").c_str());
    EXPECT_FALSE(player.find(playerPath));                                        // closed
    EXPECT_EQ(WinampPlayer::titleFromCaption("3. Mr. Big - Winamp"), "Mr. Big");  // first period
    EXPECT_EQ(WinampPlayer::titleFromCaption("No Number - Winamp"), "No Number");
    EXPECT_EQ(WinampPlayer::titleFromCaption("Winamp"), "");  // shorter than what is cut
}

TEST(WinPortRegistryTest, ListsTheSerialCommValuesAndTellsOfChanges) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, WinPortRegistry::kKey, 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD number = 3;
    RegSetValueExW(key, L"\\Device\\Odd", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);

    WinEventLoop loop;
    WinPortRegistry registry(loop);
    int changes = 0;
    registry.setChangeListener([&] { ++changes; });
    const wchar_t port[] = L"COM12";
    RegSetValueExW(key, L"\\Device\\BtPort7", 0, REG_SZ, reinterpret_cast<const BYTE*>(port),
                   sizeof port);
    ASSERT_TRUE(waitFor(loop, [&] { return changes > 0; }));

    std::map<std::string, std::pair<int, PortKind>> ports;
    for (const RegisteredPort& port : registry.listPorts()) {
        ports[port.device] = {port.number, port.kind};
    }
    EXPECT_EQ(ports.at("\\Device\\BtPort7"), std::pair(12, PortKind::kBluetooth));
    EXPECT_EQ(ports.at("\\Device\\Odd"), std::pair(0, PortKind::kCable));  // not a string

    // A port the system announces (WM_DEVICECHANGE, as for a USB adapter plugged in) is told, too.
    loop.waitUntil(loop.now() + 100);
    const int before = changes;
    DEV_BROADCAST_PORT_W arrival{};
    arrival.dbcp_size = sizeof arrival;
    arrival.dbcp_devicetype = DBT_DEVTYP_PORT;
    SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                        reinterpret_cast<LPARAM>(&arrival), SMTO_ABORTIFHUNG, 2000, nullptr);
    EXPECT_TRUE(waitFor(loop, [&] { return changes > before; }));
    RegDeleteValueW(key, L"\\Device\\BtPort7");  // the system's own ports stay
    RegDeleteValueW(key, L"\\Device\\Odd");
    RegCloseKey(key);
}

TEST(RunKeyEntryTest, OnOffAndSwitchedOffInTaskManager) {  // its value: the end-to-end test
    const RunKeyEntry entry;
    ASSERT_EQ(entry.set(true), std::nullopt);
    EXPECT_TRUE(entry.present());
    const BYTE off[12] = {3};
    RegSetKeyValueW(HKEY_CURRENT_USER, RunKeyEntry::kApprovedKey, RunKeyEntry::kValue, REG_BINARY,
                    off, sizeof off);
    EXPECT_FALSE(entry.present());
    for (const bool on : {true, false}) {  // on again, and off
        ASSERT_EQ(entry.set(on), std::nullopt);
        EXPECT_EQ(entry.present(), on);
    }
}

}  // namespace
}  // namespace zintor
