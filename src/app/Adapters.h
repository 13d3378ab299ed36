#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/shared/Ports.h"
#include "platform/linux/BluetoothSerialLink.h"
#include "platform/linux/BluezDevices.h"
#include "platform/linux/HidK8055Board.h"
#include "platform/linux/LinuxInput.h"
#include "platform/linux/LinuxPortRegistry.h"
#include "platform/linux/PlayerSelect.h"
#include "platform/linux/PortHolder.h"
#include "platform/linux/PulseMixer.h"
#include "platform/linux/StderrLogSink.h"
#include "platform/qt/GatedSerialLink.h"
#include "platform/qt/PosixFiles.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtLauncher.h"
#include "platform/qt/QtSerialLink.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/web/WebPhone.h"

namespace zintor::app {

// Every adapter of the real program, built in dependency order. Needs the QApplication.
class Adapters {
  public:
    // `headless`: no display, so no windows and no tray (see HeadlessDesktop).
    explicit Adapters(bool headless);
    ~Adapters();
    Adapters(const Adapters&) = delete;
    Adapters& operator=(const Adapters&) = delete;

    Ports ports();
    QtEventLoop& loop() { return loop_; }
    // Which keyboard and mouse input this session got ("" without a display).
    const std::string& inputDescription() const { return input_.description; }
    web::WebPhone& webPhone() { return webPhone_; }
    // Where adapters write to the program's diagnostic log, once there is one.
    void setLog(std::function<void(const std::string&)> log) { log_ = std::move(log); }

  private:
    // The device of COM `port`, unless another program holds it: then that is said (standard
    // error, the log, the tray's tip) and the port is not opened.
    std::optional<std::string> freeDevice(int port);
    // Says that `holder` holds COM `port` (`device`), or that no port is held any more.
    void sayHeld(int port, const std::string& device, const std::string& holder);
    void sayNoneHeld();
    void say(const std::string& message);

    QtEventLoop loop_;
    StderrLogSink logSink_;
    QtSettingsStore settings_;
    LinuxPortRegistry registry_;
    PortHolder holders_;
    bool heldTipShown_ = false;
    std::function<void(const std::string&)> log_;
    QtSerialLink serial_;
    BluezDevices bluetooth_;         // Bluetooth phones BlueZ knows, listed beside the serial ports
    BluetoothSerialLink phoneLink_;  // the serial ports and those phones
    web::WebPhone webPhone_;         // the browser phone: one more port beside the others
    GatedSerialLink phoneLine_;  // the serial ports and the browser phone, as the program sees them
    PosixFiles files_;
    std::unique_ptr<Desktop> desktop_;
    QtLauncher launcher_;
    LinuxInput input_;  // XTest, Wayland virtual devices or the RemoteDesktop portal
    PulseMixer mixer_;
    PlayerSelect player_;  // Audacious, or any MPRIS player
    HidK8055Board board_;
};

}  // namespace zintor::app
