// The Win32 adapters under wine, on an X display (xvfb-run) beside the virtual phone on COM9 that
// runs serial-phone.txt (wine-run.sh). Stand-ins for what cannot be installed here: a window of
// class "Winamp v1.x" in the test, and K8055D.dll (K8055StandIn.cpp).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/windows/K8055DllBoard.h"
#include "platform/windows/RegistrySettingsStore.h"
#include "platform/windows/SendInputKeyboardMouse.h"
#include "platform/windows/WinEventLoop.h"
#include "platform/windows/WinFiles.h"
#include "platform/windows/WinLauncher.h"
#include "platform/windows/WinMixer.h"
#include "platform/windows/WinPortRegistry.h"
#include "platform/windows/WinSerialLink.h"
#include "platform/windows/WinampPlayer.h"

namespace zintor {
namespace {

TEST(WinEventLoopTest, TimersPostedCallsAndNestedWaitsRunInOrderAndWaitsSleepAlsoInAModalLoop) {
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

    ticks = 0;
    int signaled = 0;
    HANDLE data = CreateEventW(nullptr, TRUE, TRUE, nullptr);  // bytes from the serial line
    loop.addHandle(data, [&] { ++signaled, ResetEvent(data); });
    loop.startTimer(15, [&] { ++ticks; });
    loop.post([&] { order.push_back(4); });
    const WinEventLoop::ModalScope modal(loop);
    MSG message;  // what a message box or a menu does: its own GetMessage loop
    while ((ticks < 3 || order.size() < 4) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(order.size(), 4u);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(signaled, 1);  // served while the dialog is open, once per signal
    CloseHandle(data);
}

// Runs the loop until `done` or 5 s have passed; whether it is done.
bool waitFor(WinEventLoop& loop, const std::function<bool()>& done) {
    const auto deadline = loop.now() + 5000;
    const auto guard = loop.startTimer(5000, [] {});
    loop.waitFor([&] { return done() || loop.now() >= deadline; });
    loop.stopTimer(guard);
    return done();
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
    ASSERT_TRUE(waitFor(loop, [&] { return count(SerialEvent::HangUp) == 1; }));
    EXPECT_FALSE(link.isOpen());
    loop.waitUntil(loop.now() + 200);
    EXPECT_EQ(count(SerialEvent::HangUp), 1);
}

std::string received;  // what the windows of the test were told
std::string playlistFolder;

HWND testWindow(const wchar_t* windowClass, WNDPROC procedure, const wchar_t* title, DWORD style) {
    WNDCLASSW c{};
    c.lpfnWndProc = procedure;
    c.lpszClassName = windowClass;
    RegisterClassW(&c);
    return CreateWindowExW(WS_EX_TOPMOST, windowClass, title, style, 100, 100, 300, 200, nullptr,
                           nullptr, nullptr, nullptr);
}

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const char* const kButtons[] = {"left down ", "left up ", "", "right down ", "right up "};
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        received += "down " + std::to_string(wParam) + (lParam & (1 << 24) ? "e " : " ");
    } else if (message == WM_KEYUP || message == WM_SYSKEYUP) {
        received += "up " + std::to_string(wParam) + " ";
    } else if (message >= WM_LBUTTONDOWN && message <= WM_RBUTTONUP) {
        received += kButtons[message - WM_LBUTTONDOWN];
    } else {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return 0;
}

TEST(SendInputKeyboardMouseTest, KeysButtonsAndCursorReachTheWindowInFront) {
    HWND window =
        testWindow(L"ZintorInputTestWindow", recordingProc, L"input", WS_POPUP | WS_VISIBLE);
    ASSERT_NE(window, nullptr) << "no X display? (run under xvfb-run)";
    SetForegroundWindow(window);
    WinEventLoop loop;
    loop.waitUntil(loop.now() + 300);

    SendInputKeyboardMouse input;
    input.setCursor(200, 150);
    input.moveCursorBy(-5, 7);
    int x = 0, y = 0;
    ASSERT_TRUE(input.getCursor(x, y));
    EXPECT_EQ(std::pair(x, y), std::pair(195, 157));

    received.clear();
    input.keyPress(VK_LEFT);  // keys down and up alone: Notepad in the end-to-end test
    input.leftButtonDown();
    input.leftButtonUp();
    input.rightButtonDown();
    input.rightButtonUp();
    loop.waitUntil(loop.now() + 300);
    EXPECT_EQ(received, "down 37e up 37 left down left up right down right up ");

    input.setCursor(-500, 100000);  // kept on the screen
    input.getCursor(x, y);
    EXPECT_EQ(x, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(y, GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1);
    DestroyWindow(window);
}

// The stand-in: records commands, writes its playlist on query 120.
LRESULT CALLBACK winampProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        received += std::to_string(wParam) + " ";
        return 0;
    }
    if (message == WM_USER && lParam == winamp::kQueryWritePlaylist) {
        std::ofstream m3u(playlistFolder + "\\winamp.m3u", std::ios::binary);
        m3u << "#EXTM3U\r\n#EXTINF:200,One\r\nC:\\music\\one.mp3\r\n"
               "C:\\music\\caf\xe9.mp3\r\n#EXTINF:1,Three\r\nhttp://radio/three\r\n";
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(WinampPlayerTest, DrivesTheWindowOfClassWinampAndPagesItsPlaylist) {
    playlistFolder = WinFiles::executableFolder();
    const std::string playerPath = playlistFolder + "\\winamp.exe";
    WinFiles files;
    WinLauncher launcher;
    WinampPlayer player(files, launcher);
    EXPECT_EQ(player.findWindow(playerPath), 0);  // not running

    HWND window = testWindow(WinampPlayer::kWindowClass, winampProc,
                             L"2. Artist - Song - Winamp [Paused]", WS_OVERLAPPED);
    ASSERT_NE(window, nullptr) << "no X display? (run under xvfb-run)";
    const MediaPlayer::Handle found = player.findWindow(playerPath);
    ASSERT_EQ(found, reinterpret_cast<MediaPlayer::Handle>(window));
    received.clear();
    player.command(found, winamp::kNext);
    EXPECT_EQ(received, "40048 ");
    EXPECT_EQ(player.caption(found), "2. Artist - Song - Winamp [Paused]");

    EXPECT_EQ(player.query(found, winamp::kWritePlaylistData, winamp::kQueryWritePlaylist), 1);
    EXPECT_EQ(player.playlistCount(playerPath), 3);  // comment lines are no entries
    std::vector<PlaylistEntry> page;
    ASSERT_TRUE(player.playlistEntries(playerPath, 1, 5, page));
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0].path, "C:\\music\\caf\xc3\xa9.mp3");  // the ANSI code page read as such
    EXPECT_EQ(page[1].path, "http://radio/three");
    EXPECT_EQ(player.playlistCount(playlistFolder + "\\none\\winamp.exe"), -1);

