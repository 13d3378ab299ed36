// The real link on the real serial adapter and event loop, with a phone on a pseudo-terminal.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "PtyPhone.h"
#include "QtTestSupport.h"
#include "app/ProgramState.h"
#include "link/Link.h"
#include "qt/QtEventLoop.h"
#include "qt/QtSerialLink.h"
#include "sim/SimWorld.h"

namespace zintor {
namespace {

using phone::PtyPhone;
using namespace std::chrono_literals;

// Records the cross-part calls the link makes; a test can hook the menu selection.
class CallRecorder : public Procedures {
  public:
    std::vector<std::string> calls;
    std::function<void(const std::string&)> onMenuSelection;

    void ErrorMessage(const std::string& s, int, int) override { add("ErrorMessage " + s); }
    void HandleInputText(const std::string& l) override { add("HandleInputText " + l); }
    void ShowMainMenu(const std::string& i) override { add("ShowMainMenu " + i); }
    void SelectMainMenu(const std::string& l) override { add("SelectMainMenu " + l); }
    void HandleMenuSelection(const std::string& line) override {
        add("HandleMenuSelection " + line);
        if (onMenuSelection) {
            onMenuSelection(line);
        }
    }
    void ResetPhoneUI() override { add("ResetPhoneUI"); }
    void ApplicationMenuSelected(const std::string& t) override { add("Application " + t); }
    void MoveMouseSelected() override { add("MoveMouseSelected"); }
    void USBMenuSelected(const std::string& t) override { add("USBMenuSelected " + t); }
    void USBMenuChoice(const std::string& l) override { add("USBMenuChoice " + l); }
    void AboutMenuSelected(bool) override { add("AboutMenuSelected"); }
    void WinAMP_Menu_Selected(const std::string& t) override { add("WinAMP_Menu " + t); }
    void WinAMP_Status_Menu_Selected(const std::string& t) override { add("WinAMP_Status " + t); }
    void WinAMP_Execute(int) override { add("WinAMP_Execute"); }
    void KeyControlKeyEvent(const std::string& l) override { add("KeyControlKeyEvent " + l); }
    void WinampStatusKeyEvent(const std::string& l) override { add("WinampStatusKey " + l); }
    void TypeText(const std::string& t) override { add("TypeText " + t); }
    void CloseKeyHelp() override { add("CloseKeyHelp"); }
    void TrayIconAnimate() override {}  // every 200 ms while connected: not recorded

  private:
    void add(std::string call) { calls.push_back(std::move(call)); }
};

class LinkOverPtyTest : public testing::Test {
  protected:
    LinkOverPtyTest()
        : serial([this](int port) -> std::optional<std::string> {
              return port == 5 ? std::optional<std::string>(phone.slavePath()) : std::nullopt;
          }),
          ports{loop,        serial,        world.registry, world.settings,
                world.files, world.logSink, world.desktop,  world.launcher,
                world.input, world.mixer,   world.player,   world.board},
          link(state, ports, calls) {
        state.ComPort = 5;
    }

    ~LinkOverPtyTest() override {
        if (state.Connected) {
            link.DisconnectCOM();
        }
    }

    SimWorld world;  // the fakes for everything but the loop and the serial line
    QtEventLoop loop;
    PtyPhone phone;
    QtSerialLink serial;
    Ports ports;
    ProgramState state;
    CallRecorder calls;
    Link link;
};

TEST_F(LinkOverPtyTest, ConnectsWithTheFullSequence) {
    ASSERT_TRUE(phone.ok()) << phone.error();
    ASSERT_TRUE(link.ConnectPhone());
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(phone.texts(), (std::vector<std::string>{"AT", "AT+cgmm", "at+cscs=\"8859-1\"",
                                                       "AT+CMER=0,0,0,0,0", "AT*EAM=\"Zintor\""}));
    EXPECT_EQ(calls.calls, (std::vector<std::string>{"ShowMainMenu 1"}));

    // A phone that is not there: the port opens (it is a pty) but AT is never answered.
    link.DisconnectCOM();
    EXPECT_FALSE(state.Connected);
    EXPECT_FALSE(serial.isOpen());
    phone.setSilent(true);
    const std::size_t before = phone.lines().size();
    EXPECT_FALSE(link.ConnectPhone());
    const std::vector<std::string> texts = phone.texts();
    EXPECT_EQ(std::vector<std::string>(texts.begin() + static_cast<long>(before), texts.end()),
              (std::vector<std::string>{"AT", "AT"}));
    EXPECT_FALSE(serial.isOpen());
}

TEST_F(LinkOverPtyTest, ACommandSentFromAHandlerGetsItsAnswerInANestedReceive) {
    ASSERT_TRUE(link.ConnectPhone());
    bool answered = false;
    calls.onMenuSelection = [&](const std::string&) {
        answered = link.Send("AT*EASM=\"Zintor\",1,1,1,\"About\"\r\n", 5000);
    };
    phone.send("\r\n*EAAI\r\n");
    loop.waitFor([&] { return !calls.calls.empty() && calls.calls.back() != "ShowMainMenu 1"; });
    EXPECT_EQ(calls.calls.back(), "HandleMenuSelection *EAAI");
    EXPECT_TRUE(answered);
    EXPECT_EQ(phone.texts().back(), "AT*EASM=\"Zintor\",1,1,1,\"About\"");
    EXPECT_TRUE(state.Connected);
}

TEST_F(LinkOverPtyTest, AHangUpEndsAWaitingCommandAndTheLinkThenTheProgramIsIdle) {
    ASSERT_TRUE(link.ConnectPhone());
    phone.setReply("AT+CIND?", "");  // never answered
    const EventLoop::TimerId unplug = loop.startTimer(100, [&] { phone.hangUp(); });
    const std::int64_t start = loop.now();
    EXPECT_FALSE(link.Send("AT+CIND?\r\n", 20000));
    loop.stopTimer(unplug);
    // Ended by the hang-up, not by the 20 s time-out.
    EXPECT_LT(loop.now() - start, 10000);
    EXPECT_FALSE(state.Connected);
    EXPECT_FALSE(serial.isOpen());

    test::WakeCounter counter;
    loop.waitUntil(loop.now() + 400);
    EXPECT_LT(counter.wakes(), 20);          // an error loop would wake the dispatcher endlessly
    EXPECT_FALSE(link.Send("AT\r\n", 500));  // not connected: refused at once
}

}  // namespace
}  // namespace zintor
