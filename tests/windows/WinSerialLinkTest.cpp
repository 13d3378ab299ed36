// The serial adapter under wine against the virtual phone on COM9, a pseudo-terminal running
// serial-phone.txt (see wine-run.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/windows/WinSerialLink.h"

namespace zintor {
namespace {

TEST(WinSerialLinkTest, TalksToThePhoneUntilItHangsUp) {
    WinEventLoop loop;
    WinSerialLink link{loop};
    std::vector<SerialEvent> events;
    std::string text;
    link.setListener([&](SerialEvent event) {
        events.push_back(event);
        text += event == SerialEvent::Receive ? link.takeReceived() : "";
    });
    auto count = [&](SerialEvent event) { return std::count(events.begin(), events.end(), event); };
    auto waitFor = [&](const std::function<bool()>& done) {  // up to 5 s
        const auto deadline = loop.now() + 5000;
        const auto guard = loop.startTimer(5000, [] {});
        loop.waitFor([&] { return done() || loop.now() >= deadline; });
        loop.stopTimer(guard);
        return done();
    };
    EXPECT_FALSE(link.open(29));  // no such port
    ASSERT_TRUE(link.open(9));
    EXPECT_FALSE(link.open(9));  // already open

    link.setReceiveArmed(true);
    link.write("AT\r");
    ASSERT_TRUE(waitFor([&] { return text.find("*EAAI\r\n") != std::string::npos; })) << text;
    EXPECT_EQ(text, "\r\nOK\r\n*EAAI\r\n");

    // Disarmed, bytes wait in the link; arming reports them at once.
    link.setReceiveArmed(false);
    text.clear();
    const auto received = count(SerialEvent::Receive);
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
