// The serial adapter against a phone on the master side of a pseudo-terminal.
#include "platform/qt/QtSerialLink.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QTest>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "PtyPhone.h"

namespace zintor {
namespace {

using phone::PtyPhone;
using namespace std::chrono_literals;

TEST(QtSerialLink, OpensWhatTheNumberResolvesToCarriesEveryByteWhileArmedAndEndsAtAHangUp) {
    PtyPhone phone;
    QtSerialLink serial{[&phone](int port) -> std::optional<std::string> {
        return port == 5   ? phone.slavePath()
               : port == 6 ? std::optional<std::string>("/dev/zintor-no-such-device")
                           : std::nullopt;
    }};
    std::vector<SerialEvent> events;
    serial.setListener([&](SerialEvent event) { events.push_back(event); });
    const auto count = [&](SerialEvent kind) {
        return std::count(events.begin(), events.end(), kind);
    };
    // Everything received until `text` has arrived.
    const auto receiveUntil = [&](const std::string& text) {
        std::string got;
        static_cast<void>(QTest::qWaitFor(
            [&] { return (got += serial.takeReceived()).find(text) != std::string::npos; }, 2000));
        return got;
    };

    ASSERT_TRUE(phone.ok()) << phone.error();
    EXPECT_FALSE(serial.open(3));  // no device has this number
    EXPECT_FALSE(serial.open(6));  // a device path that does not exist
    ASSERT_TRUE(serial.open(5));   // the pty, although it has no modem lines for RTS and DTR
    EXPECT_EQ(serial.devicePath(), phone.slavePath());
    EXPECT_FALSE(serial.open(5));  // already open
    serial.close();
    EXPECT_FALSE(serial.isOpen());
    ASSERT_TRUE(serial.open(5));  // and again after closing

    serial.write("AT+cgmm\r\n");
    EXPECT_GE(phone.waitForLine("AT+cgmm", 0, 2s), 0);
    serial.setReceiveArmed(true);
    EXPECT_EQ(receiveUntil("OK\r\n"), std::string("\r\n") + PtyPhone::kModel + "\r\n\r\nOK\r\n");

    // NUL bytes and 8-bit text are kept; a burst larger than the read buffer arrives whole.
    std::string bytes("A\0B\xe9\xff\r\n", 7);
    for (int i = 0; i < 400; ++i) {
        bytes += "*EAMI: " + std::to_string(i) + "\r\n";
    }
    phone.send(bytes + "END\r\n");
    EXPECT_EQ(receiveUntil("END\r\n"), bytes + "END\r\n");

    // A USB adapter unplugged: the kernel hangs its terminal up, whose reads then return nothing
    // rather than an error (hanging a terminal up takes root).
    if (::geteuid() == 0) {
        const int tty = ::open(phone.slavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_EQ(::ioctl(tty, TIOCVHANGUP), 0) << std::strerror(errno);
        ::close(tty);
        ASSERT_TRUE(QTest::qWaitFor([&] { return count(SerialEvent::kHangUp) == 1; }, 2000));
        EXPECT_FALSE(serial.isOpen());
    } else if (std::getenv("ZINTOR_REQUIRE_ALL") != nullptr) {
        ADD_FAILURE() << "not root: a terminal's hang-up is not tried";
    }
}

}  // namespace
}  // namespace zintor
