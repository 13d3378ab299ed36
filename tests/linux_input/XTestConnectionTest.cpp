// The input adapter when the X server is missing or goes away: the program must live on.
#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>

#include "InputRecorder.h"
#include "PrivateXServer.h"
#include "platform/linux/XTestKeyboardMouse.h"

namespace zintor {
namespace {

using testing::InputRecorder;
using testing::PrivateXServer;
using Texts = std::vector<std::string>;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

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

TEST(XTestConnectionTest, WaylandSessionWithoutXIsReportedOnceAndInjectsNothing) {
    ScopedVariable display("DISPLAY", nullptr);
    ScopedVariable wayland("WAYLAND_DISPLAY", "wayland-0");
    std::vector<std::string> diagnostics;
    XTestKeyboardMouse input([&](const std::string& m) { diagnostics.push_back(m); });

    input.keyPress('A');
    input.rightButtonDown();
    int x = 0, y = 0;
    EXPECT_FALSE(input.getCursor(x, y));
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_TRUE(contains(diagnostics[0], "Wayland")) << diagnostics[0];
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
        GTEST_SKIP() << "Xvfb cannot be started";
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
    input.keyPress('A');
    input.keyDown('B');
    input.leftButtonDown();
    input.setCursor(3, 4);
    int x = 0, y = 0;
    EXPECT_FALSE(input.getCursor(x, y));
    input.keyPress('A');
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_TRUE(contains(diagnostics[0], "lost the connection")) << diagnostics[0];

    ASSERT_TRUE(server.restart());
    InputRecorder recorder(server.display());
    // Reconnection is tried at most once a second.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!input.getCursor(x, y) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    input.keyPress('C');
    EXPECT_EQ(recorder.takeTexts(2), (Texts{"+c", "-c"}));
    ASSERT_EQ(diagnostics.size(), 2u);
    EXPECT_TRUE(contains(diagnostics[1], "on again")) << diagnostics[1];
}

}  // namespace
}  // namespace zintor
