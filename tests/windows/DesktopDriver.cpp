// zintor_win_driver: the user's side of the end-to-end test, under wine.
//   keys OUT   a window in front that writes each key it receives to OUT ("down 13", "up 13"),
//              ending after the first key let go (or after 90 s);
//   settings   with the tray menu open (right button on the icon): "Program settings" chosen
//              with the keyboard, then in the settings window a name typed, the player's file
//              chosen in the file dialog, Auto connect checked, the slider moved to its end with
//              its keys, and the window closed with its close box.
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "platform/windows/WinSettingsWindow.h"

namespace {

using zintor::WinSettingsWindow;

FILE* out = nullptr;

LRESULT CALLBACK KeyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP) {
        std::fprintf(out, "%s %u\n", message == WM_KEYDOWN ? "down" : "up",
                     static_cast<unsigned>(wParam));
        std::fflush(out);
        if (message == WM_KEYUP) {
            DestroyWindow(window);
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int Keys(const wchar_t* path) {
    if ((out = _wfopen(path, L"wb")) == nullptr) {
        return 2;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = KeyProc;
    windowClass.lpszClassName = L"ZintorKeySink";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"key sink", WS_OVERLAPPEDWINDOW,
                                  50, 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    std::fprintf(out, "ready\n");
    std::fflush(out);
    SetTimer(window, 1, 90000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    std::fclose(out);
    return 0;
}

// The window of that class (and title, when given), waited for up to 10 s.
HWND Find(const wchar_t* windowClass, const wchar_t* title) {
    for (int i = 0; i < 100; ++i) {
        if (HWND window = FindWindowW(windowClass, title); window != nullptr) {
            Sleep(300);
            return window;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "no window %ls\n", title != nullptr ? title : windowClass);
    std::exit(1);
}

void Press(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(50);
}

int Settings() {
    Find(L"#32768", nullptr);  // the tray menu
    for (WORD key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) {
        Press(key);
    }
    HWND window = Find(WinSettingsWindow::kClass, L"Zintor - Settings");
    SetDlgItemTextW(window, WinSettingsWindow::kNameBase, L"Notes");
    PostMessageW(GetDlgItem(window, WinSettingsWindow::kSelectBase + 9), BM_CLICK, 0, 0);
    HWND dialog = Find(nullptr, L"Select File");
    SetDlgItemTextW(dialog, 0x47c, L"C:\\windows\\zintornote");  // the file name box
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && IsWindow(dialog); ++i) {
        Sleep(100);
    }
    SendMessageW(GetDlgItem(window, WinSettingsWindow::kAutoConnect), BM_CLICK, 0, 0);
    HWND slider = GetDlgItem(window, WinSettingsWindow::kSlider);
    PostMessageW(slider, WM_KEYDOWN, VK_END, 0);
    PostMessageW(slider, WM_KEYUP, VK_END, 0);
    Sleep(300);
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"keys") {
        return Keys(argv[2]);
    }
    return argc == 2 && std::wstring(argv[1]) == L"settings" ? Settings() : 2;
}
