// The Wayland adapter against a real headless sway, with a recording client in focus.
#include <gtest/gtest.h>

#include <cstdlib>

#include "NeedsComponent.h"
#include "PrivateSway.h"
#include "WaylandRecorder.h"
#include "core/control/InputSynthesis.h"
#include "platform/linux/WaylandKeyboardMouse.h"

namespace zintor {
namespace {

using Texts = std::vector<std::string>;

TEST(WaylandInput, KeysInTheLayoutInUseButtonsAndMovesReachTheWindowAndLossIsSaidOnce) {
    ZINTOR_SKIP_UNLESS(testing::PrivateSway::installed(), "sway is not installed");
    testing::PrivateSway sway;
    ASSERT_TRUE(sway.start()) << sway.log();
    testing::WaylandRecorder recorder(sway.display());
    ASSERT_TRUE(recorder.waitUntilShown()) << sway.log();
    Texts said;
    const auto report = [&said](const std::string& message) { said.push_back(message); };
    // The seat has no keyboard of its own here: the layout in use is xkb's default, as sway's.
    setenv("XKB_DEFAULT_LAYOUT", "fr", 1);
    WaylandKeyboardMouse input(report, sway.display());
    const bool connected = input.connect();
    unsetenv("XKB_DEFAULT_LAYOUT");
    ASSERT_TRUE(connected) << input.failure();
    ASSERT_TRUE(recorder.waitUntilFocused()) << recorder.output();
    recorder.takeTexts(100, std::chrono::milliseconds(100));  // the pointer's first position
    InputSynthesis synthesis(input);

    synthesis.typeText("Ab1q");
    // On a French layout the digit keys without Shift give "&", "é", ... as on X11.
    EXPECT_EQ(recorder.takeTexts(10), (Texts{"+Shift_L", "+A", "-A", "-Shift_L", "+b", "-b",
                                             "+ampersand", "-ampersand", "+q", "-q"}))
        << recorder.output();
    // Characters: "é" and "!" plain keys there, "?" with Shift, the rest on a layout of their own.
    EXPECT_EQ(synthesis.typeText("\u00e9!?\u20ac\u2603\a"), "\a");
    EXPECT_EQ(recorder.takeTexts(12),
              (Texts{"+eacute", "-eacute", "+exclam", "-exclam", "+Shift_L", "+question",
                     "-question", "-Shift_L", "+EuroSign", "-EuroSign", "+U2603", "-U2603"}))
        << recorder.output();
    input.keyPress(41), input.keyPress(13);  // SELECT: no such key
    EXPECT_EQ(recorder.takeTexts(2), (Texts{"+Return", "-Return"}));
    EXPECT_EQ(said, (Texts{"No key is sent for virtual key 41: the keyboard layout has no "
                           "\"Select\" key"}));

    int x = 0, y = 0;
    input.moveCursorBy(200, 100);
    const std::string first = recorder.takeTexts(1).at(0);
    ASSERT_EQ(std::sscanf(first.c_str(), "at %d,%d", &x, &y), 2) << first;
    input.moveCursorBy(-3, 2);
    input.leftButtonDown(), input.leftButtonUp(), input.rightButtonDown(), input.rightButtonUp();
    input.wheel(1, -2);
    const std::string moved = "at " + std::to_string(x - 3) + "," + std::to_string(y + 2);
    EXPECT_EQ(recorder.takeTexts(7), (Texts{moved, "+button1", "-button1", "+button3", "-button3",
                                            "wheel 0 -2", "wheel 1 1"}));

    sway.stop();
    input.keyPress('A'), input.keyPress('B');
    WaylandKeyboardMouse nowhere(report, "/nonexistent/wayland-9");
    EXPECT_FALSE(nowhere.connect());
    nowhere.keyPress('A');
    EXPECT_EQ(said, (Texts{said[0],
                           "Keyboard and mouse input is off: lost the connection to the Wayland "
                           "compositor; trying again later",
                           "Keyboard and mouse input is off: cannot connect to Wayland display "
                           "\"/nonexistent/wayland-9\""}));
}

}  // namespace
}  // namespace zintor
