// The zintor executable against a virtual phone on a pseudo-terminal.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "NeedsComponent.h"
#include "PrivateSway.h"
#include "PtyPhone.h"
#include "WaylandRecorder.h"
#include "ZintorProcess.h"

namespace zintor {
namespace {

using phone::PtyPhone;
using namespace std::chrono_literals;

class ZintorEndToEnd : public ::testing::Test {
  protected:
    // COM1 would be this machine's first UART, maybe a console: keep the program off it.
    ZintorEndToEnd() { zintor.pin(1, "/dev/null"); }

    // Starts the program on the phone (COM5), without DISPLAY, and waits until it is connected.
    void startConnected(const testing::ChildProcess::Environment& extra) {
        ASSERT_TRUE(phone.ok()) << phone.error();
        zintor.pin(5, phone.slavePath());
        zintor.writeSettings("Com=5\n");
        ASSERT_TRUE(zintor.start(extra, true));
        expectConnected();
    }
    // Waits for the connect sequence to end in the main menu.
    void expectConnected() {
        const auto inMainMenu = [](const auto& lines) {
            return !lines.empty() && lines.back().text.rfind("AT*EASM=\"Zintor\",1,1,", 0) == 0;
        };
        ASSERT_TRUE(phone.waitUntil(inMainMenu, 30s)) << zintor.errorOutput();
    }
    // The phone sends `line`; the index of the program's `answer` after it, or -1.
    int say(const std::string& line, const std::string& answer) {
        const std::size_t before = phone.lines().size();
        phone.send(line + "\r\n");
        return phone.waitForLine(answer, before, 20s);
    }
    void expectExit(int signal = SIGTERM) {
        zintor.signal(signal);
        EXPECT_EQ(zintor.waitForExit(20s), 0) << zintor.errorOutput();
    }

    PtyPhone phone;
    test::ZintorProcess zintor;
};

TEST_F(ZintorEndToEnd, PortsThatDoNotWorkLeaveItIdleUntilThePhonesPortAppearsThenASignalEndsAWait) {
    // COM5 is not there yet and COM1 is not a serial device: both fail to open.
    ASSERT_TRUE(phone.ok()) << phone.error();
    zintor.writeSettings("Com=5\nAuto=1\n");
    ASSERT_TRUE(zintor.start());
    std::this_thread::sleep_for(1500ms);
    zintor.pin(5, phone.slavePath());
    expectConnected();

    // The phone stops answering; *EAMI makes the program send commands that wait in vain.
    phone.setSilent(true);
    ASSERT_GE(say("*EAMI", "AT+CMER=0,0,0,0,0"), 0) << zintor.errorOutput();
    expectExit(SIGINT);  // arrives while that command waits
    // The shutdown still ran: its last step registers the entry again.
    EXPECT_EQ(phone.texts().back(), "AT*EAM=\"Zintor\"");
}

TEST_F(ZintorEndToEnd, InAWaylandSessionWithoutXTheVirtualKeyboardAndTheHeldCursorReachTheWindow) {
    ZINTOR_SKIP_UNLESS(testing::PrivateSway::installed(), "needs sway for a Wayland session");
    testing::PrivateSway sway;
    ASSERT_TRUE(sway.start()) << sway.log();
    testing::WaylandRecorder window(sway.display());
    ASSERT_TRUE(window.waitUntilShown()) << sway.log();
    // Under the leak checker: Qt's Wayland plugin and Mesa keep memory until the process ends,
    // which the suppressions in tests/lsan-suppressions.txt name; they match only on full stacks.
    const char* asan = std::getenv("ASAN_OPTIONS");
    startConnected({{"WAYLAND_DISPLAY", sway.display()},
                    {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":fast_unwind_on_malloc=0"}});
    ASSERT_GE(say("*EAMI: 1", "AT+CMER=3,2,0,0,0"), 0) << zintor.errorOutput();  // Move Mouse
    // The window has the focus once the program's virtual keyboard exists.
    ASSERT_TRUE(window.waitUntilFocused()) << zintor.errorOutput();
    window.takeTexts(100, 300ms);  // the pointer's first position

    // Held: the pointer moves step after step.
    phone.send("+CKEV: >,1\r\n");
    const auto moves = window.takeTexts(20);
    EXPECT_GE(std::count_if(moves.begin(), moves.end(),
                            [](const std::string& event) { return event.rfind("at ", 0) == 0; }),
              20)
        << zintor.errorOutput();
    phone.send("+CKEV: >,0\r\n");

    EXPECT_NE(zintor.errorOutput().find("Keyboard and mouse input: Wayland virtual keyboard"),
              std::string::npos)
        << zintor.errorOutput();
    expectExit();
}

}  // namespace
}  // namespace zintor
