#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPhone.h"

namespace zintor {
namespace {

using Texts = std::vector<std::string>;

// A phone on port 3 with the PC side listening: each receive event's bytes prefixed with the time
// it ran ("20 \r\nOK\r\n"), and the other events by name.
class SimPhoneTest : public ::testing::Test {
  protected:
    SimPhoneTest() {
        EXPECT_TRUE(phone.link().open(3));
        phone.link().setReceiveArmed(true);
        phone.link().setListener([this](SerialEvent event) {
            if (event == SerialEvent::Receive) {
                received.push_back(std::to_string(loop.now()) + " " + phone.link().takeReceived());
            } else {
                events.push_back(SerialEventName(event));
            }
        });
    }
    SimEventLoop loop;
    SimPhone phone{loop};
    Texts received, events;
};

TEST_F(SimPhoneTest, AnswersOkAfterTheDelayAndCutsLinesAtCr) {
    phone.link().write("A");
    phone.link().write("T\r");
    loop.runUntil(200);
    phone.link().write("\n\r\nAT+cgmm\rAT*EAM=\"Zintor\"\n");  // LF after CR, empty line
    loop.runFor(100);
    EXPECT_EQ(phone.texts(), (Texts{"AT", "AT+cgmm", "AT*EAM=\"Zintor\""}));
    EXPECT_EQ(phone.lines()[1].atMs, 200);
    EXPECT_EQ(received, (Texts{"20 \r\nOK\r\n", "220 \r\nOK\r\n", "220 \r\nOK\r\n"}));

    received.clear();
    phone.setSilent(true);  // switched off: no answers
    phone.link().write("AT\r\n");
    loop.runFor(1000);
    EXPECT_EQ(phone.count("AT"), 2u);
    EXPECT_TRUE(received.empty());
}

TEST_F(SimPhoneTest, RulesAnswerErrorNothingOrTextAndTheNewestMatchingRuleWins) {
    phone.on("AT+cgmm").reply("T610").after(300);
    phone.on("AT").nothing().times(2);  // the first two AT go unanswered, then the default
    phone.onPrefix("AT*EASM").error();
    phone.on("AT*EAM=\"Zintor\"").then([&] { phone.send("*EAAI\r\n"); });
    phone.on("AT+X").error();
    phone.on("AT+X").ok();

    for (const char* line :
         {"AT", "AT", "AT", "AT+cgmm", "AT*EASM=\"Zintor\",1,1", "AT*EAM=\"Zintor\"", "AT+X"}) {
        phone.link().write(std::string(line) + "\r\n");
        loop.runFor(1000);
    }
    EXPECT_EQ(received,
              (Texts{"2020 \r\nOK\r\n", "3300 \r\nT610\r\n\r\nOK\r\n", "4020 \r\nERROR\r\n",
                     "5020 \r\nOK\r\n*EAAI\r\n", "6020 \r\nOK\r\n"}));
}

TEST_F(SimPhoneTest, OneReceiveEventPerBurstRearmingAndSplitText) {
    phone.send("+CKEV: 5,1\r\n");
    phone.send("+CKEV: 5,0\r\n");  // same burst: the first event is still queued
    loop.pumpOnce();
    EXPECT_EQ(received, (Texts{"0 +CKEV: 5,1\r\n+CKEV: 5,0\r\n"}));

    phone.link().setReceiveArmed(false);
    phone.pressKey("#");
    loop.runFor(50);
    EXPECT_EQ(received.size(), 1u);      // disarmed: the bytes wait in the buffer
    phone.link().setReceiveArmed(true);  // rearming with buffered bytes raises an event
    loop.pumpOnce();
    EXPECT_EQ(received.back(), "50 +CKEV: #,1\r\n");

    received.clear();
    phone.sendSplit("*EAMI: 3\r\n", {4}, 15);
    loop.runFor(100);
    EXPECT_EQ(received, (Texts{"50 *EAM", "65 I: 3\r\n"}));
}

TEST_F(SimPhoneTest, BreakRingAndHangUpReachTheListenerAndHangUpClosesThePort) {
    phone.sendBreak();
    phone.ring();
    phone.send("OK");
    phone.hangUp();
    EXPECT_FALSE(phone.link().isOpen());
    loop.pumpOnce();
    EXPECT_EQ(events, (Texts{"Break", "Ring", "HangUp"}));
    EXPECT_TRUE(received.empty());  // nothing is received on a closed port

    phone.ring();  // a closed port hears nothing
    loop.pumpOnce();
    EXPECT_EQ(events.size(), 3u);
}

}  // namespace
}  // namespace zintor
