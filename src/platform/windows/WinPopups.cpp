#include "platform/windows/WinPopups.h"

#include "platform/windows/WideText.h"
#include "platform/windows/WindowSelf.h"

namespace zintor {
namespace {

constexpr int kNoticeMs = 3000;
constexpr int kRowHeight = 18;
constexpr int kKeyColumn = 130;
constexpr DWORD kNoFocusTopmost = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;

void registerClass(const wchar_t* name, WNDPROC proc, int background) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
}

// The window's outer size for a client area of w x h.
SIZE outer(DWORD style, DWORD exStyle, int w, int h) {
    RECT rect{0, 0, w, h};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

WinKeyHelpWindow::WinKeyHelpWindow(std::function<void()> closedByUser)
    : closedByUser_(std::move(closedByUser)) {
    registerClass(kClass, proc, COLOR_WINDOW);
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    bold_ = CreateFontIndirectW(&font);
}

WinKeyHelpWindow::~WinKeyHelpWindow() {
    close();
    DeleteObject(bold_);
}

void WinKeyHelpWindow::show(const std::string& caption, const std::vector<KeyHelpRow>& rows) {
    rows_ = rows;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const SIZE size =
        outer(style, kNoFocusTopmost, 420, kRowHeight * static_cast<int>(rows.size() + 1) + 12);
    if (window_ == nullptr) {
        window_ = CreateWindowExW(kNoFocusTopmost, kClass, L"", style,
                                  GetSystemMetrics(SM_CXSCREEN) - size.cx - 20, 40, size.cx,
                                  size.cy, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    } else {
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOACTIVATE);
    }
    SetWindowTextW(window_, utf8ToWide(caption).c_str());
    InvalidateRect(window_, nullptr, TRUE);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void WinKeyHelpWindow::close() {
    if (window_ != nullptr) {
        HWND window = window_;
        window_ = nullptr;
        DestroyWindow(window);
    }
}

void WinKeyHelpWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT client{};
    GetClientRect(window_, &client);
    int y = 6;
    const auto drawRow = [&](const std::wstring& key, const std::wstring& function) {
        RECT keyRect{8, y, kKeyColumn, y + kRowHeight};
        RECT functionRect{kKeyColumn + 8, y, client.right - 8, y + kRowHeight};
        DrawTextW(dc, key.c_str(), static_cast<int>(key.size()), &keyRect,
                  DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        DrawTextW(dc, function.c_str(), static_cast<int>(function.size()), &functionRect,
                  DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        y += kRowHeight;
    };
    SelectObject(dc, bold_);
    drawRow(L"Key", L"Function");
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (const KeyHelpRow& row : rows_) {
        drawRow(utf8ToWide(row.key), utf8ToWide(row.function));
    }
    EndPaint(window_, &ps);
}

LRESULT CALLBACK WinKeyHelpWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowSelf<WinKeyHelpWindow>(window, message, lParam);
    if (self == nullptr || self->window_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
            self->paint();
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_CLOSE:
            self->close();
            self->closedByUser_();
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

WinNoticeWindow::WinNoticeWindow(WinEventLoop& loop, std::function<void()> closed)
    : loop_(loop), closed_(std::move(closed)) {
    registerClass(kClass, proc, COLOR_BTNFACE);
}

WinNoticeWindow::~WinNoticeWindow() {
    stopTimer();
    destroy();
}

void WinNoticeWindow::show(const std::string& text) {
    if (window_ == nullptr) {
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        const SIZE size = outer(style, kNoFocusTopmost, 300, 56);
        window_ = CreateWindowExW(kNoFocusTopmost, kClass, L"Zintor", style,
                                  (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size.cx, size.cy,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), this);
        label_ =
            CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 8,
                            6, 284, 44, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     TRUE);
    }
    SetWindowTextW(label_, utf8ToWide(text).c_str());
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    restartTimer();
}

void WinNoticeWindow::setText(const std::string& text) {
    if (window_ == nullptr) {
        return;
    }
    SetWindowTextW(label_, utf8ToWide(text).c_str());
    restartTimer();
}

void WinNoticeWindow::close() {
    stopTimer();
    destroy();
}

void WinNoticeWindow::destroy() {
    if (window_ != nullptr) {
        HWND window = window_;
        window_ = nullptr;
        label_ = nullptr;
        DestroyWindow(window);
    }
}

void WinNoticeWindow::restartTimer() {
    stopTimer();
    timer_ = loop_.startTimer(kNoticeMs, [this] {
        close();
        closed_();
    });
}

void WinNoticeWindow::stopTimer() {
    if (timer_) {
        loop_.stopTimer(*timer_);
        timer_.reset();
    }
}

LRESULT CALLBACK WinNoticeWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowSelf<WinNoticeWindow>(window, message, lParam);
    if (self == nullptr || self->window_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_CLOSE:
            self->close();
            self->closed_();
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace zintor
