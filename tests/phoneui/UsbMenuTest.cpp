// The USB outputs menu and the board behind it.
#include <gtest/gtest.h>

#include "MenuRig.h"
#include "phoneui/Usb.h"

namespace zintor::testing {
namespace {

std::string UsbLine(const std::string& highlighted, const std::string& names) {
    return "AT*EASM=\"USB\",1," + highlighted + ",9," + names + "\"Reset\"";
}

class UsbMenu : public ::testing::Test {
  protected:
    void start(bool winamp) {
        rig = std::make_unique<MenuRig>(MenuConfig{winamp, true});
        rig->connect();
        auto& outputs = rig->state.USBOutputs;
        outputs[0] = {false, "Lamp on", "Lamp off"};
        outputs[2] = {false, "A name longer than fifteen", "Fan off"};
        outputs[7] = {false, "Pump on", ""};
    }
    MenuRig& r() { return *rig; }

    std::unique_ptr<MenuRig> rig;
};

TEST_F(UsbMenu, ToggleResetAndBack) {
    start(false);
    const std::string all = "\"Lamp off\",\"\",\"Fan off\",\"\",\"\",\"\",\"\",\"\",";
    EXPECT_EQ(r().say("*EAMI: 3"), Lines{UsbLine("1", all)});
    EXPECT_TRUE(r().onlyFlag(ModeUSBMenu));
    for (const char* line : {"*EAMI: ", "*EAMI: x", "*EAMI: -"}) {  // no choice: nothing
        EXPECT_EQ(r().say(line), Lines{}) << line;
        EXPECT_TRUE(r().onlyFlag(ModeUSBMenu)) << line;
    }
    EXPECT_TRUE(r().world.board.calls().empty());

    // Output 3 on: its long name goes out whole; the board is opened and written.
    EXPECT_EQ(r().say("*EAMI: 3"),
              Lines{UsbLine("3",
                            "\"Lamp off\",\"\",\"A name longer than fifteen\",\"\",\"\",\"\","
                            "\"\",\"\",")});
    EXPECT_EQ(r().world.board.calls(), (Lines{"open 0", "write 4"}));
    EXPECT_EQ(r().say("*EAMI: 3"), Lines{UsbLine("3", all)});
    EXPECT_EQ(r().world.board.calls().back(), "write 0");

    // Outputs 1 and 8: byte 129 ("11": only the last character is read).
    r().say("*EAMI: 11");
    EXPECT_EQ(r().say("*EAMI: 8"),
              Lines{UsbLine("8", "\"Lamp on\",\"\",\"Fan off\",\"\",\"\",\"\",\"\",\"Pump on\",")});
    EXPECT_EQ(r().world.board.lastWrite(), 129);

    // Reset: all off, 0 written, item 9 highlighted.
    EXPECT_EQ(r().say("*EAMI: 9"), Lines{UsbLine("9", all)});
    EXPECT_EQ(r().world.board.lastWrite(), 0);
    EXPECT_EQ(r().world.board.calls(),
              (Lines{"open 0", "write 4", "write 0", "write 1", "write 129", "write 0"}));

    // Back: the main menu on "USB", item 3 without WinAMP.
    EXPECT_EQ(r().say("*EAMI: 0"),
              Lines{"AT*EASM=\"Zintor\",1,3,4,\"Move Mouse\",\"Application\",\"USB\",\"About\""});
    EXPECT_TRUE(NoModeActive(r().state));
}

TEST_F(UsbMenu, BackGoesToItemFourWithWinamp) {
    start(true);
    r().say("*EAMI: 4");
    EXPECT_TRUE(r().onlyFlag(ModeUSBMenu));
    EXPECT_EQ(r().say("*EAMI: 0"),
              Lines{"AT*EASM=\"Zintor\",1,4,5,\"Move Mouse\",\"Application\",\"WinAMP\",\"USB\","
                    "\"About\""});
}

// A board that is missing or went away: the menu keeps working and keeps the wanted states, and
// every write tries to open the board again until it answers.
TEST_F(UsbMenu, MissingBoardKeepsTheWantedStates) {
    start(false);
    r().world.board.setOpenResult(-1);
    r().say("*EAMI: 3");
    r().say("*EAMI: 1");
    EXPECT_EQ(r().say("*EAMI: 8"),
              Lines{UsbLine("8", "\"Lamp on\",\"\",\"Fan off\",\"\",\"\",\"\",\"\",\"Pump on\",")});
    EXPECT_FALSE(r().state.USBOpen);
    EXPECT_EQ(r().world.board.calls(), (Lines{"open 0", "write 1", "open 0", "write 129"}));
    // The PC says why the outputs do not follow, once.
    const auto notices = [&] { return r().world.desktop.callsStartingWith("notify Zintor - USB"); };
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_NE(notices()[0].find("cannot be opened"), std::string::npos);

    r().world.board.setOpenResult(0);  // plugged in
    r().say("*EAMI: 2");
    EXPECT_TRUE(r().state.USBOpen);
    EXPECT_EQ(r().world.board.calls().back(), "write 131");

    // Lost again after it had worked: said once more.
    r().state.USBOpen = false;
    r().world.board.setOpenResult(-1);
    r().say("*EAMI: 2");
    r().say("*EAMI: 2");
    EXPECT_EQ(notices().size(), 2u);
}

// OpenUSB takes -1 as failure and 0 to 3 (the board's address) as success; other results leave
// USBOpen as it was.
TEST(UsbModule, OpenResults) {
    SimWorld world;
    ProgramState state;
    for (const auto& [result, before, after] :
         {std::tuple{2, false, true}, {-1, true, false}, {4, true, true}, {-2, false, false}}) {
        state.USBOpen = before;
        world.board.setOpenResult(result);
        OpenUSB(state, world.board);
        EXPECT_EQ(state.USBOpen, after) << result;
    }
}

}  // namespace
}  // namespace zintor::testing
