#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPhone.h"

namespace zintor {
namespace {

using Texts = std::vector<std::string>;

// The PC side of the tests: takes what arrives on each receive event, with the time it ran.
struct Pc {
    explicit Pc(SimPhone& phone) : link(phone.link()) {
        link.setListener([this](SerialEvent event) {
            if (event == SerialEvent::Receive) {
                received.push_back(link.takeReceived());
                times.push_back(loop->now());
            } else {
                events.push_back(SerialEventName(event));
            }
        });
    }
    std::string all() const {
        std::string text;
        for (const std::string& piece : received) {
            text += piece;
        }
        return text;
    }
    SimSerialLink& link;
    SimEventLoop* loop = nullptr;
    std::vector<std::string> received;
    std::vector<std::int64_t> times;
    std::vector<std::string> events;
};

class SimPhoneTest : public ::testing::Test {
  protected:
    SimPhoneTest() {
        pc.loop = &loop;
        EXPECT_TRUE(phone.link().open(3));
        phone.link().setReceiveArmed(true);
    }
    SimEventLoop loop;
    SimPhone phone{loop};
    Pc pc{phone};
};

TEST_F(SimPhoneTest, AnswersOkAfterTheDelayAndRecordsLinesWithTheirTimes) {
    phone.link().write("AT\r\n");
    loop.runFor(100);
    loop.runUntil(200);
    phone.link().write("AT+cgmm\r");
    loop.runFor(100);

    EXPECT_EQ(phone.texts(), (Texts{"AT", "AT+cgmm"}));
    EXPECT_EQ(phone.lines()[0].atMs, 0);
    EXPECT_EQ(phone.lines()[1].atMs, 200);
    EXPECT_EQ(pc.received, (Texts{"\r\nOK\r\n", "\r\nOK\r\n"}));
    EXPECT_EQ(pc.times, (std::vector<std::int64_t>{20, 220}));
}

TEST_F(SimPhoneTest, LinesAreCutAtCrWhateverWayTheBytesArrive) {
    phone.setSilent(true);
    phone.link().write("A");
    phone.link().write("T\r");
    phone.link().write("\nAT+CMER=0,0,0,0,0\r\n\r\nAT*EAM=\"Zintor\"\rAT\n");
    EXPECT_EQ(phone.texts(), (Texts{"AT", "AT+CMER=0,0,0,0,0", "AT*EAM=\"Zintor\"", "AT"}));
    loop.runFor(1000);
    EXPECT_TRUE(pc.received.empty());  // switched off: no answers
}

TEST_F(SimPhoneTest, RulesAnswerErrorNothingOrTextAndTheNewestMatchingRuleWins) {
    phone.on("AT+cgmm").reply("T610").after(300);
    phone.on("AT").nothing().times(2);  // the first two AT go unanswered, then the default
    phone.onPrefix("AT*EASM").error();
    int thenRan = 0;
    phone.on("AT*EAM=\"Zintor\"").then([&] {
        ++thenRan;
        phone.send("*EAAI\r\n");
    });

    for (const char* line :
         {"AT", "AT", "AT", "AT+cgmm", "AT*EASM=\"Zintor\",1,1,1,\"About\"", "AT*EAM=\"Zintor\""}) {
        pc.received.clear();
        pc.times.clear();
        std::int64_t start = loop.now();
        phone.link().write(std::string(line) + "\r\n");
        loop.runFor(1000);
        std::string got = pc.all();
        if (std::string(line) == "AT" && phone.count("AT") <= 2) {
            EXPECT_EQ(got, "") << line;
        } else if (std::string(line) == "AT") {
            EXPECT_EQ(got, "\r\nOK\r\n");
        } else if (std::string(line) == "AT+cgmm") {
            EXPECT_EQ(got, "\r\nT610\r\n\r\nOK\r\n");
            EXPECT_EQ(pc.times.front() - start, 300);
        } else if (std::string(line).rfind("AT*EASM", 0) == 0) {
            EXPECT_EQ(got, "\r\nERROR\r\n");
        } else {
            EXPECT_EQ(got, "\r\nOK\r\n*EAAI\r\n");
        }
    }
    EXPECT_EQ(thenRan, 1);
}

TEST_F(SimPhoneTest, OneReceiveEventPerBurstAndRearmingWithBufferedBytesRaisesOne) {
    phone.send("+CKEV: 5,1\r\n");
    phone.send("+CKEV: 5,0\r\n");  // same burst: the first event is still queued
    loop.pumpOnce();
    EXPECT_EQ(pc.received, (Texts{"+CKEV: 5,1\r\n+CKEV: 5,0\r\n"}));

    phone.link().setReceiveArmed(false);
    phone.pressKey("#");
    loop.runFor(50);
    EXPECT_EQ(pc.received.size(), 1u);  // disarmed: the bytes wait in the buffer
    EXPECT_EQ(phone.link().buffered(), "+CKEV: #,1\r\n");

    phone.link().setReceiveArmed(true);
    loop.pumpOnce();
    ASSERT_EQ(pc.received.size(), 2u);
    EXPECT_EQ(pc.received[1], "+CKEV: #,1\r\n");
}

TEST_F(SimPhoneTest, SplitTextArrivesInPiecesAtTheGivenGaps) {
    phone.sendSplit("*EAMI: 3\r\n", {4}, 15);
    loop.runFor(100);
    EXPECT_EQ(pc.received, (Texts{"*EAM", "I: 3\r\n"}));
    EXPECT_EQ(pc.times, (std::vector<std::int64_t>{0, 15}));
}

TEST_F(SimPhoneTest, BreakRingAndHangUpReachTheListenerAndHangUpClosesThePort) {
    phone.sendBreak();
    phone.ring();
    loop.pumpOnce();
    EXPECT_EQ(pc.events, (Texts{"Break", "Ring"}));
    EXPECT_TRUE(phone.link().isOpen());

    phone.send("OK");
    phone.hangUp();
    EXPECT_FALSE(phone.link().isOpen());
    loop.pumpOnce();
    EXPECT_EQ(pc.events, (Texts{"Break", "Ring", "HangUp"}));
    EXPECT_TRUE(pc.received.empty());  // nothing is received on a closed port

    phone.ring();  // a closed port hears nothing
    loop.pumpOnce();
    EXPECT_EQ(pc.events.size(), 3u);
}

TEST(SimSerialLink, MissingBusyAndWrongPortsAreTheUsualFailures) {
    SimEventLoop loop;
    SimPhone phone(loop);
    SimSerialLink& link = phone.link();
    link.setPresentPorts({3, 5});
    link.setBusy(3, true);
    link.setPhonePort(5);

    EXPECT_FALSE(link.open(4));
    EXPECT_FALSE(link.open(3));
    link.setBusy(3, false);
    ASSERT_TRUE(link.open(3));
    EXPECT_FALSE(link.open(5));  // already open
    link.write("AT\r\n");        // a cable to nothing
    loop.runFor(100);
    EXPECT_TRUE(phone.lines().empty());
    EXPECT_TRUE(link.buffered().empty());

    link.close();
    ASSERT_TRUE(link.open(5));
    link.write("AT\r\n");
    loop.runFor(100);
    EXPECT_EQ(phone.texts(), (Texts{"AT"}));
    EXPECT_EQ(link.takeReceived(), "\r\nOK\r\n");
    EXPECT_EQ(link.history(), (Texts{"open 4 failed", "open 3 failed", "open 3", "open 5 failed",
                                     "close", "open 5"}));
}

}  // namespace
}  // namespace zintor
