// The whole program on the simulated world where real desktops hurt: the link lost while a key
// is held, text from data on its way to the phone, bursts of lines, and exit in the middle of
// work.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/Program.h"
#include "link/Link.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

using Lines = std::vector<std::string>;

std::string Command(const std::string& type, const std::string& command) {
    return "<COMMAND_ID>1</COMMAND_ID><COMMAND_TYPE>" + type + "</COMMAND_TYPE><COMMAND>" +
           command + "</COMMAND>";
}

// Key 5 repeats Enter, key 7 latches the left button, key 1 holds Control down, key 2 steps
// the master volume, key 3 types "ab".
const std::string kKeyMap =
    "<KEYMAP><KEYMAP_NAME>Caf\xC3\xA9 \"hot\"\r\nATD5551234;</KEYMAP_NAME>"
    "<KEY_5>" +
    Command("SPECIAL KEY", "RETURN") +
    "</KEY_5>"
    "<KEY_7>" +
    Command("MOUSE", "LEFT HOLD") +
    "</KEY_7>"
    "<KEY_1>" +
    Command("KEY DOWN", "CONTROL") +
    "</KEY_1>"
    "<KEY_2>" +
    Command("VOLUME", "MASTER UP") +
    "</KEY_2>"
    "<KEY_3>" +
    Command("KEY", "ab") + "</KEY_3>";

class Hardening : public ::testing::Test {
  protected:
    Hardening() {
        world.registry.add("\\Device\\Serial2", "COM3");
        world.settings.set("Com", "3");
        world.serial().setPhonePort(3);
        world.files.putFile("/opt/zintor/KeyMap.xml", kKeyMap);
        program = std::make_unique<Program>(world.ports());
        program->Startup();
        world.loop.runFor(100);
    }

    void enterKeyControl() {
        world.phone.send("*EAMI: 1\r\n");
        world.loop.runFor(200);
        ASSERT_TRUE(program->state().ModeFlags[ModeKeyControl]);
        world.input.clear();
        world.phone.clearLines();
    }

    std::size_t inputCalls(const std::string& text) const {
        const auto calls = world.input.calls();
        return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), text));
    }

    SimWorld world;
    std::unique_ptr<Program> program;
};

TEST_F(Hardening, ALinkLostWhileKeysAreHeldStopsActingAndReconnectsWhenThePhoneIsBack) {
    enterKeyControl();
    world.phone.send("+CKEV: 7,1\r\n+CKEV: 7,0\r\n+CKEV: 1,1\r\n+CKEV: 1,0\r\n");
    world.loop.runFor(100);
    ASSERT_TRUE(program->state().LeftButtonLatched);

    // The cable is pulled while the cursor moves: the loop ends within a step, what the keys
    // held down is let go, the tray stops moving.
    world.phone.pressKey("<");
    world.loop.scheduleIn(1000, [this] { world.phone.hangUp(); });
    world.loop.runFor(1050);
    const std::size_t moves = world.input.calls().size();
    EXPECT_GT(moves, 50u);
    world.loop.runFor(2000);
    EXPECT_EQ(world.input.calls().size(), moves);
    EXPECT_EQ(inputCalls("left up"), 1u);
    EXPECT_EQ(inputCalls("up 17"), 1u);
    EXPECT_FALSE(program->state().LeftButtonLatched);
    EXPECT_FALSE(program->link().TimerRunning(4));
    EXPECT_EQ(world.desktop.frame(), 101);
    EXPECT_EQ(world.desktop.tip(), "Zintor");

    // The phone comes back: the supervision rebuilds the link and shows the main menu.
    world.phone.clearLines();
    world.loop.runFor(8000);
    EXPECT_TRUE(program->state().Connected);
    EXPECT_EQ(world.phone.count("AT*EAM=\"Zintor\""), 1u);

    // A held special key stops with a ring and stays stopped after the reconnection.
    enterKeyControl();
    world.phone.pressKey("5");
    world.loop.scheduleIn(500, [this] { world.phone.ring(); });
    world.loop.runFor(8000);
    ASSERT_TRUE(program->state().Connected);
    const std::size_t enters = inputCalls("press 13");
    EXPECT_GE(enters, 2u);
    world.loop.runFor(2000);
    EXPECT_EQ(inputCalls("press 13"), enters);
}

