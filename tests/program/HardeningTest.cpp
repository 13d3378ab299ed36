// Bursts of lines from the phone, of any size, on the whole program in the simulated world.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/Program.h"
#include "link/Link.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

// Key 5 repeats Enter, key 7 latches the left button, key 1 holds Control down, key 2 steps
// the master volume, key 3 types "ab".
const std::string kKeyMap =
    "<KEYMAP><KEYMAP_NAME>Caf\xC3\xA9 \"hot\"\r\nATD5551234;</KEYMAP_NAME>"
    "<KEY_5><COMMAND_ID><COMMAND_TYPE>SPECIAL KEY</COMMAND_TYPE><COMMAND>RETURN</COMMAND></KEY_5>"
    "<KEY_7><COMMAND_ID><COMMAND_TYPE>MOUSE</COMMAND_TYPE><COMMAND>LEFT HOLD</COMMAND></KEY_7>"
    "<KEY_1><COMMAND_ID><COMMAND_TYPE>KEY DOWN</COMMAND_TYPE><COMMAND>CONTROL</COMMAND></KEY_1>"
    "<KEY_2><COMMAND_ID><COMMAND_TYPE>VOLUME</COMMAND_TYPE><COMMAND>MASTER UP</COMMAND></KEY_2>"
    "<KEY_3><COMMAND_ID><COMMAND_TYPE>KEY</COMMAND_TYPE><COMMAND>ab</COMMAND></KEY_3>";

class Hardening : public ::testing::Test {
  protected:
    Hardening() {
        world.registry.add("\\Device\\Serial2", "COM3");
        world.settings.set("Com", "3");
        world.serial().setPhonePort(3);
        world.files.putFile("/opt/zintor/KeyMap.xml", kKeyMap);
        program = std::make_unique<Program>(world.ports());
        program->startup();
        world.loop.runFor(100);
    }

    void enterKeyControl() {
        world.phone.send("*EAMI: 1\r\n");
        world.loop.runFor(200);
        ASSERT_TRUE(program->state().modeFlags[ModeKeyControl]);
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
    EXPECT_TRUE(program->state().connected);

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
    EXPECT_TRUE(program->state().connected);
}

}  // namespace
}  // namespace zintor
