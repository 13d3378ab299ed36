// Bluetooth phones through BlueZ, against a STAND-IN for BlueZ on a private bus: the port list
// once BlueZ starts, and the link's refusals.
#include <gtest/gtest.h>

#include <set>

#include "BluezStandIn.h"
#include "NeedsComponent.h"
#include "PrivateSessionBus.h"
#include "QtTestSupport.h"
#include "core/link/connection/PortList.h"
#include "platform/linux/BluetoothSerialLink.h"
#include "platform/qt/QtSerialLink.h"
#include "platform/sim/MemorySettingsStore.h"

namespace zintor {
namespace {

using Texts = std::vector<std::string>;

TEST(BluetoothPhones, ListedOnceBlueZRunsAndRefusalsSaid) {
    ZINTOR_SKIP_UNLESS(testing::PrivateSessionBus::installed(), "dbus-daemon is not installed");
    testing::PrivateSessionBus bus;
    ASSERT_TRUE(bus.start());
    QDBusConnection client =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "c");
    Texts said;
    BluezDevices devices(client, [&](const std::string& text) { said.push_back(text); });
    MemorySettingsStore settings;
    settings.set(LinuxPortRegistry::kNumbersValue, "bluetooth 00:11:22:33:44:55=7");
    test::TempFolder none;
    LinuxPortRegistry registry(settings, {none / "x", none / "x", none / "x", none / "x"});
    registry.setOtherDevices([&] { return devices.portDevices(); });
    const auto menu = [&] {
        std::set<std::string> captions;
        for (const RegisteredPort& port : registry.listPorts()) {
            captions.insert(portLabel(makeComPortInfo(port)));
        }
        return captions;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !said.empty(); }));
    EXPECT_EQ(said.front().rfind("Bluetooth: BlueZ does not answer on the system bus (", 0), 0u);
    EXPECT_TRUE(menu().empty());

    test::BluezStandIn bluez(bus.address());  // BlueZ starts
    ASSERT_TRUE(bluez.ok);
    const QString spp = BluezDevices::kSerialPort;
    const QString away =
        bluez.addDevice("00:11:22:33:44:55", "Nokia", true, {spp.toUpper()}, "away", false);
    bluez.addDevice("00:11:22:33:44:66", "Headset", true, {"0000110b-0000-1000-8000-00805f9b34fb"},
                    "phone", false);
    bluez.addDevice("00:11:22:33:44:77", "Stranger", false, {spp}, "phone", false);
    const QString modem =
        bluez.addDevice("00:11:22:33:44:88", "", true, {BluezDevices::kDialUp}, "busy", false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu().size() == 2; }));
    EXPECT_EQ(menu(), (std::set<std::string>{"Bluetooth Com1 \u2014 00:11:22:33:44:88",
                                             "Bluetooth Com7 \u2014 Nokia"}));

    QtSerialLink serial([](int) { return std::nullopt; });
    Texts held;
    BluetoothSerialLink link(serial, client, devices,
                             [&](int port) { return registry.devicePath(port); },
                             {[&](const std::string& text) { said.push_back(text); },
                              [&](int port, const std::string& phone) {
                                  held.push_back(std::to_string(port) + " " + phone);
                              },
                              {}});
    int made = 0;
    link.setListener([&](SerialEvent event) { made += event == SerialEvent::kMade ? 1 : 0; });
    EXPECT_FALSE(link.open(3));  // no such serial port
    said.clear();
    for (int attempt = 1; attempt <= 2; ++attempt) {  // out of range: said once
        ASSERT_TRUE(link.open(7) && link.beingMade());
        ASSERT_TRUE(QTest::qWaitFor([&] { return made == attempt; }));
        EXPECT_FALSE(link.isOpen());
    }
    EXPECT_EQ(said, (Texts{"COM7 (Nokia, Bluetooth) could not be connected: Host is down"}));
    bluez.setProperty(modem, "Connected", true);  // another program's link
    ASSERT_TRUE(link.open(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return made == 3; }));
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(held, (Texts{"1 00:11:22:33:44:88"}));
    EXPECT_TRUE(link.heldElsewhere(modem) && !link.heldElsewhere(away));
    bluez.setProperty(modem, "Connected", false);  // it let go
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.heldElsewhere(modem); }));

    EXPECT_EQ(said.size(), 1u);
}

}  // namespace
}  // namespace zintor
