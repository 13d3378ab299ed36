// The serial adapter under wine against the virtual phone on a pseudo-terminal (COM port given as
// the first argument; see wine-serial.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/windows/WinSerialLink.h"

namespace zintor {
namespace {

int comPort = 9;

class WinSerialLinkTest : public ::testing::Test {
  protected:
    WinSerialLinkTest() {
        link.setListener([this](SerialEvent event) {
            events.push_back(event);
            if (event == SerialEvent::Receive) {
                text += link.takeReceived();
            }
        });
    }
    // Handles events until `done` or 5 s; false on time-out.
    bool waitFor(const std::function<bool()>& done) {
        const auto deadline = loop.now() + 5000;
        const auto guard = loop.startTimer(5000, [] {});
        loop.waitFor([&] { return done() || loop.now() >= deadline; });
        loop.stopTimer(guard);
        return done();
    }
    int count(SerialEvent event) const {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }

    WinEventLoop loop;
    WinSerialLink link{loop};
    std::vector<SerialEvent> events;
    std::string text;
};

TEST_F(WinSerialLinkTest, TalksToThePhoneUntilItHangsUp) {
    EXPECT_FALSE(link.open(comPort + 20));  // no such port
    ASSERT_TRUE(link.open(comPort));
    EXPECT_FALSE(link.open(comPort));  // already open

    link.setReceiveArmed(true);
    link.write("AT\r");
    ASSERT_TRUE(waitFor([&] { return text.find("*EAAI\r\n") != std::string::npos; })) << text;
    EXPECT_EQ(text, "\r\nOK\r\n*EAAI\r\n");

    // Disarmed, bytes wait in the link; arming reports them at once.
    link.setReceiveArmed(false);
    text.clear();
    const int received = count(SerialEvent::Receive);
    link.write("AT+CMER=0,0,0,0,0\r");
    const auto sleeps = loop.sleeps();
    loop.waitUntil(loop.now() + 500);
    EXPECT_EQ(count(SerialEvent::Receive), received);
    // One wake-up per byte of the reply at most (18 bytes): a loop that spun would count thousands.
    EXPECT_LE(loop.sleeps() - sleeps, 40u);
    link.setReceiveArmed(true);
    ASSERT_TRUE(waitFor([&] { return text.find("+CKEV: 5,1\r\n") != std::string::npos; }));
    EXPECT_EQ(text, "\r\nOK\r\n+CKEV: 5,1\r\n");

    link.write("AT*EAM=\"Zintor\"\r");
    ASSERT_TRUE(waitFor([&] { return count(SerialEvent::HangUp) == 1; }));
    EXPECT_FALSE(link.isOpen());
    loop.waitUntil(loop.now() + 200);
    EXPECT_EQ(count(SerialEvent::HangUp), 1);
}

}  // namespace
}  // namespace zintor

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) {
        zintor::comPort = std::atoi(argv[1]);
    }
    return RUN_ALL_TESTS();
}