TEST_F(Hardening, DisconnectingWhileAKeyIsHeldStaysDisconnected) {
    enterKeyControl();
    world.phone.pressKey("2");
    world.loop.scheduleIn(500, [this] { world.desktop.listener()->connectClicked(); });
    world.loop.runFor(600);
    const std::size_t steps = world.mixer.sets().size();
    EXPECT_GE(steps, 5u);
    world.loop.runFor(20000);
    EXPECT_FALSE(program->state().Connected);
    EXPECT_EQ(world.mixer.sets().size(), steps);
    EXPECT_EQ(world.phone.count("AT"), 0u);
}

TEST_F(Hardening, TextFromDataReachesThePhoneAsOneLineOfIsoLatin1) {
    enterKeyControl();  // the key map's name is shown on the phone, cut to 15 characters
    const std::string written = world.serial().writtenText();
    EXPECT_NE(written.find("\r\nAT*EAID=13,2,\"Caf\xE9 'hot'  ATD\"\r\n"), std::string::npos)
        << written;
    EXPECT_EQ(written.find("\nATD"), std::string::npos);
}

TEST_F(Hardening, BurstsOfAnySizeAreHandledInOrderWithoutNesting) {
    enterKeyControl();
    std::string burst;
    for (int i = 0; i < 20000; ++i) {
        burst += "+CKEV: 3,1\r\n+CKEV: 3,0\r\n";
    }
    world.phone.send(burst);
    world.loop.runFor(1000);
    EXPECT_EQ(inputCalls("press 65"), 20000u);
    EXPECT_LE(world.loop.deepestWait(), 8);

    // A held key's release in the same burst still ends its loop.
    world.input.clear();
    world.phone.send("+CKEV: 3,1\r\n+CKEV: 3,0\r\n+CKEV: 5,1\r\n+CKEV: 5,0\r\nOK\r\n");
    world.loop.runFor(1000);
    EXPECT_EQ(inputCalls("press 13"), 1u);
    EXPECT_TRUE(program->state().Connected);

    // Presses that each start a wait (a held cursor key, a key map change that waits for its
    // notice and sends a command) nest only so deep, and every one of them is handled.
    std::string holds;
    for (int i = 0; i < 300; ++i) {
        holds += i % 2 == 0 ? "+CKEV: <,1\r\n" : "+CKEV: #,1\r\n";
    }
    world.phone.clearLines();
    world.phone.send(holds + "+CKEV: <,0\r\n");
    world.loop.runFor(60000);
    EXPECT_LE(world.loop.deepestWait(), 60);
    EXPECT_EQ(world.phone.count("AT*EAID=13,2,\"Caf\xE9 'hot'  ATD\""), 150u);
    EXPECT_TRUE(program->state().Connected);
}

TEST_F(Hardening, ExitInTheMiddleOfWorkStartsNothingAfterTheShutdown) {
    // Exit while the cursor moves, from inside the loop's own wait.
    enterKeyControl();
    world.phone.pressKey("5");
    world.loop.scheduleIn(500, [this] { world.desktop.listener()->exitClicked(); });
    world.loop.runFor(600);
    ASSERT_TRUE(program->ShutDown());
    const std::string written = world.serial().writtenText();
    const std::size_t presses = world.input.calls().size();
    world.phone.send("*EAAI\r\n");
    world.loop.runFor(30000);
    EXPECT_EQ(world.serial().writtenText(), written);
    EXPECT_EQ(world.input.calls().size(), presses);
    EXPECT_FALSE(world.serial().isOpen());
    EXPECT_EQ(world.settings.value("Com"), "3");
}

TEST_F(Hardening, ExitBetweenPortsOfTheAutomaticConnectionOpensNoOtherPort) {
    SimWorld other;
    for (int port : {1, 2, 3}) {
        other.registry.add("\\Device\\Serial" + std::to_string(port), "COM" + std::to_string(port));
    }
    other.settings.set("Com", "0");
    other.phone.setSilent(true);
    other.serial().setPhonePort(3);
    Program late(other.ports());
    other.loop.scheduleIn(700, [&other] { other.desktop.listener()->exitClicked(); });
    late.Startup();
    EXPECT_TRUE(late.ShutDown());
    EXPECT_EQ(other.serial().openCount(), 2);
    EXPECT_FALSE(other.serial().isOpen());
}

}  // namespace
}  // namespace zintor
