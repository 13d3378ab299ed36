#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "core/ports/Desktop.h"

class QIcon;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace zintor {

// The main window: hidden while a tray icon carries the program. Where the desktop has no tray it
// is shown instead and offers the tray menu's commands as buttons. It also carries the debug key
// echo and the two port buttons (enumerate ports, refresh the port menu).
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    using ListenerSource = std::function<DesktopEvents*()>;

    // `phoneMenu` is the tray menu's "Phone settings" sub-menu, shared with the tray.
    MainWindow(ListenerSource listener, QMenu* phoneMenu);
    ~MainWindow() override;

    void setPortLabel(const std::string& text);
    void setConnectCaption(const std::string& caption);
    void setFrame(const QIcon& frame);
    // The line that tells why this window is open instead of a tray icon.
    void setNoTrayLineShown(bool shown);

    QLabel* portLabel() { return portLabel_; }
    QLabel* noTrayLine() { return noTray_; }
    QLineEdit* keyEcho() { return keyEcho_; }
    QPlainTextEdit* keyLog() { return keyLog_; }

    static const char* noTrayText();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void report(const std::function<void(DesktopEvents&)>& call);

    ListenerSource listener_;
    QLabel* icon_ = nullptr;
    QLabel* portLabel_ = nullptr;
    QLabel* noTray_ = nullptr;
    QPushButton* connect_ = nullptr;
    QLineEdit* keyEcho_ = nullptr;
    QPlainTextEdit* keyLog_ = nullptr;
};

}  // namespace zintor
