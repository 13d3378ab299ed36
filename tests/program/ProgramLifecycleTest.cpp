// The whole program on the simulated world: start-up, shutdown, the tray animation and the
// desktop's clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/Program.h"
#include "link/Link.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

using Lines = std::vector<std::string>;

const std::string kMainMenu =
    "AT*EASM=\"Zintor\",1,1,4,\"Move Mouse\",\"Application\",\"USB\",\"About\"";

class ProgramLifecycle : public ::testing::Test {
  protected:
    ProgramLifecycle() {
        world.registry.add("\\Device\\Serial0", "COM1");
        world.registry.add("\\Device\\Serial2", "COM3");
        world.settings.set("Com", "3");
        world.serial().setPhonePort(3);
    }

    void start() {
        program = std::make_unique<Program>(world.ports());
        program->onExitRequested = [this] {
            exitRequests.push_back(world.desktop.trayShown() ? "tray still shown" : "tray gone");
        };
        program->Startup();
        world.loop.runFor(100);
    }

    // Index of the first desktop call starting with `prefix`; -1 when there is none.
    int desktopCall(const std::string& prefix) const {
        const auto& calls = world.desktop.calls();
        const auto it = std::find_if(calls.begin(), calls.end(), [&](const std::string& call) {
            return call.starts_with(prefix);
        });
        return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
    }

    // Slots 4 (tray animation) and 5 (supervision) run while connected.
    bool linkTimersRunning() {
        return program->link().TimerRunning(4) || program->link().TimerRunning(5);
    }

    SimWorld world;
    std::unique_ptr<Program> program;
    Lines exitRequests;
};

TEST_F(ProgramLifecycle, StartupConnectsAutomaticallyBeforeHiding) {
    start();
    const ProgramState& state = program->state();
    EXPECT_TRUE(state.Connected);
    EXPECT_TRUE(linkTimersRunning());
    EXPECT_EQ(world.serial().openPort(), 3);  // the stored port, read before the port menu
    EXPECT_EQ(world.phone.texts(), (Lines{"AT", "AT+cgmm", "at+cscs=\"8859-1\"",
                                          "AT+CMER=0,0,0,0,0", "AT*EAM=\"Zintor\"", kMainMenu}));

    const std::vector<int> order{
        desktopCall("trayAdd Zintor"), desktopCall("ports Serial Com1, Serial Com3 *"),
        desktopCall("autoConnect checked"), desktopCall("tip Zintor - Connected"),
        desktopCall("hideMainWindow")};
    EXPECT_GE(order.front(), 0);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_EQ(order.back() + 1, static_cast<int>(world.desktop.calls().size()));

    EXPECT_FALSE(state.LogEnabled);
    EXPECT_TRUE(state.USBBoardPresent);
    // The media player's fixed key map is built: key 10 raises its volume.
    ASSERT_EQ(state.WinampKeyMap.Keys[10].Commands.size(), 1u);
    EXPECT_EQ(state.WinampKeyMap.Keys[10].Commands[0].Type, CommandWinamp);
}

TEST_F(ProgramLifecycle, TheStoredLogSwitchDecidesWhetherStartUpIsLogged) {
    world.settings.set("Log", "1");
    start();
    const std::string log = world.files.contents(program->state().LogFileName);
    EXPECT_NE(log.find("######Application Started#######"), std::string::npos) << log;
    EXPECT_NE(log.find("KeyMap.xml not found"), std::string::npos) << log;
}

TEST_F(ProgramLifecycle, ExitWhileConnected) {
    start();
    world.phone.send("*EAMI: 3\r\n");  // USB, then its first output: the board is open
    world.loop.runFor(500);
    world.phone.send("*EAMI: 1\r\n");
    world.loop.runFor(500);
    ASSERT_TRUE(program->state().USBOpen);
    world.phone.clearLines();
    world.desktop.clearCalls();
    world.desktop.setMainWindowPosition(345, 678);
    world.desktop.listener()->exitClicked();

    EXPECT_EQ(world.phone.texts(),
              (Lines{"AT+CMER=0,0,0,0,0", "AT*EAM=\"Zintor\"", "AT*EAM=\"Zintor\""}));
    EXPECT_FALSE(world.serial().isOpen());
    EXPECT_FALSE(program->state().Connected);
    EXPECT_EQ(world.board.calls().back(), "close");
    EXPECT_TRUE(NoModeActive(program->state()));
    EXPECT_EQ(world.settings.value("MainLeft") + "," + world.settings.value("MainTop"), "345,678");
    EXPECT_EQ(world.desktop.calls().back(), "trayRemove");
    EXPECT_EQ(exitRequests, Lines{"tray gone"});
    EXPECT_FALSE(linkTimersRunning());

    // Only once; every exit click still asks to end.
    const std::size_t calls = world.desktop.calls().size();
    program->Shutdown();
    world.desktop.listener()->exitClicked();
    EXPECT_EQ(world.desktop.calls().size(), calls);
    EXPECT_EQ(world.phone.texts().size(), 3u);
    EXPECT_EQ(exitRequests.size(), 2u);
}

