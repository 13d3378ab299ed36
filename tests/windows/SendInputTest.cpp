// Keys, buttons and the cursor through SendInput, received by a window of the test under wine
// (on an X display: run ctest under xvfb-run, as scripts/test does).
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "platform/windows/SendInputKeyboardMouse.h"
#include "platform/windows/WinEventLoop.h"

namespace zintor {
namespace {

std::string received;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static const std::map<UINT, std::string> kButtons{{WM_LBUTTONDOWN, "left down "},
                                                      {WM_LBUTTONUP, "left up "},
                                                      {WM_RBUTTONDOWN, "right down "},
                                                      {WM_RBUTTONUP, "right up "}};
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        received += "down " + std::to_string(wParam) + (lParam & (1 << 24) ? "e " : " ");
    } else if (message == WM_KEYUP || message == WM_SYSKEYUP) {
        received += "up " + std::to_string(wParam) + " ";
    } else if (kButtons.count(message) != 0) {
        received += kButtons.at(message);
    } else {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return 0;
}

TEST(SendInputKeyboardMouseTest, KeysButtonsAndCursorReachTheWindowInFront) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = recordingProc;
    windowClass.lpszClassName = L"ZintorInputTestWindow";
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"input", WS_POPUP, 100,
                                  100, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr) << "no X display? (run under xvfb-run)";
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    WinEventLoop loop;
    loop.waitUntil(loop.now() + 300);

    SendInputKeyboardMouse input;
    input.setCursor(200, 150);
    int x = 0;
    int y = 0;
    ASSERT_TRUE(input.getCursor(x, y));
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 150);
    input.moveCursorBy(-5, 7);
    input.getCursor(x, y);
    EXPECT_EQ(x, 195);
    EXPECT_EQ(y, 157);

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

}  // namespace
}  // namespace zintor
