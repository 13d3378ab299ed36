// Sending AT commands, the connect sequence, closing, and the accessory UI command lines.

#include "LinkFixture.h"
#include "link/Charsets.h"
#include "link/PhoneText.h"

namespace zintor {
namespace {

using ::testing::IsSupersetOf;

TEST_F(LinkTest, ConnectSequenceLineByLine) {
    state.ComPort = 5;
    phone().on("AT+cgmm").reply("T610");  // the model text is not looked at
    EXPECT_TRUE(link.ConnectPhone());

    // Each command: 20 ms until the phone's OK, 10 ms for the receive handler's batching.
    EXPECT_THAT(PhoneLinesWithTimes(),
                ElementsAre("0 AT", "30 AT+cgmm", "60 at+cscs=\"8859-1\"", "90 AT+CMER=0,0,0,0,0",
                            "120 AT*EAM=\"Zintor\""));
    EXPECT_THAT(procedures.calls, ElementsAre("ShowMainMenu(1)"));
    EXPECT_THAT(procedures.times, ElementsAre(150));
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
    // A second open of a port still open would fail: it was closed in between.
    EXPECT_THAT(Matching(serial().history(), "open"), ElementsAre("open 1", "open 1"));
    EXPECT_FALSE(serial().isOpen());
    EXPECT_THAT(Log(),
                ElementsAre("AT-Command Failed-->", "Failed to open Com  1 at 115200",
                            "AT-Command Failed-->", "Failed to open Com  1 at 115200",
                            "Failed to connect- tried-->2 times", "Failed to make a connect"));
    EXPECT_FALSE(state.Connected);
    EXPECT_THAT(world.desktop.callsStartingWith("tip"), IsEmpty());
}

TEST_F(LinkTest, RefusalsWhileConnecting) {
    phone().on("AT+cgmm").error();  // an unsupported phone
    EXPECT_FALSE(link.ConnectPhone());
    EXPECT_THAT(PhoneLinesWithTimes(), ElementsAre("0 AT", "30 AT+cgmm"));
    EXPECT_EQ(now(), 1030);  // ERROR is no answer: the full 1000 ms
    EXPECT_THAT(
        Log(), ElementsAre("OpenComPort-->Connected", "Checking phone type", "AT-Command Failed-->",
                           "Unsupported phone", "Failed to make a connect"));
    EXPECT_FALSE(serial().isOpen());

    // Refused character set and keypad commands do not stop the connection. The log shortens
    // "at+cscs" to its tag; "CMER" without "AT+" stays.
    phone().on("AT+cgmm").reply("T610");
    phone().on("at+cscs=\"8859-1\"").nothing();
    phone().on("AT+CMER=0,0,0,0,0").error();
    EXPECT_TRUE(link.ConnectPhone());
    EXPECT_THAT(Log(), IsSupersetOf({"Failed with >CharSet<", "Failed to turn off CMER"}));
    EXPECT_TRUE(state.Connected);
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
    EXPECT_EQ(Matching(Log(), "Critical error in OpenComPort").size(), 2u);
    EXPECT_EQ(Log().back(), "Failed to make a connect");
    EXPECT_EQ(now(), 0);  // nothing was sent or waited for
}

TEST_F(LinkTest, ConnectAndDisconnectWhenAlreadyInThatState) {
    link.DisconnectCOM();  // nothing to close
    EXPECT_THAT(serial().history(), IsEmpty());
    EXPECT_THAT(Log(), IsEmpty());

    Connect();
    state.ComPort = 7;
    EXPECT_FALSE(link.ConnectPhone());  // only the label follows the new port
    EXPECT_THAT(PhoneTexts(), IsEmpty());
    EXPECT_THAT(world.desktop.calls(), ElementsAre("label Current COM -->7"));
    EXPECT_EQ(serial().openPort(), 1);
}

TEST_F(LinkTest, RefusedOrUnansweredCommandEndsByItsTimeOutAndSendRestartsSupervision) {
    EXPECT_FALSE(link.Send("AT\r\n", 500));  // not connected: nothing written, no timer
    EXPECT_THAT(serial().writes(), IsEmpty());
    EXPECT_EQ(world.loop.activeTimerCount(), 0u);

    Connect();
    phone().on("AT+FOO").error();
    phone().on("AT+BAR").nothing();
    const auto start = now();
    EXPECT_FALSE(link.Send("AT+FOO\r\n", 700));
    EXPECT_EQ(now() - start, 700);
    EXPECT_FALSE(link.Send("AT+BAR\r\n", 500));
    EXPECT_EQ(now() - start, 1200);
    EXPECT_THAT(Log(), ElementsAre("AT-Command Failed-->", "AT-Command Failed-->"));
    EXPECT_FALSE(link.TimerRunning(0));

    link.DisableTimer(5);
    state.SupervisionPaused = true;
    EXPECT_TRUE(link.Send("AT\r\n", 500));
    EXPECT_FALSE(link.TimerRunning(5));
    state.SupervisionPaused = false;
    EXPECT_TRUE(link.Send("AT\r\n", 500));
    EXPECT_TRUE(link.TimerRunning(5));
}

TEST_F(LinkTest, NestedSendSharesTheAnswerState) {
    Connect();
    // The outer command gets no answer; a menu choice arrives meanwhile and its handler sends a
    // command of its own, whose OK also ends the outer wait.
    phone().on("AT+OUTER").nothing();
    phone().sendAfter(100, "*EAMI: 2\r\n");
    bool innerResult = false;
    procedures.on["SelectMainMenu"] = [&](S) { innerResult = link.Send("AT+INNER\r\n", 500); };
    const auto start = now();
    EXPECT_TRUE(link.Send("AT+OUTER\r\n", 2000));
    EXPECT_TRUE(innerResult);
    EXPECT_EQ(now() - start, 140);  // 100 + 10 batching, then 20 + 10 for the inner command
    EXPECT_THAT(PhoneTexts(), ElementsAre("AT+OUTER", "AT+INNER"));
    EXPECT_FALSE(link.TimerRunning(0));
}

TEST_F(LinkTest, AccessoryUiCommandLinesAndTimeOuts) {
    Connect();
    phone().setSilent(true);  // every command ends by its time-out, which shows it
    auto sent = [&](const std::function<void()>& run) {
        phone().clearLines();
        const auto start = now();
        run();
        EXPECT_EQ(PhoneTexts().size(), 1u);
        return std::to_string(now() - start) + " " + PhoneTexts().back();
    };
    // Titles and items are cut to 15 characters, pop-up texts are sent whole.
    EXPECT_EQ(sent([&] {
                  link.UI_SubMenu("Twenty characters!!", 2, {"Exactly fifteen", "B"});
              }),
              "1000 AT*EASM=\"Twenty characte\",1,2,2,\"Exactly fifteen\",\"B\"");
    EXPECT_EQ(sent([&] { link.UI_PopUp("A pop-up text is sent whole, \"quotes\" too", 80); }),
              "500 AT*EAID=1,2,\"A pop-up text is sent whole, 'quotes' too\",80");
    // The phone gets ISO 8859-1, cut after 15 of its characters.
    EXPECT_EQ(sent([&] { link.UI_TimedFeedBack("Grüße aus Köln am Rhein"); }),
              "500 AT*EAID=13,2,\"Gr\xFC\xDF"
              "e aus K\xF6ln \"");
}

TEST(PhoneLine, EveryLineIsOneCommandOfIsoLatin1WithBalancedQuotes) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"AT*EAM=\"Zintor\"\r\n", "AT*EAM=\"Zintor\"\r\n"},
        {"AT", "AT\r\n"},  // the line end is added where it is missing, and never doubled
        {"AT\r\n\r\n", "AT\r\n"},
        {"AT*EAID=1,2,\"Caf\xC3\xA9 \xE2\x82\xAC"
         "5\",80",
         "AT*EAID=1,2,\"Caf\xE9 ?5\",80\r\n"},
        {"AT*EASM=\"a\r\nATD5551234;\tb\x7F\xC2\x85\"", "AT*EASM=\"a  ATD5551234; b  \"\r\n"},
        {"AT*EASM=\"say \"hi\"\",1,\"x\"", "AT*EASM=\"say 'hi'\",1,\"x\"\r\n"},
        {"AT*EAID=1,2,\"open", "AT*EAID=1,2,\"open\"\r\n"},
        {"AT*EAID=1,2,\"Ma\xEFs\"", "AT*EAID=1,2,\"Ma\xEFs\"\r\n"},  // not UTF-8: as it is
    };
    for (const auto& [line, bytes] : cases) {
        EXPECT_EQ(ToPhoneLine(line), bytes) << line;
    }
    EXPECT_EQ(FirstCharacters("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC", 4), "\xC3\xA9t\xC3\xA9 ");
    EXPECT_EQ(Latin1ToUtf8("Caf\xE9"), "Caf\xC3\xA9");
    EXPECT_EQ(Windows1252ToUtf8("\x80 Caf\xE9 \x81"), "\xE2\x82\xAC Caf\xC3\xA9 \xC2\x81");
    EXPECT_TRUE(IsValidUtf8("Caf\xC3\xA9 \xF0\x9F\x98\x80"));
    for (const char* broken :
         {"Caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"}) {
        EXPECT_FALSE(IsValidUtf8(broken)) << broken;
    }
}

}  // namespace
}  // namespace zintor
