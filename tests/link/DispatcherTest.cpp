// Received text: line splitting, the routing table, and the serial port's other events.

#include "LinkFixture.h"

namespace zintor {
namespace {

class DispatcherTest : public LinkTest {
  protected:
    void SetUp() override { Connect(); }

    void Modes(std::initializer_list<ModeIndex> flags) {
        ClearModes(state);
        for (ModeIndex flag : flags) {
            state.ModeFlags[flag] = true;
        }
    }

    // The procedure calls that one line from the phone causes.
    Lines Route(S line) {
        procedures.clear();
        phone().send(line + "\r\n");
        world.loop.runFor(50);
        return procedures.calls;
    }
};

TEST_F(DispatcherTest, LinesSplitAcrossEventsAndOddLineEnds) {
    // "*EAMI: 3" in two pieces 30 ms apart is routed once, after the second.
    phone().sendSplit("*EAMI: 3\r\n", {4}, 30);
    world.loop.runFor(100);
    EXPECT_THAT(procedures.calls, ElementsAre("SelectMainMenu(*EAMI: 3)"));
    EXPECT_THAT(procedures.times, ElementsAre(150 + 40));

    // OK CR CR LF is OK; CR LF OK CR LF is an empty line and OK; a RING line is dropped.
    phone().on("AT+A").replyRaw("OK\r\r\n");
    phone().on("AT+B").replyRaw("\r\nRING\r\n\r\n\r\nOK\r\n");
    const auto start = now();
    EXPECT_TRUE(link.Send("AT+A\r\n", 500));
    EXPECT_TRUE(link.Send("AT+B\r\n", 500));
    EXPECT_LT(now() - start, 100);

    // Text without a line end waits in RxBuffer.
    procedures.clear();
    phone().send("*EAMI: 1");
    world.loop.runFor(1000);
    EXPECT_THAT(procedures.calls, IsEmpty());
    phone().send("\r\n*EAA");
    world.loop.runFor(50);
    EXPECT_THAT(procedures.calls, ElementsAre("SelectMainMenu(*EAMI: 1)"));
    EXPECT_EQ(state.RxBuffer.text(), "*EAA");
}

TEST_F(DispatcherTest, RowsWhoseOrderMatters) {
    Modes({ModeErrorPopUp, ModeKeyControl});  // the error pop-up's row comes first
    EXPECT_THAT(Route("*EAII: 0"), ElementsAre("ErrorMessage(*EAII: 0,0,1)"));
    Modes({ModeKeyControl, ModeTextInput});  // key control's rows before text input's
    EXPECT_THAT(Route("*EAII: 0"), ElementsAre("HandleMenuSelection(*EAII: 0)"));
    EXPECT_THAT(Route("*EAII: 11,\"hi\""), ElementsAre("HandleInputText(*EAII: 11,\"hi\")"));
    Modes({ModeUSBMenu, ModeApplicationMenu, ModeWinampMenu});  // USB, then application
    EXPECT_THAT(Route("*EAMI: 4"), ElementsAre("USBMenuChoice(*EAMI: 4)"));

    Modes({});
    EXPECT_THAT(Route("*EAMI:2"), IsEmpty());  // the prefix includes the blank
    Modes({ModeKeyControl});                   // a menu choice needs its screen
    EXPECT_THAT(Route("*EAMI: 1"), IsEmpty());
    for (auto flag : {ModeKeyControl, ModeWinampStatus}) {
        Modes({flag});  // a bare *EAMI ends every screen
        EXPECT_THAT(Route("*EAMI"), ElementsAre("ResetPhoneUI()")) << flag;
    }
}

TEST_F(DispatcherTest, KeyEventsRearmReceiveAndCountAsSignOfLife) {
    Modes({});
    link.DisableTimer(5);
    EXPECT_THAT(Route("+CKEV: 5,1"), IsEmpty());  // no key mode: dropped
    EXPECT_FALSE(link.TimerRunning(5));

    // A press whose handler moves the cursor until something arrives: the release comes in a
    // nested receive event, ends the loop, and is handled before the press returns.
    Modes({ModeKeyControl, ModeWinampStatus});  // key control's row first
    std::vector<bool> armedAtCall;
    procedures.on["KeyControlKeyEvent"] = [&](S line) {
        armedAtCall.push_back(serial().receiveArmed());
        if (line == "+CKEV: 5,1") {
            state.MouseMoving = true;
            phone().sendAfter(300, "+CKEV: 5,0\r\n");
            while (state.MouseMoving) {
                link.Wait(0.02f);
            }
        }
    };
    EXPECT_THAT(Route("+CKEV: 5,1"),
                ElementsAre("KeyControlKeyEvent(+CKEV: 5,1)", "KeyControlKeyEvent(+CKEV: 5,0)"));
    EXPECT_THAT(armedAtCall, ElementsAre(true, true));
    EXPECT_TRUE(link.TimerRunning(5));

    Modes({ModeWinampStatus});
    link.DisableTimer(5);
    EXPECT_THAT(Route("+CKEV: e,1"), ElementsAre("WinampStatusKeyEvent(+CKEV: e,1)"));
    EXPECT_TRUE(link.TimerRunning(5));
}

TEST_F(DispatcherTest, RingOrHangUpEndsTheLinkAndAWaitingSend) {
    for (bool hangUp : {false, true}) {
        phone().on("AT+SLOW").nothing();
        world.loop.scheduleIn(100, [&] { hangUp ? phone().hangUp() : phone().ring(); });
        const auto start = now();
        EXPECT_FALSE(link.Send("AT+SLOW\r\n", 2000));
        EXPECT_EQ(now() - start, 100);
        EXPECT_FALSE(state.Connected);
        EXPECT_FALSE(serial().isOpen());
        EXPECT_EQ(world.desktop.tip(), "Zintor");

        // The supervision rebuilds the link 5 s after that Send ended.
        phone().clearLines();
        world.loop.runFor(5300);
        EXPECT_TRUE(state.Connected) << hangUp;
        EXPECT_EQ(phone().count("AT*EAM=\"Zintor\""), 1u);
        EXPECT_EQ(Log().back(), "Make a Connect with Auto");
    }
}

TEST_F(DispatcherTest, BreakClosesForGoodAndModemLinesAreLogged) {
    phone().ctsChange();
    phone().dsrChange();
    state.MouseMoving = true;
    phone().sendBreak();
    world.loop.runFor(2000);
    EXPECT_THAT(Log(),
                ElementsAre("Change in the CTS line", "Change in the DSR line",
                            "Disconnect-->Break Received", "Closing Port", "Closed ComPort"));
    EXPECT_FALSE(state.MouseMoving);
    EXPECT_FALSE(state.Connected);
    EXPECT_FALSE(AnyTimerRunning());
    EXPECT_EQ(world.desktop.tip(), "Zintor");
    world.loop.runFor(30000);  // no supervision after a break
    EXPECT_THAT(PhoneTexts(), ElementsAre("AT*EAM=\"Zintor\""));

    state.MouseMoving = true;  // not connected: a break only stops the cursor
    link.OnComm(SerialEvent::Break);
    EXPECT_FALSE(state.MouseMoving);
    EXPECT_EQ(Log().size(), 5u);
}

TEST_F(DispatcherTest, GarbageNulBytesOverlongLinesAndBurstsAreSurvived) {
    Modes({ModeKeyControl});
    std::string garbage, burst;
    for (int i = 0; i < 20000; ++i) {
        garbage += static_cast<char>((i * 7919) % 256);
        burst += i < 2000 ? "\r\n*EAMI\r\n\r" : "";
    }
    phone().send(garbage);
    phone().send(std::string("O\0K\r\n+CKEV: \0,1\r\n", 17));
    phone().send("+CKEV: 5,1" + std::string(100000, 'x'));  // overlong: never routed
    world.loop.runFor(100);
    EXPECT_LT(state.RxBuffer.text().size(), 10000u);
    phone().send("yyy\r\n");
    world.loop.runFor(100);
    phone().send(burst + "\n");
    world.loop.runFor(100);

    // Only the line with the NUL after the prefix is a key event.
    EXPECT_EQ(Matching(procedures.calls, "KeyControlKeyEvent").size(), 1u);
    EXPECT_EQ(Matching(procedures.calls, "ResetPhoneUI()").size(), 2000u);
    EXPECT_TRUE(link.Send("AT\r\n", 500));  // and the link still works
}

}  // namespace
}  // namespace zintor