    DestroyWindow(window);
    DeleteFileA((playlistFolder + "\\winamp.m3u").c_str());
}

TEST(WinMixerTest, MasterVolumeRoundTrip) {
    WinMixer mixer;
    ASSERT_TRUE(mixer.open() && mixer.findMasterVolume()) << "no master volume under wine";
    std::uint32_t before = 0, after = 0;
    ASSERT_TRUE(mixer.getVolume(before));
    const std::uint32_t wanted = before >= 30000 ? 12000 : 54000;
    ASSERT_TRUE(mixer.setVolume(wanted) && mixer.getVolume(after));
    EXPECT_NEAR(static_cast<double>(after), wanted, 700.0);  // as the device rounds it
}

// Plain values, and that they are REG_SZ, are seen by the end-to-end test.
TEST(RegistrySettingsStoreTest, StringValuesInTheProgramsKey) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Zintor4");
    std::vector<std::string> reports;
    RegistrySettingsStore store([&](const std::string& report) { reports.push_back(report); });
    store.write("AppName 3", "Café ü €");
    store.write("AppPath9", "");
    store.flush();
    EXPECT_TRUE(reports.empty());

    RegistrySettingsStore again;
    EXPECT_EQ(again.read("AppName 3", "x"), "Café ü €");
    EXPECT_EQ(again.read("AppPath9", "x"), "");  // empty is a value, not a missing one
    EXPECT_EQ(again.read("AppName 4", "none"), "none");
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

    std::map<std::string, std::string> ports;
    for (const RegisteredPort& port : registry.listPorts()) {
        ports[port.name] = port.portText;
    }
    EXPECT_EQ(ports.at("\\Device\\BtPort7"), "COM12");
    EXPECT_EQ(ports.at("\\Device\\Odd"), "");    // not a string
    RegDeleteValueW(key, L"\\Device\\BtPort7");  // the system's own ports stay
    RegDeleteValueW(key, L"\\Device\\Odd");
    RegCloseKey(key);
}

TEST(K8055DllBoardTest, CallsTheSystemFoldersLibrary) {
    const std::wstring installed = K8055DllBoard::libraryPath();
    DeleteFileW(installed.c_str());
    {
        K8055DllBoard board;
        EXPECT_FALSE(board.installed());
        EXPECT_EQ(board.open(0), -1);
        board.writeAllDigital(1);  // nothing to call, nothing breaks
    }
    const std::string standIn = WinFiles::executableFolder() + "\\K8055D.dll";  // built beside us
    ASSERT_TRUE(
        CopyFileW(std::wstring(standIn.begin(), standIn.end()).c_str(), installed.c_str(), FALSE));
    {
        K8055DllBoard board;
        EXPECT_TRUE(board.installed());
        EXPECT_EQ(board.open(0), 0);
        board.writeAllDigital(0x15);
        board.close();
        using Calls = const char* (*)();
        const auto calls = reinterpret_cast<Calls>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"K8055D.dll"), "StandInCalls")));
        ASSERT_NE(calls, nullptr);
        EXPECT_STREQ(calls(), "OpenDevice(0) WriteAllDigital(21) CloseDevice() ");
    }
    DeleteFileW(installed.c_str());
}

}  // namespace
}  // namespace zintor
