// The serial port list: numbers, sorting, menu labels, and choosing a port.

#include <random>

#include "LinkFixture.h"
#include "link/PortList.h"

namespace zintor {
namespace {

TEST(PortListTest, NumbersFromPortTextsAndQuicksort) {
    EXPECT_EQ(PortNumberFromText("COM10"), 10);
    EXPECT_EQ(PortNumberFromText("COM 7x"), 7);
    EXPECT_EQ(PortNumberFromText("COMx1"), 0);
    EXPECT_EQ(PortNumberFromText("COM99999999999"), 32767);

    std::mt19937 random(7);
    for (int size = 0; size < 40; ++size) {
        std::vector<ComPortInfo> list(static_cast<std::size_t>(size));
        std::vector<int> ports, sorted;
        for (auto& entry : list) {
            entry.Port = static_cast<std::int16_t>(random() % 12);  // many equal ports
            sorted.push_back(entry.Port);
        }
        SortPortList(list, 0, size - 1);
        for (const auto& entry : list) {
            ports.push_back(entry.Port);
        }
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(ports, sorted) << size;
    }
}

TEST_F(LinkTest, PortMenuIsSortedAndLabelled) {
    world.registry.add("\\Device\\Serial9", "COM10");
    world.registry.add("\\Device\\BtPort2", "COM3");  // Bluetooth
    world.registry.add("\\Device\\Serial0", "COM1");
    world.registry.add("\\Device\\Serial16", "COM17");
    world.registry.add("\\Device\\btport", "COM2");  // the marker is case-sensitive
    state.ComPort = 10;
    link.RefreshComMenu();
    EXPECT_THAT(world.desktop.calls(),
                ElementsAre("ports Serial Com1, Serial Com2, Bluetooth Com3, Serial Com10 *"));
    ASSERT_EQ(state.PortList.size(), 5u);
    EXPECT_EQ(state.PortList[4].Port, 17);  // listed, not offered
    EXPECT_EQ(state.PortList[2].Name, "\\Device\\BtPort2");

    world.registry.setPorts({});
    link.RefreshComMenu();
    EXPECT_EQ(world.desktop.calls().back(), "ports");  // no port: an empty menu
}

TEST_F(LinkTest, ChoosingAPortReconnectsThere) {
    world.registry.add("A", "COM2");
    world.registry.add("B", "COM4");
    state.ComPort = 2;
    state.AutoConnect = 1;
    link.RefreshComMenu();
    Connect();

    link.PortChosen(1);
    EXPECT_EQ(state.ComPort, 4);
    EXPECT_EQ(state.AutoConnect, 1);  // only its check mark goes
    EXPECT_EQ(serial().openPort(), 4);
    EXPECT_THAT(Matching(world.desktop.calls(), "portChecked"),
                ElementsAre("portChecked 0 off", "portChecked 1 off", "portChecked 1 on"));
    EXPECT_FALSE(world.desktop.autoConnectChecked());
    EXPECT_EQ(PhoneTexts()[0], "AT*EAM=\"Zintor\"");  // the old link is closed first

    link.PortChosen(1);  // the port in use: reconnected
    EXPECT_EQ(phone().count("AT+cgmm"), 2u);
    link.PortChosen(2);  // no such item: ignored
    link.PortChosen(-1);
    EXPECT_EQ(phone().count("AT+cgmm"), 2u);
}

}  // namespace
}  // namespace zintor
