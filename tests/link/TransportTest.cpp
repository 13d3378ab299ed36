// Sending AT commands, the connect sequence, closing, and the accessory UI command lines.

#include <gmock/gmock.h>

#include "LinkFixture.h"

namespace zintor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> OpensAndCloses(const SimSerialLink& serial) {
    std::vector<std::string> out;
    for (const std::string& entry : serial.history()) {
        if (entry.starts_with("open") || entry == "close") {
            out.push_back(entry);
        }
    }
    return out;
}

TEST_F(LinkTest, ConnectSequenceLineByLine) {
    state.ComPort = 5;
    phone().on("AT+cgmm").reply("T610");  // the model text is not looked at
    EXPECT_TRUE(link.ConnectPhone());

    // Each command: 20 ms until the phone's OK, 10 ms for the receive handler's batching.
    EXPECT_THAT(PhoneLinesWithTimes(),
                ElementsAre("0 AT", "30 AT+cgmm", "60 at+cscs=\"8859-1\"", "90 AT+CMER=0,0,0,0,0",
                            "120 AT*EAM=\"Zintor\""));
    ASSERT_EQ(procedures.calls.size(), 1u);
    EXPECT_EQ(procedures.calls[0].text, "ShowMainMenu(1)");
    EXPECT_EQ(procedures.calls[0].atMs, 150);
    EXPECT_THAT(world.desktop.calls(), ElementsAre("label Current COM -->5",
                                                   "tip Zintor - Connected", "caption Disconnect"));
    EXPECT_THAT(Log(),
                ElementsAre("OpenComPort-->Connected", "Checking phone type", "Made a connect"));
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(serial().openPort(), 5);
    EXPECT_TRUE(link.TimerRunning(4));  // tray animation
    EXPECT_TRUE(link.TimerRunning(5));  // supervision, from the last Send
    EXPECT_FALSE(link.TimerRunning(0));
}

TEST_F(LinkTest, PhoneThatNeverAnswersAtIsOpenedTwice) {
    phone().setSilent(true);
    EXPECT_FALSE(link.ConnectPhone());

    EXPECT_EQ(now(), 1000);
    EXPECT_THAT(PhoneLinesWithTimes(), ElementsAre("0 AT", "500 AT"));
    EXPECT_THAT(OpensAndCloses(serial()), ElementsAre("open 1", "close", "open 1", "close"));
    EXPECT_THAT(Log(),
                ElementsAre("AT-Command Failed-->", "Failed to open Com  1 at 115200",
                            "AT-Command Failed-->", "Failed to open Com  1 at 115200",
                            "Failed to connect- tried-->2 times", "Failed to make a connect"));
    EXPECT_FALSE(state.Connected);
    EXPECT_THAT(world.desktop.callsStartingWith("tip"), IsEmpty());
}

TEST_F(LinkTest, ErrorToModelQueryIsAnUnsupportedPhone) {
    phone().on("AT+cgmm").error();
    EXPECT_FALSE(link.ConnectPhone());

    EXPECT_THAT(PhoneLinesWithTimes(), ElementsAre("0 AT", "30 AT+cgmm"));
    EXPECT_EQ(now(), 1030);  // ERROR is no answer: the full 1000 ms
    EXPECT_THAT(
        Log(), ElementsAre("OpenComPort-->Connected", "Checking phone type", "AT-Command Failed-->",
                           "Unsupported phone", "Failed to make a connect"));
    EXPECT_FALSE(state.Connected);
    EXPECT_FALSE(serial().isOpen());
}

TEST_F(LinkTest, RefusedCharSetAndKeypadCommandsDoNotStopTheConnection) {
    phone().on("at+cscs=\"8859-1\"").nothing();
    phone().on("AT+CMER=0,0,0,0,0").error();
    EXPECT_TRUE(link.ConnectPhone());
    const auto log = Log();
    // The log shortens "at+cscs" to its tag; "CMER" without "AT+" stays.
    EXPECT_NE(std::find(log.begin(), log.end(), "Failed with >CharSet<"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "Failed to turn off CMER"), log.end());
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(phone().count("AT*EAM=\"Zintor\""), 1u);
}

TEST_F(LinkTest, PortsThatCannotBeOpened) {
    state.ComPort = 20;  // above 16: port 16 is used and ComPort follows
    serial().setBusy(16, true);
    EXPECT_FALSE(link.ConnectPhone());
    EXPECT_EQ(state.ComPort, 16);
    EXPECT_THAT(serial().history(), ElementsAre("open 16 failed"));

    serial().setPresentPorts({1});
    state.ComPort = 2;
    EXPECT_FALSE(link.ConnectPhone());
    EXPECT_THAT(
        Log(),
        ElementsAre("Critical error in OpenComPort", "Have you selected the correct ComPort?",
                    "Failed to make a connect", "Critical error in OpenComPort",
                    "Have you selected the correct ComPort?", "Failed to make a connect"));
    EXPECT_THAT(PhoneTexts(), IsEmpty());
    EXPECT_FALSE(state.Connected);
    EXPECT_EQ(now(), 0);
}

TEST_F(LinkTest, ConnectAndDisconnectWhenAlreadyInThatState) {
    link.DisconnectCOM();
    EXPECT_THAT(serial().history(), IsEmpty());
    EXPECT_THAT(Log(), IsEmpty());

    Connect();
    state.ComPort = 7;
    EXPECT_FALSE(link.ConnectPhone());
    EXPECT_THAT(world.desktop.calls(), ElementsAre("label Current COM -->7"));
    EXPECT_THAT(PhoneTexts(), IsEmpty());

    link.DisconnectCOM();
    EXPECT_THAT(PhoneTexts(), ElementsAre("AT*EAM=\"Zintor\""));
    EXPECT_THAT(Log(), ElementsAre("Closing Port", "Closed ComPort"));
    EXPECT_THAT(world.desktop.calls(),
                ElementsAre("label Current COM -->7", "tip Zintor", "caption Connect"));
    EXPECT_FALSE(state.Connected);
    EXPECT_FALSE(serial().isOpen());
    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_FALSE(link.TimerRunning(slot)) << slot;
    }
}

