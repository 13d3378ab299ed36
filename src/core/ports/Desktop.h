#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zintor {

struct PortMenuItem {
    std::string caption;  // "Serial Com3", "Bluetooth Com4"
    bool checked = false;
};

struct KeyHelpRow {
    std::string key;       // display name of the phone key
    std::string function;  // what it does in the current key map
};

// What the settings window shows and edits.
struct SettingsForm {
    std::string appName[9];
    std::string appPath[10];  // [9] is the media player path
    bool autoConnect = true;
    int mouseSpeed = 5;
    std::string version;    // "major.minor.revision"
    int left = 0, top = 0;  // window position, pixels
};

// Clicks and window closings that the desktop reports to the core.
class DesktopEvents {
  public:
    virtual ~DesktopEvents() = default;
    virtual void connectClicked() = 0;
    virtual void portChosen(int index) = 0;
    virtual void autoConnectClicked() = 0;
    virtual void settingsClicked() = 0;
    virtual void exitClicked() = 0;
    virtual void refreshPortsClicked() = 0;    // list ports and rebuild the menu
    virtual void enumeratePortsClicked() = 0;  // list ports only
    virtual void mouseSpeedChanged(int speed) = 0;
    virtual void keyHelpClosed() = 0;
    virtual void noticeClosed() = 0;
    // The main window's player check (a diagnostic button that is normally hidden).
    virtual void playerCheckClicked() {}
};

// The program's face on the PC: tray icon and menu, main window, settings window, key help and
// key-map notice windows, message boxes, the file dialog, notices.
class Desktop {
  public:
    virtual ~Desktop() = default;

    virtual void setListener(DesktopEvents* events) = 0;

    // Tray icon.
    virtual void trayAdd(const std::string& tip) = 0;
    virtual void traySetTip(const std::string& tip) = 0;
    virtual void trayShowFrame(int frame) = 0;  // 101, 102, 103
    virtual void trayRemove() = 0;

    // Tray menu and main window.
    virtual void setConnectCaption(const std::string& caption) = 0;
    virtual void setAutoConnectChecked(bool checked) = 0;
    virtual void setPortItems(const std::vector<PortMenuItem>& items) = 0;
    virtual void setPortChecked(int index, bool checked) = 0;
    virtual void setPortLabel(const std::string& text) = 0;  // the connection line under the icon
    virtual void hideMainWindow() = 0;
    virtual void mainWindowPosition(int& left, int& top) = 0;  // pixels

    // Settings window, modal: returns when it has been closed, with what it holds then.
    virtual SettingsForm showSettings(const SettingsForm& form) = 0;

    // Key help window (topmost while open). keyHelpClosed() is reported only when the window
    // goes away otherwise than through closeKeyHelp() (the user closed it).
    virtual void showKeyHelp(const std::string& caption, const std::vector<KeyHelpRow>& rows) = 0;
    virtual void closeKeyHelp() = 0;

    // Key-map notice (topmost while open). It closes itself 3 s after the last showNotice or
    // setNoticeText (each restarts the 3 s) and then reports noticeClosed(); so does a notice
    // the user closes. closeNotice() reports nothing.
    virtual void showNotice(const std::string& text) = 0;
    virtual void setNoticeText(const std::string& text) = 0;
    virtual void closeNotice() = 0;

    // A message box on the PC, with an OK button. It returns at once: the program goes on while
    // the box is open.
    virtual void messageBox(const std::string& title, const std::string& text, bool critical) = 0;

    // Something the user should know that needs no answer (a broken key map, a missing file).
    virtual void notify(const std::string& title, const std::string& text) = 0;

    // Open-file dialog; the chosen path, or nothing when cancelled.
    virtual std::optional<std::string> chooseFile(const std::string& title,
                                                  const std::string& extension) = 0;
};

}  // namespace zintor
