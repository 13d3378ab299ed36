// Start-up and shutdown of the program.
#include "app/KeyMapFile.h"
#include "app/KeyNames.h"
#include "app/PortFollower.h"
#include "app/Program.h"
#include "control/KeyControl.h"
#include "link/Link.h"
#include "phoneui/Usb.h"

namespace zintor {

namespace {
constexpr const char* kStartedLogLine = "######Application Started#######";
constexpr const char* kTrayTip = "Zintor";
}  // namespace

void Program::startup() {
    // The log is off unless the user switched it on in the settings (Log=1).
    state_.logEnabled = false;
    link_->readLogSwitch();
    link_->initLog();
    link_->writeLog(kStartedLogLine);

    link_->loadSettings();
    state_.winampRepeatVolume = false;

    readKeyMapFile(state_, ports_, *link_);
    fillKeyNames(state_);
    keys_->buildWinampKeyMap();

    // Decided once: the board's driver works and a board is attached now.
    state_.usbBoardPresent = ports_.board.installed();

    state_.iconFrame = 101;
    ports_.desktop.trayAdd(kTrayTip);
    link_->refreshComMenu();
    portFollower_->start();  // the port menu follows devices plugged in and out from now on

    if (state_.autoConnect == 1) {
        ports_.desktop.setAutoConnectChecked(true);
        if (!state_.connected) {
            PortFollower::Attempt attempt(*portFollower_);
            link_->autoConnectPhone();
        }
        portFollower_->noteConnection();
    } else {
        ports_.desktop.setAutoConnectChecked(false);
    }
    ports_.desktop.hideMainWindow();
}

void Program::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    // From here on no line from the phone but an answer is handled and no port is opened, so the
    // code this shutdown interrupted cannot start anything new.
    link_->beginShutdown();
    portFollower_->stop();

    link_->disableAllTimers();
    clearModes(state_);
    if (state_.connected) {
        link_->atCmer(false);
    }
    if (state_.connected) {
        link_->registerAccessoryMenu();
        link_->disconnectCom();
    }
    keys_->releaseHeld();
    keys_->closeWindows();
    if (state_.usbOpen) {
        closeUsb(state_, ports_.board);
    }
    ports_.desktop.mainWindowPosition(state_.mainLeft, state_.mainTop);
    link_->saveSettings();
    link_->disableAllTimers();
    ports_.desktop.trayRemove();
    link_->endShutdown();
}

}  // namespace zintor
