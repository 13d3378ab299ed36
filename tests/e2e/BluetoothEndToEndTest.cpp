// The zintor executable with a Bluetooth phone reached through a STAND-IN for BlueZ on a private
// bus (as the system bus: DBUS_SYSTEM_BUS_ADDRESS); the virtual phone is on the stand-in's socket.
#include <gtest/gtest.h>
#include <signal.h>

#include "BluezStandIn.h"
#include "NeedsComponent.h"
#include "PrivateSessionBus.h"
#include "QtTestSupport.h"
#include "ZintorProcess.h"

namespace zintor {
namespace {

using namespace std::chrono_literals;

TEST(ZintorBluetooth, ThePhonePairedWhileItRunsIsServedAndFoundAgainAfterEachEndOfTheLink) {
    ZINTOR_SKIP_UNLESS(testing::PrivateSessionBus::installed(), "dbus-daemon is not installed");
    testing::PrivateSessionBus bus;
    ASSERT_TRUE(bus.start());
    test::BluezStandIn bluez(bus.address());
    ASSERT_TRUE(bluez.ok);
    test::ZintorProcess zintor;
    zintor.pin(1, "/dev/null");  // not this machine's first UART
    // The phone's number is remembered from an earlier run, by its address.
    zintor.writeSettings("Com=7\nAuto=1\nLog=1\nPortNumbers=bluetooth 00:11:22:33:44:55=7\n");
    ASSERT_TRUE(zintor.start({{"DBUS_SYSTEM_BUS_ADDRESS", bus.address()}}));
    QTest::qWait(1000);
    const QString phone = bluez.addDevice("00:11:22:33:44:55", "Nokia 6310i", true,
                                          {"00001101-0000-1000-8000-00805f9b34fb"}, "phone", true);

    // The phone's last line from the program, once there are `count` phones (connections).
    const auto last = [&](std::size_t count, const std::string& start) {
        return QTest::qWaitFor(
            [&] {
                const auto texts = bluez.phones.size() == count ? bluez.phones.back()->texts()
                                                                : std::vector<std::string>{};
                return !texts.empty() && texts.back().rfind(start, 0) == 0;
            },
            30000);
    };
    const std::string mainMenu = "AT*EASM=\"Zintor\",1,1,";
    ASSERT_TRUE(last(1, mainMenu)) << zintor.errorOutput();
    bluez.phones[0]->send("*EAMI: 1\r\n");  // Move Mouse, then the key that changes the key map
    ASSERT_TRUE(last(1, "AT+CMER=3,2,0,0,0"));
    bluez.phones[0]->send("+CKEV: #,1\r\n");
    ASSERT_TRUE(last(1, "AT*EAID=13,2,\""));

    bluez.requestDisconnection(phone);  // BlueZ ends it: a hang-up; the supervision reconnects
    ASSERT_TRUE(QTest::qWaitFor([&] { return bluez.phones[0]->hungUp(); }));
    ASSERT_TRUE(last(2, mainMenu)) << zintor.errorOutput();
    bluez.phones[1]->hangUp();  // the socket closes (out of range)
    ASSERT_TRUE(last(3, mainMenu)) << zintor.errorOutput();

    zintor.signal(SIGTERM);
    EXPECT_EQ(zintor.waitForExit(20s), 0) << zintor.errorOutput();
    EXPECT_EQ(zintor.errorOutput().find("BlueZ"), std::string::npos) << zintor.errorOutput();
    EXPECT_NE(zintor.logText().find("Connection try-->0"), std::string::npos);
}

}  // namespace
}  // namespace zintor