TEST_F(ProgramLifecycle, WithoutAutoConnectStartupStaysIdleAndExitSendsNothing) {
    world.settings.set("Auto", "0");
    world.board.setInstalled(false);
    start();
    EXPECT_FALSE(program->state().Connected);
    EXPECT_FALSE(program->state().USBBoardPresent);
    EXPECT_LT(desktopCall("trayAdd Zintor"), desktopCall("autoConnect unchecked"));
    EXPECT_EQ(world.desktop.calls().back(), "hideMainWindow");
    EXPECT_FALSE(linkTimersRunning());

    world.desktop.clearCalls();
    const std::size_t writes = world.settings.writes().size();
    program->exitClicked();
    EXPECT_TRUE(world.phone.texts().empty());
    EXPECT_EQ(world.serial().openCount(), 0);
    EXPECT_TRUE(world.board.calls().empty());  // never opened, so not closed
    EXPECT_GT(world.settings.writes().size(), writes);
    EXPECT_EQ(world.desktop.calls(), (Lines{"mainWindowPosition", "trayRemove"}));
}

TEST_F(ProgramLifecycle, TrayIconAnimatesWhileConnected) {
    start();
    world.desktop.clearCalls();
    world.loop.runFor(650);
    const Lines frames = world.desktop.callsStartingWith("frame ");
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(Lines(frames.begin(), frames.begin() + 3),
              (Lines{"frame 102", "frame 103", "frame 101"}));

    // Disconnecting stops the animation on the frame shown last.
    world.desktop.listener()->connectClicked();
    EXPECT_FALSE(program->state().Connected);
    const int last = world.desktop.frame();
    world.loop.runFor(1000);
    EXPECT_EQ(world.desktop.frame(), last);
}

TEST_F(ProgramLifecycle, DesktopClicksReachTheirParts) {
    world.settings.set("Auto", "0");
    start();
    DesktopEvents* events = world.desktop.listener();
    ASSERT_EQ(events, program.get());
    events->mouseSpeedChanged(12);
    EXPECT_EQ(program->state().MouseSpeed, 12);

    world.desktop.clearCalls();
    events->enumeratePortsClicked();  // lists the ports without rebuilding the menu
    EXPECT_TRUE(world.desktop.callsStartingWith("ports").empty());
    events->refreshPortsClicked();
    EXPECT_EQ(world.desktop.callsStartingWith("ports").size(), 1u);
    events->connectClicked();
    world.loop.runFor(100);
    EXPECT_TRUE(program->state().Connected);

    events->settingsClicked();
    EXPECT_GE(desktopCall("showSettings"), 0);
    EXPECT_TRUE(world.desktop.callsStartingWith("autoConnect").empty());  // unchanged: left alone

    // Switching AutoConnect on in the settings window puts the tray's check mark on too.
    world.desktop.setSettingsEditor([](const SettingsForm& form) {
        SettingsForm edited = form;
        edited.autoConnect = 1;
        return edited;
    });
    events->settingsClicked();
    EXPECT_EQ(program->state().AutoConnect, 1);
    EXPECT_EQ(world.desktop.callsStartingWith("autoConnect"), Lines{"autoConnect checked"});
    EXPECT_EQ(world.settings.value("Auto"), "1");
}

// No key map file means no key control: a pop-up says so and closing it shows the main menu.
TEST_F(ProgramLifecycle, KeyControlWithoutKeyMapFile) {
    start();
    ASSERT_TRUE(program->state().KeyMaps.empty());
    world.phone.clearLines();
    world.phone.send("*EAMI: 1\r\n");
    world.loop.runFor(500);
    EXPECT_EQ(
        world.phone.texts(),
        Lines{"AT*EAID=1,2,\"No key map loaded - fix or add KeyMap.xml and restart Zintor\",80"});
    world.phone.clearLines();
    world.phone.send("*EAII: 1,1\r\n");
    world.loop.runFor(500);
    EXPECT_EQ(world.phone.texts(), Lines{kMainMenu});
}

}  // namespace
}  // namespace zintor
