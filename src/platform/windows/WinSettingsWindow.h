#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/ports/Desktop.h"
#include "platform/windows/RunKeyEntry.h"
#include "platform/windows/WinEventLoop.h"

namespace zintor {

// "Zintor - Settings": the nine programs (name, file, "Select..."), the player's path, Auto
// connect, "Start Zintor when I log in" (acts at once, see RunKeyEntry), the mouse speed slider
// (0 to 50 ms, reported at once, its value shown beside it) and the version; Close at the bottom
// right, as Windows places a dialog's buttons. run() shows it and returns, once it is closed
// (Close or the close box), with what it holds then and where it was (see WinDpi.h). The program's
// events go on while it is open: it waits in the event loop.
class WinSettingsWindow {
  public:
    static constexpr const wchar_t* kClass = L"ZintorSettings";
    static constexpr int kMaxSpeed = 50;
    // Control ids, for a look from tests: name i is kNameBase + i, path i kPathBase + i (9 is
    // the player), its Select button kSelectBase + i.
    enum : int {
        kNameBase = 100,
        kPathBase = 200,
        kSelectBase = 300,
        kAutoConnect = 400,
        kSlider,
        kVersion,
        kClose,
        kStartAtLogon,
        kSpeedText,
    };

    WinSettingsWindow(WinEventLoop& loop, SettingsForm form, std::function<void(int)> speedChanged,
                      std::function<std::optional<std::string>(HWND)> chooseFile);
    ~WinSettingsWindow();
    WinSettingsWindow(const WinSettingsWindow&) = delete;
    WinSettingsWindow& operator=(const WinSettingsWindow&) = delete;

    SettingsForm run();

  private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void build();
    void collect();
    void showSpeed();
    void startAtLogonClicked();
    HWND control(int id) const { return GetDlgItem(window_, id); }

    WinEventLoop& loop_;
    SettingsForm form_;
    std::function<void(int)> speedChanged_;
    std::function<std::optional<std::string>(HWND)> chooseFile_;
    RunKeyEntry runKey_;
    HWND window_ = nullptr;
    bool closed_ = false;
};

}  // namespace zintor
