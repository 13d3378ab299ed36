#include "Adapters.h"

#include <QStandardPaths>

#include "qt/HeadlessDesktop.h"
#include "qt/QtDesktop.h"
#include "qt/TrayMenu.h"
#include "web/WebPhoneMenu.h"

namespace zintor::app {

Adapters::Adapters(bool headless)
    : settings_([this](const std::string& message) { logSink_.diagnostic(message); }),
      registry_(settings_, LinuxPortRegistry::systemPaths()),
      serial_([this](int port) { return registry_.devicePath(port); }),
      webPhone_(settings_, registry_, serial_,
                QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Zintor",
                [this](const std::string& message) { logSink_.diagnostic(message); }),
      phoneLine_(webPhone_.serial(), loop_),
      input_(
          chooseLinuxInput(QDBusConnection::sessionBus(), settings_,
                           [this](const std::string& message) { logSink_.diagnostic(message); })),
      player_(QDBusConnection::sessionBus(),
              [this](const std::string& message) { logSink_.diagnostic(message); }) {
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

Ports Adapters::ports() {
    return Ports{loop_,     phoneLine_, webPhone_.registry(), settings_, files_,  logSink_,
                 *desktop_, launcher_,  *input_.adapter,      mixer_,    player_, board_};
}

}  // namespace zintor::app
