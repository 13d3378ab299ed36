#include "platform/windows/WinNoticeWindow.h"

#include "platform/windows/WideText.h"
#include "platform/windows/WinPopupStyle.h"
#include "platform/windows/WindowSelf.h"

namespace zintor {
namespace {

constexpr int kNoticeMs = 3000;

}  // namespace

WinNoticeWindow::WinNoticeWindow(WinEventLoop& loop, std::function<void()> closed)
    : loop_(loop), closed_(std::move(closed)) {
    registerPopupClass(kClass, proc, COLOR_BTNFACE);
}

WinNoticeWindow::~WinNoticeWindow() {
    stopTimer();
    destroy();
}

void WinNoticeWindow::show(const std::string& text) {
    if (window_ == nullptr) {
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        const SIZE size = popupOuterSize(style, kNoFocusTopmost, 300, 56);
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
    loop_.clearTimer(timer_);
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
