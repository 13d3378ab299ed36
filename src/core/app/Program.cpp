#include "app/Program.h"

#include <algorithm>

#include "app/PortFollower.h"
#include "app/SettingsDialog.h"
#include "control/KeyControl.h"
#include "link/Link.h"
#include "media/WinampMenus.h"
#include "phoneui/PhoneMenus.h"

namespace zintor {

Program::Program(Ports ports) : ports_(ports) {
    link_ = std::make_unique<Link>(state_, ports_, *this);
    portFollower_ = std::make_unique<PortFollower>(state_, ports_, *link_);
    menus_ = std::make_unique<PhoneMenus>(state_, ports_, *link_, *this);
    keys_ = std::make_unique<KeyControl>(state_, ports_, *link_, *this);
    winamp_ = std::make_unique<WinampMenus>(state_, ports_, *link_, *this);
    ports_.desktop.setListener(this);
}

Program::~Program() {
    ports_.desktop.setListener(nullptr);
}

// Phone screens.
void Program::errorMessage(const std::string& input, int timeOut, int select) {
    menus_->errorMessage(input, timeOut, select);
}
void Program::handleInputText(const std::string& line) {
    menus_->handleInputText(line);
}
void Program::showMainMenu(const std::string& item) {
    menus_->showMainMenu(item);
}
void Program::selectMainMenu(const std::string& line) {
    menus_->selectMainMenu(line);
}
void Program::handleMenuSelection(const std::string& line) {
    menus_->handleMenuSelection(line);
}
void Program::resetPhoneUi() {
    menus_->resetPhoneUi();
}
void Program::applicationMenuSelected(const std::string& text) {
    menus_->applicationMenuSelected(text);
}
void Program::moveMouseSelected() {
    menus_->moveMouseSelected();
}
void Program::usbMenuSelected(const std::string& text) {
    menus_->usbMenuSelected(text);
}
void Program::usbMenuChoice(const std::string& line) {
    menus_->usbMenuChoice(line);
}
void Program::aboutMenuSelected(bool show) {
    menus_->aboutMenuSelected(show);
}

// Media player screens.
void Program::winampMenuSelected(const std::string& text) {
    winamp_->winampMenuSelected(text);
}
void Program::winampStatusMenuSelected(const std::string& text) {
    winamp_->winampStatusMenuSelected(text);
}
void Program::execute(int command) {
    winamp_->execute(command);
}

// Key control.
void Program::keyControlKeyEvent(const std::string& line) {
    keys_->keyControlKeyEvent(line);
}
void Program::winampStatusKeyEvent(const std::string& line) {
    keys_->winampStatusKeyEvent(line);
}
void Program::typeText(const std::string& text) {
    keys_->typeText(text);
}
void Program::closeKeyHelp() {
    keys_->closeKeyHelp();
}

// Tray: frames 101, 102, 103, 101, ... The icon keeps its last frame when the animation stops.
void Program::trayIconAnimate() {
    state_.iconFrame = state_.iconFrame + 1;
    if (state_.iconFrame >= 104) {
        state_.iconFrame = 101;
    }
    ports_.desktop.trayShowFrame(state_.iconFrame);
}

// Desktop clicks.
void Program::connectClicked() {
    PortFollower::Attempt attempt(*portFollower_);
    link_->connectClicked();
    portFollower_->noteConnection();
}
void Program::portChosen(int index) {
    PortFollower::Attempt attempt(*portFollower_);
    link_->portChosen(index);
    portFollower_->notePortChosen();
}
void Program::autoConnectClicked() {
    PortFollower::Attempt attempt(*portFollower_);
    link_->autoConnectClicked();
    portFollower_->noteConnection();
}
void Program::settingsClicked() {
    showSettingsWindow(state_, ports_, *link_);
}
void Program::exitClicked() {
    shutdown();
    if (onExitRequested) {
        onExitRequested();
    }
}
void Program::refreshPortsClicked() {
    link_->refreshComMenu();
}
void Program::enumeratePortsClicked() {
    link_->enumerateComPorts();
}
void Program::playerCheckClicked() {
    winamp_->playerCheck();
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
