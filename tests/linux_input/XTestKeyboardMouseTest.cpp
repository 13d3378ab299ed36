// XTestKeyboardMouse against a real X server: what the adapter injects is compared with what a
// second client records from the server.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "InputRecorder.h"
#include "PrivateXServer.h"
#include "platform/linux/XTestKeyboardMouse.h"

namespace zintor {
namespace {

using testing::ChildProcess;
using testing::InputRecorder;
using testing::PrivateXServer;
using Texts = std::vector<std::string>;

constexpr std::uint8_t kShift = 16;
constexpr std::uint8_t kControl = 17;

class XTestKeyboardMouseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server_.start()) {
            GTEST_SKIP() << "No X server: Xvfb cannot be started and DISPLAY is not usable";
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

    PrivateXServer server_;
    std::unique_ptr<InputRecorder> recorder_;
    std::unique_ptr<XTestKeyboardMouse> input_;
    std::vector<std::string> diagnostics_;
};

TEST_F(XTestKeyboardMouseTest, ControlHeldAcrossAKeyPressMakesCtrlC) {
    input_->keyDown(kControl);
    input_->keyPress('C');
    input_->keyUp(kControl);

    EXPECT_EQ(recorder_->takeTexts(4), (Texts{"+Control_L", "+c", "-c", "-Control_L"}));
    EXPECT_TRUE(diagnostics_.empty());
}

TEST_F(XTestKeyboardMouseTest, SpecialKeysArriveAsTheirXKeys) {
    // RETURN, ESCAPE, TAB, BACKSPACE, MENU, START, PRIOR, NEXT, HOME, END, the arrows, INSERT,
    // DELETE, SNAPSHOT, SUBTRACT, DIVIDE, COMMA, PERIOD, F1, F12, CAPITAL, NUMLOCK, PAUSE, SPACE.
    const std::vector<std::uint8_t> keys{13,  27,  9,   8,   18,  91, 33,  34, 36,
                                         35,  37,  38,  39,  40,  45, 46,  44, 109,
                                         111, 188, 190, 112, 123, 20, 144, 19, 32};
    for (std::uint8_t vk : keys) {
        input_->keyPress(vk);
    }

    Texts pressed;
    for (const auto& event : recorder_->take(2 * keys.size())) {
        if (event.down) {
            pressed.push_back(event.name);
        }
    }
    EXPECT_EQ(pressed, (Texts{"Return",    "Escape", "Tab",    "BackSpace", "Alt_L", "Super_L",
                              "Prior",     "Next",   "Home",   "End",       "Left",  "Up",
                              "Right",     "Down",   "Insert", "Delete",    "Print", "KP_Subtract",
                              "KP_Divide", "comma",  "period", "F1",        "F12",   "Caps_Lock",
                              "Num_Lock",  "Pause",  "space"}));
}

TEST_F(XTestKeyboardMouseTest, KeyWithoutXKeyInjectsNothingAndIsReportedOnce) {
    input_->keyPress(0);
    input_->keyDown(0);
    input_->keyUp(0);
    input_->keyPress(0xE5);  // a code outside the key-name table
    input_->keyPress('Q');   // marks the end: only it may arrive

    EXPECT_EQ(recorder_->takeTexts(2), (Texts{"+q", "-q"}));
    ASSERT_EQ(diagnostics_.size(), 2u);
    EXPECT_NE(diagnostics_[0].find("virtual key 0"), std::string::npos) << diagnostics_[0];
    EXPECT_NE(diagnostics_[1].find("virtual key 229"), std::string::npos) << diagnostics_[1];
}

TEST_F(XTestKeyboardMouseTest, KeyMissingFromTheLayoutInjectsNothingAndIsReportedOnce) {
    if (recorder_->keyCode("Execute") != 0) {
        GTEST_SKIP() << "this keyboard layout has an Execute key";
    }
    input_->keyPress(43);  // EXECUTE
    input_->keyPress(43);
    input_->keyPress('Q');

    EXPECT_EQ(recorder_->takeTexts(2), (Texts{"+q", "-q"}));
    ASSERT_EQ(diagnostics_.size(), 1u);
    EXPECT_NE(diagnostics_[0].find("\"Execute\""), std::string::npos) << diagnostics_[0];
}

TEST_F(XTestKeyboardMouseTest, ButtonsActWhereTheCursorIsAndLeaveItThere) {
    input_->setCursor(100, 200);
    input_->leftButtonDown();
    input_->leftButtonUp();
    input_->rightButtonDown();
    input_->rightButtonUp();

    EXPECT_EQ(recorder_->takeTexts(4), (Texts{"+button1", "-button1", "+button3", "-button3"}));
    int x = -1, y = -1;
    ASSERT_TRUE(input_->getCursor(x, y));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
}

TEST_F(XTestKeyboardMouseTest, CursorMovesByStepsAndStopsAtTheScreenEdges) {
    if (server_.shared()) {
        GTEST_SKIP() << "needs a private Xvfb of known size";
    }
    input_->setCursor(10, 20);
    int x = -1, y = -1;
    // Steps of 1, 2, 3 and 4 pixels to the left, read back each time as the cursor loop does.
    for (int step = 1; step <= 4; ++step) {
        ASSERT_TRUE(input_->getCursor(x, y));
        input_->setCursor(x - step, y);
    }
    ASSERT_TRUE(input_->getCursor(x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 20);

    input_->setCursor(x - 1, y);  // at x = 0 a step to the left stays there
    ASSERT_TRUE(input_->getCursor(x, y));
    EXPECT_EQ(x, 0);

    input_->setCursor(PrivateXServer::kWidth + 50, -7);
    ASSERT_TRUE(input_->getCursor(x, y));
    EXPECT_EQ(x, PrivateXServer::kWidth - 1);
    EXPECT_EQ(y, 0);

    input_->setCursor(-1000, PrivateXServer::kHeight * 3);
    ASSERT_TRUE(input_->getCursor(x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, PrivateXServer::kHeight - 1);
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
    EXPECT_FALSE(events[0].down);
    EXPECT_EQ(events[0].detail, usZ);
    Texts texts;
    for (std::size_t i = 1; i < events.size(); ++i) {
        texts.push_back(events[i].text());
    }
    EXPECT_EQ(texts, (Texts{"+z", "-z", "+y", "-y", "+1", "-1"}));
    EXPECT_NE(events[1].detail, usZ);
}

TEST(XTestKeyboardMouseWithoutServer, SaysOnceThatThereIsNoDisplayAndDoesNothing) {
    std::vector<std::string> diagnostics;
    XTestKeyboardMouse input([&](const std::string& m) { diagnostics.push_back(m); }, ":4093");
    input.keyPress('A');
    input.keyDown(kShift);
    input.leftButtonDown();
    input.setCursor(5, 5);
    int x = 7, y = 8;
    EXPECT_FALSE(input.getCursor(x, y));
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0].find("cannot open X display \":4093\""), std::string::npos)
        << diagnostics[0];
}

}  // namespace
}  // namespace zintor
