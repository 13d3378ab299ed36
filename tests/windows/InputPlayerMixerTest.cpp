// Under wine on an X display (run ctest under xvfb-run, as scripts/test does): keys, buttons and
// the cursor through SendInput into a window of the test; Winamp's window messages and playlist
// file against a stand-in window of class "Winamp v1.x" (Winamp cannot be installed here); the
// winmm mixer as wine provides it.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "platform/windows/SendInputKeyboardMouse.h"
#include "platform/windows/WinEventLoop.h"
#include "platform/windows/WinFiles.h"
#include "platform/windows/WinLauncher.h"
#include "platform/windows/WinMixer.h"
#include "platform/windows/WinampPlayer.h"

namespace zintor {
namespace {

std::string received;  // what the windows of the test were told
std::string playlistFolder;

HWND testWindow(const wchar_t* windowClass, WNDPROC procedure, const wchar_t* title, DWORD style) {
    WNDCLASSW c{};
    c.lpfnWndProc = procedure;
    c.lpszClassName = windowClass;
    c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
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
    HWND window = testWindow(L"ZintorInputTestWindow", recordingProc, L"input", WS_POPUP);
    ASSERT_NE(window, nullptr) << "no X display? (run under xvfb-run)";
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    WinEventLoop loop;
    loop.waitUntil(loop.now() + 300);

    SendInputKeyboardMouse input;
    input.setCursor(200, 150);
    int x = 0, y = 0;
    ASSERT_TRUE(input.getCursor(x, y));
    EXPECT_EQ(std::pair(x, y), std::pair(200, 150));
    input.moveCursorBy(-5, 7);
    input.getCursor(x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(195, 157));

    received.clear();
    input.keyPress('A');
    input.keyDown(VK_SHIFT);
    input.keyPress(VK_LEFT);
    input.keyUp(VK_SHIFT);
    input.leftButtonDown();
    input.leftButtonUp();
    input.rightButtonDown();
    input.rightButtonUp();
    loop.waitUntil(loop.now() + 300);
    EXPECT_EQ(received,
              "down 65 up 65 down 16 down 37e up 37 up 16 left down left up right down right up ");

    input.setCursor(-500, 100000);  // kept on the screen
    input.getCursor(x, y);
    EXPECT_EQ(x, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(y, GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1);
    DestroyWindow(window);
}

// The stand-in: records commands, answers the queries, writes its playlist on query 120.
LRESULT CALLBACK winampProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        received += std::to_string(wParam) + " ";
        return 0;
    }
    if (message == WM_USER && lParam == winamp::kQueryState) {
        return winamp::kStatePaused;
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
    EXPECT_EQ(player.query(found, 0, winamp::kQueryState), winamp::kStatePaused);
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
    EXPECT_EQ(player.findWindow(playerPath), 0);
}

TEST(WinMixerTest, MasterVolumeRoundTrip) {
    WinMixer mixer;
    ASSERT_TRUE(mixer.open()) << "no mixer device under wine";
    ASSERT_TRUE(mixer.findMasterVolume());
    std::uint32_t before = 0, after = 0;
    ASSERT_TRUE(mixer.getVolume(before));
    const std::uint32_t wanted = before >= 30000 ? 12000 : 54000;
    ASSERT_TRUE(mixer.setVolume(wanted) && mixer.getVolume(after));
    EXPECT_NEAR(static_cast<double>(after), wanted, 700.0);  // as the device rounds it
}

}  // namespace
}  // namespace zintor
