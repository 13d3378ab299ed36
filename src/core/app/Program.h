#pragma once

#include <functional>
#include <memory>
#include <string>

#include "shared/Ports.h"
#include "shared/ProgramState.h"

namespace zintor {

class Link;
class PortFollower;
class PhoneMenus;
class KeyControl;
class WinampMenus;

// The whole program: its shared state and its parts, wired to each other and to the outside world
// through Ports. It answers the desktop's clicks.
class Program : public DesktopEvents {
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
