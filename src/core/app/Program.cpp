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
void Program::ErrorMessage(const std::string& sInput, int lTimeOut, int iSelect) {
    menus_->ErrorMessage(sInput, lTimeOut, iSelect);
}
void Program::HandleInputText(const std::string& line) {
    menus_->HandleInputText(line);
}
void Program::ShowMainMenu(const std::string& item) {
    menus_->ShowMainMenu(item);
}
void Program::SelectMainMenu(const std::string& line) {
    menus_->SelectMainMenu(line);
}
void Program::HandleMenuSelection(const std::string& line) {
    menus_->HandleMenuSelection(line);
}
void Program::ResetPhoneUI() {
    menus_->ResetPhoneUI();
}
void Program::ApplicationMenuSelected(const std::string& text) {
    menus_->ApplicationMenuSelected(text);
}
void Program::MoveMouseSelected() {
    menus_->MoveMouseSelected();
}
void Program::USBMenuSelected(const std::string& text) {
    menus_->USBMenuSelected(text);
}
void Program::USBMenuChoice(const std::string& line) {
    menus_->USBMenuChoice(line);
}
void Program::AboutMenuSelected(bool show) {
    menus_->AboutMenuSelected(show);
}

// Media player screens.
void Program::WinAMP_Menu_Selected(const std::string& text) {
    winamp_->WinAMP_Menu_Selected(text);
}
void Program::WinAMP_Status_Menu_Selected(const std::string& text) {
    winamp_->WinAMP_Status_Menu_Selected(text);
}
void Program::WinAMP_Execute(int command) {
    winamp_->WinAMP_Execute(command);
}

// Key control.
void Program::KeyControlKeyEvent(const std::string& line) {
    keys_->KeyControlKeyEvent(line);
}
void Program::WinampStatusKeyEvent(const std::string& line) {
    keys_->WinampStatusKeyEvent(line);
}
void Program::TypeText(const std::string& text) {
    keys_->TypeText(text);
}
void Program::CloseKeyHelp() {
    keys_->CloseKeyHelp();
}

// Tray: frames 101, 102, 103, 101, ... The icon keeps its last frame when the animation stops.
void Program::TrayIconAnimate() {
    state_.IconFrame = state_.IconFrame + 1;
    if (state_.IconFrame >= 104) {
        state_.IconFrame = 101;
    }
    ports_.desktop.trayShowFrame(state_.IconFrame);
}

// Desktop clicks.
void Program::connectClicked() {
    PortFollower::Attempt attempt(*portFollower_);
    link_->ConnectClicked();
    portFollower_->NoteConnection();
}
void Program::portChosen(int index) {
    PortFollower::Attempt attempt(*portFollower_);
    link_->PortChosen(index);
    portFollower_->NotePortChosen();
}
void Program::autoConnectClicked() {
    PortFollower::Attempt attempt(*portFollower_);
    link_->AutoConnectClicked();
    portFollower_->NoteConnection();
}
void Program::settingsClicked() {
    ShowSettingsWindow(state_, ports_, *link_);
}
void Program::exitClicked() {
    Shutdown();
    if (onExitRequested) {
        onExitRequested();
    }
}
void Program::refreshPortsClicked() {
    link_->RefreshComMenu();
}
void Program::enumeratePortsClicked() {
    link_->EnumerateComPorts();
}
void Program::playerCheckClicked() {
    winamp_->PlayerCheck();
}
void Program::mouseSpeedChanged(int speed) {
    // The pause per cursor step, in milliseconds; kept within what the cursor loop can use.
    state_.MouseSpeed = static_cast<std::int16_t>(std::clamp(speed, 0, 1000));
}
void Program::keyHelpClosed() {
    keys_->KeyHelpClosed();
}
void Program::noticeClosed() {
    keys_->NoticeClosed();
}

}  // namespace zintor
