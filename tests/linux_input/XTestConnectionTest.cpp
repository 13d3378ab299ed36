// The input adapter when the X server is missing or goes away: the program must live on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>

#include "InputRecorder.h"
#include "NeedsComponent.h"
#include "PrivateXServer.h"
#include "platform/linux/XTestKeyboardMouse.h"

namespace zintor {
namespace {

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

using testing::InputRecorder;
using testing::PrivateXServer;
using Texts = std::vector<std::string>;

// Sets or clears an environment variable for one test.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(XTestConnectionTest, WithoutADisplayItSaysSoOnceAndInjectsNothing) {
    std::vector<std::string> diagnostics;
    const auto report = [&](const std::string& m) { diagnostics.push_back(m); };
    XTestKeyboardMouse input(report, ":4093");
    input.keyPress('A');
    input.keyDown(16);
    input.leftButtonDown();
    input.setCursor(5, 5);
    int x = 7, y = 8;
    EXPECT_FALSE(input.getCursor(x, y));
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    EXPECT_THAT(diagnostics, ElementsAre(HasSubstr("cannot open X display \":4093\"")));

    // A Wayland session without X is named as such.
    ScopedVariable display("DISPLAY", nullptr);
    ScopedVariable wayland("WAYLAND_DISPLAY", "wayland-0");
    XTestKeyboardMouse onWayland(report);
    onWayland.keyPress('A');
    onWayland.rightButtonDown();
    EXPECT_FALSE(onWayland.getCursor(x, y));
    EXPECT_THAT(diagnostics, ElementsAre(_, HasSubstr("Wayland")));
}

TEST(XTestConnectionTest, SurvivesTheServerGoingAwayAndReconnectsWhenItIsBack) {
    // A display number far above those that other tests' servers take, so that it is still
    // free when the server is started again.
    PrivateXServer server;
    bool started = false;
    for (int attempt = 0; attempt < 20 && !started; ++attempt) {
        started = server.startPrivate(300 + (getpid() + 37 * attempt) % 600);
    }
    if (!started) {
        ZINTOR_SKIP_WITHOUT("Xvfb cannot be started");
    }
    std::vector<std::string> diagnostics;
    XTestKeyboardMouse input([&](const std::string& m) { diagnostics.push_back(m); },
                             server.display());
    {
        InputRecorder recorder(server.display());
        input.keyPress('A');
        ASSERT_EQ(recorder.takeTexts(2), (Texts{"+a", "-a"}));
    }

    server.stop();
    input.moveCursorBy(5, 0);
    input.keyPress('A');
    input.keyDown('B');
    input.leftButtonDown();
    input.setCursor(3, 4);
    int x = 0, y = 0;
    EXPECT_FALSE(input.getCursor(x, y));
    input.keyPress('A');
    EXPECT_THAT(diagnostics, ElementsAre(HasSubstr("lost the connection")));

    ASSERT_TRUE(server.restart());
    InputRecorder recorder(server.display());
    // Reconnection is tried at most once a second.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!input.getCursor(x, y) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    input.keyPress('C');
    EXPECT_EQ(recorder.takeTexts(2), (Texts{"+c", "-c"}));
    EXPECT_THAT(diagnostics, ElementsAre(_, HasSubstr("on again")));
}

}  // namespace
}  // namespace zintor
