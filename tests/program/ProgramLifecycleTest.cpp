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
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].rfind(prefix, 0) == 0) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    SimWorld world;
    std::unique_ptr<Program> program;
    Lines exitRequests;
};

TEST_F(ProgramLifecycle, StartupConnectsAutomaticallyBeforeHiding) {
    start();
    ProgramState& state = program->state();

    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(world.serial().openPort(), 3);  // the stored port, read before the port menu
    EXPECT_EQ(world.phone.texts(), (Lines{"AT", "AT+cgmm", "at+cscs=\"8859-1\"",
                                          "AT+CMER=0,0,0,0,0", "AT*EAM=\"Zintor\"", kMainMenu}));

    const int trayAdd = desktopCall("trayAdd Zintor");
    const int ports = desktopCall("ports Serial Com1, Serial Com3 *");
    const int checked = desktopCall("autoConnect checked");
    const int connected = desktopCall("tip Zintor - Connected");
    const int hidden = desktopCall("hideMainWindow");
    ASSERT_GE(trayAdd, 0);
    EXPECT_LT(trayAdd, ports);
    EXPECT_LT(ports, checked);
    EXPECT_LT(checked, connected);
    EXPECT_LT(connected, hidden);
    EXPECT_EQ(hidden + 1, static_cast<int>(world.desktop.calls().size()));

    EXPECT_FALSE(state.LogEnabled);
    EXPECT_FALSE(state.WinampRepeatVolume);
    EXPECT_TRUE(state.USBBoardPresent);
    EXPECT_EQ(state.IconFrame, 101);
    EXPECT_EQ(state.KeyNames[0], "Key 0");
    EXPECT_EQ(state.KeyNames[13], "*");
    EXPECT_EQ(state.KeyNames[17], "Back");
    for (std::size_t key = 18; key <= 21; ++key) {
        EXPECT_EQ(state.KeyNames[key], "") << key;
    }
    EXPECT_EQ(state.KeyNames[22], "Left");
    EXPECT_EQ(state.KeyNames[23], "Right");
    // The media player's fixed key map is built: key 10 raises its volume.
    ASSERT_EQ(state.WinampKeyMap.Keys[10].Commands.size(), 1u);
    EXPECT_EQ(state.WinampKeyMap.Keys[10].Commands[0].Type, CommandWinamp);
}

TEST_F(ProgramLifecycle, TheStoredLogSwitchDecidesWhetherStartUpIsLogged) {
    world.settings.set("Log", "1");
    start();
    const std::string& logFile = program->state().LogFileName;
    ASSERT_FALSE(logFile.empty());
    const std::string log = world.files.contents(logFile);
    EXPECT_NE(log.find("######Application Started#######"), std::string::npos) << log;
    EXPECT_NE(log.find("KeyMap.xml not found"), std::string::npos) << log;
}

TEST_F(ProgramLifecycle, StartupWithoutAutoConnectStaysIdle) {
    world.settings.set("Auto", "0");
    world.board.setInstalled(false);
    start();
    EXPECT_FALSE(program->state().Connected);
    EXPECT_EQ(world.serial().openCount(), 0);
    EXPECT_TRUE(world.phone.texts().empty());
    EXPECT_FALSE(program->state().USBBoardPresent);
    EXPECT_LT(desktopCall("trayAdd Zintor"), desktopCall("autoConnect unchecked"));
    EXPECT_EQ(world.desktop.calls().back(), "hideMainWindow");
    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_FALSE(program->link().TimerRunning(slot)) << slot;
    }
}

TEST_F(ProgramLifecycle, ExitWhileConnected) {
    start();
    // Switch a USB output so that the board is open.
    world.phone.send("*EAMI: 3\r\n");
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
    EXPECT_EQ(world.settings.value("MainLeft"), "345");
    EXPECT_EQ(world.settings.value("MainTop"), "678");
    EXPECT_EQ(world.desktop.calls().back(), "trayRemove");
    EXPECT_EQ(exitRequests, Lines{"tray gone"});
    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_FALSE(program->link().TimerRunning(slot)) << slot;
    }

    // Only once.
    const std::size_t calls = world.desktop.calls().size();
    program->Shutdown();
    world.desktop.listener()->exitClicked();
    EXPECT_EQ(world.desktop.calls().size(), calls);
    EXPECT_EQ(world.phone.texts().size(), 3u);
    EXPECT_EQ(exitRequests.size(), 2u);  // every exit click asks to end
}

TEST_F(ProgramLifecycle, ExitWhileNotConnected) {
    world.settings.set("Auto", "0");
    start();
    world.desktop.clearCalls();
    const std::size_t writes = world.settings.writes().size();
    program->exitClicked();
    EXPECT_TRUE(world.phone.texts().empty());
    EXPECT_EQ(world.serial().openCount(), 0);
    EXPECT_TRUE(world.board.calls().empty());  // never opened, so not closed
    EXPECT_GT(world.settings.writes().size(), writes);
    EXPECT_EQ(world.settings.value("Auto"), "0");
    EXPECT_EQ(world.desktop.calls(), (Lines{"mainWindowPosition", "trayRemove"}));
}

TEST_F(ProgramLifecycle, TrayIconAnimatesWhileConnected) {
    start();
    world.desktop.clearCalls();
    world.loop.runFor(650);
    const Lines frames = world.desktop.callsStartingWith("frame ");
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ((Lines{frames[0], frames[1], frames[2]}),
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

    const int lists = world.registry.listCalls();
    world.desktop.clearCalls();
    events->enumeratePortsClicked();
    EXPECT_EQ(world.registry.listCalls(), lists + 1);
    EXPECT_TRUE(world.desktop.callsStartingWith("ports").empty());
    events->refreshPortsClicked();
    EXPECT_EQ(world.registry.listCalls(), lists + 2);
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

// The phone conversation through the whole program: no key map file means no key control.
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
