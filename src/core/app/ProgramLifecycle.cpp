// Start-up and shutdown of the program.
#include "app/KeyNames.h"
#include "app/PortFollower.h"
#include "app/Program.h"
#include "control/KeyControl.h"
#include "keymap/KeyMapFile.h"
#include "link/Link.h"
#include "phoneui/Usb.h"

namespace zintor {

namespace {
constexpr int kTimerSlots = 6;
constexpr const char* kStartedLogLine = "######Application Started#######";
constexpr const char* kTrayTip = "Zintor";
constexpr const char* kKeypadReportingOff = "AT+CMER=0,0,0,0,0\r\n";
constexpr int kKeypadReportingOffTimeOut = 500;
}  // namespace

void Program::Startup() {
    // The six timer slots are idle until something starts them.
    // The log is off unless the user switched it on in the settings (Log=1).
    state_.LogEnabled = false;
    link_->ReadLogSwitch();
    link_->InitLog();
    link_->WriteLog(kStartedLogLine);

    link_->LoadSettings();
    state_.WinampRepeatVolume = false;

    ReadKeyMapFile(state_, ports_, *link_);
    FillKeyNames(state_);
    keys_->BuildWinampKeyMap();

    // Decided once: the board's driver works and a board is attached now.
    state_.USBBoardPresent = ports_.board.installed();

    state_.IconFrame = 101;
    ports_.desktop.trayAdd(kTrayTip);
    link_->RefreshComMenu();
    portFollower_->Start();  // the port menu follows devices plugged in and out from now on

    if (state_.AutoConnect == 1) {
        ports_.desktop.setAutoConnectChecked(true);
        if (!state_.Connected) {
            PortFollower::Attempt attempt(*portFollower_);
            link_->AutoConnectPhone();
        }
        portFollower_->NoteConnection();
    } else {
        ports_.desktop.setAutoConnectChecked(false);
    }
    ports_.desktop.hideMainWindow();
}

void Program::Shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    // From here on no line from the phone but an answer is handled and no port is opened, so the
    // code this shutdown interrupted cannot start anything new.
    link_->beginShutdown();
    portFollower_->Stop();

    for (int slot = 0; slot < kTimerSlots; ++slot) {
        link_->DisableTimer(slot);
    }
    ClearModes(state_);
    if (state_.Connected) {
        link_->Send(kKeypadReportingOff, kKeypadReportingOffTimeOut);
    }
    if (state_.Connected) {
        link_->RegisterAccessoryMenu();
        link_->DisconnectCOM();
    }
    keys_->ReleaseHeld();
    keys_->CloseWindows();
    if (state_.USBOpen) {
        CloseUSB(state_, ports_.board);
    }
    ports_.desktop.mainWindowPosition(state_.MainLeft, state_.MainTop);
    link_->SaveSettings();
    for (int slot = 0; slot < kTimerSlots; ++slot) {
        link_->DisableTimer(slot);
    }
    ports_.desktop.trayRemove();
    link_->endShutdown();
}

}  // namespace zintor
