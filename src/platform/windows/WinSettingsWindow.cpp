#include "platform/windows/WinSettingsWindow.h"

#include <commctrl.h>

#include <string>

#include "platform/windows/WideText.h"
#include "platform/windows/WinDpi.h"
#include "platform/windows/WindowSelf.h"

namespace zintor {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

std::string controlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return wideToUtf8(text);
}

}  // namespace

WinSettingsWindow::WinSettingsWindow(WinEventLoop& loop, SettingsForm form,
                                     std::function<void(int)> speedChanged,
                                     std::function<std::optional<std::string>(HWND)> chooseFile)
    : loop_(loop),
      form_(std::move(form)),
      speedChanged_(std::move(speedChanged)),
      chooseFile_(std::move(chooseFile)) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(101));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);
}

WinSettingsWindow::~WinSettingsWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void WinSettingsWindow::build() {
    RECT rect{0, 0, 560, 466};
    AdjustWindowRectEx(&rect, kStyle, FALSE, 0);
    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kClass, L"Zintor - Settings", kStyle, 0, 0,
                              rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    const int x = toScreenPixels(form_.left, screenDpi(window_, LOGPIXELSX));
    const int y = toScreenPixels(form_.top, screenDpi(window_, LOGPIXELSY));
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    auto add = [this](const wchar_t* windowClass, const std::string& text, DWORD style, int id,
                      int left, int top, int w, int h, DWORD exStyle = 0) {
        HWND child = CreateWindowExW(exStyle, windowClass, utf8ToWide(text).c_str(),
                                     WS_CHILD | WS_VISIBLE | style, left, top, w, h, window_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleW(nullptr), nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     TRUE);
        return child;
    };
    const DWORD edit = WS_TABSTOP | ES_AUTOHSCROLL;
    add(L"BUTTON", "Application", BS_GROUPBOX, 0, 8, 4, 544, 282);
    add(L"STATIC", "Name", 0, 0, 20, 22, 150, 16);
    add(L"STATIC", "File", 0, 0, 180, 22, 280, 16);
    for (int i = 0; i < 9; ++i) {
        const int top = 40 + 27 * i;
        add(L"EDIT", form_.appName[i], edit, kNameBase + i, 20, top, 150, 22, WS_EX_CLIENTEDGE);
        add(L"EDIT", form_.appPath[i], edit, kPathBase + i, 180, top, 280, 22, WS_EX_CLIENTEDGE);
        add(L"BUTTON", "Select...", WS_TABSTOP | BS_PUSHBUTTON, kSelectBase + i, 468, top, 76, 22);
    }
    add(L"BUTTON", "Winamp", BS_GROUPBOX, 0, 8, 290, 544, 52);
    add(L"STATIC", "Winamp Path", 0, 0, 20, 313, 90, 16);
    add(L"EDIT", form_.appPath[9], edit, kPathBase + 9, 110, 310, 350, 22, WS_EX_CLIENTEDGE);
    add(L"BUTTON", "Select...", WS_TABSTOP | BS_PUSHBUTTON, kSelectBase + 9, 468, 310, 76, 22);
    add(L"BUTTON", "Connection", BS_GROUPBOX, 0, 8, 346, 196, 72);
    add(L"BUTTON", "Auto connect", WS_TABSTOP | BS_AUTOCHECKBOX, kAutoConnect, 20, 366, 176, 20);
    add(L"BUTTON", "Start Zintor when I log in", WS_TABSTOP | BS_AUTOCHECKBOX, kStartAtLogon, 20,
        390, 176, 20);
    add(L"BUTTON", "Mouse Speed", BS_GROUPBOX, 0, 212, 346, 224, 72);
    HWND slider =
        add(TRACKBAR_CLASSW, "", WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS, kSlider, 220, 368, 120, 30);
    add(L"STATIC", "", SS_LEFTNOWORDWRAP, kSpeedText, 344, 374, 88, 16);
    add(L"BUTTON", "Version", BS_GROUPBOX, 0, 444, 346, 108, 72);
    add(L"STATIC", form_.version, SS_CENTER, kVersion, 452, 376, 92, 16);
    add(L"BUTTON", "Close", WS_TABSTOP | BS_DEFPUSHBUTTON, kClose, 477, 430, 75, 26);

    SendMessageW(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, kMaxSpeed));
    SendMessageW(slider, TBM_SETTICFREQ, 5, 0);
    SendMessageW(slider, TBM_SETPOS, TRUE, form_.mouseSpeed);
    showSpeed();
    SendMessageW(control(kAutoConnect), BM_SETCHECK,
                 form_.autoConnect ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(control(kStartAtLogon), BM_SETCHECK,
                 runKey_.present() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void WinSettingsWindow::showSpeed() {
    const auto ms = SendMessageW(control(kSlider), TBM_GETPOS, 0, 0);
    SetWindowTextW(control(kSpeedText), (std::to_wstring(ms) + L" ms per step").c_str());
}

void WinSettingsWindow::startAtLogonClicked() {
    const bool on = SendMessageW(control(kStartAtLogon), BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (const auto failed = runKey_.set(on)) {
        const WinEventLoop::ModalScope modal(loop_);
        MessageBoxW(window_, utf8ToWide(*failed).c_str(), L"Zintor", MB_OK | MB_ICONERROR);
    }
    SendMessageW(control(kStartAtLogon), BM_SETCHECK,
                 runKey_.present() ? BST_CHECKED : BST_UNCHECKED, 0);
}

SettingsForm WinSettingsWindow::run() {
    build();
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(control(kNameBase));
    loop_.setDialog(window_);
    loop_.waitFor([this] { return closed_ || loop_.quitting(); });
    loop_.setDialog(nullptr);
    if (!closed_) {
        collect();
    }
    return form_;
}

void WinSettingsWindow::collect() {
    RECT rect{};
    GetWindowRect(window_, &rect);
    form_.left = toProgramPixels(rect.left, screenDpi(window_, LOGPIXELSX));
    form_.top = toProgramPixels(rect.top, screenDpi(window_, LOGPIXELSY));
    form_.autoConnect = SendMessageW(control(kAutoConnect), BM_GETCHECK, 0, 0) == BST_CHECKED;
    for (int i = 0; i < 9; ++i) {
        form_.appName[i] = controlText(control(kNameBase + i));
    }
    for (int i = 0; i < 10; ++i) {
        form_.appPath[i] = controlText(control(kPathBase + i));
    }
    form_.mouseSpeed = static_cast<int>(SendMessageW(control(kSlider), TBM_GETPOS, 0, 0));
}

LRESULT CALLBACK WinSettingsWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowSelf<WinSettingsWindow>(window, message, lParam);
    if (self == nullptr || self->window_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT WinSettingsWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == control(kSlider)) {
                showSpeed();
                speedChanged_(static_cast<int>(SendMessageW(control(kSlider), TBM_GETPOS, 0, 0)));
            }
            return 0;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) != BN_CLICKED) {
                return 0;
            }
            // Escape closes the window as Close does (everything it shows is taken over).
            if (id == kClose || id == IDCANCEL) {
                PostMessageW(window_, WM_CLOSE, 0, 0);
            } else if (id == kStartAtLogon) {
                startAtLogonClicked();
            } else if (id >= kSelectBase && id <= kSelectBase + 9) {
                if (const auto chosen = chooseFile_(window_)) {
                    SetWindowTextW(control(kPathBase + id - kSelectBase),
                                   utf8ToWide(*chosen).c_str());
                }
            }
            return 0;
        }
        case WM_CLOSE:
            if (!closed_) {
                collect();
                closed_ = true;
                ShowWindow(window_, SW_HIDE);
            }
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace zintor
