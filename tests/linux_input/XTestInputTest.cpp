// XTestKeyboardMouse against a real X server: what the adapter injects is compared with what a
// second client records from the server (the core's typing on an adapter: the Wayland test).
#include <gmock/gmock.h>

#include <unistd.h>

#include "ChildProcess.h"
#include "InputRecorder.h"
#include "NeedsComponent.h"
#include "PrivateXServer.h"
#include "core/control/InputSynthesis.h"
#include "platform/linux/XTestKeyboardMouse.h"

#include <X11/Xlib.h>  // after Qt's headers, which its macros break

namespace zintor {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::InputRecorder;
using testing::PrivateXServer;
using Texts = std::vector<std::string>;

TEST(XTestInput, KeysButtonsCursorAndLayoutArriveAsXEventsAndAServerGoneAndBackIsFollowed) {
    Texts said;
    const auto report = [&](const std::string& m) { said.push_back(m); };
    XTestKeyboardMouse(report, ":4093").keyPress('A');
    EXPECT_THAT(said, ElementsAre(HasSubstr("cannot open X display \":4093\"")));
    said.clear();

    // A display number far above other tests' servers, so that it is still free for the restart.
    PrivateXServer server;
    bool started = false;
    int number = 0;
    for (int attempt = 0; attempt < 20 && !started; ++attempt) {
        number = 300 + (getpid() + 37 * attempt) % 600;
        started = server.startPrivate(number);
    }
    ZINTOR_SKIP_UNLESS(started, "Xvfb cannot be started");
    auto recorder = std::make_unique<InputRecorder>(server.display());
    ASSERT_TRUE(recorder->ok()) << "the X server has no XInput 2.2";
    XTestKeyboardMouse input(report, server.display());
    int x = 0, y = 0;
    const auto cursor = [&] {
        EXPECT_TRUE(input.getCursor(x, y));
        return std::pair(x, y);
    };

    input.keyDown(17), input.keyPress('C'), input.keyUp(17);  // CONTROL
    input.setCursor(100, 200);
    input.leftButtonDown(), input.leftButtonUp(), input.rightButtonDown(), input.rightButtonUp();
    input.wheel(1, -1);  // a notch up, one to the right
    EXPECT_EQ(recorder->takeTexts(12),
              (Texts{"+Control_L", "+c", "-c", "-Control_L", "+button1", "-button1", "+button3",
                     "-button3", "+button4", "-button4", "+button7", "-button7"}));
    EXPECT_EQ(cursor(), std::pair(100, 200));  // the buttons leave it there

    // MENU, START, PRIOR, NEXT, LEFT, SNAPSHOT, SUBTRACT, COMMA, F12, CAPITAL, PAUSE, 'Q'.
    for (const std::uint8_t vk :
         std::vector<std::uint8_t>{18, 91, 33, 34, 37, 44, 109, 188, 123, 20, 19, 'Q'}) {
        input.keyPress(vk);
    }
    Texts pressed;
    for (const auto& event : recorder->take(24)) {
        event.down ? pressed.push_back(event.name) : void();
    }
    EXPECT_EQ(pressed, (Texts{"Alt_L", "Super_L", "Prior", "Next", "Left", "Print", "KP_Subtract",
                              "comma", "F12", "Caps_Lock", "Pause", "q"}));

    // Relative steps go from wherever another client put the pointer, without the pointer
    // acceleration set there (ten times from the first pixel).
    Display* other = recorder->display();
    XChangePointerControl(other, True, True, 10, 1, 0);
    XWarpPointer(other, None, DefaultRootWindow(other), 0, 0, 0, 0, 500, 300);
    XSync(other, False);
    input.moveCursorBy(-4, 3);
    EXPECT_EQ(cursor(), std::pair(496, 303));

    // Letters follow a layout changed while connected (German: Y and Z swap places); a held key
    // is lifted as it went down.
    input.keyDown('Z');
    const unsigned usZ = recorder->take(1).at(0).detail;
    testing::ChildProcess::output("setxkbmap -display " + server.display() + " de 2>&1");
    ASSERT_NE(recorder->keyCode("z"), usZ) << "setxkbmap did not change the layout";
    input.keyUp('Z'), input.keyPress('Z');
    const auto events = recorder->take(3);
    EXPECT_TRUE(!events.at(0).down && events.at(0).detail == usZ && events.at(1).detail != usZ);
    EXPECT_EQ((Texts{events.at(1).text(), events.at(2).text()}), (Texts{"+z", "-z"}));

    // Text as written on that layout: "!" with Shift, "é" (a dead key there), "€" (AltGr) and
    // what no German key has on borrowed key codes, which get their empty mapping back.
    InputSynthesis synthesis(input);
    EXPECT_EQ(synthesis.typeText("Hi, you! \u00e9\u20ac\u0436\u2603\a\u2603"), "\a");
    EXPECT_EQ(recorder->takeTyped(32), "Hi, you! \u00e9\u20ac\u0436\u2603\u2603");
    input.returnBorrowedKeys();
    EXPECT_EQ(recorder->keyCode("Cyrillic_zhe") + recorder->keyCode("U2603"), 0u);

    // The server goes: one message, every call fails quietly; it comes back: followed.
    recorder.reset();
    server.stop();
    input.moveCursorBy(5, 0), input.keyPress('A'), input.keyDown('B'), input.leftButtonDown();
    input.setCursor(3, 4);
    EXPECT_FALSE(input.getCursor(x, y));
    input.keyPress('A');
    EXPECT_THAT(said, ElementsAre(HasSubstr("lost the connection")));
    ASSERT_TRUE(server.startPrivate(number));
    recorder = std::make_unique<InputRecorder>(server.display());
    testing::ChildProcess::eventually([&] { return input.getCursor(x, y); });  // tries: 1/s
    input.keyPress('C');
    EXPECT_EQ(recorder->takeTexts(2), (Texts{"+c", "-c"}));
    EXPECT_THAT(said, ElementsAre(HasSubstr("lost the connection"), HasSubstr("on again")));
}

}  // namespace
}  // namespace zintor
