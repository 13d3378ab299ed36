#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/Desktop.h"
#include "platform/windows/WinEventLoop.h"
#include "platform/windows/WinTrayIcon.h"

namespace zintor {

class WinSettingsWindow;
class WinKeyHelpWindow;
class WinNoticeWindow;

// The program's face on Windows: the hidden main window (class "ZintorMain", caption "Zintor"),
// which owns the tray icon and its right-button menu, and the other windows and dialogs. A
// WM_CLOSE to the main window (Task Manager, taskkill) and the end of the session are an Exit.
class WinDesktop : public Desktop {
  public:
    static constexpr const wchar_t* kMainClass = L"ZintorMain";

    explicit WinDesktop(WinEventLoop& loop);
    ~WinDesktop() override;
    WinDesktop(const WinDesktop&) = delete;
    WinDesktop& operator=(const WinDesktop&) = delete;

    HWND mainWindow() const { return main_; }

    void setListener(DesktopEvents* events) override;
    void trayAdd(const std::string& tip) override;
    void traySetTip(const std::string& tip) override;
    void trayShowFrame(int frame) override;
    void trayRemove() override;
    void setConnectCaption(const std::string& caption) override;
    void setAutoConnectChecked(bool checked) override;
    void setPortItems(const std::vector<PortMenuItem>& items) override;
    void setPortChecked(int index, bool checked) override;
    void setPortLabel(const std::string& text) override;
    void hideMainWindow() override;
    void mainWindowPosition(int& left, int& top) override;
    SettingsForm showSettings(const SettingsForm& form) override;
    void showKeyHelp(const std::string& caption, const std::vector<KeyHelpRow>& rows) override;
    void closeKeyHelp() override;
    void showNotice(const std::string& text) override;
    void setNoticeText(const std::string& text) override;
    void closeNotice() override;
    void messageBox(const std::string& title, const std::string& text, bool critical) override;
    void notify(const std::string& title, const std::string& text) override;
    std::optional<std::string> chooseFile(const std::string& title,
                                          const std::string& extension) override;

    // The tray menu as it would pop up now, one line per entry ("Connect", " Serial Com3 *",
    // "-", ...): for a look from tests.
    std::string menuText() const;

  private:
    static LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    HMENU buildMenu() const;
    void popUpMenu();
    void command(int id);

    WinEventLoop& loop_;
    DesktopEvents* events_ = nullptr;
    HWND main_ = nullptr;
    HWND comLabel_ = nullptr;
    HWND connectButton_ = nullptr;
    UINT taskbarCreated_ = 0;
    std::unique_ptr<WinTrayIcon> tray_;
    std::string connectCaption_ = "Connect";
    bool autoConnectChecked_ = false;
    std::vector<PortMenuItem> ports_;
    std::optional<std::pair<std::string, std::string>> pendingNotice_;
    std::unique_ptr<WinKeyHelpWindow> keyHelp_;
    std::unique_ptr<WinNoticeWindow> notice_;
    bool exiting_ = false;
};

}  // namespace zintor
