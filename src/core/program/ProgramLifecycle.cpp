#include "core/program/ProgramLifecycle.h"

#include <utility>

#include "core/control/KeyControl.h"
#include "core/link/Link.h"
#include "core/phoneui/Usb.h"
#include "core/program/KeyMapFile.h"
#include "core/program/KeyNames.h"
#include "core/program/PortFollower.h"

namespace zintor {

namespace {
constexpr const char* kStartedLogLine = "######Application Started#######";
constexpr const char* kTrayTip = "Zintor";
}  // namespace

ProgramLifecycle::ProgramLifecycle(ProgramState& state, Ports& ports, Link& link, KeyControl& keys,
                                   PortFollower& portFollower)
    : state_(state), ports_(ports), link_(link), keys_(keys), portFollower_(portFollower) {}

void ProgramLifecycle::startup() {
    // The log is off unless the user switched it on in the settings (Log=1).
    state_.logEnabled = false;
    link_.settings.readLogSwitch();
    link_.log.init();
    link_.log.write(kStartedLogLine);

    link_.settings.load();
    state_.playerRepeatVolume = false;

    readKeyMapFile(state_, ports_, link_);
    fillKeyNames(state_);
    keys_.buildPlayerKeyMap();

    // Decided once: the board's driver works and a board is attached now.
    state_.usbBoardPresent = ports_.board.installed();

    state_.iconFrame = 101;
    ports_.desktop.trayAdd(kTrayTip);
    link_.portChoice.refreshComMenu();
    portFollower_.start();  // the port menu follows devices plugged in and out from now on

    ports_.desktop.setAutoConnectChecked(state_.autoConnect);
    link_.transport.start(finishStartup());
}

// The automatic connection, then the main window goes (the tray icon stands for the program).
Task<void> ProgramLifecycle::finishStartup() {
    if (state_.autoConnect && !state_.connected) {
        co_await portFollower_.attempt(link_.portChoice.autoConnectPhone(), false);
    }
    ports_.desktop.hideMainWindow();
}

void ProgramLifecycle::shutdown(std::function<void()> then) {
    if (then) {
        whenShutDown_.push_back(std::move(then));
    }
    if (finished_) {
        finishShutdown();
        return;
    }
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    link_.transport.start(shutdownSequence());
}

void ProgramLifecycle::shutdownNow() {
    shutdown();
    finishShutdown();
}

Task<void> ProgramLifecycle::shutdownSequence() {
    // From here on no line from the phone but an answer is handled and no port is opened, so
    // what runs now cannot start anything new.
    link_.connection.beginShutdown();
    portFollower_.stop();

    link_.timers.disableAll();
    leaveScreen(state_);
    if (state_.connected) {
        co_await link_.ui.atCmer(false);
    }
    if (state_.connected) {
        co_await link_.ui.registerAccessoryMenu();
        co_await link_.connection.disconnectCom();
    }
    finishShutdown();
}

void ProgramLifecycle::finishShutdown() {
    if (!finished_) {
        finished_ = true;
        closeAtShutdown();
    }
    for (auto& then : std::exchange(whenShutDown_, {})) {
        then();
    }
}

void ProgramLifecycle::closeAtShutdown() {
    keys_.releaseHeld();
    keys_.closeWindows();
    if (state_.usbOpen) {
        closeUsb(state_, ports_.board);
    }
    ports_.desktop.mainWindowPosition(state_.mainLeft, state_.mainTop);
    link_.settings.save();
    link_.timers.disableAll();
    ports_.desktop.trayRemove();
    link_.connection.endShutdown();
}

}  // namespace zintor
