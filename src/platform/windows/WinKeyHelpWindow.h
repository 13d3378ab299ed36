#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/ports/Desktop.h"

namespace zintor {

// The key help: a topmost window that never takes the focus, listing under a header row ("Key",
// "Function", in bold) what each key does. Closing it with its close box reports
// `closedByUser`; close() does not.
class WinKeyHelpWindow {
  public:
    static constexpr const wchar_t* kClass = L"ZintorKeyHelp";

    explicit WinKeyHelpWindow(std::function<void()> closedByUser);
    ~WinKeyHelpWindow();
    WinKeyHelpWindow(const WinKeyHelpWindow&) = delete;
    WinKeyHelpWindow& operator=(const WinKeyHelpWindow&) = delete;

    void show(const std::string& caption, const std::vector<KeyHelpRow>& rows);
    void close();
    HWND window() const { return window_; }

  private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    std::function<void()> closedByUser_;
    HWND window_ = nullptr;
    HFONT bold_ = nullptr;
    std::vector<KeyHelpRow> rows_;
};

}  // namespace zintor
