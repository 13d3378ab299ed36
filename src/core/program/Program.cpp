#include "core/program/Program.h"

#include <algorithm>
#include <utility>

#include "core/control/KeyControl.h"
#include "core/link/Link.h"
#include "core/link/connection/Supervision.h"
#include "core/media/PlayerCheck.h"
#include "core/media/PlayerControl.h"
#include "core/media/PlayerInfo.h"
#include "core/media/PlaylistMenu.h"
#include "core/phoneui/MainMenu.h"
#include "core/program/PortFollower.h"
#include "core/program/ProgramLifecycle.h"
#include "core/program/SettingsDialog.h"

namespace zintor {

Program::Program(Ports ports) : ports_(ports) {
    log_ = std::make_unique<DiagnosticLog>(state_, ports_);
    settings_ = std::make_unique<SettingsFile>(state_, ports_, *log_);
    timers_ = std::make_unique<TimerSlots>(ports_.loop);
    transport_ = std::make_unique<Transport>(state_, ports_, *log_, *timers_);
    ui_ = std::make_unique<AccessoryUi>(*transport_);
    connection_ = std::make_unique<Connection>(state_, ports_, *log_, *timers_, *transport_, *ui_);
    supervision_ =
        std::make_unique<Supervision>(state_, ports_, *log_, *timers_, *transport_, *connection_);
    portChoice_ = std::make_unique<PortChoice>(state_, ports_, *log_, *connection_);
    link_ = std::make_unique<Link>(
        Link{*log_, *settings_, *timers_, *transport_, *ui_, *connection_, *portChoice_});
    portFollower_ = std::make_unique<PortFollower>(state_, ports_, *link_);
    menus_ = std::make_unique<MainMenu>(state_, ports_, *link_);
    playerControl_ = std::make_unique<PlayerControl>(state_, ports_, *link_, menus_->errorPopUp());
    playerInfo_ = std::make_unique<PlayerInfo>(state_, ports_, *link_, *playerControl_);
    playlist_ = std::make_unique<PlaylistMenu>(state_, *link_, *menus_, menus_->errorPopUp(),
                                               *playerControl_, *playerInfo_);
    playerCheck_ =
        std::make_unique<PlayerCheck>(state_, ports_, *link_, *playerControl_, *playerInfo_);
    keys_ = std::make_unique<KeyControl>(state_, ports_, *link_, *playerControl_);
    lifecycle_ = std::make_unique<ProgramLifecycle>(state_, ports_, *link_, *keys_, *portFollower_);

    MainMenu& menus = *menus_;
    KeyControl& keys = *keys_;
    PlaylistMenu& playlist = *playlist_;
    menus.onPlayerMenuChosen = [&playlist] { return playlist.open(); };
    menus.textInput().onTextEntered = [&keys](const std::string& text) {
        return keys.typeText(text);
    };
    menus.keyControlScreen().onLeft = [&keys] { keys.closeKeyHelp(); };
    menus.keyControlScreen().onEntered = [&keys] { keys.keyControlEntered(); };
    ports_.desktop.setListener(this);
    ports_.extras.setListener(&keys.touchPad());
}

Program::~Program() {
    ports_.desktop.setListener(nullptr);
    ports_.extras.setListener(nullptr);
    // What still waits goes first, while everything it refers to is still there.
    link_->transport.dropTasks();
}

// Start-up and shutdown.
void Program::startup() {
    lifecycle_->startup();
}
void Program::shutdown(std::function<void()> then) {
    lifecycle_->shutdown(std::move(then));
}
void Program::shutdownNow() {
    lifecycle_->shutdownNow();
}
bool Program::hasShutDown() const {
    return lifecycle_->hasShutDown();
}
bool Program::shutdownFinished() const {
    return lifecycle_->shutdownFinished();
}

// Desktop clicks.
void Program::connectClicked() {
    portFollower_->noteLinkWanted(!state_.connected);  // the click disconnects a link that is up
    link_->transport.start(portFollower_->attempt(link_->portChoice.connectClicked(), false));
}
void Program::portChosen(int index) {
    portFollower_->noteLinkWanted(true);
    link_->transport.start(portFollower_->attempt(link_->portChoice.portChosen(index), true));
}
void Program::autoConnectClicked() {
    portFollower_->noteLinkWanted(true);
    link_->transport.start(portFollower_->attempt(link_->portChoice.autoConnectClicked(), false));
}
void Program::settingsClicked() {
    showSettingsWindow(state_, ports_, *link_);
}
void Program::exitClicked() {
    shutdown([this] {
        if (onExitRequested) {
            onExitRequested();
        }
    });
}
void Program::refreshPortsClicked() {
    link_->portChoice.refreshComMenu();
}
void Program::enumeratePortsClicked() {
    link_->portChoice.enumerateComPorts();
}
void Program::playerCheckClicked() {
    playerCheck_->run();
}
void Program::mouseSpeedChanged(int speed) {
    // The pause per cursor step, in milliseconds; kept within what the cursor loop can use.
    state_.mouseSpeed = std::clamp(speed, 0, 1000);
}
void Program::keyHelpClosed() {
    keys_->keyHelpClosed();
}
void Program::noticeClosed() {
    keys_->noticeClosed();
}

}  // namespace zintor
