#include "app/Adapters.h"

#include <QStandardPaths>

#include "platform/qt/HeadlessDesktop.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/TrayMenu.h"
#include "platform/web/WebPhoneMenu.h"

namespace zintor::app {

Adapters::Adapters(bool headless)
    : settings_([this](const std::string& message) { logSink_.diagnostic(message); }),
      registry_(settings_, LinuxPortRegistry::systemPaths()),
      serial_([this](int port) { return freeDevice(port); }),
      bluetooth_(QDBusConnection::systemBus(), [this](const std::string& m) { say(m); }),
      phoneLink_(serial_, QDBusConnection::systemBus(), bluetooth_,
                 [this](int port) { return registry_.devicePath(port); },
                 {[this](const std::string& message) { say(message); },
                  [this](int port, const std::string& phone) {
                      sayHeld(port, phone + ", Bluetooth", "another program");
                  },
                  [this] { sayNoneHeld(); }}),
      webPhone_(settings_, registry_, phoneLink_,
                QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Zintor",
                [this](const std::string& message) { logSink_.diagnostic(message); }),
      phoneLine_(webPhone_.serial(), loop_),
      input_(
          chooseLinuxInput(QDBusConnection::sessionBus(), settings_,
                           [this](const std::string& message) { logSink_.diagnostic(message); })),
      player_(QDBusConnection::sessionBus(),
              [this](const std::string& message) { logSink_.diagnostic(message); }) {
    registry_.setHolderLookup([this](const std::string& device) -> std::optional<std::string> {
        if (const std::optional<QString> phone = BluezDevices::pathOf(device)) {
            return phoneLink_.heldElsewhere(*phone) ? std::optional<std::string>("another program")
                                                    : std::nullopt;
        }
        return holders_.holderOf(device);
    });
    registry_.setOtherDevices([this] { return bluetooth_.portDevices(); });
    bluetooth_.setChangeListener([this] { registry_.otherDevicesChanged(); });
    if (!input_.description.empty()) {
        logSink_.diagnostic(input_.description);
    }
    if (headless) {
        desktop_ = std::make_unique<HeadlessDesktop>(loop_);
    } else {
        auto desktop = std::make_unique<QtDesktop>();
        web::addWebPhoneMenu(*desktop->trayMenu().phoneMenu(), webPhone_);
        desktop_ = std::move(desktop);
    }
}

Adapters::~Adapters() = default;

std::optional<std::string> Adapters::freeDevice(int port) {
    std::optional<std::string> device = registry_.devicePath(port);
    const std::optional<std::string> holder = device ? holders_.holderOf(*device) : std::nullopt;
    if (!holder) {
        sayNoneHeld();
        return device;
    }
    sayHeld(port, *device, *holder);
    return std::nullopt;
}

void Adapters::sayHeld(int port, const std::string& device, const std::string& holder) {
    const std::string com = "COM" + std::to_string(port);
    say(com + " (" + device + ") is in use by " + holder + ": not opened");
    desktop_->traySetTip("Zintor - " + com + " is in use by " + holder);
    heldTipShown_ = true;
}

void Adapters::sayNoneHeld() {
    if (heldTipShown_) {
        heldTipShown_ = false;
        desktop_->traySetTip("Zintor");
    }
}

void Adapters::say(const std::string& message) {
    logSink_.diagnostic(message);
    if (log_) {
        log_(message);
    }
}

Ports Adapters::ports() {
    return Ports{loop_,
                 phoneLine_,
                 webPhone_.registry(),
                 settings_,
                 files_,
                 logSink_,
                 *desktop_,
                 launcher_,
                 *input_.adapter,
                 mixer_,
                 player_,
                 board_,
                 webPhone_.extras()};
}

}  // namespace zintor::app
