#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "ports/Desktop.h"

class QIcon;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace zintor {

// frmMain: hidden while a tray icon carries the program. Where the desktop has no tray it is
// shown instead and offers the tray menu's commands as buttons. It also carries the debug key
// echo (txtDebug / Text1) and the two port buttons (Command1 / Command2).
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    using ListenerSource = std::function<DesktopEvents*()>;

    // `phoneMenu` is the tray menu's "Phone settings" sub-menu, shared with the tray.
    MainWindow(ListenerSource listener, QMenu* phoneMenu);
    ~MainWindow() override;

    void setComLabel(const std::string& text);
    void setConnectCaption(const std::string& caption);
    void setFrame(const QIcon& frame);
    // The line that tells why this window is open instead of a tray icon.
    void setNoTrayLineShown(bool shown);

    QLabel* comLabel() { return lblcom_; }
    QLabel* noTrayLine() { return noTray_; }
    QLineEdit* debugInput() { return txtDebug_; }
    QPlainTextEdit* debugEcho() { return text1_; }

    static const char* noTrayText();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void report(const std::function<void(DesktopEvents&)>& call);

    ListenerSource listener_;
    QLabel* icon_ = nullptr;
    QLabel* lblcom_ = nullptr;
    QLabel* noTray_ = nullptr;
    QPushButton* connect_ = nullptr;
    QLineEdit* txtDebug_ = nullptr;
    QPlainTextEdit* text1_ = nullptr;
};

}  // namespace zintor
