// Timer slots, connection supervision, automatic connection and the tray's link items.

#include "LinkFixture.h"

namespace zintor {
namespace {

using ::testing::Contains;

TEST_F(LinkTest, MediaPlayerScreensAreRefreshedWithReceiveEventsOff) {
    // Slots 2 and 3, every 4 and 8 seconds.
    Lines seen;
    auto note = [&](S line) {
        seen.push_back(std::to_string(now()) + " " + line +
                       (serial().receiveArmed() ? " armed" : " disarmed"));
    };
    procedures.on["WinAMP_Menu_Selected"] = note;
    procedures.on["WinAMP_Status_Menu_Selected"] = note;
    link.ResetTimer(2, 0);
    link.ResetTimer(3, 0);
    world.loop.runFor(8100);
    link.DisableTimer(2);
    link.DisableTimer(3);
    EXPECT_THAT(seen, ElementsAre("4000 *EAMI: 5 disarmed", "8000 *EAMI: 20 disarmed",
                                  "8000 *EAMI: 5 disarmed"));
    EXPECT_TRUE(serial().receiveArmed());

    // Indices outside 0..5 do nothing.
    const auto timers = world.loop.activeTimerCount();
    link.ResetTimer(7, 100);
    link.ResetTimer(-1, 100);
    EXPECT_EQ(world.loop.activeTimerCount(), timers);
}

TEST_F(LinkTest, SupervisionProbesAQuietPhoneEveryFiveSeconds) {
    Connect();
    world.loop.runFor(16000);
    // The last command ended at 150; each probe takes 30 ms.
    EXPECT_THAT(PhoneLinesWithTimes(), ElementsAre("5150 AT", "10180 AT", "15210 AT"));
    const Lines log = Log();
    EXPECT_EQ(log.size(), 9u);  // three times:
    EXPECT_THAT(Lines(log.begin(), log.begin() + 3),
                ElementsAre("############Connection testing############", "Portopen-->True",
                            "Response from phone -> reset timer"));

    // Traffic keeps restarting the slot, so a busy phone is never probed.
    phone().clearLines();
    for (int i = 0; i < 10; ++i) {
        world.loop.runFor(4000);
        EXPECT_TRUE(link.Send("AT+BUSY\r\n", 500));
    }
    EXPECT_EQ(phone().count("AT"), 0u);
}

TEST_F(LinkTest, PhoneSwitchedOffIsTriedElevenTimesOneSecondApart) {
    Connect();
    phone().setSilent(true);
    world.loop.runFor(60000);

    const auto log = Log();
    EXPECT_THAT(Matching(log, "Response from phone"),
                ElementsAre("Response from phone -> NONE", "Response from phone -> NONE"));
    EXPECT_THAT(log, Contains("Closed ComPort"));
    // Two probes from 5150, then each try opens the port twice (2 x 500 ms) and waits 1 s.
    Lines tries;
    Lines expected{"5150 AT", "5650 AT"};
    for (int attempt = 0; attempt < 11; ++attempt) {
        tries.push_back("Connection try-->" + std::to_string(attempt));
        expected.push_back(std::to_string(6150 + attempt * 2000) + " AT");
        expected.push_back(std::to_string(6650 + attempt * 2000) + " AT");
    }
    EXPECT_EQ(Matching(log, "Connection try-->"), tries);
    EXPECT_EQ(PhoneLinesWithTimes(), expected);
    EXPECT_FALSE(state.Connected);
    EXPECT_FALSE(state.SupervisionPaused);
    EXPECT_FALSE(AnyTimerRunning());
    // The tray still shows the old state: the supervision leaves tip and caption alone.
    EXPECT_EQ(world.desktop.tip(), "Zintor - Connected");
}

TEST_F(LinkTest, PhoneComingBackOnTheFourthTry) {
    Connect();
    phone().setSilent(true);
    // Try 3 starts at 12150 and fails at 13150; the phone is back during the wait after it.
    world.loop.schedule(13500, [&] { phone().setSilent(false); });
    world.loop.runFor(17000);

    const auto log = Log();
    EXPECT_EQ(Matching(log, "Connection try-->").back(), "Connection try-->4");
    EXPECT_EQ(log.back(), "Make a Connect with Auto");
    EXPECT_TRUE(state.Connected);
    EXPECT_THAT(PhoneLinesWithTimes(), Contains("14180 AT+cgmm"));
    EXPECT_EQ(phone().count("AT+cgmm"), 1u);
    EXPECT_THAT(procedures.calls, ElementsAre("ShowMainMenu(1)"));
    EXPECT_TRUE(link.TimerRunning(5));
    EXPECT_FALSE(state.SupervisionPaused);
}

class AutoConnectTest : public LinkTest {
  protected:
    AutoConnectTest() {
        world.registry.add("\\Device\\Serial0", "COM1");
        world.registry.add("\\Device\\BtPort3", "COM3");
        world.registry.add("\\Device\\Serial4", "COM5");
    }
};

TEST_F(AutoConnectTest, ListedPortsAreTriedFromTheLowestWhenComPortIsZero) {
    state.ComPort = 0;
    serial().setBusy(1, true);
    serial().setPhonePort(3);
    link.AutoConnectPhone();

    EXPECT_THAT(Matching(serial().history(), "open"), ElementsAre("open 1 failed", "open 3"));
    EXPECT_EQ(state.ComPort, 3);
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(Log().back(), "Make a Connect with Auto");
    EXPECT_THAT(world.desktop.callsStartingWith("ports"),
                ElementsAre("ports Serial Com1, Bluetooth Com3, Serial Com5",
                            "ports Serial Com1, Bluetooth Com3 *, Serial Com5"));
    // Slot 5 is not started by the automatic connection; the next command starts it.
    EXPECT_FALSE(link.TimerRunning(5));
    EXPECT_TRUE(link.Send("AT\r\n", 500));
    EXPECT_TRUE(link.TimerRunning(5));

    // A listed port above 16 is tried as 16.
    link.DisconnectCOM();
    world.registry.setPorts({{"\\Device\\Serial16", "COM17"}});
    state.ComPort = 0;
    serial().setPhonePort(16);
    link.AutoConnectPhone();
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(state.ComPort, 16);
}

TEST_F(AutoConnectTest, ConfiguredPortFirstThenTheListAndNothingFound) {
    state.ComPort = 5;
    serial().setPhonePort(9);  // nowhere in the list
    link.AutoConnectPhone();
    EXPECT_THAT(Matching(serial().history(), "open"),
                ElementsAre("open 5", "open 5", "open 1", "open 1", "open 3", "open 3", "open 5",
                            "open 5"));
    EXPECT_EQ(now(), 4000);
    EXPECT_FALSE(state.Connected);
    EXPECT_EQ(state.ComPort, 5);
    EXPECT_FALSE(state.SupervisionPaused);
    EXPECT_THAT(world.desktop.callsStartingWith("tip"), IsEmpty());
}

TEST_F(AutoConnectTest, TrayItems) {
    state.ComPort = 3;
    link.ConnectClicked();
    EXPECT_TRUE(state.Connected);

    // AutoConnect switched on while connected: only the port menu is rebuilt.
    state.AutoConnect = 0;
    const int lists = world.registry.listCalls();
    const int opens = serial().openCount();
    link.AutoConnectClicked();
    EXPECT_EQ(state.AutoConnect, 1);
    EXPECT_TRUE(world.desktop.autoConnectChecked());
    EXPECT_EQ(world.registry.listCalls(), lists + 1);
    EXPECT_EQ(serial().openCount(), opens);
    link.AutoConnectClicked();
    EXPECT_EQ(state.AutoConnect, 0);
    EXPECT_FALSE(world.desktop.autoConnectChecked());

    link.ConnectClicked();
    EXPECT_FALSE(state.Connected);
    EXPECT_EQ(world.desktop.connectCaption(), "Connect");

    // Switched on while not connected: connects automatically.
    link.AutoConnectClicked();
    EXPECT_TRUE(state.Connected);
}

}  // namespace
}  // namespace zintor
