// The serial adapter against a pseudo-terminal, with a phone on the master side.
#include "qt/QtSerialLink.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PtyPhone.h"
#include "QtTestSupport.h"
#include "qt/QtEventLoop.h"

namespace zintor {
namespace {

using phone::PtyPhone;
using namespace std::chrono_literals;

class QtSerialLinkTest : public testing::Test {
  protected:
    QtSerialLinkTest()
        : link([this](int port) -> std::optional<std::string> {
              if (port == 5) {
                  return phone.slavePath();
              }
              if (port == 6) {
                  return std::string("/dev/zintor-no-such-device");
              }
              return std::nullopt;
          }) {
        link.setListener([this](SerialEvent event) {
            events.push_back(event);
            if (onEvent) {
                onEvent(event);
            }
        });
    }

    int count(SerialEvent kind) const {
        int n = 0;
        for (SerialEvent e : events) {
            n += e == kind ? 1 : 0;
        }
        return n;
    }

    // Handles events until `done` or until two seconds have passed.
    bool waitFor(const std::function<bool()>& done) {
        const std::int64_t deadline = loop.now() + 2000;
        bool timedOut = false;
        const EventLoop::TimerId guard = loop.startTimer(2000, [&] { timedOut = true; });
        loop.waitFor([&] { return done() || timedOut || loop.now() >= deadline; });
        loop.stopTimer(guard);
        return done();
    }

    // Everything received until `text` has arrived.
    std::string receiveUntil(const std::string& text) {
        std::string got;
        waitFor([&] {
            got += link.takeReceived();
            return got.find(text) != std::string::npos;
        });
        return got;
    }

    QtEventLoop loop;
    PtyPhone phone;
    QtSerialLink link;
    std::vector<SerialEvent> events;
    std::function<void(SerialEvent)> onEvent;
};

TEST_F(QtSerialLinkTest, OpensOnlyWhatTheNumberResolvesTo) {
    ASSERT_TRUE(phone.ok()) << phone.error();
    EXPECT_FALSE(link.open(3));  // no device has this number
    EXPECT_FALSE(link.open(6));  // a device path that does not exist
    EXPECT_FALSE(link.isOpen());
    ASSERT_TRUE(link.open(5));  // the pty, although it has no modem lines for RTS and DTR
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.devicePath(), phone.slavePath());
    EXPECT_FALSE(link.open(5));  // already open
    link.close();
    EXPECT_FALSE(link.isOpen());
    link.write("AT\r\n");  // closed: nothing happens
    EXPECT_EQ(link.takeReceived(), "");
    ASSERT_TRUE(link.open(5));  // and again after closing
}

TEST_F(QtSerialLinkTest, CarriesEveryByteBothWays) {
    ASSERT_TRUE(link.open(5));
    link.write("AT+cgmm\r\n");
    EXPECT_GE(phone.waitForLine("AT+cgmm", 0, 2s), 0);
    // The model line and OK, as the phone sends them.
    EXPECT_EQ(receiveUntil("OK\r\n"), std::string("\r\n") + PtyPhone::kModel + "\r\n\r\nOK\r\n");

    // NUL bytes and 8-bit text are kept; a burst larger than the read buffer arrives whole.
    const std::string odd("A\0B\xe9\xff\r\n", 7);
    std::string burst;
    for (int i = 0; i < 400; ++i) {
        burst += "*EAMI: " + std::to_string(i) + "\r\n";
    }
    burst += "END\r\n";
    ASSERT_GT(burst.size(), 3000u);
    phone.send(odd + burst);
    EXPECT_EQ(receiveUntil("END\r\n"), odd + burst);
}

TEST_F(QtSerialLinkTest, ReceiveEventsArePostedOnlyWhileArmed) {
    ASSERT_TRUE(link.open(5));
    phone.send("\r\nOK\r\n");
    // Not armed: the bytes wait in the buffer, no event.
    loop.waitUntil(loop.now() + 100);
    EXPECT_EQ(count(SerialEvent::Receive), 0);

    // Arming with bytes already buffered raises an event, posted to the loop (not called from
    // inside setReceiveArmed).
    link.setReceiveArmed(true);
    EXPECT_EQ(count(SerialEvent::Receive), 0);
    ASSERT_TRUE(waitFor([&] { return count(SerialEvent::Receive) == 1; }));
    EXPECT_EQ(link.takeReceived(), "\r\nOK\r\n");

    // Armed: new bytes raise an event. Many bytes arriving before it runs raise one event.
    phone.send("*EAAI\r\n");
    ASSERT_TRUE(waitFor([&] { return count(SerialEvent::Receive) == 2; }));
    EXPECT_EQ(link.takeReceived(), "*EAAI\r\n");

    // Disarmed with an event pending: the event is dropped, the bytes stay.
    phone.send("RING\r\n");
    link.setReceiveArmed(false);
    loop.waitUntil(loop.now() + 100);
    EXPECT_EQ(count(SerialEvent::Receive), 2);
    EXPECT_EQ(link.takeReceived(), "RING\r\n");
}

TEST_F(QtSerialLinkTest, AReceiveArrivesNestedWhileAHandlerWaits) {
    ASSERT_TRUE(link.open(5));
    link.setReceiveArmed(true);
    // The first event's handler re-arms and then waits for the next line, as a key press
    // handler waits for the release: that line must come in a nested receive event.
    std::vector<std::string> handled;
    int depth = 0;
    int deepest = 0;
    onEvent = [&](SerialEvent event) {
        if (event != SerialEvent::Receive) {
            return;
        }
        ++depth;
        deepest = std::max(deepest, depth);
        link.setReceiveArmed(false);
        loop.waitUntil(loop.now() + 10);  // the rest of the burst
        const std::string text = link.takeReceived();
        handled.push_back(text);
        link.setReceiveArmed(true);
        if (text == "+CKEV: 5,1\r\n") {
            phone.send("+CKEV: 5,0\r\n");
            waitFor([&] { return handled.size() == 2; });
        }
        --depth;
    };
    phone.send("+CKEV: 5,1\r\n");
    ASSERT_TRUE(waitFor([&] { return handled.size() == 2 && depth == 0; }));
    EXPECT_EQ(handled, (std::vector<std::string>{"+CKEV: 5,1\r\n", "+CKEV: 5,0\r\n"}));
    EXPECT_EQ(deepest, 2);
}

TEST_F(QtSerialLinkTest, AHangUpClosesThePortAndIsReportedOnceThenAllIsQuiet) {
    ASSERT_TRUE(link.open(5));
    link.setReceiveArmed(true);
    phone.hangUp();
    ASSERT_TRUE(waitFor([&] { return count(SerialEvent::HangUp) == 1; }));
    EXPECT_FALSE(link.isOpen());

    // Afterwards the program sleeps: no further events, no error loop waking the dispatcher.
    test::WakeCounter counter;
    loop.waitUntil(loop.now() + 300);
    EXPECT_EQ(count(SerialEvent::HangUp), 1);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_LT(counter.wakes(), 20);
    EXPECT_FALSE(link.open(5));  // the device is gone
}

}  // namespace
}  // namespace zintor
