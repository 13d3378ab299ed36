#include "platform/windows/WinKeyHelpWindow.h"

#include "platform/windows/WideText.h"
#include "platform/windows/WinPopupStyle.h"
#include "platform/windows/WindowSelf.h"

namespace zintor {
namespace {

constexpr int kRowHeight = 18;
constexpr int kKeyColumn = 130;

}  // namespace

WinKeyHelpWindow::WinKeyHelpWindow(std::function<void()> closedByUser)
    : closedByUser_(std::move(closedByUser)) {
    registerPopupClass(kClass, proc, COLOR_WINDOW);
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
    const SIZE size = popupOuterSize(style, kNoFocusTopmost, 420,
                                     kRowHeight * static_cast<int>(rows.size() + 1) + 12);
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

}  // namespace zintor