TEST_F(LinkTest, RefusedOrUnansweredCommandEndsByItsTimeOut) {
    Connect();
    phone().on("AT+FOO").error();
    phone().on("AT+BAR").nothing();
    const auto start = now();
    EXPECT_FALSE(link.Send("AT+FOO\r\n", 700));
    EXPECT_EQ(now() - start, 700);
    EXPECT_FALSE(link.Send("AT+BAR\r\n", 500));
    EXPECT_EQ(now() - start, 1200);
    EXPECT_TRUE(link.Send("AT+BAZ\r\n", 500));
    EXPECT_THAT(Log(), ElementsAre("AT-Command Failed-->", "AT-Command Failed-->"));
    EXPECT_FALSE(link.TimerRunning(0));
}

TEST_F(LinkTest, NestedSendSharesTheAnswerState) {
    Connect();
    // The outer command gets no answer; a menu choice arrives meanwhile and its handler sends a
    // command of its own, whose OK also ends the outer wait.
    phone().on("AT+OUTER").nothing();
    phone().sendAfter(100, "*EAMI: 2\r\n");
    bool innerResult = false;
    procedures.on["SelectMainMenu"] = [&](const std::string&) {
        innerResult = link.Send("AT+INNER\r\n", 500);
    };
    const auto start = now();
    EXPECT_TRUE(link.Send("AT+OUTER\r\n", 2000));
    EXPECT_TRUE(innerResult);
    EXPECT_EQ(now() - start, 140);  // 100 + 10 batching, then 20 + 10 for the inner command
    EXPECT_THAT(PhoneTexts(), ElementsAre("AT+OUTER", "AT+INNER"));
    EXPECT_FALSE(link.TimerRunning(0));
}

TEST_F(LinkTest, SendAndTheSupervisionSlot) {
    EXPECT_FALSE(link.Send("AT\r\n", 500));  // not connected: nothing written, no timer
    EXPECT_THAT(serial().writes(), IsEmpty());
    EXPECT_EQ(world.loop.activeTimerCount(), 0u);

    Connect();
    state.SupervisionPaused = true;
    EXPECT_TRUE(link.Send("AT\r\n", 500));
    EXPECT_FALSE(link.TimerRunning(5));
    state.SupervisionPaused = false;
    EXPECT_TRUE(link.Send("AT\r\n", 500));
    EXPECT_TRUE(link.TimerRunning(5));
}

TEST_F(LinkTest, WaitPumpsUntilItsTimeHasPassed) {
    bool posted = false;
    world.loop.post([&] { posted = true; });
    link.Wait(0.01f);
    EXPECT_EQ(now(), 10);
    EXPECT_TRUE(posted);

    const auto pumps = world.loop.pumpCount();
    const auto steps = world.loop.steps();
    world.loop.post([] {});
    link.Wait(0.0f);
    link.Wait(-1.0f);
    EXPECT_EQ(world.loop.pumpCount(), pumps);
    EXPECT_EQ(world.loop.steps(), steps);
    EXPECT_EQ(now(), 10);
}

TEST_F(LinkTest, AccessoryUiCommandLinesAndTimeOuts) {
    Connect();
    phone().setSilent(true);  // every command ends by its time-out, which shows it
    struct Case {
        std::function<void()> run;
        std::string line;
        int timeOut;
    };
    const std::vector<Case> cases{
        {[&] {
             link.UI_SubMenu("Twenty characters!!", 2, {"Exactly fifteen", "B", ""});
         },
         "AT*EASM=\"Twenty characte\",1,2,3,\"Exactly fifteen\",\"B\",\"\"", 1000},
        {[&] { link.UI_TimedFeedBack("A notice longer than fifteen"); },
         "AT*EAID=13,2,\"A notice longer\"", 500},
        {[&] { link.UI_PopUp("A pop-up text is sent whole, \"quotes\" too", 80); },
         "AT*EAID=1,2,\"A pop-up text is sent whole, \"quotes\" too\",80", 500},
        {[&] { link.RegisterAccessoryMenu(); }, "AT*EAM=\"Zintor\"", 1000},
        {[&] { link.ShowTextInputDialog(); }, "AT*EAID=11,2,\"Enter\",\"->\",100", 500},
        {[&] { link.AT_CMER(true); }, "AT+CMER=3,2,0,0,0", 500},
        {[&] { link.AT_CMER(false); }, "AT+CMER=0,0,0,0,0", 500},
        // UTF-8 text is cut between characters: 15 characters here are 16 bytes.
        {[&] { link.UI_TimedFeedBack("Grüße aus Köln am Rhein"); },
         "AT*EAID=13,2,\"Grüße aus Köln \"", 500},
    };
    for (const Case& c : cases) {
        phone().clearLines();
        const auto start = now();
        c.run();
        EXPECT_THAT(PhoneTexts(), ElementsAre(c.line));
        EXPECT_EQ(now() - start, c.timeOut) << c.line;
    }
    EXPECT_EQ(serial().writes().back().bytes, "AT*EAID=13,2,\"Grüße aus Köln \"\r\n");
}

}  // namespace
}  // namespace zintor
