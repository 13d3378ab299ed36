#pragma once

#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <string>

namespace zintor {

// The notification-area icon of a window: frames 101, 102 and 103 from the program's icon
// resources, a tip of at most 127 characters and one balloon at a time. Mouse notifications
// arrive at the window as `callbackMessage` with the mouse message in lParam.
class WinTrayIcon {
  public:
    WinTrayIcon(HWND window, UINT callbackMessage);
    ~WinTrayIcon();
    WinTrayIcon(const WinTrayIcon&) = delete;
    WinTrayIcon& operator=(const WinTrayIcon&) = delete;

    void add(const std::string& tip);
    void setTip(const std::string& tip);
    void showFrame(int frame);
    void remove();
    // A balloon over the icon; false when there is no icon to show it at.
    bool balloon(const std::string& title, const std::string& text);
    // The shell started again (explorer restarted): put the icon back.
    void restore();
    bool shown() const { return shown_; }

  private:
    bool call(DWORD message, UINT extraFlags = 0);

    NOTIFYICONDATAW data_{};
    HICON frames_[3] = {};
    bool shown_ = false;
};

}  // namespace zintor
