#include "app/Program.h"

#include <algorithm>

#include "app/PortFollower.h"
#include "app/SettingsDialog.h"
#include "control/KeyControl.h"
#include "link/Link.h"
#include "media/PlayerMenus.h"
#include "phoneui/PhoneMenus.h"

namespace zintor {

Program::Program(Ports ports) : ports_(ports) {
    link_ = std::make_unique<Link>(state_, ports_);
    portFollower_ = std::make_unique<PortFollower>(state_, ports_, *link_);
    menus_ = std::make_unique<PhoneMenus>(state_, ports_, *link_);
    player_ = std::make_unique<PlayerMenus>(state_, ports_, *link_, *menus_);
    keys_ = std::make_unique<KeyControl>(state_, ports_, *link_, player_->control());

    PhoneMenus& menus = *menus_;
    KeyControl& keys = *keys_;
    PlayerMenus& player = *player_;
    menus.onPlayerMenuChosen = [&player] { return player.openPlaylist(); };
    menus.onTextEntered = [&keys](const std::string& text) { return keys.typeText(text); };
    menus.onKeyControlLeft = [&keys] { keys.closeKeyHelp(); };
    menus.onKeyControlEntered = [&keys] { keys.keyControlEntered(); };
    ports_.desktop.setListener(this);
    ports_.extras.setListener(&keys.touchPad());
}

Program::~Program() {
    ports_.desktop.setListener(nullptr);
    ports_.extras.setListener(nullptr);
    // What still waits goes first, while everything it refers to is still there.
    link_->dropTasks();
}

Task<void> Program::attempt(Task<void> work, bool portChosen) {
    {
        PortFollower::Attempt attempt(*portFollower_);
        co_await std::move(work);
    }
    if (portChosen) {
        portFollower_->notePortChosen();
    } else {
        portFollower_->noteConnection();
    }
}

// Desktop clicks.
void Program::connectClicked() {
    portFollower_->noteLinkWanted(!state_.connected);  // the click disconnects a link that is up
    link_->start(attempt(link_->connectClicked(), false));
}
void Program::portChosen(int index) {
    portFollower_->noteLinkWanted(true);
    link_->start(attempt(link_->portChosen(index), true));
}
void Program::autoConnectClicked() {
    portFollower_->noteLinkWanted(true);
    link_->start(attempt(link_->autoConnectClicked(), false));
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
    link_->refreshComMenu();
}
void Program::enumeratePortsClicked() {
    link_->enumerateComPorts();
}
void Program::playerCheckClicked() {
    player_->playerCheck();
}
void Program::mouseSpeedChanged(int speed) {
    // The pause per cursor step, in milliseconds; kept within what the cursor loop can use.
    state_.mouseSpeed = static_cast<std::int16_t>(std::clamp(speed, 0, 1000));
}
void Program::keyHelpClosed() {
    keys_->keyHelpClosed();
}
void Program::noticeClosed() {
    keys_->noticeClosed();
}

}  // namespace zintor
