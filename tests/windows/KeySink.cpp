// zintor_win_keysink OUT: a window in front that writes each key it receives to OUT
// ("down 13", "up 13", one a line), for the end-to-end test. Ends on WM_CLOSE or after 90 s.
#include <windows.h>

#include <cstdio>

namespace {

FILE* out = nullptr;

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP) {
        std::fprintf(out, "%s %u\n", message == WM_KEYDOWN ? "down" : "up",
                     static_cast<unsigned>(wParam));
        std::fflush(out);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 || (out = _wfopen(argv[1], L"wb")) == nullptr) {
        return 2;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
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
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) {
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    std::fclose(out);
    return 0;
}
