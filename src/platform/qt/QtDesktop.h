#pragma once

#include <QElapsedTimer>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <array>
#include <memory>

#include "core/ports/Desktop.h"
#include "platform/qt/TrayIcons.h"

class QSystemTrayIcon;
class QTimer;

namespace zintor {

class KeyHelpWindow;
class MainWindow;
class NoticeWindow;
class SettingsWindow;
class TrayMenu;

// The program's face on a Qt Widgets desktop: the tray icon (StatusNotifierItem where the
// session offers it, the classic X11 tray elsewhere) with its menu, the main window,
// the settings, key help and notice windows, message boxes and the file dialog.
//
// Without any tray the main window is shown instead of being hidden, with a line that says why:
// after a few seconds, for at login the panel's tray often comes after the program. It goes
// again when a tray appears.
// The key help and notice windows report keyHelpClosed / noticeClosed only when they go away by
// themselves or by the user, not when the core closes them.
//
// Needs a QApplication. The program's life is decided by the core (exitClicked), so closing the
// last visible window does not end the application.
class QtDesktop : public QObject, public Desktop {
    Q_OBJECT
  public:
    QtDesktop();
    ~QtDesktop() override;

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

    // The longest tip the tray shows (a 64-character field with its closing NUL).
    static constexpr int kTipMax = 63;
    // How long trayAdd waits for a tray before it shows the main window instead.
    static constexpr int kTrayWaitMs = 5000;
    void setTrayWait(int ms) { trayWaitMs_ = ms; }

    // For tests and screenshots.
    TrayMenu& trayMenu() { return *menu_; }
    MainWindow& mainWindow() { return *main_; }
    QSystemTrayIcon* trayIcon() { return tray_; }
    KeyHelpWindow* keyHelpWindow() const;
    NoticeWindow* noticeWindow() const;
    QString tip() const { return tip_; }
    int frame() const { return frame_; }
    // True while the main window is shown because no tray came.
    bool showingMainInsteadOfTray() const { return noTray_; }

  private:
    // While there is no tray: shows the main window once the wait is over, hides it again when
    // a tray appears.
    void checkTray();

    DesktopEvents* listener_ = nullptr;
    std::unique_ptr<TrayMenu> menu_;
    std::unique_ptr<MainWindow> main_;
    QSystemTrayIcon* tray_ = nullptr;
    QPointer<KeyHelpWindow> keyHelp_;
    QPointer<NoticeWindow> notice_;
    QPointer<SettingsWindow> settings_;
    // The animation shows a frame five times a second while connected: load each once.
    const QIcon& frameIcon(int frame);
    std::array<QIcon, kTrayFrameLast - kTrayFrameStill + 1> frames_;
    QString tip_;
    int frame_ = 101;
    QTimer* trayCheck_ = nullptr;
    QElapsedTimer trayWaited_;
    int trayWaitMs_ = kTrayWaitMs;
    bool noTray_ = false;
    bool noTrayTold_ = false;
};

}  // namespace zintor
