#pragma once

#include <QList>
#include <QMenu>
#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/Desktop.h"

class QAction;

namespace zintor {

// The tray icon's pop-up menu:
//   Connect / Disconnect
//   Phone settings > the serial ports, AutoConnect
//   Program settings
//   Exit
// Every entry reports to the DesktopEvents listener. Captions and check marks change only when
// the core sets them: a click does not toggle a check mark by itself.
class TrayMenu : public QObject {
    Q_OBJECT
  public:
    using ListenerSource = std::function<DesktopEvents*()>;

    static constexpr const char* kNoPortText = "No serial port found";

    explicit TrayMenu(ListenerSource listener);
    ~TrayMenu() override;

    QMenu* menu() { return menu_.get(); }
    QMenu* phoneMenu() { return phone_; }

    void setConnectCaption(const std::string& caption);
    void setAutoConnectChecked(bool checked);
    void setPortItems(const std::vector<PortMenuItem>& items);
    void setPortChecked(int index, bool checked);

    QAction* connectAction() { return connect_; }
    QAction* autoConnectAction() { return autoConnect_; }
    QAction* settingsAction() { return settings_; }
    QAction* exitAction() { return exit_; }
    const QList<QAction*>& portActions() const { return ports_; }

  private:
    void report(const std::function<void(DesktopEvents&)>& call);

    ListenerSource listener_;
    std::unique_ptr<QMenu> menu_;
    QMenu* phone_ = nullptr;
    QAction* connect_ = nullptr;
    QAction* autoConnect_ = nullptr;
    QAction* noPort_ = nullptr;
    QAction* settings_ = nullptr;
    QAction* exit_ = nullptr;
    QList<QAction*> ports_;
};

// Menu text for a caption that must show as it is ("&" is no mnemonic).
QString menuText(const std::string& caption);

}  // namespace zintor
