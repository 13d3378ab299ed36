#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/Ports.h"
#include "app/Procedures.h"
#include "app/ProgramState.h"

namespace zintor {

class Link;
class PortFollower;
class PhoneMenus;
class KeyControl;
class WinampMenus;

// The whole program: its shared state and its parts, wired to the outside world through Ports.
// It answers the desktop's clicks and hands every cross-part call to the part that owns it.
class Program : public Procedures, public DesktopEvents {
  public:
    explicit Program(Ports ports);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up and shutdown sequences. Shutdown runs once; later calls do nothing.
    void Startup();
    void Shutdown();
    bool ShutDown() const { return shutDown_; }

    // Called after Shutdown when the program should end (exit clicked, signal, session end).
    std::function<void()> onExitRequested;

    ProgramState& state() { return state_; }
    Link& link() { return *link_; }

    // Procedures
    void ErrorMessage(const std::string& sInput, int lTimeOut, int iSelect) override;
    void HandleInputText(const std::string& line) override;
    void ShowMainMenu(const std::string& item) override;
    void SelectMainMenu(const std::string& line) override;
    void HandleMenuSelection(const std::string& line) override;
    void ResetPhoneUI() override;
    void ApplicationMenuSelected(const std::string& text) override;
    void MoveMouseSelected() override;
    void USBMenuSelected(const std::string& text) override;
    void USBMenuChoice(const std::string& line) override;
    void AboutMenuSelected(bool show) override;
    void WinAMP_Menu_Selected(const std::string& text) override;
    void WinAMP_Status_Menu_Selected(const std::string& text) override;
    void WinAMP_Execute(int command) override;
    void KeyControlKeyEvent(const std::string& line) override;
    void WinampStatusKeyEvent(const std::string& line) override;
    void TypeText(const std::string& text) override;
    void CloseKeyHelp() override;
    void TrayIconAnimate() override;

    // DesktopEvents
    void connectClicked() override;
    void portChosen(int index) override;
    void autoConnectClicked() override;
    void settingsClicked() override;
    void exitClicked() override;
    void refreshPortsClicked() override;
    void enumeratePortsClicked() override;
    void playerCheckClicked() override;
    void mouseSpeedChanged(int speed) override;
    void keyHelpClosed() override;
    void noticeClosed() override;

  private:
    ProgramState state_;
    Ports ports_;
    std::unique_ptr<Link> link_;
    std::unique_ptr<PortFollower> portFollower_;
    std::unique_ptr<PhoneMenus> menus_;
    std::unique_ptr<KeyControl> keys_;
    std::unique_ptr<WinampMenus> winamp_;
    bool shutDown_ = false;
};

}  // namespace zintor
