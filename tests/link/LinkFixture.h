#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingProcedures.h"
#include "app/ProgramState.h"
#include "link/Link.h"
#include "platform/sim/SimWorld.h"

namespace zintor {

// A link on the simulated world, with the diagnostic log switched on so tests can read it.
class LinkTest : public ::testing::Test {
  protected:
    LinkTest() {
        state.LogEnabled = true;
        link.InitLog();
    }

    SimWorld world;
    Ports ports = world.ports();
    ProgramState state;
    RecordingProcedures procedures{world.loop};
    Link link{state, ports, procedures};

    SimPhone& phone() { return world.phone; }
    SimSerialLink& serial() { return world.serial(); }
    std::int64_t now() const { return world.loop.now(); }

    // Connects on ComPort and forgets what that conversation wrote and recorded.
    void Connect() {
        ASSERT_TRUE(link.ConnectPhone());
        phone().clearLines();
        procedures.clear();
        world.desktop.clearCalls();
        logStart_ = LogMessages().size();
    }

    // The message texts of the log (after date and time) since Connect().
    std::vector<std::string> Log() const {
        auto all = LogMessages();
        return {all.begin() + static_cast<std::ptrdiff_t>(logStart_), all.end()};
    }

    std::vector<std::string> LogMessages() const {
        std::vector<std::string> messages;
        const std::string text = world.files.contents(state.LogFileName);
        std::size_t at = 0;
        while (at < text.size()) {
            auto end = text.find("\r\n", at);
            if (end == std::string::npos) {
                end = text.size();
            }
            const std::string line = text.substr(at, end - at);
            const auto secondTab = line.find('\t', line.find('\t') + 1);
            messages.push_back(line.substr(secondTab + 1));
            at = end + 2;
        }
        return messages;
    }

    // What the phone received, each line with its time: "120 AT*EAM=\"Zintor\"".
    std::vector<std::string> PhoneLinesWithTimes() const {
        std::vector<std::string> out;
        for (const auto& line : world.phone.lines()) {
            out.push_back(std::to_string(line.atMs) + " " + line.text);
        }
        return out;
    }

    std::vector<std::string> PhoneTexts() const { return world.phone.texts(); }

  private:
    std::size_t logStart_ = 0;
};

}  // namespace zintor
