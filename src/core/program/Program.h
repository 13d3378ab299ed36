#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

class AccessoryUi;
class Connection;
class DiagnosticLog;
struct Link;
class PortChoice;
class PortFollower;
class ProgramLifecycle;
class SettingsFile;
class Supervision;
class TimerSlots;
class Transport;
class MainMenu;
class KeyControl;
class PlayerControl;
class PlayerInfo;
class PlaylistMenu;
class PlayerCheck;

// The whole program: its shared state and its parts, wired to each other and to the outside world
// through Ports. It answers the desktop's clicks; its start-up and shutdown are its lifecycle's
// (`ProgramLifecycle`).
class Program : public DesktopEvents {
  public:
    explicit Program(Ports ports);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up: returns once the program is set up; the automatic connection goes on from the
    // loop.
    void startup();
    // The shutdown sequence runs once: it switches the phone's keypad reporting off and closes
    // the link (waiting for the phone's answers), then saves and removes the tray icon. `then`
    // runs when it has ended (at once if it has already).
    void shutdown(std::function<void()> then = {});
    // Ends the shutdown here and now, without waiting for the phone any longer: for when the loop
    // is about to stop.
    void shutdownNow();
    bool hasShutDown() const;
    bool shutdownFinished() const;

    // Called after the shutdown when the user chose Exit.
    std::function<void()> onExitRequested;

    ProgramState& state() { return state_; }
    Link& link() { return *link_; }
    const KeyControl& keys() const { return *keys_; }
    const PlaylistMenu& playlist() const { return *playlist_; }

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
    // The phone link's parts, and the bundle of them the other parts are given.
    std::unique_ptr<DiagnosticLog> log_;
    std::unique_ptr<SettingsFile> settings_;
    std::unique_ptr<TimerSlots> timers_;
    std::unique_ptr<Transport> transport_;
    std::unique_ptr<AccessoryUi> ui_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Supervision> supervision_;
    std::unique_ptr<PortChoice> portChoice_;
    std::unique_ptr<Link> link_;
    std::unique_ptr<PortFollower> portFollower_;
    std::unique_ptr<MainMenu> menus_;
    std::unique_ptr<PlayerControl> playerControl_;
    std::unique_ptr<PlayerInfo> playerInfo_;
    std::unique_ptr<PlaylistMenu> playlist_;
    std::unique_ptr<PlayerCheck> playerCheck_;
    std::unique_ptr<KeyControl> keys_;
    std::unique_ptr<ProgramLifecycle> lifecycle_;
};

}  // namespace zintor
