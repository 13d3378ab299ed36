// XTestKeyboardMouse against a real X server: what the adapter injects is compared with what a
// second client records from the server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"
#include "InputRecorder.h"
#include "NeedsComponent.h"
#include "PrivateXServer.h"
#include "platform/linux/XTestKeyboardMouse.h"

namespace zintor {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using testing::ChildProcess;
using testing::InputRecorder;
using testing::PrivateXServer;
using Texts = std::vector<std::string>;

constexpr std::uint8_t kControl = 17;

class XTestKeyboardMouseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server_.start()) {
            ZINTOR_SKIP_WITHOUT("No X server: Xvfb cannot be started and DISPLAY is not usable");
        }
        recorder_ = std::make_unique<InputRecorder>(server_.display());
        ASSERT_TRUE(recorder_->ok()) << "the X server has no XInput 2.2";
        input_ = std::make_unique<XTestKeyboardMouse>(
            [this](const std::string& message) { diagnostics_.push_back(message); },
            server_.display());
    }

    void TearDown() override {
        input_.reset();
        recorder_.reset();
        server_.stop();
    }

    // Where the X server has the cursor.
    std::pair<int, int> cursor() {
        int x = -1, y = -1;
        EXPECT_TRUE(input_->getCursor(x, y));
        return {x, y};
    }

    PrivateXServer server_;
    std::unique_ptr<InputRecorder> recorder_;
    std::unique_ptr<XTestKeyboardMouse> input_;
    std::vector<std::string> diagnostics_;
};

TEST_F(XTestKeyboardMouseTest, CtrlCAndButtonsWhereTheCursorIs) {
    input_->keyDown(kControl);
    input_->keyPress('C');
    input_->keyUp(kControl);
    EXPECT_EQ(recorder_->takeTexts(4), (Texts{"+Control_L", "+c", "-c", "-Control_L"}));

    input_->setCursor(100, 200);
    input_->leftButtonDown();
    input_->leftButtonUp();
    input_->rightButtonDown();
    input_->rightButtonUp();
    EXPECT_EQ(recorder_->takeTexts(4), (Texts{"+button1", "-button1", "+button3", "-button3"}));
    EXPECT_EQ(cursor(), std::pair(100, 200));  // the buttons leave it there
    EXPECT_TRUE(diagnostics_.empty());
}

TEST_F(XTestKeyboardMouseTest, SpecialKeysArriveAsTheirXKeys) {
    // MENU, START, PRIOR, NEXT, LEFT, SNAPSHOT, SUBTRACT, COMMA, F12, CAPITAL, PAUSE.
    const std::vector<std::uint8_t> keys{18, 91, 33, 34, 37, 44, 109, 188, 123, 20, 19};
    for (std::uint8_t vk : keys) {
        input_->keyPress(vk);
    }
    Texts pressed;
    for (const auto& event : recorder_->take(2 * keys.size())) {
        if (event.down) {
            pressed.push_back(event.name);
        }
    }
    EXPECT_EQ(pressed, (Texts{"Alt_L", "Super_L", "Prior", "Next", "Left", "Print", "KP_Subtract",
                              "comma", "F12", "Caps_Lock", "Pause"}));
}

TEST_F(XTestKeyboardMouseTest, KeysWithoutAnXKeyInjectNothingAndAreReportedOnce) {
    if (recorder_->keyCode("Execute") != 0) {
        GTEST_SKIP() << "this keyboard layout has an Execute key";
    }
    input_->keyPress(0);
    input_->keyDown(0);
    input_->keyUp(0);
    input_->keyPress(0xE5);  // a code outside the key-name table
    input_->keyPress(43);    // EXECUTE: a key missing from the layout
    input_->keyPress(43);
    input_->keyPress('Q');  // marks the end: only it may arrive

    EXPECT_EQ(recorder_->takeTexts(2), (Texts{"+q", "-q"}));
    EXPECT_THAT(diagnostics_, ElementsAre(HasSubstr("virtual key 0"), HasSubstr("virtual key 229"),
                                          HasSubstr("\"Execute\"")));
}

TEST_F(XTestKeyboardMouseTest, CursorMovesByStepsAndRelativelyAndStopsAtTheScreenEdges) {
    if (server_.shared()) {
        GTEST_SKIP() << "needs a private Xvfb of known size";
    }
    input_->setCursor(10, 20);
    // Steps of 1, 2, 3 and 4 pixels to the left, read back each time as the cursor loop does.
    for (int step = 1; step <= 4; ++step) {
        input_->setCursor(cursor().first - step, 20);
    }
    EXPECT_EQ(cursor(), std::pair(0, 20));
    input_->setCursor(-1, 20);  // at x = 0 a step to the left stays there
    EXPECT_EQ(cursor(), std::pair(0, 20));

    input_->setCursor(PrivateXServer::kWidth + 50, -7);
    EXPECT_EQ(cursor(), std::pair(PrivateXServer::kWidth - 1, 0));
    input_->setCursor(-1000, PrivateXServer::kHeight * 3);
    EXPECT_EQ(cursor(), std::pair(0, PrivateXServer::kHeight - 1));

    // The cursor loop steps relatively: from wherever another client put the pointer, without
    // the pointer acceleration set (ten times from the first pixel), kept on the screen however
    // large the step.
    ASSERT_TRUE(input_->exactRelativeMoves());
    Display* other = recorder_->display();
    XChangePointerControl(other, True, True, 10, 1, 0);
    XWarpPointer(other, None, DefaultRootWindow(other), 0, 0, 0, 0, 500, 300);
    XSync(other, False);
    input_->moveCursorBy(-4, 3);
    EXPECT_EQ(cursor(), std::pair(496, 303));
    input_->moveCursorBy(-100000, 100000);
    EXPECT_EQ(cursor(), std::pair(0, PrivateXServer::kHeight - 1));
    input_->moveCursorBy(70000, -70000);
    EXPECT_EQ(cursor(), std::pair(PrivateXServer::kWidth - 1, 0));
}

TEST_F(XTestKeyboardMouseTest, LettersFollowALayoutChangedWhileConnected) {
    if (server_.shared()) {
        GTEST_SKIP() << "changing the layout needs a private Xvfb";
    }
    if (ChildProcess::find("setxkbmap").empty()) {
        GTEST_SKIP() << "setxkbmap is not installed";
    }
    input_->keyDown('Z');  // held while the layout changes
    const auto pressed = recorder_->take(1);
    ASSERT_EQ(pressed.size(), 1u);
    ASSERT_EQ(pressed[0].text(), "+z");
    const unsigned usZ = pressed[0].detail;

    // German layout: Y and Z swap places.
    ChildProcess::output("setxkbmap -display " + server_.display() + " de 2>&1");
    ASSERT_NE(recorder_->keyCode("z"), usZ) << "setxkbmap did not change the layout";

    input_->keyUp('Z');  // lifts the key that went down, not the new Z key
    input_->keyPress('Z');
    input_->keyPress('Y');
    input_->keyPress('1');
    const auto events = recorder_->take(7);
    ASSERT_EQ(events.size(), 7u);
    EXPECT_TRUE(!events[0].down && events[0].detail == usZ);
    EXPECT_NE(events[1].detail, usZ);
    Texts texts;
    for (std::size_t i = 1; i < events.size(); ++i) {
        texts.push_back(events[i].text());
    }
    EXPECT_EQ(texts, (Texts{"+z", "-z", "+y", "-y", "+1", "-1"}));
}

}  // namespace
}  // namespace zintor
