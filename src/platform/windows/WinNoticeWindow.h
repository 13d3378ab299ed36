#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/windows/WinEventLoop.h"

namespace zintor {

// The key-map notice: a small topmost window without the focus that closes itself 3 s after it
// was shown or its text last changed, then reports `closed` (as it does when the user closes it).
class WinNoticeWindow {
  public:
    static constexpr const wchar_t* kClass = L"ZintorNotice";

    WinNoticeWindow(WinEventLoop& loop, std::function<void()> closed);
    ~WinNoticeWindow();
    WinNoticeWindow(const WinNoticeWindow&) = delete;
    WinNoticeWindow& operator=(const WinNoticeWindow&) = delete;

    void show(const std::string& text);
    void setText(const std::string& text);
    void close();  // reports nothing
    HWND window() const { return window_; }

  private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void restartTimer();
    void stopTimer();
    void destroy();

    WinEventLoop& loop_;
    std::function<void()> closed_;
    HWND window_ = nullptr;
    HWND label_ = nullptr;
    std::optional<EventLoop::TimerId> timer_;
};

}  // namespace zintor
