// zintor_win_driver: the user's side of the end-to-end test, under wine.
//   text      prints the text of Notepad's window (what was typed into it);
//   help      checks that the key help window is shown on top and did not take the focus;
//   second    prints the message a second zintor.exe shows, and closes it;
//   settings  with the tray menu open: "Program settings" chosen with the keyboard, then in the
//             settings window a name typed, the player's file chosen in the file dialog, Auto
//             connect checked, the slider moved to its end with its keys, the close box clicked.
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "platform/windows/WinPopups.h"
#include "platform/windows/WinSettingsWindow.h"

namespace {

using zintor::WinSettingsWindow;

// The window of that class (and title, when given), waited for up to 10 s.
HWND find(const wchar_t* windowClass, const wchar_t* title) {
    for (int i = 0; i < 100; ++i, Sleep(100)) {
        if (HWND window = FindWindowW(windowClass, title); window != nullptr) {
            Sleep(300);
            return window;
        }
    }
    std::fprintf(stderr, "no window %ls\n", title != nullptr ? title : windowClass);
    std::exit(1);
}

int notepadText() {
    HWND edit = GetWindow(FindWindowW(L"Notepad", nullptr), GW_CHILD);  // its edit control
    wchar_t text[256] = {};
    SendMessageW(edit, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));  // another process's
    std::printf("%ls\n", text);
    return edit != nullptr ? 0 : 1;
}

int keyHelp() {
    HWND help = find(zintor::WinKeyHelpWindow::kClass, nullptr);
    const LONG_PTR style = GetWindowLongPtrW(help, GWL_EXSTYLE);
    std::printf("key help: visible %d, extended style %llx, in front %d\n", IsWindowVisible(help),
                static_cast<unsigned long long>(style), GetForegroundWindow() == help);
    return !(IsWindowVisible(help) && (style & WS_EX_TOPMOST) != 0 &&
             (style & WS_EX_NOACTIVATE) != 0 && GetForegroundWindow() != help);
}

int secondStart() {
    HWND box = find(L"#32770", L"Zintor");  // a message box
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xffff, text, 256);  // its text
    std::printf("%ls\n", text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return 0;
}

int settings() {
    find(L"#32768", nullptr);  // the tray menu
    INPUT keys[8] = {};        // Down three times and Return, each pressed and let go
    for (int i = 0; i < 8; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = i < 6 ? VK_DOWN : VK_RETURN;
        keys[i].ki.dwFlags = i % 2 == 1 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(8, keys, sizeof(INPUT));
    HWND window = find(WinSettingsWindow::kClass, L"Zintor - Settings");
    SetDlgItemTextW(window, WinSettingsWindow::kNameBase, L"Notes");
    PostMessageW(GetDlgItem(window, WinSettingsWindow::kSelectBase + 9), BM_CLICK, 0, 0);
    HWND dialog = find(nullptr, L"Select File");
    SetDlgItemTextW(dialog, 0x47c, L"C:\\windows\\zintornote");  // the file name box
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && IsWindow(dialog); ++i) {
        Sleep(100);
    }
    SendMessageW(GetDlgItem(window, WinSettingsWindow::kAutoConnect), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(window, WinSettingsWindow::kSlider), WM_KEYDOWN, VK_END, 0);
    Sleep(300);
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc == 2 ? argv[1] : L"";
    return command == L"text"     ? notepadText()
           : command == L"help"   ? keyHelp()
           : command == L"second" ? secondStart()
                                  : settings();
}
