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
    void startup();
    void shutdown();
    bool hasShutDown() const { return shutDown_; }

    // Called after Shutdown when the program should end (exit clicked, signal, session end).
    std::function<void()> onExitRequested;

    ProgramState& state() { return state_; }
    Link& link() { return *link_; }

    // Procedures
    void errorMessage(const std::string& input, int timeOut, int select) override;
    void handleInputText(const std::string& line) override;
    void showMainMenu(const std::string& item) override;
    void selectMainMenu(const std::string& line) override;
    void handleMenuSelection(const std::string& line) override;
    void resetPhoneUi() override;
    void applicationMenuSelected(const std::string& text) override;
    void moveMouseSelected() override;
    void usbMenuSelected(const std::string& text) override;
    void usbMenuChoice(const std::string& line) override;
    void aboutMenuSelected(bool show) override;
    void winampMenuSelected(const std::string& text) override;
    void winampStatusMenuSelected(const std::string& text) override;
    void execute(int command) override;
    void keyControlKeyEvent(const std::string& line) override;
    void winampStatusKeyEvent(const std::string& line) override;
    void typeText(const std::string& text) override;
    void closeKeyHelp() override;
    void trayIconAnimate() override;

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
