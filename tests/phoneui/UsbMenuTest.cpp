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

    // Output 3 on: its long name goes out whole; the board is opened and written.
    EXPECT_EQ(r().say("*EAMI: 3"),
              Lines{UsbLine("3",
                            "\"Lamp off\",\"\",\"A name longer than fifteen\",\"\",\"\",\"\","
                            "\"\",\"\",")});
    EXPECT_EQ(r().world.board.calls(), (Lines{"open 0", "write 4"}));
    EXPECT_EQ(r().say("*EAMI: 3"), Lines{UsbLine("3", all)});
    EXPECT_EQ(r().world.board.calls().back(), "write 0");

    // Outputs 1 and 8: byte 129.
    r().say("*EAMI: 1");
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

TEST_F(UsbMenu, LinesThatAreNoChoiceChangeNothing) {
    start(false);
    r().say("*EAMI: 3");
    for (const char* line : {"*EAMI: ", "*EAMI: x", "*EAMI: -"}) {
        EXPECT_EQ(r().say(line), Lines{}) << line;
        EXPECT_TRUE(r().onlyFlag(ModeUSBMenu)) << line;
    }
    EXPECT_TRUE(r().world.board.calls().empty());
    // Only the last character is read: "13" is output 3.
    r().say("*EAMI: 13");
    EXPECT_TRUE(r().state.USBOutputs[2].State);
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

TEST(UsbModule, OpenResults) {
    SimWorld world;
    ProgramState state;
    world.board.setOpenResult(2);
    OpenUSB(state, world.board);
    EXPECT_TRUE(state.USBOpen);
    for (int result : {4, -2}) {  // neither failure nor an address: USBOpen stays as it was
        world.board.setOpenResult(result);
        OpenUSB(state, world.board);
        EXPECT_TRUE(state.USBOpen) << result;
        state.USBOpen = false;
        OpenUSB(state, world.board);
        EXPECT_FALSE(state.USBOpen) << result;
        state.USBOpen = true;
    }
    world.board.setOpenResult(-1);
    OpenUSB(state, world.board);
    EXPECT_FALSE(state.USBOpen);

    for (int i = 0; i < 8; ++i) {
        state.USBOutputs[static_cast<std::size_t>(i)].State = (i == 0 || i == 7);
    }
    EXPECT_EQ(USBOutputByte(state), 129);
    state.USBOutputs[1].State = true;
    EXPECT_EQ(USBOutputByte(state), 131);
}

}  // namespace
}  // namespace zintor::testing
