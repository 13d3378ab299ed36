// Serial ports plugged in and out while the program runs: the port menu follows, and with
// AutoConnect on the program connects when the configured port appears.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/Program.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

// The phone's port COM5 is not there at start; COM1 is a port without a phone.
class PortFollow : public ::testing::Test {
  protected:
    PortFollow() {
        world.registry.add("Serial0", "COM1");
        world.settings.set("Com", "5");
        world.serial().setPresentPorts({1});
        world.serial().setPhonePort(5);
    }

    void start(const char* autoConnect) {
        world.settings.set("Auto", autoConnect);
        program = std::make_unique<Program>(world.ports());
        program->Startup();
        world.loop.runFor(100);
    }

    void plugPhone(bool in) {
        world.registry.setPorts({{"Serial0", "COM1"}});
        if (in) {
            world.registry.add("Serial4", "COM5");
        }
        world.serial().setPresentPorts(in ? std::set<int>{1, 5} : std::set<int>{1});
        world.registry.changed();
    }

    const std::string& lastMenu() {
        const auto& calls = world.desktop.calls();
        return *std::find_if(calls.rbegin(), calls.rend(),
                             [](const std::string& c) { return c.starts_with("ports"); });
    }

    SimWorld world;
    std::unique_ptr<Program> program;
};

TEST_F(PortFollow, ConnectsWhenTheConfiguredPortAppearsAndTheMenuFollows) {
    start("1");
    // Automatic connection walked the list and stopped on COM1, where no phone answers.
    ASSERT_FALSE(program->state().Connected);
    EXPECT_EQ(program->state().ComPort, 1);

    plugPhone(true);
    world.loop.runFor(100);
    EXPECT_TRUE(program->state().Connected);
    EXPECT_EQ(world.serial().openPort(), 5);
    EXPECT_EQ(lastMenu(), "ports Serial Com1, Serial Com5 *");

    // A report with nothing changed leaves the menu alone.
    const std::size_t calls = world.desktop.calls().size();
    world.registry.changed();
    EXPECT_EQ(world.desktop.calls().size(), calls);

    world.serial().raise(SerialEvent::HangUp);  // cable pulled
    plugPhone(false);
    EXPECT_EQ(lastMenu(), "ports Serial Com1");

    // After shutdown nothing is looked at or opened.
    program->Shutdown();
    EXPECT_FALSE(world.registry.watched());
}

TEST_F(PortFollow, WithoutAutoConnectOnlyTheMenuFollows) {
    start("0");
    plugPhone(true);
    world.loop.runFor(2000);
    EXPECT_EQ(lastMenu(), "ports Serial Com1, Serial Com5 *");
    EXPECT_FALSE(program->state().Connected);
}

TEST_F(PortFollow, AReportDuringAConnectionAttemptWaitsForItsEnd) {
    start("1");
    world.loop.scheduleIn(100, [this] { plugPhone(true); });
    const std::size_t before = world.serial().history().size();
    program->connectClicked();  // COM1: two probes that time out, the report comes meanwhile
    const std::vector<std::string> during(
        world.serial().history().begin() + static_cast<long>(before),
        world.serial().history().end());
    EXPECT_EQ(std::count(during.begin(), during.end(), "open 1"), 2);
    EXPECT_EQ(std::count(during.begin(), during.end(), "open 5"), 0);
    EXPECT_FALSE(program->state().Connected);

    world.loop.runFor(1000);
    EXPECT_TRUE(program->state().Connected);
    EXPECT_EQ(world.serial().openPort(), 5);
}

}  // namespace
}  // namespace zintor
